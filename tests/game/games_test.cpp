// Whole games on the real engine, and the end of a game: the score board, the
// next-game question, the deal that follows it and the cycle timer.

#include <QObject>
#include <QTest>

#include "cards/rules.h"
#include "tests/game/enginerig.h"
#include "tests/testing.h"

namespace vorn::gametest {
namespace {

std::string Question(const std::string& name) {
    return name + " 赢得本局，并赢得下局的先出牌权！开始下一局吗？";
}
std::string LeadHintText(const std::string& name) {
    return "牌局：本局由" + name + "先出牌";
}

// The person's way of playing in these games: lead the first card of the
// hand; follow with the cards one number above the table's when he holds them
// and the answer keeps 2s alone, else pass. Raises the cards with clicks.
void ChooseForPerson(Rig& rig) {
    GameState& t = rig.table;
    const CardSet hand = t.lstDirection[0];
    if (t.MustLead || t.TablePlay.Empty()) {
        rig.engine.CardClick(hand[0]);
        return;
    }
    CardSet chosen;
    for (const Card onTable : t.TablePlay) {
        const int wanted = onTable.Number() + 1;
        for (const Card mine : hand)
            if (!chosen.Contains(mine) && mine.Number() == wanted) {
                chosen.Add(mine);
                break;
            }
    }
    if (chosen.Count() != PlaySize(t.TablePlay) || BreaksTwoRule(chosen)) return;  // pass
    for (const Card card : chosen) rig.engine.CardClick(card);
}

// The end of a game as the screen shows it: the question names the winner,
// who the hint line already names as the next leader; the score board adds
// the winner's game and the cards each other seat had left; then either the
// next game is dealt at once with the winner leading, the cycle timer running
// as timer says, or the table is cleared and waits for the deal button.
void ExpectGameOver(const Rig& rig, int winner, const ScoreBoard& before, const std::array<int, 4>& left,
                    bool dealtAgain, bool timer) {
    const GameState& t = rig.table;
    const ScoreBoard& now = rig.engine.scores();
    const std::string& name = rig.session.PlayerNames[winner];
    QCOMPARE(Q(rig.view.questions.back()), Q(Question(name)));
    QCOMPARE(Q(rig.view.hintAtQuestion.back()), Q(LeadHintText(name)));
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(now.lost[i] - before.lost[i], i == winner ? 0 : left[i]);
        QCOMPARE(now.won[i] - before.won[i], i == winner ? 1 : 0);
        QCOMPARE(Q(rig.view.scores[i].scorer), Q(rig.session.PlayerNames[i] + " 失分"));
        QCOMPARE(rig.view.scores[i].lost, now.lost[i]);
        QCOMPARE(rig.view.scores[i].won, now.won[i]);
        QCOMPARE(t.HandSize(i), !dealtAgain ? 0 : i == winner ? 7 : 6);
    }
    QCOMPARE(Q(t.PlayType), QString("JustBegin"));
    QCOMPARE(t.lstCardsBox.Count(), dealtAgain ? 27 : 52);
    QCOMPARE(rig.view.dealEnabled, !dealtAgain);
    QCOMPARE(rig.view.TimerRunning(), dealtAgain && timer);
    if (dealtAgain) QCOMPARE(t.CurrentSeat, winner);
}

}  // namespace

class EngineGamesTest : public QObject {
    Q_OBJECT

  private slots:
    void wholeGames_data() {
        QTest::addColumn<quint64>("seed");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("byClicks");
        QTest::addColumn<int>("games");
        Row("computer person, medium", quint64(11), 1, false, 4);
        Row("computer person, low", quint64(12), 2, false, 4);
        Row("computer person, high", quint64(13), 0, false, 3);
        Row("clicking person, medium", quint64(14), 1, true, 4);
        Row("clicking person, high", quint64(15), 0, true, 3);
    }

    void wholeGames() {
        QFETCH(quint64, seed);
        QFETCH(int, level);
        QFETCH(bool, byClicks);
        QFETCH(int, games);
        Rig rig(seed);
        GameState& t = rig.table;
        Engine& engine = rig.engine;
        rig.options.SetLevel(level);
        engine.autoPlay = !byClicks;
        for (int g = 1; g < games; ++g) rig.view.answers.push_back(true);

        // The hands at the moment of the last decision are the ones scored.
        std::array<int, 4> sizes{};
        engine.afterDecision = [&](int, bool) { sizes = HandSizes(engine.server()->state()); };

        engine.NewGame();
        QCOMPARE(Q(rig.view.hint), Q(LeadHintText(rig.session.PlayerNames[0])));
        engine.Deal();
        QCOMPARE(t.HandSize(0), 7);
        QCOMPARE(t.lstCardsBox.Count(), 27);
        // The timer runs while a computer seat is to move.
        QCOMPARE(rig.view.TimerRunning(), !byClicks);

        int moves = 0;
        for (int step = 0; step < 20000 && int(rig.view.questions.size()) < games; ++step) {
            const size_t asked = rig.view.questions.size();
            const ScoreBoard before = engine.scores();
            if (byClicks && t.CurrentSeat == 0 && rig.view.throwVisible) {
                QVERIFY(!rig.view.TimerRunning());
                ChooseForPerson(rig);
                QCOMPARE(rig.view.throwCaption, t.lstSelected.Empty() ? std::string("PASS") : "OK");
                sizes = HandSizes(t);
                engine.ThrowClick();
                QCOMPARE(rig.view.infoBoxes.size(), size_t(0));
                ++moves;
            } else {
                QVERIFY2(rig.view.TimerRunning(), "a computer seat is to move while the timer is stopped");
                const int seat = t.CurrentSeat;
                engine.Tick();
                if (seat != 0 || !byClicks) ++moves;
            }
            QCOMPARE(Q(CheckConservation(t, t.lstSelected.Empty() ? -1 : 0)), QString());
            if (rig.view.questions.size() == asked) continue;

            // A game has just ended; yes to the question deals the next one.
            const int winner = t.TheLastThrower;
            QCOMPARE(sizes[winner], 0);
            ExpectGameOver(rig, winner, before, sizes, int(rig.view.questions.size()) < games,
                           winner != 0 || !byClicks);
            if (QTest::currentTestFailed()) return;
        }
        QCOMPARE(int(rig.view.questions.size()), games);
        int won = 0;
        for (int i = 0; i < 4; ++i) won += engine.scores().won[i];
        QCOMPARE(won, games);
        QVERIFY(moves > games * 4);
        QCOMPARE(rig.view.winSounds, games);
    }

    void gameWon_data() {
        QTest::addColumn<int>("winner");
        QTest::addColumn<QStringList>("hands");
        QTest::addColumn<bool>("yes");
        Row("seat 2 out, the others hold 4 1 5", 2, QStringList{"3 4 5 6", "7", "8", "9 10 J Q K"}, false);
        Row("seat 2 out, next game dealt", 2, QStringList{"3 4 5 6", "7", "8", "9 10 J Q K"}, true);
        Row("seat 1 out with a 2", 1, QStringList{"3 3", "2", "4 4 4", "5"}, false);
        Row("person out", 0, QStringList{"K", "3 4", "5 6 7", "8 9 10 J"}, false);
        Row("person out, next game dealt", 0, QStringList{"K", "3 4", "5", "8"}, true);
    }

    void gameWon() {
        QFETCH(int, winner);
        QFETCH(QStringList, hands);
        QFETCH(bool, yes);
        Rig rig(5);
        GameState& t = rig.table;
        rig.session.PlayerNames = {"南家", "East", "北家", "West"};
        Arrange(rig, {.hands = {hands[0], hands[1], hands[2], hands[3]},
                      .lastThrower = winner,
                      .current = winner,
                      .mustLead = true});
        const std::array<int, 4> sizes = HandSizes(t);
        rig.view.answers = {yes};
        rig.view.StartCycleTimer(rig.options.cycleInterval);

        rig.engine.Tick();
        if (winner == 0) {
            QVERIFY(rig.view.throwVisible);
            rig.engine.CardClick(CardOf(t.lstDirection[0][0]));
            rig.engine.ThrowClick();
        }

        QCOMPARE(rig.view.questions.size(), size_t(1));
        QCOMPARE(rig.view.winSounds, 1);
        QCOMPARE(rig.view.infoBoxes.size(), size_t(0));
        ExpectGameOver(rig, winner, ScoreBoard{}, sizes, yes, winner != 0);
    }

    void newGameStopsCycleTimer() {
        Rig rig(3);
        rig.table.TheLastThrower = 1;
        rig.engine.NewGame();
        rig.engine.Deal();
        QVERIFY(rig.view.TimerRunning());
        rig.engine.Tick();
        rig.engine.NewGame();
        QVERIFY(!rig.view.TimerRunning());
        QCOMPARE(rig.table.lstCardsBox.Count(), 52);
        QVERIFY(!rig.view.throwVisible);
        QVERIFY(!rig.engine.ThrowVisible());
    }
};

VORN_TEST(EngineGamesTest)

}  // namespace vorn::gametest

#include "games_test.moc"
