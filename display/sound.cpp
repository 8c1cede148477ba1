#include "display/sound.h"

#include <QAudioDevice>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace vorn {

SoundPlayer::SoundPlayer(QString folder, QObject* parent) : QObject(parent), folder_(std::move(folder)) {
    // Qt reports a sound as ready even with no output device, so ask for the
    // device ourselves rather than wait on the effect's signals.
    hasDevice_ = !QMediaDevices::defaultAudioOutput().isNull();
}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::Play(const QString& fileName) {
    ++played_;
    if (!hasDevice_) return;
    const QString path = QDir(folder_).filePath(fileName);
    auto it = effects_.find(fileName);
    if (it == effects_.end()) {
        if (!QFileInfo::exists(path)) {
            effects_[fileName] = nullptr;
            return;
        }
        auto* effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(path));
        it = effects_.emplace(fileName, effect).first;
    }
    if (it->second) it->second->play();
}

}  // namespace vorn
