#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace vorn {

// What asking the router to forward a port came to.
struct PortMapping {
    enum class Outcome {
        Mapped,    // the router forwards externalAddress:port to internalAddress:port
        NoRouter,  // no router answered within PortMapper::kAnswerMs
        Refused,   // a router answered but did not forward the port (error: its code)
    };
    Outcome outcome = Outcome::NoRouter;
    int port = 0;
    QString externalAddress;
    QString internalAddress;
    int error = 0;
};

// Asks the router of the local network (a UPnP internet gateway device) to
// forward a TCP port to this machine, and to stop again. The library's calls
// block for seconds, so they run one after the other on a thread of the
// mapper's own; the answer to Open comes back on the mapper's thread as
// Opened. Close takes back what Open asked for, also when Open is still
// under way; an answer to an Open that was closed meanwhile is not reported.
class PortMapper : public QObject {
    Q_OBJECT
  public:
    explicit PortMapper(QObject* parent = nullptr);
    // Closes, and waits at most kCloseWaitMs for the router to hear it.
    ~PortMapper() override;

    void Open(int port);
    void Close();
    // Close, then waits at most `ms` for every call to the router to end.
    // True when they all did.
    bool CloseAndWait(int ms);

    // How long discovery waits for a router to answer.
    static constexpr int kAnswerMs = 2000;
    static constexpr int kCloseWaitMs = 2000;

  signals:
    void Opened(const vorn::PortMapping& mapping);

  private:
    struct Worker;
    std::shared_ptr<Worker> worker_;
};

}  // namespace vorn
