// What every build of the socket component shares: the family of sockets, and
// the parts of a socket that never touch a link. A program may link these with
// sockets of its own (the lobby's fuzzer does, with links held in memory).

#include <algorithm>
#include <utility>

#include "net/socket/codec.h"
#include "net/socket/socket.h"

namespace vorn {

Socket::Socket(QObject* parent) : QObject(parent) {}

Socket::~Socket() {
    Close();
}

bool Socket::Fail(int number, const QString& description) {
    lastErrorNumber_ = number;
    lastErrorDescription_ = description;
    return false;
}

bool Socket::SendText(const QString& text) {
    return SendBytes(ToCp936(text));
}

bool Socket::SendText(const std::string& utf8) {
    return SendText(QString::fromStdString(utf8));
}

QString Socket::ReadAllText() {
    return FromCp936(ReadAll());
}

void Socket::OnReadyRead() {
    // Qt does not repeat readyRead while its handler runs, and a handler of
    // ours may open a modal box; so the event goes out from the event loop.
    if (arrivalPosted_) return;
    arrivalPosted_ = true;
    Post([this] {
        arrivalPosted_ = false;
        if (BytesWaiting() > 0) emit dataArrival();
    });
}

void Socket::OnDisconnected() {
    if (state_ != kConnected) return;  // a failed attempt reports its error instead
    state_ = kPeerClosed;
    Post([this] { emit closed(); });
}

SocketFamily::SocketFamily(QObject* parent) : QObject(parent) {
    Element(0);
}

Socket& SocketFamily::Element(int index) {
    Q_ASSERT(index >= 0);
    while (int(elements_.size()) <= index) {
        auto* element = new Socket(this);
        // The index is looked up when the signal comes: elements may swap places.
        connect(element, &Socket::connectionRequest, this,
                [this, element](int id) { emit connectionRequest(IndexOf(element), id); });
        connect(element, &Socket::dataArrival, this, [this, element] { emit dataArrival(IndexOf(element)); });
        connect(element, &Socket::closed, this, [this, element] { emit closed(IndexOf(element)); });
        connect(element, &Socket::error, this, [this, element](int number, const QString& description) {
            emit error(IndexOf(element), number, description);
        });
        connect(element, &Socket::encrypted, this, [this, element] { emit encrypted(IndexOf(element)); });
        elements_.push_back(element);
    }
    return *elements_[size_t(index)];
}

int SocketFamily::IndexOf(const Socket* element) const {
    for (size_t i = 0; i < elements_.size(); ++i)
        if (elements_[i] == element) return int(i);
    return -1;
}

void SocketFamily::Swap(int a, int b) {
    Element(std::max(a, b));
    std::swap(elements_[size_t(a)], elements_[size_t(b)]);
}

void SocketFamily::CloseAll() {
    for (Socket* element : elements_) element->Close();
}

}  // namespace vorn
