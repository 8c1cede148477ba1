#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vorn {

class Socket;

namespace fuzz {

// The network a fuzzer's program sees when it is linked with fakesocket.cpp
// instead of the real socket component: every link lives in memory, and the
// fuzzer plays each link's far end. A `Socket` behaves as the real one does
// towards its program: a listener announces a link as a connection request,
// events come from the event loop, never from inside the call that caused
// them, and none comes for a socket closed meanwhile; `Detach` turns a link
// back into a request that another socket accepts with what it sent and
// nobody read. Encryption completes at the next pass of the event loop.
class FakeNet {
  public:
    // One link, as its far end sees it.
    struct Wire {
        QString address;
        QByteArray unread;           // sent by the far end, not read yet
        std::size_t sent = 0;        // bytes the far end has sent in all
        std::size_t heard = 0;       // bytes the program has sent it
        Socket* holder = nullptr;    // the socket that has the link now
        int request = 0;             // the connection request it waits as, or 0
        std::int64_t accepted = -1;  // when a socket last took it (clock)
        bool peerClosed = false;
        bool closed = false;      // the program closed it
        bool encrypting = false;  // the program has begun TLS on it
        bool encrypted = false;
        // What the holder hears of the far end, as a real socket hears its system.
        std::function<void()> readyRead, disconnected;
    };

    static FakeNet& Get();

    // Forgets every link; the program's sockets must be gone.
    void Reset();

    // A new link from address, announced by the listener; its index.
    std::size_t Open(const QString& address);
    // Bytes from the far end of link index.
    void Say(std::size_t index, std::string_view bytes);
    // The far end closes link index.
    void Quit(std::size_t index);

    const std::vector<std::unique_ptr<Wire>>& Wires() const { return wires_; }
    Socket* Listener() const { return listener_; }

    // When a link is taken, in milliseconds.
    std::function<std::int64_t()> clock;

    // For fakesocket.cpp: which socket holds which link, and the requests.
    Wire* Held(const Socket* socket) const;
    void Hold(Wire& wire, Socket* socket, std::function<void()> readyRead,
              std::function<void()> disconnected);
    void Release(const Socket* socket);
    // wire waits as a new connection request: its number.
    int Raise(Wire& wire);
    Wire* Take(int request);
    // The listener, and how it announces a request.
    void SetListener(Socket* socket, std::function<void(int request)> announce);

  private:
    std::vector<std::unique_ptr<Wire>> wires_;
    std::unordered_map<const Socket*, Wire*> held_;
    Socket* listener_ = nullptr;
    std::function<void(int)> announce_;
    int lastRequest_ = 0;
};

}  // namespace fuzz
}  // namespace vorn
