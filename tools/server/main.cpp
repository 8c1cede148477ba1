// vorn-server: tables of the network game without a window. Links of the
// first version of the wire are seated as a hosting window seats them; the
// computer player holds seat 0 of every table and fills the seats nobody has
// taken a while after the first person sat down.

#include <QCoreApplication>

#include <sys/resource.h>

#include <cstdio>
#include <memory>

#include "net/socket/securehost.h"

#include "tools/server/config.h"
#include "tools/server/epolldispatcher.h"
#include "tools/server/server.h"

namespace {

// Every link is a descriptor: the soft limit (often 1,024) would turn people
// away long before the tables are full, so it goes up to the hard one.
void RaiseFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace

int main(int argc, char* argv[]) {
    // Qt's own event loop, not GLib's: GLib's adds and removes a socket's
    // watch on every write in a list as long as the links, which with
    // thousands of links costs more than the tables themselves.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    // Better still, one epoll set for every link (VORN_EPOLL=0 keeps Qt's
    // loop, to compare the two).
    if (qEnvironmentVariable("VORN_EPOLL") != QLatin1String("0")) {
        auto dispatcher = std::make_unique<vorn::server::EpollDispatcher>();
        if (dispatcher->Usable()) QCoreApplication::setEventDispatcher(dispatcher.release());
    }
    RaiseFileLimit();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vorn-server");
    QCoreApplication::setApplicationVersion(VORN_VERSION);

    vorn::server::ServerConfig config;
    QString error;
    if (!vorn::server::ReadServerConfig(QCoreApplication::arguments(), config, error)) {
        std::fprintf(stderr, "vorn-server: %s; see --help\n", qPrintable(error));
        return 2;
    }
    std::shared_ptr<vorn::SecureHost> secure;
    if (!config.certificate.isEmpty() || !config.key.isEmpty()) {
        secure = std::make_shared<vorn::SecureHost>();
        if (!secure->Load(config.certificate, config.key, error)) {
            std::fprintf(stderr, "vorn-server: %s\n", qPrintable(error));
            return 2;
        }
        vorn::server::Log("links may be encrypted; certificate fingerprint " +
                          secure->Fingerprint().toStdString());
    }
    vorn::server::Server server(config, secure);
    if (!server.Listen(config.port)) return 1;
    return app.exec();
}

// SIGTERM (the service manager's stop) and SIGINT (a terminal's ^C) end the
// event loop, so main returns 0 and the server closes its listener and links
// on the way out. The handler only writes the signal's number to a pipe the
// event loop watches; the rest happens there.
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

namespace {

int signalPipe[2] = {-1, -1};

void OnStopSignal(int signal) {
    const int saved = errno;
    const char number = char(signal);
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &number, 1);
    errno = saved;
}

void StopOnSignals() {
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char number = 0;
        if (read(signalPipe[0], &number, 1) != 1) return;
        vorn::server::Log(number == SIGINT ? "stopping on SIGINT" : "stopping on SIGTERM");
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StopOnSignals)
