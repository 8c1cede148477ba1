// Four real table windows in one process, a host and three joiners over
// 127.0.0.1, without animation or pauses. Each round the host deals and the
// clock runs until every joiner's stock and four hands equal the host's; the
// median over the rounds is printed as "deal_to_sync_ms <number>". A deal is
// 25 draws and one turn to each of three joiners, 78 messages at one per tick
// of the 1 ms send timer, so about 80 ms is the floor.

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "app/mainwindow.h"
#include "app/networkgame.h"
#include "net/sendqueue.h"
#include "net/socket/socket.h"
#include "tests/integration/nettable.h"

namespace {

using vorn::MainWindow;

// The integration tests' bounded wait looks once a millisecond: a zero-interval
// poll would keep the event loop from sleeping and, with Qt's glib dispatcher,
// stretch the 1 ms send timer to about 3 ms, which is the very thing measured here.
using vorn::itest::Listen;
using vorn::itest::WaitUntil;

std::unique_ptr<MainWindow> MakeWindow(const QString& folder, std::uint64_t seed) {
    auto w = std::make_unique<MainWindow>(folder, seed);
    w->waitScale = 0;
    w->options().animation = false;
    w->options().sound = false;
    w->prompter.info = [](QWidget*, const QString&, vorn::Prompter::Icon) {};
    w->prompter.yesNo = [](QWidget*, const QString&) { return false; };
    w->prompter.yesNoDefaultYes = [](QWidget*, const QString&) { return false; };
    w->showLogon = [] {};
    w->endProgram = [] {};
    return w;
}

bool InStep(MainWindow& host, MainWindow& joiner) {
    const vorn::GameState& a = host.table();
    const vorn::GameState& b = joiner.table();
    if (!(a.lstCardsBox == b.lstCardsBox)) return false;
    for (int seat = 0; seat < 4; ++seat)
        if (!(a.lstDirection[seat] == b.lstDirection[seat])) return false;
    return true;
}

void Fail(const char* why) {
    std::fprintf(stderr, "bench_net: %s\n", why);
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Its tables are on this machine only: nothing is asked or answered on the LAN.
    qputenv("VORN_LAN", "off");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;

    QTemporaryDir folder;
    auto host = MakeWindow(folder.path(), 1);
    const int port = Listen(*host);
    if (port == 0) Fail("cannot listen");

    std::vector<std::unique_ptr<MainWindow>> joiners;
    for (int seat = 1; seat <= 3; ++seat) {
        joiners.push_back(MakeWindow(folder.path(), std::uint64_t(seat) + 1));
        MainWindow& j = *joiners.back();
        vorn::Session& s = j.session();
        s.mode = vorn::Mode::Joiner;
        s.ServerAddress = "127.0.0.1";
        s.ServerPort = port;
        j.network().SetSendTimerEnabled(true);
        j.network().StartConnection(QString("J%1").arg(seat));
        if (!WaitUntil([&] {
                return j.session().LocalSeat == seat && int(host->network().players().size()) == seat + 1;
            }))
            Fail("a joiner was not seated");
    }
    auto quiet = [&] {
        if (!host->network().queue().Empty() || host->engine().Busy()) return false;
        for (auto& j : joiners)
            if (!j->network().queue().Empty() || j->engine().Busy() || j->session().PlayerNames[3] != "J3")
                return false;
        return true;
    };
    if (!WaitUntil(quiet)) Fail("the table did not fill");

    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        // Every table back to a fresh stock, as after a game, before the next deal.
        host->engine().NewGame();
        for (auto& j : joiners) j->engine().NewGame();
        QElapsedTimer clock;
        clock.start();
        host->mnuDeal_Click();
        const bool synced = WaitUntil([&] {
            for (auto& j : joiners)
                if (!InStep(*host, *j)) return false;
            return true;
        });
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (!synced) Fail("the joiners fell out of step");
        if (!WaitUntil(quiet)) Fail("the queue did not drain");
        times.push_back(ms);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    std::printf("deals %d  min %.1f ms  max %.1f ms\n", rounds, sorted.front(), sorted.back());
    std::printf("deal_to_sync_ms %.1f\n", sorted[sorted.size() / 2]);
    return 0;
}
