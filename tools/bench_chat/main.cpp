// Appends lines to the chat log of a real table window, shown, and prints the
// time for the whole run and for its first and last thousand lines: a log that
// costs the same per line whatever its length gives two equal figures. The
// default is 10,000 lines; a first argument changes it.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/mainwindow.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(2000, std::atoi(argv[1])) : 10000;

    QTemporaryDir folder;
    vorn::MainWindow w(folder.path(), 1);
    w.showLogon = [] {};
    w.show();
    // The log shown, so that every line is laid out as on screen.
    if (!w.txtDialog()->isVisible()) w.Action("mnuShowMessage")->trigger();
    QApplication::processEvents();

    const QString text = QString::fromUtf8("青龙: 这是一行聊天记录，用来测量日志的增长 %1");
    QElapsedTimer clock;
    clock.start();
    double firstThousand = 0;
    qint64 lastThousandStart = 0;
    for (int i = 0; i < lines; ++i) {
        if (i == lines - 1000) lastThousandStart = clock.nsecsElapsed();
        w.AppendChat(text.arg(i));
        if (i == 999) firstThousand = double(clock.nsecsElapsed()) / 1e6;
    }
    QApplication::processEvents();
    const double total = double(clock.nsecsElapsed()) / 1e6;
    const double lastThousand = double(clock.nsecsElapsed() - lastThousandStart) / 1e6;
    std::printf("lines %d  kept %d  first 1000 %.1f ms  last 1000 %.1f ms\n", lines,
                w.txtDialog()->document()->blockCount(), firstThousand, lastThousand);
    std::printf("chat_append_ms %.1f\n", total);
    return 0;
}
