// A saved game: taken up on a fresh table it plays on exactly as the table it
// was saved from, and a text that is not a table the game can reach is refused
// with its reason, never taken up.

#include <QObject>
#include <QRegularExpression>
#include <QTest>

#include "ai/expert.h"
#include "cards/random.h"
#include "game/savedgame.h"
#include "tests/game/enginerig.h"
#include "tests/testing.h"

namespace vorn::gametest {
namespace {

using Kind = TableEvent::Kind;

// Four computer seats, seat 0 searching (so that its view of the game, which
// the search reads, must come back whole), played a step at a time.
struct SavingTable : ServerTable {
    explicit SavingTable(std::uint64_t seed) : ServerTable(seed) {
        for (int s = 0; s < 4; ++s) server.SetSeat(s, {SeatKind::Computer, s == 0 ? kExpertLevel : s - 1});
        // A small search: it still starts from the seat's view, history and all.
        server.expertSearch = [](const Observation& seen) { return ExpertChoice(seen, {.playouts = 40}); };
        server.NewGame(0);
    }
};

// The text of a table played steps moves into its first game.
std::string SavedAfter(int steps, std::uint64_t seed = 5) {
    SavingTable table(seed);
    for (int i = 0; i < steps; ++i) table.Step();
    return SavedGameText(SaveOf(table.server, table.random));
}

}  // namespace

class SavedGameTest : public QObject {
    Q_OBJECT
  private slots:
    // Saved at some step, read back into a table on another seed and played
    // on: the two tables tell the same events to the end of the next game,
    // and the searching seat's view is the same before and after.
    void playsOnAsBefore_data() {
        QTest::addColumn<int>("steps");
        QTest::newRow("before the first deal") << 0;
        QTest::newRow("just dealt") << 1;
        QTest::newRow("mid-hand") << 12;
        QTest::newRow("late in the hand") << 40;
        QTest::newRow("later games") << 120;
    }
    void playsOnAsBefore() {
        QFETCH(int, steps);
        SavingTable first(11);
        for (int i = 0; i < steps; ++i) first.Step();
        const SaveReading read = ReadSavedGame(SavedGameText(SaveOf(first.server, first.random)));
        QVERIFY2(read.game, read.error.c_str());
        SavingTable second(99);
        second.Step();
        RestoreInto(*read.game, second.server, second.random, 0);
        QVERIFY(second.server.state() == first.server.state());
        QVERIFY(*second.server.Seen(0) == *first.server.Seen(0));
        first.server.TakeEvents();
        second.server.TakeEvents();
        int gamesOver = 0;
        for (int i = 0; i < 400 && gamesOver < 2; ++i) {
            first.Step();
            second.Step();
            const std::vector<TableEvent> a = first.server.TakeEvents(), b = second.server.TakeEvents();
            QCOMPARE(a.size(), b.size());
            for (size_t k = 0; k < a.size(); ++k) {
                QCOMPARE(int(a[k].kind), int(b[k].kind));
                QCOMPARE(a[k].seat, b[k].seat);
                QVERIFY(a[k].cards == b[k].cards && a[k].card == b[k].card);
                if (a[k].kind == Kind::GameOver) ++gamesOver;
            }
        }
        QCOMPARE(gamesOver, 2);
        QVERIFY(second.server.state() == first.server.state());
        QCOMPARE(second.server.scores().lost, first.server.scores().lost);
        QCOMPARE(second.server.scores().won, first.server.scores().won);
        QCOMPARE(second.random.drawn(), first.random.drawn());
    }

    // Each row changes a good save (its first match of pattern becomes
    // replacement) and names the reason the reading must give.
    void damagedRefused_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("reason");
        Row("empty", "(?s).*", "", "not a saved game");
        Row("another version", "^vorn-save 1", "vorn-save 2", "not a saved game");
        Row("cut short", "(?s)event [^\\n]*\\nend\\n$", "event", "the end is missing");
        Row("something after the end", "end\\n$", "end\nend\n", "not in the form");
        Row("Windows line ends", "^(playing \\d)\\n", "\\1\r\n", "first line");
        Row("cards out of order", "^(hand2 )(\\w{4})(\\w{4})", "\\1\\3\\2", "not in the form");
        Row("a card in two hands", "^(hand0 )(\\w{4})((?:.*\\n)hand1 )", "\\1\\2\\3\\2",
            "a card in two places");
        Row("a card gone from the stock", "^stock \\w{4}", "stock ", "another table");
        Row("a card that is none", "^hand3 \\w{4}", "hand3 X_99", "a hand does not read");
        Row("a seat past the fourth", "^turn \\d", "turn 4", "the turn does not read");
        Row("four passes", "^(turn \\d \\d \\d )\\d", "\\g<1>4", "the turn does not read");
        Row("the last turn left out", "^event t [^\\n]*\\nend\\n$", "end\n", "another seat's turn");
        Row("a kind of play past the last", "^(table \\S+ )\\d", "\\g<1>7", "the play on");
        Row("the stock said empty", "^stockempty 0", "stockempty 1", "the stock's state");
        Row("a score below zero", "^lost \\d+", "lost -1", "the score board");
        Row("a score past any game", "^won \\d+", "won 1000000001", "the score board");
        Row("a seat over the network", "^seats C3", "seats R", "a seat does not read");
        Row("a level past the expert", "^(seats \\S+ )C\\d", "\\1C4", "a seat does not read");
        Row("numbers drawn past any session", "^(random \\d+ )\\d+", "\\g<1>999999999999",
            "the random source");
        Row("an event of no kind", "^event d", "event x", "an event does not read");
        Row("a drawn card swapped between seats",
            "^(event d 1 \\d+ )(\\w{4})((?:.*\\n)*?event d 2 \\d+ )(\\w{4})", "\\1\\4\\3\\2",
            "another table");
        Row("a move left out", "^event p [^\\n]*\\n", "", "another table");
        Row("a second hand begun", "^(event n \\d\\n)", "\\1\\1", "two hands");
        Row("dealt between hands", "^playing 1", "playing 0", "between hands");
    }
    void damagedRefused() {
        QFETCH(QString, pattern);
        QFETCH(QString, replacement);
        QFETCH(QString, reason);
        const QString good = QString::fromStdString(SavedAfter(30));
        QVERIFY(good.contains("\nplaying 1\n"));
        QVERIFY(ReadSavedGame(good.toStdString()).game);
        const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = re.match(good);
        QVERIFY2(match.hasMatch(), qPrintable(pattern));
        QString damaged = good;
        QString with = replacement;
        for (int g = re.captureCount(); g >= 1; --g) {
            with.replace(QString("\\g<%1>").arg(g), match.captured(g));
            with.replace(QString("\\%1").arg(g), match.captured(g));
        }
        damaged.replace(match.capturedStart(), match.capturedLength(), with);
        QVERIFY(damaged != good);
        const SaveReading read = ReadSavedGame(damaged.toStdString());
        QVERIFY(!read.game);
        QVERIFY2(QString::fromStdString(read.error).contains(reason), read.error.c_str());
    }
};

VORN_TEST(SavedGameTest)

}  // namespace vorn::gametest

#include "savedgame_test.moc"
