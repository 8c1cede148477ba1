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
        QTest::newRow("two numbers") << "3 5 7"
                                     << ""
                                     << "3 5" << shape << "";
        QTest::newRow("run with a gap") << "3 5 7 9"
                                        << ""
                                        << "3 5 7" << shape << "";
        QTest::newRow("double run and a loose card") << "3 3 4 4 5"
                                                     << ""
                                                     << "3 3 4 4 5" << shape << "";
        QTest::newRow("shape comes before the 2 rule") << "3 2"
                                                       << "5"
                                                       << "3 2" << shape << "";
        QTest::newRow("run up to the 2") << "Q K A 2"
                                         << ""
                                         << "Q K A 2" << two << "";
        QTest::newRow("aces with 2s") << "A A 2 2"
                                      << ""
                                      << "A A 2 2" << two << "";
        QTest::newRow("pass at the first lead") << "3 4"
                                                << ""
                                                << "" << lead << "";
        QTest::newRow("jump on a single") << "9 K"
                                          << "7"
                                          << "9" << beat + "按规则应出“8”或“2”！"
                                          << "";
        QTest::newRow("pair on a single") << "8 8"
                                          << "7"
                                          << "8 8" << beat + "按规则应出“8”或“2”！"
                                          << "";
        QTest::newRow("pair too high") << "4 4 7 7"
                                       << "5 5"
                                       << "7 7" << beat + "按规则应出“6 6”或“2 2”！"
                                       << "";
        QTest::newRow("one 2 on a pair") << "2 9"
                                         << "7 7"
                                         << "2" << beat + "按规则应出“8 8”或“2 2”！"
                                         << "";
        QTest::newRow("run too high") << "6 7 8"
                                      << "4 5 6"
                                      << "6 7 8" << beat + "按规则应出“5 6 7”！"
                                      << "";
        QTest::newRow("2s on a run") << "2 2 2"
                                     << "4 5 6"
                                     << "2 2 2" << beat + "按规则应出“5 6 7”！"
                                     << "";
        QTest::newRow("on 2s") << "3 3"
                               << "2 2"
                               << "3 3" << beat + "当前牌型已是最大的！"
                               << "";
        QTest::newRow("on a run to the ace") << "K A 2"
                                             << "J Q K"
                                             << "K A 2" << two << "";
        QTest::newRow("next number beats") << "8 9"
                                           << "7"
                                           << "8"
                                           << ""
                                           << "牌局：朱雀出牌 8";
        QTest::newRow("2s beat a pair") << "2 2 3"
                                        << "7 7"
                                        << "2 2"
                                        << ""
                                        << "牌局：朱雀出牌 2 2";
        QTest::newRow("double run beats") << "5 5 6 6 9"
                                          << "4 4 5 5"
                                          << "5 5 6 6"
                                          << ""
                                          << "牌局：朱雀出牌 5 5 6 6";
        QTest::newRow("pass when following") << "3"
                                             << "7"
                                             << ""
                                             << ""
                                             << "牌局：白虎出牌 7";
        QTest::newRow("any lead") << "3 4 5 9"
                                  << ""
                                  << "3 4 5"
                                  << ""
                                  << "牌局：朱雀出牌 3 4 5";
    }

    void personChoice() {
        QFETCH(QString, hand);
        QFETCH(QString, onTable);
        QFETCH(QString, choose);
        QFETCH(QString, message);
        QFETCH(QString, hint);
        Rig rig(7);
        GameState& t = rig.table;
        Setup setup;
        setup.hands = {hand, "10 J", "10 J", "10 J"};
        setup.onTable = onTable;
        setup.mustLead = onTable.isEmpty();
        setup.lastThrower = 3;
        Arrange(rig, setup);
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
            QCOMPARE(rig.view.infoBoxes.size(), size_t(1));
            QCOMPARE(Q(rig.view.infoBoxes[0]), message);
            // Nothing moved: the cards stay chosen and raised, the turn stays his.
            QCOMPARE(t.lstSelected.Count(), chosen.Count());
            for (const auto& code : chosen) {
                QVERIFY(t.lstSelected.Contains(code));
                QVERIFY(rig.pictures.Image(CardOf(code)).raised);
                QCOMPARE(rig.view.cards[FaceCell(CardOf(code))].y, rig.pictures.SeatY[0] - 300);
                QCOMPARE(t.Location(CardOf(code)), 0);
            }
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
        if (chosen.Empty()) {
            QCOMPARE(t.PassCount, 1);
            QCOMPARE(Q(t.TablePlay), Q(tableBefore));
            QCOMPARE(t.TheLastThrower, 3);
        } else {
            QCOMPARE(t.PassCount, 0);
            QCOMPARE(t.TheLastThrower, 0);
            QCOMPARE(PlaySize(t.TablePlay), chosen.Count());
            for (const auto& code : chosen) {
                QVERIFY(t.TablePlay.Contains(code));
                QCOMPARE(t.Location(CardOf(code)), kPlayedLocation);
                // On the heap, face down.
                QCOMPARE(rig.view.cards[FaceCell(CardOf(code))].x, kHeapX);
                QCOMPARE(rig.view.cards[FaceCell(CardOf(code))].y, kHeapY);
                QVERIFY(!rig.view.cards[FaceCell(CardOf(code))].face);
            }
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
        QTest::newRow("two numbers at the first lead") << 1 << "3 5 9" << false << "3 5";
        QTest::newRow("2 with a king") << 2 << "4 K 2" << false << "K 2";
        QTest::newRow("pass at the first lead") << 3 << "3 4" << false << "";
        QTest::newRow("two numbers opening a round") << 1 << "3 5 9" << true << "3 9";
        QTest::newRow("pass opening a round") << 2 << "3 6 7 8" << true << "";
    }

    void computerRefusal() {
        QFETCH(int, seat);
        QFETCH(QString, hand);
        QFETCH(bool, newRound);
        QFETCH(QString, bad);
        Rig rig(8);
        GameState& t = rig.table;
        Setup setup;
        setup.hands = {"10 J", "10 J", "10 J", "10 J"};
        setup.hands[seat] = hand;
        setup.current = seat;
        setup.lastThrower = seat;
        if (newRound) {
            setup.onTable = "Q";
            setup.passCount = 2;
            setup.current = (seat + 3) % 4;
        } else {
            setup.mustLead = true;
        }
        Arrange(rig, setup);
        if (newRound) {
            // The seat before makes the third pass: the round opens.
            if (setup.current == 0)
                rig.engine.ThrowClick();
            else
                rig.engine.Tick();
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
        QTest::newRow("a computer seat's tick") << 1 << "tick";
        QTest::newRow("the person's card") << 0 << "card";
        QTest::newRow("the person's play") << 0 << "throw";
    }
    void waitsForTheScreen() {
        QFETCH(int, mover);
        QFETCH(QString, input);
        Rig rig(31);
        GameState& t = rig.table;
        Setup setup;
        setup.hands = {"3 4 5 9", "6 7 8 K", "8 9 J", "10 J Q"};
        setup.current = setup.lastThrower = mover;
        setup.mustLead = true;
        Arrange(rig, setup);
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

    // Three seats pass in a row; the seat that made the last play draws first
    // and leads.
    // With 自动不出, a person who holds nothing that may beat the table passes
    // at the next tick; a play that may beat it, or the option off, leaves the
    // turn with the person.
    void autoPass_data() {
        QTest::addColumn<bool>("option");
        QTest::addColumn<QString>("hand");
        QTest::addColumn<QString>("onTable");
        QTest::addColumn<bool>("passes");
        QTest::newRow("nothing beats a 2") << true << "3 K A"
                                           << "2" << true;
        QTest::newRow("a pair beats the pair") << true << "4 4 7"
                                               << "3 3" << false;
        QTest::newRow("singles do not beat a pair") << true << "4 5 7"
                                                    << "3 3" << true;
        QTest::newRow("a run beats the run") << true << "4 5 6 9"
                                             << "3 4 5" << false;
        QTest::newRow("option off") << false << "3 K A"
                                    << "2" << false;
    }
    void autoPass() {
        QFETCH(bool, option);
        QFETCH(QString, hand);
        QFETCH(QString, onTable);
        QFETCH(bool, passes);
        Rig rig(5);
        rig.options.autoPass = option;
        Setup setup;
        setup.hands = {hand, "8", "9", "10"};
        setup.onTable = onTable;
        setup.lastThrower = 3;
        setup.current = 0;
        Arrange(rig, setup);
        QVERIFY(rig.view.throwVisible);
        QCOMPARE(rig.view.TimerRunning(), passes);
        rig.engine.Tick();
        QCOMPARE(rig.table.PassCount, passes ? 1 : 0);
        QCOMPARE(rig.table.CurrentSeat, passes ? 1 : 0);
    }

    void threePasses() {
        Rig rig(9);
        GameState& t = rig.table;
        Setup setup;
        setup.hands = {"3 5", "4 6 8", "3 4", "5 6"};
        setup.onTable = "K";
        setup.lastThrower = 1;
        setup.current = 2;
        Arrange(rig, setup);
        std::vector<int> drawnBy;
        rig.view.onStockCount = [&](int) { drawnBy.push_back(t.Location(CardOf(t.DrawnCard))); };
        rig.view.StartCycleTimer(rig.options.cycleInterval);

        rig.engine.Tick();  // seat 2 cannot beat the K
        QCOMPARE(t.PassCount, 1);
        rig.engine.Tick();  // nor can seat 3
        QCOMPARE(t.PassCount, 2);
        QCOMPARE(t.CurrentSeat, 0);
        rig.engine.Tick();
        QVERIFY(rig.view.throwVisible);
        const int stock = t.lstCardsBox.Count();
        rig.engine.ThrowClick();  // the person passes: the round is over
        QCOMPARE(rig.view.infoBoxes.size(), size_t(0));
        QCOMPARE(t.CurrentSeat, 1);
        QVERIFY(rig.view.TimerRunning());
        QCOMPARE(Q(rig.view.hint), QString("牌局：青龙出牌 K"));
        QCOMPARE(drawnBy, (std::vector<int>{1, 2, 3, 0}));
        QCOMPARE(t.lstCardsBox.Count(), stock - 4);
        QCOMPARE(t.PassCount, 0);
        QVERIFY(t.MustLead && t.TablePlay.Empty());

        rig.engine.Tick();
        QCOMPARE(t.TheLastThrower, 1);
        QCOMPARE(t.PassCount, 0);
        QCOMPARE(t.CurrentSeat, 2);
        QVERIFY(PlaySize(t.TablePlay) > 0);
        QCOMPARE(t.HandSize(0), 3);
        QCOMPARE(t.HandSize(2), 3);
        QCOMPARE(t.HandSize(3), 3);
        QCOMPARE(t.HandSize(1) + PlaySize(t.TablePlay), 4);
    }

    void drawingRound_data() {
        QTest::addColumn<int>("leader");
        QTest::addColumn<int>("stock");
        QTest::addColumn<QString>("order");  // the seats that draw, in order
        QTest::newRow("seat 1 leads") << 1 << 27 << "1 2 3 0";
        QTest::newRow("seat 3 leads") << 3 << 20 << "3 0 1 2";
        QTest::newRow("person leads") << 0 << 27 << "0 1 2 3";
        QTest::newRow("two cards left") << 2 << 2 << "2 3";
        QTest::newRow("last card, person") << 0 << 1 << "0";
        QTest::newRow("stock empty") << 1 << 0 << "";
        QTest::newRow("stock empty, person") << 0 << 0 << "";
    }

    void drawingRound() {
        QFETCH(int, leader);
        QFETCH(int, stock);
        QFETCH(QString, order);
        Rig rig(10);
        GameState& t = rig.table;
        Setup setup;
        setup.hands = {"3 5 7", "4 6 8", "3 4 9", "5 6 10"};
        setup.onTable = "K";
        setup.lastThrower = leader;
        // The seat before the leader makes the third pass.
        setup.current = (leader + 3) % 4;
        setup.passCount = 2;
        setup.stockLeft = stock;
        Arrange(rig, setup);
        QCOMPARE(t.StockEmpty, stock == 0);
        std::vector<int> drawnBy;
        rig.view.onStockCount = [&](int) { drawnBy.push_back(t.Location(CardOf(t.DrawnCard))); };

        if (setup.current == 0)
            rig.engine.ThrowClick();
        else
            rig.engine.Tick();
        QCOMPARE(drawnBy, Ints(order));
        QCOMPARE(t.CurrentSeat, leader);
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
            QVERIFY(t.MustLead);
            QVERIFY(t.TablePlay.Empty());
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
        QTest::newRow("singles in a row") << "1:3 1:4 1:5"
                                          << "0 3 0 0";
        QTest::newRow("a pair ends the run") << "1:3 1:4 1:6,6"
                                             << "0 0 0 0";
        QTest::newRow("passes leave it") << "1:3 2:- 3:- 1:4 2:- 3:-"
                                         << "0 2 0 0";
        QTest::newRow("each seat its own") << "1:3 2:4 3:5 1:6"
                                           << "0 2 1 1";
        QTest::newRow("the run starts again") << "2:3 2:5,5 2:7"
                                              << "0 0 1 0";
        QTest::newRow("a run of straights is no run") << "3:3,4,5 3:6,7,8"
                                                      << "0 0 0 0";
    }

    void singleRun() {
        QFETCH(QString, moves);
        QFETCH(QString, runs);
        Rig rig(11);
        GameState& t = rig.table;
        Setup setup;
        setup.hands = {"K", "K", "K", "K"};
        Arrange(rig, setup);
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
        const std::vector<int> expected = Ints(runs);
        for (int s = 0; s < 4; ++s) QCOMPARE(t.SingleRun[s], expected[s]);
        rig.engine.NewGame();
        for (int s = 0; s < 4; ++s) QCOMPARE(t.SingleRun[s], 0);
    }
};

VORN_TEST(EnginePlayTest)

}  // namespace vorn::gametest

#include "play_test.moc"
