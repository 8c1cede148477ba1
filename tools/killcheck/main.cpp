// vorn-killcheck [--kills N] [--seed S] [--level L]: plays local games in a
// table window of a process of its own (offscreen, the computer player in
// the person's seat too, at full speed), kills that process with SIGKILL at N
// random moments, and starts it again on the same folder each time. Every
// start after a kill must offer 继续上局 in the logon dialog, take it, and
// show exactly the game saved before the kill: the table, the score board,
// whose turn, the seats' levels and where the random source stood.
//
// The table process is this program run with --table <folder> <seed> <level>.
// It prints "offered 0|1" when its logon dialog opens, then "shown <what
// differs>" (empty when the window shows the table it took up) and writes the
// game it took up to <folder>/resumed.txt before anything moves.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <signal.h>

#include <cstdio>
#include <optional>

#include "app/logondialog.h"
#include "app/mainwindow.h"
#include "app/savefile.h"

namespace {

using vorn::MainWindow;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the window shows against the game it keeps.
std::string ShownDifference(MainWindow& w, const vorn::SavedGame& game) {
    std::string differs = vorn::StateDifference(w.table(), game.state);
    if (w.engine().scores().lost != game.scores.lost || w.engine().scores().won != game.scores.won)
        differs += " the score board";
    for (int seat = 0; seat < 4; ++seat)
        if (w.lblScore(seat)->text() != QString::number(game.scores.lost[size_t(seat)]))
            differs += " a score label";
    return differs;
}

// The table process: logs on (taking up a saved game when offered), reports,
// then plays on until it is killed (or a minute has passed).
int RunTable(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    MainWindow w(folder, std::strtoull(argv[3], nullptr, 10));
    w.prompter.info = [](QWidget*, const QString& text, vorn::Prompter::Icon) {
        std::printf("info %s\n", qPrintable(text));
    };
    w.prompter.yesNo = [](QWidget*, const QString&) { return true; };  // the next game, always
    w.prompter.yesNoDefaultYes = w.prompter.yesNo;
    w.waitScale = 0;
    w.engine().autoPlay = true;
    w.options().SetLevel(std::atoi(argv[4]));
    bool offered = false;
    w.showLogon = [&] {
        vorn::LogonDialog dialog(w);
        offered = dialog.optResume && dialog.optResume->isChecked();
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.cmdOK->click(); });
        dialog.exec();
    };
    w.show();
    w.showLogon();
    const std::optional<vorn::SavedGame> game = w.LocalGame();
    if (!game) return 3;
    const std::string shown = offered ? ShownDifference(w, *game) : "";
    QFile resumed(QDir(folder).filePath("resumed.txt"));
    if (!resumed.open(QIODevice::WriteOnly)) return 3;
    resumed.write(QByteArray::fromStdString(vorn::SavedGameText(*game)));
    resumed.close();
    // As fast as the table goes: no pauses, a computer move at every tick.
    w.options().cycleInterval = 1;
    w.options().animation = false;
    w.options().sound = false;
    if (w.engine().DealOpen()) w.mnuDeal_Click();
    // Reported once a game is saved, so that a kill from now on finds one.
    std::printf("offered %d\nshown %s\n", offered ? 1 : 0, shown.c_str());
    std::fflush(stdout);
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}

struct Checker {
    QString program;
    QString folder;
    int level = 1;
    int failures = 0;

    void Fail(const QString& why) {
        std::printf("FAIL %s\n", qPrintable(why));
        ++failures;
    }
    // Starts a table, reads its report; expected: the save it must take up.
    std::unique_ptr<QProcess> Start(int round, const std::optional<QByteArray>& expected) {
        QFile::remove(QDir(folder).filePath("resumed.txt"));
        auto table = std::make_unique<QProcess>();
        table->setStandardErrorFile(QProcess::nullDevice());
        table->start(program, {"--table", folder, QString::number(1000 + round), QString::number(level),
                               "-platform", "offscreen"});
        QByteArray report;
        while (report.count('\n') < 2 && table->state() != QProcess::NotRunning)
            if (table->waitForReadyRead(20000)) report += table->readAllStandardOutput();
        const QList<QByteArray> lines = report.split('\n');
        const bool offered = lines.contains("offered 1");
        if (expected && !offered) Fail(QString("start %1: no saved game offered: %2").arg(round).arg(report));
        if (expected && offered && !lines.contains("shown "))
            Fail(QString("start %1: %2").arg(round).arg(report));
        if (expected && offered && ReadAll(QDir(folder).filePath("resumed.txt")) != *expected)
            Fail(QString("start %1: the game taken up is not the one saved").arg(round));
        return table;
    }
};

// The hands played to their end in a saved game: the games won, added up.
int GamesWon(const QByteArray& save) {
    const int at = save.indexOf("\nwon ");
    int won = 0;
    if (at >= 0)
        for (const QByteArray& count : save.mid(at + 5, save.indexOf('\n', at + 1) - at - 5).split(' '))
            won += count.toInt();
    return won;
}

int RunChecks(int kills, std::uint64_t seed, int level, const QString& program) {
    QTemporaryDir dir;
    Checker c{program, dir.path(), level};
    QRandomGenerator random(quint32(seed & 0xffffffffu));
    std::optional<QByteArray> expected;
    int resumedMidHand = 0, handsOver = 0;
    for (int round = 0; round <= kills; ++round) {
        std::unique_ptr<QProcess> table = c.Start(round, expected);
        if (expected && expected->contains("\nplaying 1\n")) ++resumedMidHand;
        if (expected) handsOver = GamesWon(*expected);
        if (round == kills) {
            ::kill(pid_t(table->processId()), SIGKILL);
            table->waitForFinished(10000);
            break;
        }
        // A moment anywhere from the first moves to a few hands on.
        QThread::msleep(random.bounded(50, 1500));
        ::kill(pid_t(table->processId()), SIGKILL);
        table->waitForFinished(10000);
        expected = ReadAll(QDir(dir.path()).filePath(vorn::kSaveFileName));
        if (expected->isEmpty()) c.Fail(QString("kill %1: nothing saved").arg(round + 1));
    }
    std::printf("kills %d resumed_mid_hand %d hands_played %d failures %d\n", kills, resumedMidHand,
                handsOver, c.failures);
    return c.failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 5 && QByteArray(argv[1]) == "--table") return RunTable(argc, argv);
    QCoreApplication app(argc, argv);
    int kills = 20, level = 1;
    std::uint64_t seed = 1;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--kills") kills = args[i + 1].toInt();
        if (args[i] == "--seed") seed = args[i + 1].toULongLong();
        if (args[i] == "--level") level = args[i + 1].toInt();
    }
    return RunChecks(kills, seed, level, QCoreApplication::applicationFilePath());
}
