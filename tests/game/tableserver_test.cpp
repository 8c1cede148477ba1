// The table server on its own: what it accepts from a person, when its
// computer seats move, and whether its events tell a client everything it
// needs to keep its own copy of the table.

#include <QObject>
#include <QTest>

#include "cards/random.h"
#include "cards/referee.h"
#include "game/seatview.h"
#include "tests/game/enginerig.h"
#include "tests/testing.h"

namespace vorn::gametest {
namespace {

using Kind = TableEvent::Kind;

// A table where the person sits at seat 0 and leads, the computer players
// at the medium level take a second over each move, and the cards are dealt.
struct PersonTable : ServerTable {
    explicit PersonTable(std::uint64_t seed) : ServerTable(seed) {
        server.SetSeat(0, {SeatKind::Person, 1});
        server.thinkMs = 1000;
        server.NewGame(0);
        server.Deal(0);
        dealt = server.TakeEvents();
    }
    std::vector<TableEvent> dealt;
};

// A copy of the table kept from the events alone, as a client would keep it.
struct EventMirror {
    GameState state;
    ScoreBoard scores;
    std::string Follow(const TableEvent& e) {
        switch (e.kind) {
            case Kind::NewGame:
                state = FreshTable(e.seat);
                break;
            case Kind::Draw:
                if (DrawAt(state, e.seat, e.index) != e.card) return "the draw names another card";
                break;
            case Kind::NewRound:
                state.PassCount = 0;
                state.TablePlay.Clear();
                state.MustLead = true;
                break;
            case Kind::Turn:
                state.CurrentSeat = e.seat;
                if (state.MustLead != e.lead) return "the turn's lead differs";
                break;
            case Kind::Played:
            case Kind::Passed:
                if (Judge(state, e.seat, e.cards) != Refusal::Ok) return "a move the referee refuses";
                Apply(state, Move{e.seat, e.cards});
                break;
            case Kind::GameOver:
                if (ScoreGame(state, e.seat, scores) != e.lost) return "the points lost differ";
                break;
            case Kind::Refused:
                return "a computer seat's move was refused";
        }
        return {};
    }
};

}  // namespace

class TableServerTest : public QObject {
    Q_OBJECT
  private slots:
    void personMoves_data() {
        QTest::addColumn<QString>("move");
        QTest::addColumn<int>("refusal");
        QTest::newRow("a pass when leading") << "pass" << int(Refusal::MustLead);
        QTest::newRow("a computer seat's turn taken") << "seat 1" << int(Refusal::NotYourTurn);
        QTest::newRow("a card of another hand") << "theirs" << int(Refusal::NotYourCards);
        QTest::newRow("lowest and highest together") << "ends" << int(Refusal::BadShape);
        QTest::newRow("the lowest card") << "lowest" << int(Refusal::Ok);
    }
    void personMoves() {
        QFETCH(QString, move);
        QFETCH(int, refusal);
        PersonTable t(4);
        QCOMPARE(int(t.dealt.size()), 1 + 25 + 1);  // a fresh table, the deal, the leader's turn
        QCOMPARE(t.dealt.back().kind, Kind::Turn);
        QVERIFY(t.dealt.back().lead);
        QVERIFY(!t.server.Deadline());
        const GameState before = t.server.state();
        const CardSet hand = before.lstDirection[0];
        Card low = hand[0], high = hand[0];
        for (const Card c : hand) {
            if (c.Number() < low.Number()) low = c;
            if (c.Number() > high.Number()) high = c;
        }
        QVERIFY(low.Number() + 1 < high.Number());
        int seat = 0;
        CardSet cards;
        if (move == "seat 1") {
            seat = 1;
            cards = One(before.lstDirection[1][0]);
        }
        if (move == "theirs") cards = One(before.lstDirection[2][0]);
        if (move == "ends") cards = One(low) | One(high);
        if (move == "lowest") cards = One(low);

        QCOMPARE(int(t.server.Play(seat, cards, 5000)), refusal);
        const std::vector<TableEvent> events = t.server.TakeEvents();
        if (refusal != int(Refusal::Ok)) {
            // Told to the seat that tried, and nothing else changed.
            QCOMPARE(int(events.size()), 1);
            QCOMPARE(events[0].kind, Kind::Refused);
            QCOMPARE(events[0].seat, seat);
            QCOMPARE(int(events[0].refusal), refusal);
            QVERIFY(t.server.state() == before);
            return;
        }
        QCOMPARE(int(events.size()), 2);
        QCOMPARE(events[0].kind, Kind::Played);
        QCOMPARE(events[1].kind, Kind::Turn);
        QCOMPARE(events[1].seat, 1);
        // The next seat is a computer: it moves a second after the play, not before.
        QCOMPARE(t.server.Deadline().value_or(-1), 6000);
        QVERIFY(!t.server.Step(5999));
        QVERIFY(t.server.TakeEvents().empty());
        QVERIFY(t.server.Step(6000));
        QCOMPARE(t.server.state().CurrentSeat, 2);
        QCOMPARE(t.server.Deadline().value_or(-1), 7000);
        // Each deadline met, the computers play on until the person is to move again.
        for (int i = 0; i < 200 && t.server.Deadline(); ++i) t.server.Advance(*t.server.Deadline());
        QVERIFY(!t.server.Deadline());
        const std::vector<TableEvent> after = t.server.TakeEvents();
        QVERIFY(!after.empty());
        const TableEvent& last = after.back();
        QVERIFY(last.kind == Kind::GameOver || last.kind == Kind::NewGame ||
                (last.kind == Kind::Turn && last.seat == 0));
    }

    // Whole games of four computer seats: a client that only follows the
    // events keeps a table equal to the server's after every turn, and each
    // seat's view, fed only what that seat may see, is what the seat would
    // read from the whole table.
    void eventsTellEverything_data() {
        QTest::addColumn<int>("seed");
        for (int seed : {1, 7, 2024}) QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void eventsTellEverything() {
        QFETCH(int, seed);
        ServerTable table{std::uint64_t(seed)};
        TableServer& server = table.server;
        for (int s = 0; s < 4; ++s) server.SetSeat(s, {SeatKind::Computer, s % 3});
        EventMirror mirror;
        std::array<SeatView, 4> views{SeatView(0), SeatView(1), SeatView(2), SeatView(3)};
        int games = 0, turns = 0;
        server.NewGame(0);
        table.Step();
        for (int step = 0; step < 5000 && games < 3; ++step) {
            for (const TableEvent& e : server.TakeEvents()) {
                const std::string wrong = mirror.Follow(e);
                QVERIFY2(wrong.empty(), wrong.c_str());
                for (int s = 0; s < 4; ++s) {
                    const TableEvent seen = VisibleTo(e, s);
                    if (e.kind == Kind::Draw) QCOMPARE(seen.card.IsNone(), e.seat != s);
                    views[size_t(s)].Follow(seen);
                }
                if (e.kind == Kind::Turn) {
                    ++turns;
                    QCOMPARE(QString::fromStdString(StateDifference(mirror.state, server.state())),
                             QString());
                    for (int s = 0; s < 4; ++s)
                        QVERIFY(views[size_t(s)].seen().Snapshot() ==
                                Observe(server.state(), s, server.scores().lost));
                }
                if (e.kind == Kind::GameOver) ++games;
            }
            QCOMPARE(QString::fromStdString(CheckConservation(server.state())), QString());
            table.Step();
        }
        QCOMPARE(games, 3);
        QVERIFY(turns > 40);
        QCOMPARE(mirror.scores.lost, server.scores().lost);
        QCOMPARE(mirror.scores.won, server.scores().won);
    }
};

VORN_TEST(TableServerTest)

}  // namespace vorn::gametest

#include "tableserver_test.moc"
