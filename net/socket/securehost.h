#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QString>

#include <string_view>

namespace vorn {

class Socket;

// A host's offer of encryption to the links it accepts. A host that has a
// certificate sends the offer ("[Secure]") as the very first message of every
// link; a link whose own first message takes it up is answered in kind and
// encrypted with the certificate, and the host greets it again inside TLS once
// the link's encrypted event has come. A link that says anything else first
// stays in plain TCP, as every older table expects.
class SecureHost {
  public:
    // Reads a PEM certificate and its PEM private key (RSA or EC); false, with
    // the reason in why, when a file does not read or the key is not of the
    // certificate's kind and size.
    bool Load(const QString& certificateFile, const QString& keyFile, QString& why);
    bool Offers() const { return !certificate_.isNull(); }
    QString Fingerprint() const;

    // firstWord is the first message that came on link, without its "\r\n".
    // When it takes up the offer: the answer is sent, nothing more goes out
    // in plain, encryption starts, and true comes back; the caller throws away
    // what it framed of the link so far and greets it again once encrypted.
    bool Answer(Socket& link, std::string_view firstWord) const;

  private:
    QSslCertificate certificate_;
    QSslKey key_;
};

}  // namespace vorn
