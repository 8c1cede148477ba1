#include <QObject>
#include <QTest>

#include <cmath>
#include <string>
#include <vector>

#include "game/deal.h"
#include "game/tableserver.h"
#include "tests/cards/fakes.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

namespace vorn::test {

namespace {

using testing::At;
using testing::HandSizes;
using testing::Row;

// The deck as NewGame builds it: number 1 to 13, clubs to spades within a number.
std::vector<Card> DeckOrder() {
    std::vector<Card> deck;
    for (int number = 1; number <= kNumbers; ++number)
        for (int suit = 0; suit < kSuits; ++suit) deck.push_back(Card{suit, number});
    return deck;
}

// A seat's cards as its hand is shown: by number, then by suit.
std::vector<Card> InRankOrder(const GameState& t, int seat) {
    std::vector<Card> cards;
    for (const Card& card : DeckOrder())
        if (t.Location(card) == seat) cards.push_back(card);
    return cards;
}

// The draw a table server makes for r from its random source, shown on the rig.
void Draw(Rig& rig, int seat, double r = 0.0) {
    DrawCard(rig.Env(), seat, UniformIndex(r, rig.table.lstCardsBox.Count()));
}

void DrawRound(Rig& rig, int first, double r = 0.0) {
    for (int k = 0; k < 4; ++k) Draw(rig, (first + k) % 4, r);
}

// Leaves `left` cards in the stock by drawing the lowest ones to seat 1.
void DrainStockTo(Rig& rig, int left) {
    for (int k = 0; k < 52 - left; ++k) Draw(rig, 1);
    rig.view.Forget();
}

// A table server's deal for leader from seed, shown on the rig as a client
// shows it, from the stock positions its links hear; the server's table after it.
GameState ServerDeal(Rig& rig, int leader, std::uint64_t seed) {
    SeededRandom random(seed);
    TableServer server(random);
    server.NewGame(leader);
    server.Deal(0);
    for (const TableEvent& e : server.TakeEvents())
        if (e.kind == TableEvent::Kind::Draw) DrawCard(rig.Env(), e.seat, e.index);
    return server.state();
}

}  // namespace

// A new game, drawing from the stock and the deal, seen through what the
// screen and the other computers are told.
class DealTest : public QObject {
    Q_OBJECT

  private slots:
    void newGameBuildsTheStock_data() {
        QTest::addColumn<int>("leader");
        for (int seat = 0; seat < 4; ++seat)
            QTest::newRow(qPrintable(QString("leader %1").arg(seat))) << seat;
    }
    void newGameBuildsTheStock() {
        QFETCH(int, leader);
        Rig rig;
        rig.session.PlayerNames = {"南家", "东家", "北家", "西家"};
        // A table left over from a game: NewGame must clear all of it.
        rig.options.animation = false;
        NewGame(rig.Env());
        DrawRound(rig, 0);
        DrawRound(rig, 0);
        GameState& t = rig.table;
        t.lstSelected.Add(t.lstDirection[0][0]);
        t.lstDirection[0].RemoveAt(0);
        t.TablePlay = SetOf("C_05D_05");
        t.PlayType = PlayType::Bank;
        t.PassCount = 2;
        t.MustLead = false;
        t.SingleRun = {1, 2, 3, 4};
        rig.pictures.Image(Card{3, 13}).raised = true;
        rig.pictures.Image(Card{3, 13}).face = true;
        t.TheLastThrower = leader;
        rig.view = RecordingView{};
        rig.view.markers = {true, true, true, true};
        rig.view.throwVisible = true;

        NewGame(rig.Env());

        QCOMPARE(t.lstCardsBox.Count(), 52);
        QCOMPARE(Q(t.lstCardsBox[0]), QString("C_01"));
        QCOMPARE(Q(t.lstCardsBox[51]), QString("S_13"));

        // Every card goes back to the stock, its picture to the stock pile face
        // down, in deck order.
        std::vector<Card> placed;
        for (const auto& u : rig.view.updates) {
            placed.push_back(u.card);
            QCOMPARE(At(u.image), std::make_pair(300, 300));
            QVERIFY(!u.image.face && !u.image.raised && !rig.pictures.Image(u.card).raised);
            QCOMPARE(t.Location(u.card), -1);
        }
        QCOMPARE(placed, DeckOrder());

        QCOMPARE(Q(t.PlayType), QString("JustBegin"));
        QVERIFY(t.TablePlay.Empty() && t.DrawnCard.IsNone());
        QVERIFY(!t.StockEmpty);
        QCOMPARE(t.PassCount, 0);
        QVERIFY(t.MustLead);
        QCOMPARE(t.SingleRun, (std::array<int, 4>{0, 0, 0, 0}));
        for (int s = 0; s < 4; ++s) QVERIFY(t.lstDirection[s].Empty());
        QVERIFY(t.lstSelected.Empty());

        QCOMPARE(Q(rig.view.hint), "牌局：本局由" + Q(rig.session.PlayerNames[leader]) + "先出牌");
        QCOMPARE(rig.view.markers, (std::array<bool, 4>{false, false, false, false}));
        QVERIFY(!rig.view.throwVisible);
        QVERIFY(rig.view.dealEnabled);
        QCOMPARE(rig.view.stockCounts.back(), 52);
        QCOMPARE(Q(CheckConservation(t)), QString());
    }

    // The keeper deals 7 cards to the leader and 6 to the others, in turn
    // from the leader; a client that takes the announced stock positions ends
    // with the very same table, drawing no number of its own.
    void dealReplaysOnAClient_data() {
        QTest::addColumn<int>("leader");
        QTest::addColumn<int>("localSeat");
        QTest::newRow("South leads") << 0 << 0;
        QTest::newRow("East leads") << 1 << 1;
        QTest::newRow("North leads") << 2 << 3;
        QTest::newRow("West leads") << 3 << 2;
    }
    void dealReplaysOnAClient() {
        QFETCH(int, leader);
        QFETCH(int, localSeat);
        Rig rig;
        rig.session.LocalSeat = localSeat;
        rig.options.SetSpeed(2);
        rig.table.TheLastThrower = leader;
        NewGame(rig.Env());
        rig.view = RecordingView{};

        // After every single draw: the invariant holds and exactly one hand grew.
        std::vector<int> drawers;
        std::array<int, 4> sizes{};
        rig.view.onStockCount = [&](int) {
            const std::string problem = CheckConservation(rig.table);
            QVERIFY2(problem.empty(), problem.c_str());
            std::array<int, 4> now = HandSizes(rig.table);
            for (int s = 0; s < 4; ++s)
                if (now[s] != sizes[s]) drawers.push_back(s);
            sizes = now;
        };
        const GameState kept = ServerDeal(rig, leader, 1000 + leader);
        rig.view.onStockCount = nullptr;

        const GameState& t = rig.table;
        std::vector<int> expectedDrawers;
        for (int round = 0; round < 6; ++round)
            for (int k = 0; k < 4; ++k) expectedDrawers.push_back((leader + k) % 4);
        expectedDrawers.push_back(leader);
        QCOMPARE(drawers, expectedDrawers);
        // The client holds the server's table without a random draw of its own.
        QCOMPARE(rig.scripted.calls, size_t(0));
        QCOMPARE(t.lstCardsBox, kept.lstCardsBox);
        for (int s = 0; s < 4; ++s) QCOMPARE(t.lstDirection[s], kept.lstDirection[s]);

        for (int s = 0; s < 4; ++s) QCOMPARE(t.HandSize(s), s == leader ? 7 : 6);
        QCOMPARE(t.lstCardsBox.Count(), 27);
        QCOMPARE(rig.view.stockCounts.back(), 27);
        QVERIFY(!t.StockEmpty);
        QCOMPARE(rig.view.sounds, std::vector<std::string>(25, "Move.wav"));
        QCOMPARE(Q(CheckConservation(t)), QString());
        // Only the person at this computer sees faces, at any moment.
        for (int s = 0; s < 4; ++s)
            for (const Card& card : InRankOrder(t, s)) {
                QCOMPARE(rig.pictures.Image(card).face, s == localSeat);
                for (const auto& image : rig.view.UpdatesOf(card))
                    if (s != localSeat) QVERIFY(!image.face);
            }
    }

    // The draw is uniform over the whole stock: floor(r x count), so the last
    // entry (the 2 of spades on a full stock) is as likely as any other. A draw
    // that the arithmetic rounds up to 1 (as a single-precision product would)
    // still lands on the last entry instead of past the stock.
    void uniformDraw_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<double>("r");
        QTest::addColumn<int>("index");
        QTest::newRow("full, r 0") << 52 << 0.0 << 0;
        QTest::newRow("full, r 0.5") << 52 << 0.5 << 26;
        QTest::newRow("full, r 17.5 in 52") << 52 << 17.5 / 52 << 17;
        QTest::newRow("full, last entry") << 52 << 51.5 / 52 << 51;
        QTest::newRow("full, r nearly 1") << 52 << 0.99999999999 << 51;
        QTest::newRow("full, r just below 1") << 52 << std::nextafter(1.0, 0.0) << 51;
        QTest::newRow("full, r nearly 1 as a float") << 52 << double(0.99999999999f) << 51;
        QTest::newRow("27 left, r 1") << 27 << 1.0 << 26;
        QTest::newRow("27 left, r nearly 1") << 27 << 0.99999999999 << 26;
        QTest::newRow("2 left, lower half") << 2 << 0.49 << 0;
        QTest::newRow("2 left, upper half") << 2 << 0.5 << 1;
        QTest::newRow("2 left, r nearly 1") << 2 << 0.99999999999 << 1;
        QTest::newRow("1 left, r 0") << 1 << 0.0 << 0;
        QTest::newRow("1 left, r nearly 1") << 1 << 0.99999999999 << 0;
    }
    void uniformDraw() {
        QFETCH(int, left);
        QFETCH(double, r);
        QFETCH(int, index);
        Rig rig;
        rig.session.LocalSeat = 2;  // as on a joiner, which draws the entry its host names
        NewGame(rig.Env());
        DrainStockTo(rig, left);
        QCOMPARE(UniformIndex(r, left), index);
        const Card expected = rig.table.lstCardsBox[index];
        Draw(rig, 3, r);
        QCOMPARE(rig.table.DrawIndex, index);
        QCOMPARE(Q(rig.table.DrawnCard), Q(expected));
        QCOMPARE(Text(rig.table.lstDirection[3]), Q(expected));
        QVERIFY(!rig.table.lstCardsBox.Contains(expected));
        QCOMPARE(rig.table.lstCardsBox.Count(), left - 1);
        QCOMPARE(rig.table.Location(CardOf(expected)), 3);
        QCOMPARE(rig.table.StockEmpty, left == 1);
        QCOMPARE(Q(CheckConservation(rig.table)), QString());
        if (left == 52 && index == 51) QCOMPARE(Q(expected), QString("S_13"));
    }

    void seededDrawsStayBelowOne() {
        SeededRandom a(12), b(12), c(13);
        double sum = 0;
        bool differs = false;
        for (int k = 0; k < 10000; ++k) {
            const double r = a.Uniform();
            QVERIFY(r >= 0.0 && r < 1.0);
            QCOMPARE(b.Uniform(), r);  // one seed, one sequence: games replay
            differs = differs || c.Uniform() != r;
            sum += r;
        }
        QVERIFY(differs);
        QVERIFY(sum / 10000 > 0.48 && sum / 10000 < 0.52);
    }

    // Over many seeded deals the 2 of spades reaches a hand about as often as
    // 25 draws out of 52 cards let it (0.48), not only when it is the last card.
    void twoOfSpadesIsDealtFairly() {
        int dealt = 0;
        SeededRandom random(4242);
        TableServer server(random);
        const int games = 400;
        for (int game = 0; game < games; ++game) {
            server.NewGame(game % 4);
            server.Deal(0);
            if (server.state().Location(Card{3, 13}) != kStockLocation) ++dealt;
        }
        QVERIFY2(dealt > games * 38 / 100 && dealt < games * 58 / 100, qPrintable(QString::number(dealt)));
    }

    void layoutHand_data() {
        QTest::addColumn<int>("localSeat");
        QTest::addColumn<int>("seat");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("horizontal");
        QTest::newRow("South, 7 cards") << 0 << 0 << 7 << true;
        QTest::newRow("North, 6 cards") << 0 << 2 << 6 << true;
        QTest::newRow("East, 6 cards") << 0 << 1 << 6 << false;
        QTest::newRow("West, 7 cards") << 0 << 3 << 7 << false;
        QTest::newRow("joiner East at the bottom") << 1 << 1 << 7 << true;
        QTest::newRow("seat 0 at a joiner's side") << 1 << 0 << 5 << false;
        QTest::newRow("one card") << 0 << 0 << 1 << true;
        QTest::newRow("South, 12 cards") << 0 << 0 << 12 << true;
        QTest::newRow("North, 12 cards") << 0 << 2 << 12 << true;
    }
    void layoutHand() {
        QFETCH(int, localSeat);
        QFETCH(int, seat);
        QFETCH(int, count);
        QFETCH(bool, horizontal);
        Rig rig;
        rig.session.LocalSeat = localSeat;
        rig.options.animation = false;
        NewGame(rig.Env());
        const double draws[] = {0.9, 0.1, 0.5, 0.3, 0.99, 0.0, 0.7, 0.2, 0.8, 0.4, 0.6, 0.05};
        for (int k = 0; k < count; ++k) Draw(rig, seat, draws[k]);

        const GameState& t = rig.table;
        const CardPictures& p = rig.pictures;
        const std::vector<Card> hand = InRankOrder(t, seat);
        QCOMPARE(int(hand.size()), count);
        for (int k = 0; k < count; ++k) {
            const CardImage& image = rig.pictures.Image(hand[k]);
            if (horizontal && seat == localSeat && count >= 12) {
                // Every card of a long hand of one's own shows a strip wide
                // enough for "10", and the hand keeps clear of the west hand
                // and the play button.
                if (k > 0) QVERIFY(image.x - rig.pictures.Image(hand[k - 1]).x >= 300);
                QVERIFY(image.x >= p.SeatX[3] + 1065 && image.x + 1065 <= 9450);
                QCOMPARE(image.y, p.SeatY[seat]);
            } else if (horizontal) {
                QCOMPARE(At(image), std::make_pair(p.SeatX[seat] - count * 100 + 200 * k, p.SeatY[seat]));
            } else {
                QCOMPARE(At(image), std::make_pair(p.SeatX[seat], p.SeatY[seat] - count * 60 + 240 * k));
            }
            // Later cards overlap earlier ones.
            if (k > 0) QVERIFY(image.z > rig.pictures.Image(hand[k - 1]).z);
        }
        // The screen was told the final places, not just the model.
        for (const Card& card : hand) {
            const auto seen = rig.view.UpdatesOf(card);
            QVERIFY(!seen.empty());
            QCOMPARE(At(seen.back()), At(rig.pictures.Image(card)));
        }
    }

    void drawnCardMoves_data() {
        QTest::addColumn<bool>("animation");
        QTest::addColumn<int>("stepDelay");
        QTest::addColumn<bool>("sound");
        QTest::newRow("animated, fast") << true << 5 << true;
        QTest::newRow("animated, slow, silent") << true << 20 << false;
        QTest::newRow("jump") << false << 15 << true;
    }
    void drawnCardMoves() {
        QFETCH(bool, animation);
        QFETCH(int, stepDelay);
        QFETCH(bool, sound);
        Rig rig;
        rig.options.animation = animation;
        rig.options.stepDelay = stepDelay;
        rig.options.sound = sound;
        NewGame(rig.Env());
        rig.view.Forget();
        Draw(rig, 1);  // r = 0: the 3 of clubs, to East

        const Card card{0, 1};
        QCOMPARE(rig.view.waits, animation ? std::vector<int>(10, stepDelay) : std::vector<int>{});
        std::vector<CardImage> seen = rig.view.UpdatesOf(card);
        // Brought to the front at the stock, moved, then laid out in the hand.
        QCOMPARE(int(seen.size()), animation ? 12 : 3);
        QCOMPARE(At(seen.front()), std::make_pair(300, 300));
        QVERIFY(seen.front().z > 0);
        const int steps = animation ? 10 : 1;
        for (int i = 1; i <= steps; ++i) {
            const int k = animation ? i : 10;
            QCOMPARE(seen[i].x, 300 + (10900 - 300) * k / 10);
            QCOMPARE(seen[i].y, 300 + (3000 - 300) * k / 10);
            QVERIFY(!seen[i].face);
        }
        QCOMPARE(At(seen.back()), std::make_pair(10900, 3000 - 60));
        QCOMPARE(rig.view.sounds, sound ? std::vector<std::string>{"Move.wav"} : std::vector<std::string>{});
        QCOMPARE(rig.view.stockCounts, std::vector<int>{51});
    }

    // An announced stock entry past either end of the stock, or any entry
    // once the stock is out, draws nothing to any seat and shows nothing.
    void strayDrawsNothing_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("index");
        Row("past the end", 52, 52);
        Row("negative", 52, -1);
        Row("stock out", 0, 0);
        Row("stock out, the draw's clamp", 0, UniformIndex(0.0, 0));
    }
    void strayDrawsNothing() {
        QFETCH(int, left);
        QFETCH(int, index);
        Rig rig;
        rig.session.LocalSeat = 2;
        NewGame(rig.Env());
        DrainStockTo(rig, left);
        QCOMPARE(rig.table.StockEmpty, left == 0);
        const CardSet stock = rig.table.lstCardsBox;
        const std::array<int, 4> hands = HandSizes(rig.table);
        for (int k = 0; k < 4; ++k) DrawCard(rig.Env(), (k + 2) % 4, index);
        QCOMPARE(rig.table.lstCardsBox, stock);
        QCOMPARE(HandSizes(rig.table), hands);
        QVERIFY(rig.view.updates.empty() && rig.view.stockCounts.empty() && rig.view.sounds.empty());
        QCOMPARE(Q(CheckConservation(rig.table)), QString());
    }

    // Drawing the whole stock out keeps every card in one place throughout.
    void wholeStockDrawnOut() {
        Rig rig;
        rig.UseSeed(99);
        rig.options.animation = false;
        NewGame(rig.Env());
        int rounds = 0;
        while (!rig.table.StockEmpty && rounds < 20) {
            DrawRound(rig, rounds % 4, 0.61);
            ++rounds;
            const std::string problem = CheckConservation(rig.table);
            QVERIFY2(problem.empty(), problem.c_str());
        }
        QCOMPARE(rounds, 13);
        QCOMPARE(HandSizes(rig.table), (std::array<int, 4>{13, 13, 13, 13}));
        QCOMPARE(rig.view.stockCounts.back(), 0);
    }

    // The invariant check itself must notice a card out of place.
    void conservationCatchesFaults_data() {
        QTest::addColumn<int>("fault");
        QTest::newRow("card in stock and hand") << 0;
        QTest::newRow("location disagrees") << 1;
        QTest::newRow("card lost") << 2;
        QTest::newRow("chosen card of another seat") << 3;
        QTest::newRow("not a card") << 4;
    }
    void conservationCatchesFaults() {
        QFETCH(int, fault);
        Rig rig;
        rig.options.animation = false;
        NewGame(rig.Env());
        ServerDeal(rig, 0, 7);
        GameState& t = rig.table;
        QCOMPARE(Q(CheckConservation(t)), QString());
        const Card held = t.lstDirection[1][0];
        if (fault == 0) t.lstCardsBox.Add(held);
        if (fault == 1) t.Location(CardOf(held)) = 2;
        if (fault == 2 || fault == 3) t.lstDirection[1].RemoveAt(0);
        if (fault == 3) {
            t.lstSelected.Add(held);
            QCOMPARE(Q(CheckConservation(t, 1)), QString());
        }
        if (fault == 4) t.lstDirection[2].Add(t.lstDirection[1][1]);
        QVERIFY(!CheckConservation(t, fault == 3 ? 0 : -1).empty());
    }
};

VORN_TEST(DealTest)

}  // namespace vorn::test

#include "deal_test.moc"
