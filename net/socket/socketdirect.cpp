// A plain link's bytes go straight to the system when Qt holds none for it:
// Qt would copy them into a write buffer of its own (a 32 KiB block kept as
// long as the link) and watch the descriptor until it can write, where the
// system takes a few dozen bytes at once nearly always. A link of any other
// kind (encrypted) and whatever must wait behind earlier bytes still go
// through Qt, so the order and the errors stay Qt's.

#include <QTcpSocket>

#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <cerrno>

#include "net/socket/socket.h"

namespace vorn {

qint64 Socket::SendDirect(QTcpSocket& link, const QByteArray& bytes) {
    if (link.metaObject() != &QTcpSocket::staticMetaObject || link.bytesToWrite() > 0) return 0;
    if (link.state() != QAbstractSocket::ConnectedState) return 0;
    const auto fd = int(link.socketDescriptor());
    if (fd < 0) return 0;
    qint64 sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;  // full, or failed: Qt takes the rest and reports a failure its own way
    }
    return sent;
}

bool Socket::HasUnread() const {
    if (!link_) return false;
    if (link_->bytesAvailable() > 0) return true;
    // Qt reads a link when the event loop next polls it: until then its bytes wait in the system.
    int waiting = 0;
    const auto fd = int(link_->socketDescriptor());
    return fd >= 0 && ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0;
}

}  // namespace vorn
