// The play operation on a local table: the refusals and what they leave,
// passes, the drawing round that opens each new round, the empty stock and the
// seats' runs of single cards.

#include <QObject>
#include <QTest>

#include "cards/rules.h"
#include "tests/game/enginerig.h"
#include "tests/testing.h"

namespace vorn::gametest {
namespace {

std::vector<int> Ints(const QString& text) {
    std::vector<int> values;
    for (const QString& item : text.split(' ', Qt::SkipEmptyParts)) values.push_back(item.toInt());
    return values;
}

}  // namespace

class EnginePlayTest : public QObject {
    Q_OBJECT

  private slots:
    void personChoice_data() {
        QTest::addColumn<QString>("hand");
        QTest::addColumn<QString>("onTable");
        QTest::addColumn<QString>("choose");
        QTest::addColumn<QString>("message");  // empty: the play is made
        QTest::addColumn<QString>("hint");     // the status line after a play that is made

        const QString shape = "所选牌不符合牌型规则！";
        const QString two = "\"2\"不能与其他牌组合牌型！";
        const QString lead = "你先出牌，不能 PASS，可选任意牌型！";
        const QString beat = "所选牌管不起当前牌型。";
        Row("two numbers", "3 5 7", "", "3 5", shape, "");
        Row("run with a gap", "3 5 7 9", "", "3 5 7", shape, "");
        Row("double run and a loose card", "3 3 4 4 5", "", "3 3 4 4 5", shape, "");
        Row("shape comes before the 2 rule", "3 2", "5", "3 2", shape, "");
        Row("run up to the 2", "Q K A 2", "", "Q K A 2", two, "");
        Row("aces with 2s", "A A 2 2", "", "A A 2 2", two, "");
        Row("pass at the first lead", "3 4", "", "", lead, "");
        Row("jump on a single", "9 K", "7", "9", beat + "按规则应出“8”或“2”！", "");
        Row("pair on a single", "8 8", "7", "8 8", beat + "按规则应出“8”或“2”！", "");
        Row("pair too high", "4 4 7 7", "5 5", "7 7", beat + "按规则应出“6 6”或“2 2”！", "");
        Row("one 2 on a pair", "2 9", "7 7", "2", beat + "按规则应出“8 8”或“2 2”！", "");
        Row("run too high", "6 7 8", "4 5 6", "6 7 8", beat + "按规则应出“5 6 7”！", "");
        Row("2s on a run", "2 2 2", "4 5 6", "2 2 2", beat + "按规则应出“5 6 7”！", "");
        Row("on 2s", "3 3", "2 2", "3 3", beat + "当前牌型已是最大的！", "");
        Row("on a run to the ace", "K A 2", "J Q K", "K A 2", two, "");
        Row("next number beats", "8 9", "7", "8", "", "牌局：朱雀出牌 8");
        Row("2s beat a pair", "2 2 3", "7 7", "2 2", "", "牌局：朱雀出牌 2 2");
        Row("double run beats", "5 5 6 6 9", "4 4 5 5", "5 5 6 6", "", "牌局：朱雀出牌 5 5 6 6");
        Row("pass when following", "3", "7", "", "", "牌局：白虎出牌 7");
        Row("any lead", "3 4 5 9", "", "3 4 5", "", "牌局：朱雀出牌 3 4 5");
    }

    void personChoice() {
        QFETCH(QString, hand);
        QFETCH(QString, onTable);
        QFETCH(QString, choose);
        QFETCH(QString, message);
        QFETCH(QString, hint);
        Rig rig(7);
        GameState& t = rig.table;
        Arrange(rig,
                {.hands = {hand, "10 J", "10 J", "10 J"}, .onTable = onTable, .mustLead = onTable.isEmpty()});
        const CardSet tableBefore = t.TablePlay;
        rig.view.StartCycleTimer(rig.options.cycleInterval);
        rig.engine.Tick();
        QVERIFY(rig.view.throwVisible);
        QVERIFY(!rig.view.TimerRunning());

        const CardSet chosen = Pick(t.lstDirection[0], choose);
        for (const Card card : chosen) rig.engine.CardClick(card);
        const CardSet handAfterClicks = t.lstDirection[0];
        rig.engine.ThrowClick();

        if (!message.isEmpty()) {
            QCOMPARE(rig.view.infoBoxes, std::vector<std::string>{message.toStdString()});
            // Nothing moved: the cards stay chosen and raised, the turn stays his.
            ExpectRaised(rig, chosen);
            QCOMPARE(t.lstDirection[0], handAfterClicks);
            QCOMPARE(t.CurrentSeat, 0);
            QVERIFY(rig.view.throwVisible);
            QCOMPARE(Q(rig.view.throwCaption), chosen.Empty() ? QString("PASS") : QString("OK"));
            QCOMPARE(Q(t.TablePlay), Q(tableBefore));
            QCOMPARE(t.PassCount, 0);
            QVERIFY(!rig.view.TimerRunning());
            QCOMPARE(Q(CheckConservation(t, chosen.Empty() ? -1 : 0)), QString());
            return;
        }
        QCOMPARE(rig.view.infoBoxes.size(), size_t(0));
        QCOMPARE(t.CurrentSeat, 1);
        QVERIFY(!rig.view.throwVisible);
        QVERIFY(rig.view.TimerRunning());
        QVERIFY(t.lstSelected.Empty());
        QCOMPARE(Q(rig.view.hint), hint);
        QCOMPARE(t.PassCount, chosen.Empty() ? 1 : 0);
        QCOMPARE(t.TheLastThrower, chosen.Empty() ? 3 : 0);
        if (chosen.Empty())
            QCOMPARE(Q(t.TablePlay), Q(tableBefore));
        else
            QCOMPARE(PlaySize(t.TablePlay), chosen.Count());
        for (const Card card : chosen) {
            QVERIFY(t.TablePlay.Contains(card));
            QCOMPARE(t.Location(card), kPlayedLocation);
            // On the heap, face down.
            const CardImage& shown = rig.view.cards[FaceCell(card)];
            QCOMPARE(At(shown), std::make_pair(kHeapX, kHeapY));
            QVERIFY(!shown.face);
        }
        if (!chosen.Empty()) {
            QCOMPARE(rig.view.moveSounds, 1);
            QCOMPARE(rig.view.waits, std::vector<int>{rig.options.playDelay});
        }
        QCOMPARE(Q(CheckConservation(t)), QString());
    }

    // A computer seat whose choice breaks the rules: the afterDecision hook
    // swaps the computer player's choice for a bad one.
    void computerRefusal_data() {
        QTest::addColumn<int>("seat");
        QTest::addColumn<QString>("hand");
        QTest::addColumn<bool>("newRound");  // else the first lead of the game
        QTest::addColumn<QString>("bad");    // empty: a pass
        Row("two numbers at the first lead", 1, "3 5 9", false, "3 5");
        Row("2 with a king", 2, "4 K 2", false, "K 2");
        Row("pass at the first lead", 3, "3 4", false, "");
        Row("two numbers opening a round", 1, "3 5 9", true, "3 9");
        Row("pass opening a round", 2, "3 6 7 8", true, "");
    }

    void computerRefusal() {
        QFETCH(int, seat);
        QFETCH(QString, hand);
        QFETCH(bool, newRound);
        QFETCH(QString, bad);
        Rig rig(8);
        GameState& t = rig.table;
        Setup setup{.lastThrower = seat, .current = seat, .mustLead = !newRound};
        setup.hands.fill("10 J");
        setup.hands[seat] = hand;
        if (newRound) {
            setup.onTable = "Q";
            setup.passCount = 2;
            setup.current = (seat + 3) % 4;
        }
        Arrange(rig, setup);
        if (newRound) {
            // The seat before makes the third pass: the round opens.
            MoveOn(rig);
            QCOMPARE(t.CurrentSeat, seat);
        }
        bool tamper = true;
        int decisions = 0;
        GameState& kept = rig.engine.server()->MutableState();
        rig.engine.afterDecision = [&](int s, bool lead) {
            ++decisions;
            QCOMPARE(s, seat);
            QVERIFY(lead);
            if (!tamper) return;
            kept.lstDirection[s] |= kept.lstSelected;
            kept.lstSelected = Pick(kept.lstDirection[s], bad);
            kept.lstDirection[s] = kept.lstDirection[s].Without(kept.lstSelected);
        };

        rig.engine.Tick();
        QCOMPARE(rig.view.infoBoxes.size(), size_t(0));
        QVERIFY(t.lstSelected.Empty());
        QCOMPARE(t.CurrentSeat, seat);
        QCOMPARE(Q(t.TablePlay), QString());
        // The round's draw gave the leader one card; the refused cards are back.
        QCOMPARE(t.HandSize(seat), int(Codes(hand).size()) + (newRound ? 1 : 0));
        QCOMPARE(Q(CheckConservation(t)), QString());
        const int stockAfterRefusal = t.lstCardsBox.Count();

        // The next tick asks the seat again, and this time it leads.
        tamper = false;
        rig.engine.Tick();
        QCOMPARE(decisions, 2);
        QCOMPARE(rig.view.infoBoxes.size(), size_t(0));
        QCOMPARE(t.CurrentSeat, (seat + 1) % 4);
        QCOMPARE(t.TheLastThrower, seat);
        QVERIFY(!t.TablePlay.Empty());
        QCOMPARE(t.PassCount, 0);
        QCOMPARE(t.lstCardsBox.Count(), stockAfterRefusal);  // no second drawing round
        QCOMPARE(Q(CheckConservation(t)), QString());
    }

    // While the screen still shows earlier moves, neither the cycle timer
    // nor the person moves the table on; once it has caught up, both do.
    void waitsForTheScreen_data() {
        QTest::addColumn<int>("mover");
        QTest::addColumn<QString>("input");
        Row("a computer seat's tick", 1, "tick");
        Row("the person's card", 0, "card");
        Row("the person's play", 0, "throw");
    }
    void waitsForTheScreen() {
        QFETCH(int, mover);
        QFETCH(QString, input);
        Rig rig(31);
        GameState& t = rig.table;
        Arrange(rig, {.hands = {"3 4 5 9", "6 7 8 K", "8 9 J", "10 J Q"},
                      .lastThrower = mover,
                      .current = mover,
                      .mustLead = true});
        if (mover == 0) {
            rig.engine.Tick();
            if (input == "throw") rig.engine.CardClick(t.lstDirection[0][0]);
        }
        auto act = [&] {
            if (input == "tick") rig.engine.Tick();
            if (input == "card") rig.engine.CardClick(t.lstDirection[0][0]);
            if (input == "throw") rig.engine.ThrowClick();
        };
        const GameState before = t;
        rig.view.presenting = true;
        act();
        QVERIFY(t == before);
        rig.view.presenting = false;
        act();
        QVERIFY(t != before);
        QCOMPARE(Q(CheckConservation(t, input == "card" ? 0 : -1)), QString());
    }

    // With 自动不出, a person who holds nothing that may beat the table passes
    // at the next tick; a play that may beat it, or the option off, leaves the
    // turn with the person.
    void autoPass_data() {
        QTest::addColumn<bool>("option");
        QTest::addColumn<QString>("hand");
        QTest::addColumn<QString>("onTable");
        QTest::addColumn<bool>("passes");
        Row("nothing beats a 2", true, "3 K A", "2", true);
        Row("a pair beats the pair", true, "4 4 7", "3 3", false);
        Row("singles do not beat a pair", true, "4 5 7", "3 3", true);
        Row("a run beats the run", true, "4 5 6 9", "3 4 5", false);
        Row("option off", false, "3 K A", "2", false);
    }
    void autoPass() {
        QFETCH(bool, option);
        QFETCH(QString, hand);
        QFETCH(QString, onTable);
        QFETCH(bool, passes);
        Rig rig(5);
        rig.options.autoPass = option;
        Arrange(rig, {.hands = {hand, "8", "9", "10"}, .onTable = onTable});
        QVERIFY(rig.view.throwVisible);
        QCOMPARE(rig.view.TimerRunning(), passes);
        rig.engine.Tick();
        QCOMPARE(rig.table.PassCount, passes ? 1 : 0);
        QCOMPARE(rig.table.CurrentSeat, passes ? 1 : 0);
    }

    // Nobody beats the K: the seats pass in turn and the third pass ends the
    // round. The seats draw from the stock in turn from the one that made the
    // last play, as far as the stock lasts, and that seat leads.
    void drawingRound_data() {
        QTest::addColumn<int>("leader");
        QTest::addColumn<int>("passes");  // the passes still to come
        QTest::addColumn<int>("stock");
        QTest::addColumn<QString>("order");  // the seats that draw, in order
        Row("three passes in a row", 1, 3, 39, "1 2 3 0");
        Row("seat 1 leads", 1, 1, 27, "1 2 3 0");
        Row("seat 3 leads", 3, 1, 20, "3 0 1 2");
        Row("person leads", 0, 1, 27, "0 1 2 3");
        Row("two cards left", 2, 1, 2, "2 3");
        Row("last card, person", 0, 1, 1, "0");
        Row("stock empty", 1, 1, 0, "");
        Row("stock empty, person", 0, 1, 0, "");
    }

    void drawingRound() {
        QFETCH(int, leader);
        QFETCH(int, passes);
        QFETCH(int, stock);
        QFETCH(QString, order);
        Rig rig(10);
        GameState& t = rig.table;
        Arrange(rig, {.hands = {"3 5 7", "4 6 8", "3 4 9", "5 6 10"},
                      .onTable = "K",
                      .lastThrower = leader,
                      .current = (leader + 4 - passes) % 4,
                      .passCount = 3 - passes,
                      .stockLeft = stock});
        QCOMPARE(t.StockEmpty, stock == 0);
        std::vector<int> drawnBy;
        rig.view.onStockCount = [&](int) { drawnBy.push_back(t.Location(CardOf(t.DrawnCard))); };
        rig.view.StartCycleTimer(rig.options.cycleInterval);

        for (int k = 0; k < passes; ++k) {
            QCOMPARE(t.PassCount, 3 - passes + k);
            QCOMPARE(t.CurrentSeat, (leader + 4 - passes + k) % 4);
            MoveOn(rig);
        }
        QCOMPARE(rig.view.infoBoxes.size(), size_t(0));
        QCOMPARE(drawnBy, Ints(order));
        QCOMPARE(t.CurrentSeat, leader);
        QCOMPARE(t.PassCount, 0);
        QVERIFY(t.MustLead && t.TablePlay.Empty());
        QCOMPARE(Q(rig.view.hint), "牌局：" + Q(rig.session.PlayerNames[leader]) + "出牌 K");
        QCOMPARE(rig.view.TimerRunning(), leader != 0);
        if (leader != 0) rig.engine.Tick();
        QCOMPARE(t.lstCardsBox.Count(), stock - int(drawnBy.size()));
        QCOMPARE(t.StockEmpty, t.lstCardsBox.Empty());
        QCOMPARE(t.PassCount, 0);
        std::array<int, 4> gained{};
        for (int s : drawnBy) ++gained[s];
        for (int s = 0; s < 4; ++s) {
            int expected = 3 + gained[s];
            if (s == leader && leader != 0) expected -= PlaySize(t.TablePlay);
            QCOMPARE(t.HandSize(s), expected);
        }
        if (leader == 0) {
            // The person leads: a new round, and no pass.
            QVERIFY(rig.view.throwVisible);
            rig.engine.ThrowClick();
            QCOMPARE(rig.view.infoBoxes, std::vector<std::string>{"你先出牌，不能 PASS，可选任意牌型！"});
            QCOMPARE(t.CurrentSeat, 0);
            QCOMPARE(t.PassCount, 0);
        } else {
            QCOMPARE(t.TheLastThrower, leader);
            QCOMPARE(t.CurrentSeat, (leader + 1) % 4);
            QVERIFY(!t.TablePlay.Empty());
        }
        QCOMPARE(Q(CheckConservation(t)), QString());
    }

    void singleRun_data() {
        QTest::addColumn<QString>("moves");  // seat:ranks, "-" a pass
        QTest::addColumn<QString>("runs");
        Row("singles in a row", "1:3 1:4 1:5", "0 3 0 0");
        Row("a pair ends the run", "1:3 1:4 1:6,6", "0 0 0 0");
        Row("passes leave it", "1:3 2:- 3:- 1:4 2:- 3:-", "0 2 0 0");
        Row("each seat its own", "1:3 2:4 3:5 1:6", "0 2 1 1");
        Row("the run starts again", "2:3 2:5,5 2:7", "0 0 1 0");
        Row("a run of straights is no run", "3:3,4,5 3:6,7,8", "0 0 0 0");
    }

    void singleRun() {
        QFETCH(QString, moves);
        QFETCH(QString, runs);
        Rig rig(11);
        GameState& t = rig.table;
        Arrange(rig, {.hands = {"K", "K", "K", "K"}});
        for (const QString& move : moves.split(' ', Qt::SkipEmptyParts)) {
            const int seat = move.section(':', 0, 0).toInt();
            const QString ranks = move.section(':', 1).replace(',', ' ');
            // Drawn into the hand and chosen, as the computer player would.
            t.lstSelected = Take(t, ranks, seat);
            t.lstDirection[seat] = t.lstDirection[seat].Without(t.lstSelected);
            t.CurrentSeat = seat;
            // Each play is laid as a lead, so that any shape may follow any other.
            if (ranks != "-") t.TablePlay.Clear();
            Apply(t, Move{seat, t.lstSelected});
            QVERIFY(t.lstSelected.Empty());
            QCOMPARE(t.CurrentSeat, (seat + 1) % 4);
        }
        QCOMPARE(std::vector<int>(t.SingleRun.begin(), t.SingleRun.end()), Ints(runs));
        rig.engine.NewGame();
        QCOMPARE(t.SingleRun, (std::array<int, 4>{}));
    }
};

VORN_TEST(EnginePlayTest)

}  // namespace vorn::gametest

#include "play_test.moc"
