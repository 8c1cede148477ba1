// The socket component over the links of FakeNet (fakenet.h): the same class
// and the same events as net/socket/socket.cpp, with no system underneath
// (net/socket/socketcommon.cpp brings the rest).
// Only what a server uses is here: it listens, accepts, reads, sends, hands
// links on and encrypts them, and never connects out.

#include <utility>

#include "net/socket/socket.h"
#include "tools/fuzz/fakenet.h"

namespace vorn {

namespace fuzz {

FakeNet& FakeNet::Get() {
    static FakeNet net;
    return net;
}

void FakeNet::Reset() {
    wires_.clear();
    wires_.shrink_to_fit();  // an input leaves nothing allocated behind it
    held_ = {};
    listener_ = nullptr;
    announce_ = nullptr;
    lastRequest_ = 0;
}

std::size_t FakeNet::Open(const QString& address) {
    wires_.push_back(std::make_unique<Wire>());
    Wire& wire = *wires_.back();
    wire.address = address;
    if (announce_) {
        announce_(Raise(wire));
    } else {
        wire.closed = true;  // nobody listens
    }
    return wires_.size() - 1;
}

void FakeNet::Say(std::size_t index, std::string_view bytes) {
    Wire& wire = *wires_.at(index);
    if (wire.closed || wire.peerClosed) return;
    wire.unread.append(bytes.data(), qsizetype(bytes.size()));
    wire.sent += bytes.size();
    if (wire.readyRead) wire.readyRead();
}

void FakeNet::Quit(std::size_t index) {
    Wire& wire = *wires_.at(index);
    if (wire.closed || std::exchange(wire.peerClosed, true)) return;
    if (wire.disconnected) wire.disconnected();
}

FakeNet::Wire* FakeNet::Held(const Socket* socket) const {
    const auto it = held_.find(socket);
    return it == held_.end() ? nullptr : it->second;
}

void FakeNet::Hold(Wire& wire, Socket* socket, std::function<void()> readyRead,
                   std::function<void()> disconnected) {
    held_[socket] = &wire;
    wire.holder = socket;
    wire.readyRead = std::move(readyRead);
    wire.disconnected = std::move(disconnected);
    wire.accepted = clock ? clock() : 0;
}

void FakeNet::Release(const Socket* socket) {
    const auto it = held_.find(socket);
    if (it == held_.end()) return;
    Wire& wire = *it->second;
    held_.erase(it);
    wire.holder = nullptr;
    wire.readyRead = nullptr;
    wire.disconnected = nullptr;
}

int FakeNet::Raise(Wire& wire) {
    wire.request = ++lastRequest_;
    return wire.request;
}

FakeNet::Wire* FakeNet::Take(int request) {
    for (const auto& wire : wires_)
        if (request != 0 && wire->request == request) {
            wire->request = 0;
            return wire.get();
        }
    return nullptr;
}

void FakeNet::SetListener(Socket* socket, std::function<void(int request)> announce) {
    listener_ = socket;
    announce_ = std::move(announce);
}

}  // namespace fuzz

namespace {

using fuzz::FakeNet;

// Qt's OperationError, numbered as the real sockets number Qt's errors.
constexpr int kWrongState = 10019;

}  // namespace

int Socket::LocalPort() const {
    return localPort_;
}

bool Socket::Listen() {
    if (state_ != kClosed) return Fail(kWrongState, QStringLiteral("not closed"));
    state_ = kListening;
    FakeNet::Get().SetListener(this, [this](int request) {
        pendingRequests_.append(request);
        Post([this, request] { emit connectionRequest(request); });
    });
    return true;
}

bool Socket::Accept(int requestId) {
    if (state_ != kClosed) return Fail(kWrongState, QStringLiteral("not closed"));
    FakeNet& net = FakeNet::Get();
    FakeNet::Wire* wire = net.Take(requestId);
    if (!wire) return Fail(kWrongState, QStringLiteral("no such request"));
    if (Socket* listener = net.Listener()) listener->pendingRequests_.removeAll(requestId);
    net.Hold(
        *wire, this, [this] { OnReadyRead(); }, [this] { OnDisconnected(); });
    if (wire->peerClosed) {
        state_ = kPeerClosed;
        Post([this] { emit closed(); });
    } else {
        state_ = kConnected;
    }
    if (!wire->unread.isEmpty()) OnReadyRead();
    return true;
}

QString Socket::PeerAddress() const {
    const FakeNet::Wire* wire = FakeNet::Get().Held(this);
    return wire ? wire->address : QString();
}

int Socket::Detach() {
    FakeNet& net = FakeNet::Get();
    FakeNet::Wire* wire = net.Held(this);
    if (state_ != kConnected || !wire) return 0;
    net.Release(this);
    const int request = net.Raise(*wire);
    Close();
    return request;
}

bool Socket::SendBytes(const QByteArray& bytes) {
    FakeNet::Wire* wire = FakeNet::Get().Held(this);
    if (state_ != kConnected || !wire) return Fail(kWrongState, QStringLiteral("not connected"));
    wire->heard += size_t(bytes.size());
    return true;
}

QByteArray Socket::ReadAll() {
    FakeNet::Wire* wire = FakeNet::Get().Held(this);
    return wire ? std::exchange(wire->unread, QByteArray()) : QByteArray();
}

qint64 Socket::BytesWaiting() const {
    const FakeNet::Wire* wire = FakeNet::Get().Held(this);
    return wire ? wire->unread.size() : 0;
}

qint64 Socket::BytesUnsent() const {
    return 0;  // the far end takes everything at once
}

bool Socket::HasUnread() const {
    return BytesWaiting() > 0;
}

void Socket::Close() {
    ++generation_;
    arrivalPosted_ = false;
    FakeNet& net = FakeNet::Get();
    if (FakeNet::Wire* wire = net.Held(this)) {
        wire->closed = true;
        net.Release(this);
    }
    if (state_ == kListening) {
        // Links announced and never taken close with the listener.
        for (int request : std::as_const(pendingRequests_))
            if (FakeNet::Wire* wire = net.Take(request)) wire->closed = true;
        pendingRequests_.clear();
        if (net.Listener() == this) net.SetListener(nullptr, nullptr);
    }
    state_ = kClosed;
}

bool Socket::StartServerEncryption(const QSslCertificate&, const QSslKey&) {
    FakeNet::Wire* wire = FakeNet::Get().Held(this);
    if (state_ != kConnected || !wire || wire->encrypting)
        return Fail(kWrongState, QStringLiteral("cannot encrypt"));
    wire->encrypting = true;
    Post([this] {
        if (FakeNet::Wire* held = FakeNet::Get().Held(this)) held->encrypted = true;
        emit encrypted();
    });
    return true;
}

bool Socket::IsEncrypted() const {
    const FakeNet::Wire* wire = FakeNet::Get().Held(this);
    return wire && wire->encrypted;
}

}  // namespace vorn
