#include "app/knownservers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vorn {

namespace {
constexpr const char* kFileName = "Vorn.known";
}  // namespace

KnownServers::KnownServers(const QString& settingsFile)
    : path_(QFileInfo(settingsFile).dir().filePath(QString::fromLatin1(kFileName))) {}

void KnownServers::Read() {
    known_.clear();
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return;
    // A line that is not a server and a fingerprint is skipped; the file is the person's to mend.
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        if (fields.size() == 2 && !fields[0].isEmpty() && !fields[1].isEmpty())
            known_.insert(QString::fromUtf8(fields[0]), QString::fromLatin1(fields[1]));
    }
}

QString KnownServers::Known(const QString& server) const {
    return known_.value(server);
}

KnownServers::Seen KnownServers::Check(const QString& server, const QString& fingerprint) {
    // Read each time: another window of this person may have learnt a server meanwhile.
    Read();
    const QString known = Known(server);
    if (known.isEmpty()) {
        Remember(server, fingerprint);
        return Seen::First;
    }
    return known.compare(fingerprint, Qt::CaseInsensitive) == 0 ? Seen::Same : Seen::Changed;
}

bool KnownServers::Remember(const QString& server, const QString& fingerprint) {
    Read();
    known_.insert(server, fingerprint);
    QByteArray text;
    for (auto it = known_.cbegin(); it != known_.cend(); ++it)
        text += it.key().toUtf8() + ' ' + it.value().toLatin1() + '\n';
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text);
    return file.commit();
}

}  // namespace vorn
