#include "net/socket/socket.h"

#include <unistd.h>

#include <algorithm>

#include <QHash>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>

#include <utility>

namespace vorn {

namespace {

// Error numbers are Qt's socket error kinds offset by kErrorBase, so that no
// error is numbered 0. The descriptions of failures Qt does not describe:
constexpr int kErrorBase = 10000;
constexpr const char* kWrongStateText = "The socket is not in a state that allows this operation";
constexpr const char* kBadPortText = "The port number must be between 1 and 65535";
constexpr const char* kNoHostText = "No host name or address was given";
constexpr const char* kNoRequestText = "No connection request with this identifier is waiting";

int ErrorNumber(QAbstractSocket::SocketError kind) {
    return kErrorBase + int(kind);
}
static_assert(Socket::kAccessDenied == kErrorBase + int(QAbstractSocket::SocketAccessError));
static_assert(Socket::kConnectionRefused == kErrorBase + int(QAbstractSocket::ConnectionRefusedError));

// A link announced by a listener waits here until some socket accepts it. The
// identifiers are unique on the thread, like the handles the listener hands out.
struct PendingLinks {
    QHash<int, QPointer<QTcpSocket>> links;
    int lastId = 0;
};

PendingLinks& Pending() {
    thread_local PendingLinks pending;
    return pending;
}

// Qt's 50 by default; the system may hold fewer (net.core.somaxconn).
constexpr int kListenBacklog = 1024;

// A closed link still holding unsent bytes gets this long to deliver them.
constexpr int kLingerMs = 10000;

}  // namespace

int Socket::LocalPort() const {
    if (server_) return server_->serverPort();
    if (link_) return link_->localPort();
    return localPort_;
}

bool Socket::Connect(const QString& host) {
    if (state_ != kClosed)
        return Fail(ErrorNumber(QAbstractSocket::OperationError), QString::fromUtf8(kWrongStateText));
    if (remotePort_ < 1 || remotePort_ > 65535)
        return Fail(ErrorNumber(QAbstractSocket::UnsupportedSocketOperationError),
                    QString::fromUtf8(kBadPortText));
    const QString name = host.trimmed();
    if (name.isEmpty())
        return Fail(ErrorNumber(QAbstractSocket::HostNotFoundError), QString::fromUtf8(kNoHostText));

    auto* link = new QSslSocket(this);
    AdoptLink(link);
    state_ = kResolving;
    connect(link, &QAbstractSocket::stateChanged, this, [this](QAbstractSocket::SocketState s) {
        if (s == QAbstractSocket::ConnectingState && state_ == kResolving) state_ = kConnecting;
    });
    connect(link, &QAbstractSocket::connected, this, [this, link] {
        // Only a connected socket takes options (AdoptLink's came too early).
        link->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        if (state_ == kResolving || state_ == kConnecting) state_ = kConnected;
    });
    link->connectToHost(name, quint16(remotePort_));
    if (state_ == kFailed) {
        // Qt refused at once: report it here rather than as a later event.
        const int number = lastErrorNumber_;
        const QString description = lastErrorDescription_;
        Close();
        return Fail(number, description);
    }
    return true;
}

bool Socket::Listen() {
    if (state_ != kClosed)
        return Fail(ErrorNumber(QAbstractSocket::OperationError), QString::fromUtf8(kWrongStateText));
    if (localPort_ < 0 || localPort_ > 65535)
        return Fail(ErrorNumber(QAbstractSocket::UnsupportedSocketOperationError),
                    QString::fromUtf8(kBadPortText));
    auto* server = new QTcpServer(this);
    // Links the system completes before they are taken: beyond these, a
    // newcomer's first packet is dropped and sent again a second or more later,
    // which a crowd arriving at once would make a person wait for.
    server->setListenBacklogSize(kListenBacklog);
    if (!server->listen(QHostAddress::Any, quint16(localPort_))) {
        Fail(ErrorNumber(server->serverError()), server->errorString());
        delete server;
        return false;
    }
    server_ = server;
    state_ = kListening;
    connect(server_, &QTcpServer::newConnection, this, &Socket::OnNewConnections);
    connect(server_, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError kind) {
        const int number = ErrorNumber(kind);
        const QString description = server_->errorString();
        Post([this, number, description] { emit error(number, description); });
    });
    return true;
}

void Socket::OnNewConnections() {
    PendingLinks& pending = Pending();
    while (server_ && server_->hasPendingConnections()) {
        QTcpSocket* link = server_->nextPendingConnection();
        const int id = ++pending.lastId;
        pending.links.insert(id, link);
        pendingRequests_.append(id);
        Post([this, id] { emit connectionRequest(id); });
    }
}

bool Socket::Accept(int requestId) {
    if (state_ != kClosed)
        return Fail(ErrorNumber(QAbstractSocket::OperationError), QString::fromUtf8(kWrongStateText));
    QPointer<QTcpSocket> link = Pending().links.take(requestId);
    if (!link) return Fail(ErrorNumber(QAbstractSocket::OperationError), QString::fromUtf8(kNoRequestText));
    if (auto* listener = qobject_cast<Socket*>(link->parent() ? link->parent()->parent() : nullptr))
        listener->pendingRequests_.removeAll(requestId);
    link->setParent(this);
    AdoptLink(link);
    if (link->state() == QAbstractSocket::ConnectedState) {
        state_ = kConnected;
    } else {
        // The peer came and went before the request was taken: the link is
        // seen to open and close, with whatever it sent still readable.
        state_ = kPeerClosed;
        Post([this] { emit closed(); });
    }
    if (link->bytesAvailable() > 0) OnReadyRead();
    return true;
}

QString Socket::PeerAddress() const {
    if (!link_) return {};
    // Asked of every link the server holds each time one arrives: read once.
    if (peerAddress_.isEmpty()) peerAddress_ = link_->peerAddress().toString();
    return peerAddress_;
}

int Socket::Detach() {
    if (state_ != kConnected || !link_) return 0;
    QTcpSocket* link = link_;
    link_ = nullptr;
    disconnect(link, nullptr, this, nullptr);
    link->setParent(nullptr);
    PendingLinks& pending = Pending();
    const int id = ++pending.lastId;
    pending.links.insert(id, link);
    Close();
    return id;
}

void Socket::AdoptLink(QTcpSocket* link) {
    link_ = link;
    peerAddress_.clear();
    // What the peer sends beyond this waits in the system, which in turn holds
    // the peer back: one that sends faster than the game reads costs no memory.
    link->setReadBufferSize(kMaxHeldBytes);
    // A move is a few dozen bytes that the other end waits for: held back until
    // the previous ones are acknowledged, it would wait out the peer's delayed
    // acknowledgement (40 ms and more on Linux) at every turn.
    link->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(link, &QIODevice::readyRead, this, &Socket::OnReadyRead);
    connect(link, &QAbstractSocket::disconnected, this, &Socket::OnDisconnected);
    connect(link, &QAbstractSocket::errorOccurred, this, &Socket::OnLinkError);
    if (auto* secure = qobject_cast<QSslSocket*>(link))
        connect(secure, &QSslSocket::encrypted, this, [this] { Post([this] { emit encrypted(); }); });
}

bool Socket::CanStartEncryption() {
    const auto* secure = qobject_cast<QSslSocket*>(link_);
    if (state_ == kConnected && link_ && (!secure || secure->mode() == QSslSocket::UnencryptedMode))
        return true;
    return Fail(ErrorNumber(QAbstractSocket::OperationError), QString::fromUtf8(kWrongStateText));
}

QSslSocket* Socket::SecureLink() {
    if (auto* secure = qobject_cast<QSslSocket*>(link_)) return secure;
    // An accepted link is the lighter plain kind: its descriptor moves to a
    // socket that can encrypt. The peer waits for our answer before it says
    // more, so nothing is in flight either way; what Qt still holds is sent.
    QTcpSocket* plain = link_;
    plain->flush();
    const int descriptor = plain->bytesToWrite() == 0 ? ::dup(int(plain->socketDescriptor())) : -1;
    if (descriptor < 0) return nullptr;
    auto* secure = new QSslSocket(this);
    if (!secure->setSocketDescriptor(descriptor)) {
        ::close(descriptor);
        delete secure;
        return nullptr;
    }
    disconnect(plain, nullptr, this, nullptr);
    plain->abort();  // closes its own descriptor only; the link lives on in the copy
    plain->deleteLater();
    AdoptLink(secure);
    return secure;
}

bool Socket::StartServerEncryption(const QSslCertificate& certificate, const QSslKey& key) {
    if (!CanStartEncryption()) return false;
    QSslSocket* secure = SecureLink();
    if (!secure)
        return Fail(ErrorNumber(QAbstractSocket::OperationError), QString::fromUtf8(kWrongStateText));
    QSslConfiguration configuration = secure->sslConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    secure->setSslConfiguration(configuration);
    secure->startServerEncryption();
    return true;
}

bool Socket::StartClientEncryption() {
    if (!CanStartEncryption()) return false;
    QSslSocket* secure = SecureLink();
    if (!secure)
        return Fail(ErrorNumber(QAbstractSocket::OperationError), QString::fromUtf8(kWrongStateText));
    QSslConfiguration configuration = secure->sslConfiguration();
    // Servers sign their own certificates: the game compares the fingerprint
    // with the one it remembers instead of asking an authority.
    configuration.setPeerVerifyMode(QSslSocket::QueryPeer);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    secure->setSslConfiguration(configuration);
    secure->startClientEncryption();
    return true;
}

bool Socket::IsEncrypted() const {
    const auto* secure = qobject_cast<const QSslSocket*>(link_);
    return secure && secure->isEncrypted();
}

QString Socket::PeerFingerprint() const {
    if (!IsEncrypted()) return {};
    const QSslCertificate certificate = static_cast<const QSslSocket*>(link_)->peerCertificate();
    return certificate.isNull() ? QString()
                                : QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex());
}

void Socket::OnLinkError() {
    const QAbstractSocket::SocketError kind = link_->error();
    // The peer's orderly close is the close event, which disconnected() brings.
    if (kind == QAbstractSocket::RemoteHostClosedError) return;
    if (state_ == kPeerClosed || state_ == kFailed || state_ == kClosed) return;
    state_ = kFailed;
    Fail(ErrorNumber(kind), link_->errorString());
    const int number = lastErrorNumber_;
    const QString description = lastErrorDescription_;
    Post([this, number, description] { emit error(number, description); });
}

bool Socket::SendBytes(const QByteArray& bytes) {
    if (state_ != kConnected || !link_)
        return Fail(ErrorNumber(QAbstractSocket::OperationError), QString::fromUtf8(kWrongStateText));
    const qint64 sent = SendDirect(*link_, bytes);
    if (sent == bytes.size()) return true;
    const QByteArray rest = sent > 0 ? bytes.mid(sent) : bytes;
    if (link_->write(rest) != rest.size()) return Fail(ErrorNumber(link_->error()), link_->errorString());
    return true;
}

QByteArray Socket::ReadAll() {
    return link_ ? link_->readAll() : QByteArray();
}

qint64 Socket::BytesWaiting() const {
    return link_ ? link_->bytesAvailable() : 0;
}

qint64 Socket::BytesUnsent() const {
    return link_ ? link_->bytesToWrite() : 0;
}

void Socket::ReleaseLink() {
    QTcpSocket* link = link_;
    link_ = nullptr;
    if (!link) return;
    disconnect(link, nullptr, this, nullptr);
    if (link->state() != QAbstractSocket::ConnectedState) {
        link->abort();
        link->deleteLater();
        return;
    }
    // Let what was sent before the close reach the peer, then go.
    connect(link, &QAbstractSocket::disconnected, link, &QObject::deleteLater);
    link->disconnectFromHost();
    if (link->state() == QAbstractSocket::UnconnectedState) {
        link->deleteLater();
        return;
    }
    QTimer::singleShot(kLingerMs, link, [link] {
        link->abort();
        link->deleteLater();
    });
}

void Socket::ReleaseListener() {
    PendingLinks& pending = Pending();
    for (int id : std::as_const(pendingRequests_)) {
        QPointer<QTcpSocket> link = pending.links.take(id);
        if (link) {
            link->abort();
            link->deleteLater();
        }
    }
    pendingRequests_.clear();
    if (server_) {
        disconnect(server_, nullptr, this, nullptr);
        server_->close();
        server_->deleteLater();
        server_ = nullptr;
    }
}

void Socket::Close() {
    ++generation_;
    arrivalPosted_ = false;
    ReleaseLink();
    ReleaseListener();
    state_ = kClosed;
}

QString Socket::LocalHostName() {
    return QHostInfo::localHostName();
}

QString Socket::LocalHostAddress() {
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        const auto flags = iface.flags();
        if (!(flags & QNetworkInterface::IsUp) || (flags & QNetworkInterface::IsLoopBack)) continue;
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback()) return ip.toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}

}  // namespace vorn
