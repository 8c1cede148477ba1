#include "app/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vorn {

namespace {
// A save is a few kilobytes; anything far larger is not one.
constexpr qint64 kLargestSave = 1 << 20;
}  // namespace

QString SaveFilePath(const QString& settingsFile) {
    return QFileInfo(settingsFile).dir().filePath(QString::fromLatin1(kSaveFileName));
}

bool WriteSaveFile(const QString& path, const std::string& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        file.cancelWriting();
        return false;
    }
    // commit flushes the temporary file to the disk before it takes the name.
    return file.commit();
}

void RemoveSaveFile(const QString& path) {
    QFile::remove(path);
}

SaveFileReading ReadSaveFile(const QString& path) {
    SaveFileReading reading;
    QFile file(path);
    if (!file.exists()) return reading;
    if (!file.open(QIODevice::ReadOnly)) {
        reading.error = "the file cannot be opened";
    } else if (file.size() > kLargestSave) {
        reading.error = "the file is too large";
    } else {
        const QByteArray bytes = file.readAll();
        SaveReading read = ReadSavedGame(std::string_view(bytes.constData(), size_t(bytes.size())));
        reading.game = std::move(read.game);
        reading.error = std::move(read.error);
    }
    file.close();
    if (reading.game) return reading;
    reading.setAside = path + QStringLiteral(".bad");
    QFile::remove(reading.setAside);
    // Should even the rename fail, the file goes, so that it is not reported again.
    if (!QFile::rename(path, reading.setAside)) QFile::remove(path);
    return reading;
}

}  // namespace vorn
