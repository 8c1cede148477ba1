// One joiner pours chat at a host and the table is measured from outside.
//
// The host is a real table window in a process of its own (this program run
// with --host), without animation or pauses, told what to do on its standard
// input. Three bare links join it over 127.0.0.1 as J1, J2 and J3. For each
// count given (default 5000 and 50000) a fresh host is started, J1 writes that
// many chat lines of about 80 bytes at once, and this prints:
//   menu_idle_ms  the host's Game menu opening when asked, before the flood;
//   menu_ms       the same asked at once after the flood;
//   menu_max_ms   the slowest of those answers, asked every 100 ms until the
//                 flood has left J1 and half a second more;
//   deal_ms       from asking the host to deal, just after its first answer,
//                 until J2 and J3 have both had the deal's "[Turn]";
//   relayed       how many of the lines J2 was sent;
//   rss_kib       the host's resident memory before, at its peak, and after.
//
// With --x11 first (and DISPLAY set, xdotool installed) the host is a window on
// that display and the menu is opened by a mouse click sent through the X
// server, so that the answer waits in line with the window's real input.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/mainwindow.h"
#include "app/networkgame.h"
#include "net/socket/socket.h"
#include "tests/integration/nettable.h"

namespace {

using vorn::itest::Listen;
using vorn::itest::WaitUntil;

constexpr int kLongWaitMs = 600000;

[[noreturn]] void Fail(const char* why) {
    std::fprintf(stderr, "vorn-flood: %s\n", why);
    std::exit(1);
}

// ---- The host ---------------------------------------------------------------

int RunHost(int argc, char** argv) {
    // Its tables are on this machine only: nothing is asked or answered on the LAN.
    qputenv("VORN_LAN", "off");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    vorn::MainWindow w(folder.path(), 1);
    w.waitScale = 0;
    w.options().animation = false;
    w.options().sound = false;
    w.prompter.info = [](QWidget*, const QString&, vorn::Prompter::Icon) {};
    w.prompter.yesNo = [](QWidget*, const QString&) { return false; };
    w.prompter.yesNoDefaultYes = [](QWidget*, const QString&) { return false; };
    w.showLogon = [] {};
    w.endProgram = [] {};
    w.show();
    // The chat log on screen, as for a person who follows the chat.
    if (!w.txtDialog()->isVisible()) w.Action("mnuShowMessage")->trigger();

    const int port = Listen(w);
    if (port == 0) Fail("the host cannot listen");
    std::printf("port %d\n", port);
    std::fflush(stdout);

    QMenu* game = w.findChild<QMenu*>("mnuGame");
    if (!game) Fail("no Game menu");
    QObject::connect(game, &QMenu::aboutToShow, [game] {
        std::printf("shown\n");
        std::fflush(stdout);
        QTimer::singleShot(0, game, &QMenu::hide);
    });
    // Where a click opens the menu, once the window is on screen.
    QTimer::singleShot(500, &w, [&w, game] {
        const QPoint at = w.menuBar()->mapToGlobal(w.menuBar()->actionGeometry(game->menuAction()).center());
        std::printf("menu_at %d %d\n", at.x(), at.y());
        std::fflush(stdout);
    });

    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            app.quit();
            return;
        }
        pending.append(buffer, size_t(got));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string command = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (command == "menu") {
                game->popup(QPoint(20, 20));
            } else if (command == "deal") {
                w.mnuDeal_Click();
            } else if (command == "quit") {
                app.quit();
            }
        }
    });
    return app.exec();
}

// ---- The joiners and the clock ------------------------------------------------

long ResidentKiB(qint64 pid) {
    // The second field of statm is the resident size in pages.
    std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
    long size = 0, pages = -1;
    statm >> size >> pages;
    return pages < 0 ? -1 : pages * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Joiner {
    QTcpSocket socket;
    QByteArray received;

    explicit Joiner(int port) {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { received += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, quint16(port));
    }
    bool Has(const QByteArray& what, qsizetype from = 0) const { return received.indexOf(what, from) >= 0; }
};

class HostProcess {
  public:
    HostProcess(const QString& program, bool x11) {
        process_.setStandardErrorFile(QProcess::nullDevice());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", x11 ? "xcb" : "offscreen");
        process_.setProcessEnvironment(environment);
        QObject::connect(&process_, &QProcess::readyReadStandardOutput,
                         [this] { output_ += process_.readAllStandardOutput(); });
        process_.start(program, {"--host"});
        if (!process_.waitForStarted()) Fail("the host does not start");
    }
    ~HostProcess() {
        Tell("quit");
        if (!process_.waitForFinished(5000)) process_.kill();
    }
    void Tell(const char* command) {
        process_.write(QByteArray(command) + "\n");
        process_.waitForBytesWritten();
    }
    // Waits for the next output line starting with prefix and gives it back.
    QByteArray Next(const QByteArray& prefix, int timeoutMs = kLongWaitMs) {
        QByteArray found;
        WaitUntil(
            [&] {
                for (qsizetype end; (end = output_.indexOf('\n')) >= 0;) {
                    const QByteArray line = output_.left(end);
                    output_.remove(0, end + 1);
                    if (line.startsWith(prefix)) {
                        found = line;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }
    qint64 Pid() const { return process_.processId(); }

  private:
    QProcess process_;
    QByteArray output_;
};

// Three joiners on port, seated and named, once the table is full.
std::vector<std::unique_ptr<Joiner>> SeatJoiners(int port) {
    std::vector<std::unique_ptr<Joiner>> joiners;
    for (int slot = 1; slot <= 3; ++slot) {
        joiners.push_back(std::make_unique<Joiner>(port));
        Joiner& j = *joiners.back();
        if (!WaitUntil([&] { return j.Has("[Seat]" + QByteArray::number(slot) + "\r\n"); }, 10000))
            Fail("a joiner got no seat");
        j.socket.write("[Joined]J" + QByteArray::number(slot) + "\r\n");
    }
    for (auto& j : joiners)
        if (!WaitUntil([&] { return j->Has("[Prepare]H|J1|J2|J3\r\n"); }, 10000))
            Fail("the table did not fill");
    vorn::itest::Pause(300);
    return joiners;
}

// lines chat messages from J1, each of about 80 bytes.
QByteArray FloodText(int lines) {
    QByteArray flood;
    for (int i = 0; i < lines; ++i) {
        QByteArray line = "[Message]J1: flood line " + QByteArray::number(i) + " ";
        line += QByteArray(78 - std::min<qsizetype>(78, line.size()), 'x');
        flood += line + "\r\n";
    }
    return flood;
}

// The port the host says it listens on.
int HostPort(HostProcess& host) {
    const QByteArray portLine = host.Next("port ", 20000);
    if (portLine.isEmpty()) Fail("the host did not say its port");
    return portLine.mid(5).toInt();
}

// The host's resident memory at the start and at its highest, looked at every 5 ms.
struct PeakMemory {
    explicit PeakMemory(qint64 pid) : before(ResidentKiB(pid)), peak(before) {
        QObject::connect(&sampler, &QTimer::timeout,
                         [this, pid] { peak = std::max(peak, ResidentKiB(pid)); });
        sampler.start(5);
    }
    long before;
    long peak;
    QTimer sampler;
};

// The time from the deal command until both other joiners have their turn; draws: the draws seen.
qint64 TimeDeal(HostProcess& host, Joiner& j2, Joiner& j3, const QElapsedTimer& clock, int& draws) {
    const qsizetype mark2 = j2.received.size();
    const qsizetype mark3 = j3.received.size();
    const qint64 dealAsked = clock.elapsed();
    host.Tell("deal");
    if (!WaitUntil([&] { return j2.Has("[Turn]", mark2) && j3.Has("[Turn]", mark3); }, kLongWaitMs))
        Fail("the deal never reached the joiners");
    const qint64 dealMs = clock.elapsed() - dealAsked;
    draws = int(j2.received.mid(mark2).count("[Snatch Card]"));
    return dealMs;
}

void Run(const QString& program, int lines, bool x11) {
    HostProcess host(program, x11);
    const int port = HostPort(host);
    const QList<QByteArray> menuAt = host.Next("menu_at ", 20000).split(' ');
    if (menuAt.size() != 3) Fail("the host did not say where its menu is");

    const std::vector<std::unique_ptr<Joiner>> joiners = SeatJoiners(port);

    // Resident memory, looked at every 5 ms from here on.
    const qint64 pid = host.Pid();
    PeakMemory memory(pid);

    const QByteArray flood = FloodText(lines);
    Joiner& j1 = *joiners[0];
    Joiner& j2 = *joiners[1];
    Joiner& j3 = *joiners[2];
    const qsizetype heard2 = j2.received.size();

    QElapsedTimer clock;
    clock.start();
    auto askMenu = [&] {
        const qint64 asked = clock.elapsed();
        if (x11)
            QProcess::execute("xdotool", {"mousemove", menuAt[1], menuAt[2], "click", "1"});
        else
            host.Tell("menu");
        if (host.Next("shown").isEmpty()) Fail("the menu never opened");
        return clock.elapsed() - asked;
    };
    // The same question with nothing going on, to set the figures against.
    const qint64 idleMs = askMenu();
    vorn::itest::Pause(100);
    j1.socket.write(flood);
    clock.restart();
    const qint64 menuMs = askMenu();

    int draws = 0;
    const qint64 dealMs = TimeDeal(host, j2, j3, clock, draws);

    // Asked again while the flood drains, and half a second after.
    qint64 menuMax = menuMs;
    qint64 drainedAt = -1;
    while (drainedAt < 0 || clock.elapsed() < drainedAt + 500) {
        vorn::itest::Pause(100);
        menuMax = std::max(menuMax, askMenu());
        if (drainedAt < 0 && j1.socket.bytesToWrite() == 0) drainedAt = clock.elapsed();
    }
    memory.sampler.stop();
    const long after = ResidentKiB(pid);
    const int relayed = int(j2.received.mid(heard2).count("[Message]J1: flood line"));

    std::printf(
        "lines %d (%lld KiB)  menu_idle_ms %lld  menu_ms %lld  menu_max_ms %lld  deal_ms %lld (%d draws)  "
        "flood_sent_ms %lld  relayed %d  rss_kib %ld / %ld / %ld (+%ld)\n",
        lines, static_cast<long long>(flood.size() / 1024), static_cast<long long>(idleMs),
        static_cast<long long>(menuMs), static_cast<long long>(menuMax), static_cast<long long>(dealMs),
        draws, static_cast<long long>(drainedAt), relayed, memory.before, memory.peak, after,
        memory.peak - memory.before);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--host") return RunHost(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int first = 1;
    const bool x11 = argc > 1 && std::string(argv[1]) == "--x11";
    if (x11) ++first;
    std::vector<int> counts;
    for (int i = first; i < argc; ++i) counts.push_back(std::max(1, std::atoi(argv[i])));
    if (counts.empty()) counts = {5000, 50000};
    for (int lines : counts) Run(QCoreApplication::applicationFilePath(), lines, x11);
    return 0;
}
