#pragma once

#include <QMap>
#include <QString>

namespace vorn {

// The certificates of the servers this person has joined, each remembered by
// its SHA-256 fingerprint the first time, as ssh remembers hosts. They live in
// "Vorn.known" beside the settings file, one "address:port fingerprint" a
// line; the settings file itself never holds them.
class KnownServers {
  public:
    explicit KnownServers(const QString& settingsFile);

    enum class Seen { First, Same, Changed };
    // What is known of server ("address:port") against fingerprint. The first
    // time, the fingerprint is remembered at once.
    Seen Check(const QString& server, const QString& fingerprint);
    // The fingerprint remembered for server, or empty.
    QString Known(const QString& server) const;
    // From now on server's fingerprint is this one; false when the file could not be written.
    bool Remember(const QString& server, const QString& fingerprint);

    QString Path() const { return path_; }

  private:
    void Read();

    QString path_;
    QMap<QString, QString> known_;
};

}  // namespace vorn
