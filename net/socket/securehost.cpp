#include "net/socket/securehost.h"

#include <QFile>
#include <QSslConfiguration>
#include <QSslSocket>

#include "net/protocol.h"
#include "net/socket/socket.h"

namespace vorn {

namespace {

QByteArray ReadFile(const QString& name, QString& why) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        why = name + ": " + file.errorString();
        return {};
    }
    return file.readAll();
}

// The key, tried as each kind the certificate may carry.
QSslKey ReadKey(const QByteArray& pem) {
    for (QSsl::KeyAlgorithm kind : {QSsl::Ec, QSsl::Rsa}) {
        QSslKey key(pem, kind, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull()) return key;
    }
    return {};
}

}  // namespace

bool SecureHost::Load(const QString& certificateFile, const QString& keyFile, QString& why) {
    certificate_ = QSslCertificate();
    key_ = QSslKey();
    if (!QSslSocket::supportsSsl()) {
        why = "this system offers no TLS";
        return false;
    }
    const QByteArray certificatePem = ReadFile(certificateFile, why);
    if (certificatePem.isEmpty()) return false;
    const QByteArray keyPem = ReadFile(keyFile, why);
    if (keyPem.isEmpty()) return false;
    const QList<QSslCertificate> certificates = QSslCertificate::fromData(certificatePem, QSsl::Pem);
    if (certificates.isEmpty()) {
        why = certificateFile + ": no PEM certificate";
        return false;
    }
    const QSslKey key = ReadKey(keyPem);
    if (key.isNull() || key.algorithm() != certificates.front().publicKey().algorithm() ||
        key.length() != certificates.front().publicKey().length()) {
        why = keyFile + ": no PEM private key of the certificate's kind";
        return false;
    }
    certificate_ = certificates.front();
    key_ = key;
    return true;
}

QString SecureHost::Fingerprint() const {
    return QString::fromLatin1(certificate_.digest(QCryptographicHash::Sha256).toHex());
}

bool SecureHost::Answer(Socket& link, std::string_view firstWord) const {
    if (!Offers() || firstWord != tags2::kSecure) return false;
    // The answer is the last plain byte; the handshake holds back whatever is sent after it.
    link.SendText(SecureMessage() + "\r\n");
    return link.StartServerEncryption(certificate_, key_);
}

}  // namespace vorn
