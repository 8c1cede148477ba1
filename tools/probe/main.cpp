// Whole-program figures of the real table window: the time from start to the
// logon dialog on screen, resident memory after the deal, and what the program
// does while it waits — for the person's move in a local game, and as a host
// listening for joiners — as CPU time, voluntary context switches (each one a
// wakeup from sleep) and the ticks of the program's own two timers.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "app/logondialog.h"
#include "app/mainwindow.h"
#include "app/networkgame.h"

namespace {

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

struct Usage {
    double cpuSeconds;
    long wakeups;
};

Usage Now() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return {u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6,
            u.ru_nvcsw};
}

void Idle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void Report(const char* what, vorn::MainWindow& w, int ms) {
    int ticks = 0;
    auto a = QObject::connect(&w.tmrCYC(), &QTimer::timeout, [&] { ++ticks; });
    auto b = QObject::connect(&w.network().tmrSendData(), &QTimer::timeout, [&] { ++ticks; });
    const Usage before = Now();
    Idle(ms);
    const Usage after = Now();
    QObject::disconnect(a);
    QObject::disconnect(b);
    const double seconds = ms / 1000.0;
    std::printf("%s_cpu_percent %.3f\n", what, 100.0 * (after.cpuSeconds - before.cpuSeconds) / seconds);
    std::printf("%s_wakeups_per_second %.1f\n", what, (after.wakeups - before.wakeups) / seconds);
    std::printf("%s_own_timer_ticks %d\n", what, ticks);
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    const int idleMs = argc > 1 ? std::atoi(argv[1]) : 5000;
    QTemporaryDir folder;
    vorn::MainWindow w(folder.path(), 1);
    w.prompter.info = [](QWidget*, const QString&, vorn::Prompter::Icon) {};
    w.prompter.yesNo = [](QWidget*, const QString&) { return false; };
    w.prompter.yesNoDefaultYes = w.prompter.yesNo;
    w.show();
    w.showLogon = [&] {
        vorn::LogonDialog dialog(w);
        QTimer::singleShot(0, &dialog, [&] {
            std::printf("start_to_logon_ms %.1f\n", clock.nsecsElapsed() / 1e6);
            dialog.reject();
        });
        dialog.exec();
    };
    w.showLogon();

    w.options().animation = false;
    w.waitScale = 0;
    w.mnuDeal_Click();
    std::printf("resident_kib_after_deal %ld\n", ResidentKiB());
    for (int i = 0; i < 400 && !w.labThrow()->isVisible(); ++i) w.engine().Tick();
    // The first seconds after start-up belong to the audio back end looking for
    // a device and the first paints; the figures are for the table at rest.
    Idle(2000);
    Report("idle_local", w, idleMs);

    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    w.session().mode = vorn::Mode::Host;
    w.session().ServerPort = port;
    w.network().SetSendTimerEnabled(true);
    w.network().StartConnection("H");
    Report("idle_host", w, idleMs);
    w.network().CloseAllConnections();
    return 0;
}
