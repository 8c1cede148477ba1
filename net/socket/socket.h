#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>

#include <string>
#include <utility>
#include <vector>

class QSslSocket;
class QTcpServer;
class QTcpSocket;

namespace vorn {

// One TCP endpoint as the game uses it: either a listener that announces each
// incoming link as a connection request, or one link (made by Connect or by
// accepting a request) that carries text both ways.
//
// State() is one number: 0 closed and 7 connected are the two the game tests;
// the others are 2 listening, 4 looking up the host, 6 connecting, 8 closed by
// the peer (the game still has to Close() it) and 9 failed (after the error
// event, until Close()). Close() returns any state to 0 and may be called at
// any time; events of a link that was closed are never delivered afterwards.
//
// Events arrive on the socket's thread from its event loop, never from inside
// the call that caused them, so a handler may close, accept, send or open a
// modal box freely. Texts go out as code page 936 bytes, in call order. A
// failing call returns false and leaves its reason in LastErrorNumber() and
// LastErrorDescription(); a failure found later arrives as the error event.
// Nothing here blocks.
//
// A link starts in plain TCP and may be encrypted later (TLS), each end at a
// moment its protocol agrees on: the listening end with its certificate and
// key, the connecting end checking nothing but telling the certificate's
// fingerprint, which the game compares with the one it saw before. Once the
// encrypted event has come, text goes both ways inside TLS; what is sent
// while the handshake runs waits for it.
class Socket : public QObject {
    Q_OBJECT

  public:
    static constexpr int kClosed = 0;
    static constexpr int kListening = 2;
    static constexpr int kResolving = 4;
    static constexpr int kConnecting = 6;
    static constexpr int kConnected = 7;
    static constexpr int kPeerClosed = 8;
    static constexpr int kFailed = 9;
    // LastErrorNumber() when the system refused for lack of privilege, as it
    // refuses a port below 1024 to a normal user.
    static constexpr int kAccessDenied = 10003;
    // LastErrorNumber() when nothing listens at the far end.
    static constexpr int kConnectionRefused = 10000;

    explicit Socket(QObject* parent = nullptr);
    ~Socket() override;

    void SetRemotePort(int port) { remotePort_ = port; }
    int RemotePort() const { return remotePort_; }
    // Starts a link to host (a name or a dotted address) on the remote port.
    bool Connect(const QString& host);

    // 0 lets the system choose; LocalPort() tells the chosen port once listening.
    void SetLocalPort(int port) { localPort_ = port; }
    int LocalPort() const;
    bool Listen();
    // Takes over the link of a connection request raised by a listener of this
    // thread; this socket must be closed.
    bool Accept(int requestId);

    int State() const { return state_; }
    // The far end's address of a link, empty for none.
    QString PeerAddress() const;
    // Lets go of this link without closing it: it waits as a new connection
    // request, with whatever it sent and nobody read, for a socket of this
    // thread to accept it. This socket is closed afterwards. 0 when it held no
    // open link.
    int Detach();

    // Received bytes held here at most; more waits until these are read.
    static constexpr qint64 kMaxHeldBytes = qint64{64} * 1024;

    bool SendText(const QString& text);
    bool SendText(const std::string& utf8);
    bool SendText(const char* utf8) { return SendText(std::string(utf8)); }
    bool SendBytes(const QByteArray& bytes);

    // Everything received and not read yet. The text form decodes the bytes as
    // they stand, so a character split between two arrivals comes out broken:
    // callers that frame messages read bytes and decode whole messages.
    QByteArray ReadAll();
    QString ReadAllText();
    qint64 BytesWaiting() const;
    // Bytes sent and not yet handed to the system.
    qint64 BytesUnsent() const;
    // Whether the peer has sent anything not read yet, here or still in the
    // system (socketdirect.cpp).
    bool HasUnread() const;

    void Close();

    // Encryption of a connected link; false when it is not connected or
    // already encrypting. A failed handshake arrives as the error event.
    bool StartServerEncryption(const QSslCertificate& certificate, const QSslKey& key);
    bool StartClientEncryption();
    bool IsEncrypted() const;
    // The SHA-256 digest of the peer's certificate in lowercase hex, once encrypted; else empty.
    QString PeerFingerprint() const;

    int LastErrorNumber() const { return lastErrorNumber_; }
    QString LastErrorDescription() const { return lastErrorDescription_; }

    static QString LocalHostName();
    // The first IPv4 address of an interface that is up, not the loopback; 127.0.0.1 without one.
    static QString LocalHostAddress();

  signals:
    void connectionRequest(int requestId);
    void dataArrival();
    void closed();
    void error(int number, const QString& description);
    // The link is encrypted from here on.
    void encrypted();

  private:
    void AdoptLink(QTcpSocket* link);
    bool CanStartEncryption();
    // The link as one that can encrypt, made so when it is plain; null when it cannot be.
    QSslSocket* SecureLink();
    // What the system takes of bytes at once on a plain link with nothing
    // waiting before them (socketdirect.cpp); the rest goes through Qt.
    static qint64 SendDirect(QTcpSocket& link, const QByteArray& bytes);
    void OnNewConnections();
    void OnReadyRead();
    void OnDisconnected();
    void OnLinkError();
    bool Fail(int number, const QString& description);
    void ReleaseLink();
    void ReleaseListener();
    // Runs what on the event loop unless this socket was closed or reused meanwhile.
    template <typename F>
    void Post(F what);

    QTcpServer* server_ = nullptr;
    // A QSslSocket for a link that connected out or was encrypted since.
    QTcpSocket* link_ = nullptr;
    mutable QString peerAddress_;  // link_'s peer, once known
    QList<int> pendingRequests_;   // requests this listener raised that nobody accepted yet
    int state_ = kClosed;
    int remotePort_ = 0;
    int localPort_ = 0;
    quint64 generation_ = 0;  // bumped by Close(): posted events of an older generation are dropped
    bool arrivalPosted_ = false;
    int lastErrorNumber_ = 0;
    QString lastErrorDescription_;
};

template <typename F>
void Socket::Post(F what) {
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation, what = std::move(what)] {
            if (generation == generation_) what();
        },
        Qt::QueuedConnection);
}

// An indexed family of sockets: element 0 exists from the start, any other
// element is made the first time it is asked for (with every lower index) and
// then lives as long as the family. The family repeats each element's events
// with the element's index.
class SocketFamily : public QObject {
    Q_OBJECT

  public:
    explicit SocketFamily(QObject* parent = nullptr);

    Socket& Element(int index);
    bool Exists(int index) const { return index >= 0 && index < int(elements_.size()); }
    int UpperBound() const { return int(elements_.size()) - 1; }
    // Closes every element in index order.
    void CloseAll();
    // Elements a and b change places: each keeps its link and its signals
    // name the new index.
    void Swap(int a, int b);

  signals:
    void connectionRequest(int index, int requestId);
    void dataArrival(int index);
    void closed(int index);
    void error(int index, int number, const QString& description);
    void encrypted(int index);

  private:
    int IndexOf(const Socket* element) const;

    std::vector<Socket*> elements_;  // children of the family
};

}  // namespace vorn
