#pragma once

// The secrets of a network table: challenges and seat tokens that nobody can
// guess, and the keyed proof that a joiner knows the table's password
// without sending it (HMAC-SHA256 of the host's challenge, keyed with the
// password in UTF-8). Header-only, Qt Core only, so that the headless tables
// of the tests and the fuzzers use the very same.

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

#include <string>

namespace vorn {

// 128 bits from the system's generator, in 32 lowercase hex digits.
inline std::string NewSecret() {
    QByteArray bytes(16, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), 4);
    return bytes.toHex().toStdString();
}

inline std::string PasswordProof(const std::string& password, const std::string& challenge) {
    const QByteArray key = QByteArray::fromStdString(password);
    const QByteArray text = QByteArray::fromStdString(challenge);
    return QMessageAuthenticationCode::hash(text, key, QCryptographicHash::Sha256).toHex().toStdString();
}

}  // namespace vorn
