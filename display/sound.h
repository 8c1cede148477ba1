#pragma once

#include <QObject>
#include <QString>

#include <map>
#include <memory>

class QSoundEffect;

namespace vorn {

// The two wave sounds of the table, loaded once from the program folder and
// played without waiting. A missing file or a machine without an audio device
// plays nothing and never blocks.
class SoundPlayer : public QObject {
    Q_OBJECT
  public:
    explicit SoundPlayer(QString folder, QObject* parent = nullptr);
    ~SoundPlayer() override;

    void Play(const QString& fileName);
    // How many sounds were started (tests and the idle check read it).
    int PlayedCount() const { return played_; }
    bool HasDevice() const { return hasDevice_; }

  private:
    QString folder_;
    bool hasDevice_ = false;
    int played_ = 0;
    std::map<QString, QSoundEffect*> effects_;
};

}  // namespace vorn
