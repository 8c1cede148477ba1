#include <QObject>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "ai/expert.h"
#include "ai/follow.h"
#include "ai/lead.h"
#include "ai/playout.h"
#include "cards/rules.h"
#include "tests/ai/aitesting.h"
#include "tests/testing.h"

using namespace vorn;
using namespace vorn::testing;

namespace {

// Every draw the same number: 0 takes every gamble, 1 none.
class ConstantRandom : public Random {
  public:
    explicit ConstantRandom(double value) : value_(value) {}
    double Uniform() override { return value_; }

  private:
    double value_;
};

// Random but legal positions: a play on the table, a hand for one computer
// seat (often holding cards that answer the play), the other hands, the
// stock flag and the turn counters.
class PositionMaker {
  public:
    explicit PositionMaker(std::uint64_t seed) : gen_(seed) {}

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(gen_); }
    bool Coin(int inChances) { return Pick(1, inChances) == 1; }

    GameState Make(int& seat) {
        GameState t;
        for (auto& row : t.CardLocation)
            for (auto& loc : row) loc = kStockLocation;
        seat = Pick(1, 3);

        CardSet play = MakePlay(t);
        t.TablePlay = play;
        t.PlayType = ClassifyPlay(play);
        for (int suit = 0; suit < kSuits; ++suit)
            if (t.CardLocation[suit][kTwo - 1] == kStockLocation && Coin(4))
                t.CardLocation[suit][kTwo - 1] = kPlayedLocation;

        const int size = Coin(8) ? Pick(9, 20) : Pick(1, 8);
        if (Coin(2))
            for (const Card code : play) Give(t, seat, code.Number() + 1, 1);
        if (Coin(3)) Give(t, seat, kTwo, Pick(1, 3));
        while (t.HandSize(seat) < size && Give(t, seat, Pick(1, kNumbers), 1)) {
        }
        for (int other = 0; other < 4; ++other)
            if (other != seat) {
                const int want = Pick(0, 8);
                while (t.HandSize(other) < want && Give(t, other, Pick(1, kNumbers), 1)) {
                }
            }
        t.StockEmpty = Coin(2);
        t.PassCount = Pick(0, 2);
        do t.TheLastThrower = Pick(0, 3);
        while (t.TheLastThrower == seat);
        for (int& run : t.SingleRun) run = Pick(0, 4);
        t.MustLead = false;
        return t;
    }

  private:
    // Gives seat up to count free cards of the number; false when the deck is
    // out of free cards altogether.
    bool Give(GameState& t, int seat, int number, int count) {
        if (number < 1 || number > kNumbers) return true;
        for (int tries = 0; tries < 8 && count > 0; ++tries) {
            const int suit = Pick(0, kSuits - 1);
            if (t.CardLocation[suit][number - 1] != kStockLocation) continue;
            t.CardLocation[suit][number - 1] = std::int8_t(seat);
            t.lstDirection[seat].Add(Card{suit, number});
            --count;
        }
        for (const auto& row : t.CardLocation)
            for (int loc : row)
                if (loc == kStockLocation) return true;
        return false;
    }

    void Lay(GameState& t, CardSet& play, int suit, int number) {
        if (t.CardLocation[suit][number - 1] != kStockLocation) return;
        t.CardLocation[suit][number - 1] = kPlayedLocation;
        play.Add(Card{suit, number});
    }

    CardSet MakePlay(GameState& t) {
        CardSet play;
        switch (Pick(0, 4)) {
            case 0:
                Lay(t, play, Pick(0, 3), Pick(1, 12));
                break;
            case 1: {
                const int number = Pick(1, 12), k = Pick(2, 4);
                for (int suit = 0; suit < k; ++suit) Lay(t, play, suit, number);
                break;
            }
            case 2: {
                const int length = Pick(3, 7), low = Pick(1, 13 - length);
                for (int n = low; n < low + length; ++n) Lay(t, play, Pick(0, 3), n);
                break;
            }
            case 3: {
                const int groups = Pick(2, 3), f = Pick(2, 3), low = Pick(1, 13 - groups);
                for (int n = low; n < low + groups; ++n)
                    for (int suit = 0; suit < f; ++suit) Lay(t, play, suit, n);
                break;
            }
            default:
                for (int suit = 0, k = Pick(1, 4); suit < k; ++suit) Lay(t, play, suit, kTwo);
                break;
        }
        return play;
    }

    std::mt19937_64 gen_;
};

QString Describe(const GameState& t, int seat, const CardSet& hand) {
    return QString("seat %1 hand [%2] table %3 (%4) stock %5 pass %6 last %7")
        .arg(seat)
        .arg(Text(hand))
        .arg(Text(t.TablePlay))
        .arg(PlayTypeName(t.PlayType))
        .arg(t.StockEmpty ? "empty" : "left")
        .arg(t.PassCount)
        .arg(t.TheLastThrower);
}

bool SameCards(const CardSet& before, const CardSet& hand, const CardSet& chosen) {
    return (hand & chosen).Empty() && (hand | chosen) == before;
}

// Why chosen is no legal move on the table from a hand that held held, or ""
// when it is one: an empty choice is a pass, which a lead may not be; a follow
// has the play's size; a play has a shape, keeps the rule on 2s and beats.
QString Fault(const GameState& t, const CardSet& held, const CardSet& chosen) {
    if ((chosen & held) != chosen) return " not from the hand";
    if (chosen.Empty()) return t.MustLead ? " a lead of nothing" : "";
    if (!t.MustLead && chosen.Count() != PlaySize(t.TablePlay)) return " the wrong size";
    if (!HasPlayableShape(chosen)) return " no shape";
    if (BreaksTwoRule(chosen)) return " breaks the rule on 2s";
    if (!CanBeat(t, chosen)) return " does not beat the table";
    return {};
}

int Rounds() {
    const char* env = std::getenv("VORN_AI_PROPERTY_ROUNDS");
    return env ? std::atoi(env) : 6000;
}

}  // namespace

// Whatever position it meets, the computer player's choice is one the play
// operation accepts: a follow is a pass or a beat of the right size, a lead is
// a legal shape; the cards come from the hand.
class TestComputerPlayerLegality : public QObject {
    Q_OBJECT

  private slots:
    void followBeatsOrPasses() {
        PositionMaker maker(7001);
        const float rates[3] = {0.1f, 0.5f, 0.9f};
        int beats = 0, higher = 0;
        const int rounds = Rounds();
        for (int round = 0; round < rounds; ++round) {
            int seat = 1;
            GameState t = maker.Make(seat);
            const CardSet before = t.lstDirection[seat];
            const int n = PlaySize(t.TablePlay);
            // The search's own playouts beat with this where the rules pass.
            const CardSet next = NextHigher(before, t.TablePlay);
            if (!next.Empty()) {
                ++higher;
                const QString where = Describe(t, seat, before) + " next higher [" + Text(next) + "]";
                QVERIFY2((next & before) == next && next.Count() == n, qPrintable(where));
                QVERIFY2(HasPlayableShape(next) && !BreaksTwoRule(next) && CanBeat(t, next),
                         qPrintable(where));
            }
            SeededRandom random(round);
            FollowDecision(t, seat, rates[round % 3], random);

            const CardSet chosen = t.lstSelected;
            const QString where = Describe(t, seat, before) + " chose [" + Text(chosen) + "]";
            QVERIFY2(SameCards(before, t.lstDirection[seat], chosen), qPrintable(where));
            const QString fault = Fault(t, before, chosen);
            QVERIFY2(fault.isEmpty(), qPrintable(where + fault));
            beats += chosen.Empty() ? 0 : 1;
        }
        // Enough of the positions were beaten for the checks above to mean something.
        QVERIFY2(beats > rounds / 5, qPrintable(QString::number(beats)));
        QVERIFY2(higher > rounds / 10, qPrintable(QString::number(higher)));
    }

    void leadIsLegal() {
        PositionMaker maker(9002);
        const float rates[3] = {0.1f, 0.5f, 0.9f};
        const int rounds = Rounds();
        int byRule[9] = {};
        for (int round = 0; round < rounds; ++round) {
            int seat = 1;
            GameState t = maker.Make(seat);
            t.MustLead = true;
            t.PassCount = 3;
            const CardSet before = t.lstDirection[seat];
            SeededRandom random(round);
            LeadRule rule = ChooseLead(t, seat, rates[round % 3], random);
            ++byRule[int(rule)];

            const CardSet& chosen = t.lstSelected;
            const QString where = Describe(t, seat, before) + " led [" + Text(chosen) + "]";
            QVERIFY2(SameCards(before, t.lstDirection[seat], chosen), qPrintable(where));
            const QString fault = Fault(t, before, chosen);
            QVERIFY2(fault.isEmpty(), qPrintable(where + fault));
        }
        // Every rung of the ladder was met by some position.
        for (int rule = 1; rule <= 8; ++rule) QVERIFY2(byRule[rule] > 0, qPrintable(QString::number(rule)));
    }

    // The search's own generator is not asked for draws that cannot count (a
    // sure pass, a gamble whose answer does not matter). Where the ladder's
    // answer does not hang on its draws (every gamble taken and none taken
    // decide alike), the search's overload must decide the same on any seed.
    void searchSkipsOnlyIdleDraws() {
        PositionMaker maker(7003);
        const int rounds = Rounds();
        int compared = 0;
        for (int round = 0; round < rounds; ++round) {
            int seat = 1;
            GameState start = maker.Make(seat);
            const bool lead = round % 4 == 0;
            if (lead) {
                start.MustLead = true;
                start.PassCount = 3;
            }
            auto decide = [&](auto& random) {
                GameState t = start;
                if (lead)
                    ChooseLead(t, seat, 0.5f, random);
                else
                    FollowDecision(t, seat, 0.5f, random);
                return Text(t.lstSelected);
            };
            ConstantRandom every(0.0), none(1.0);
            const QString always = decide(every);
            if (decide(none) != always) continue;
            ++compared;
            SearchRandom search(std::uint64_t(round) * 7919);
            QCOMPARE(decide(search), always);
        }
        QVERIFY2(compared > rounds / 2, qPrintable(QString::number(compared)));
    }

    // The same seed gives the same decisions: nothing but the injected random
    // source decides.
    void seededReplay() {
        for (int pass = 0; pass < 2; ++pass) {
            PositionMaker maker(31337);
            static std::string first[200];
            for (int round = 0; round < 200; ++round) {
                int seat = 1;
                GameState t = maker.Make(seat);
                SeededRandom random(round);
                FollowDecision(t, seat, 0.5f, random);
                std::string record = Text(t.lstSelected).toStdString();
                t.lstDirection[seat] |= t.lstSelected;
                t.lstSelected.Clear();
                ChooseLead(t, seat, 0.5f, random);
                record += "|" + Text(t.lstSelected).toStdString() + "|" + std::to_string(random.Uniform());
                if (pass == 0)
                    first[round] = record;
                else
                    QCOMPARE(QString::fromStdString(record), QString::fromStdString(first[round]));
            }
        }
    }
};

VORN_TEST(TestComputerPlayerLegality)

namespace {

// The maker's cards of no hand are the stock.
void FillStock(GameState& t) {
    t.lstCardsBox.Clear();
    for (int i = 0; i < kDeckSize; ++i)
        if (t.Location(Card::FromIndex(i)) == kStockLocation) t.lstCardsBox.Add(Card::FromIndex(i));
}

// The same table with the cards the seat cannot see dealt again: the other
// hands keep their sizes, the stock its size.
GameState Rehidden(const GameState& t, int seat, std::uint64_t seed) {
    GameState other = t;
    std::vector<Card> hidden;
    for (int s = 0; s < 4; ++s)
        if (s != seat)
            for (const Card c : t.lstDirection[s]) hidden.push_back(c);
    for (const Card c : t.lstCardsBox) hidden.push_back(c);
    std::shuffle(hidden.begin(), hidden.end(), std::mt19937_64(seed));
    size_t next = 0;
    for (int s = 0; s < 4; ++s) {
        if (s == seat) continue;
        const int size = t.HandSize(s);
        other.lstDirection[s].Clear();
        for (int k = 0; k < size; ++k) {
            other.lstDirection[s].Add(hidden[next]);
            other.Location(hidden[next++]) = std::int8_t(s);
        }
    }
    other.lstCardsBox.Clear();
    for (; next < hidden.size(); ++next) {
        other.lstCardsBox.Add(hidden[next]);
        other.Location(hidden[next]) = kStockLocation;
    }
    return other;
}

// A follow once the stock is empty: seat 1 led a 7, seats 2 and 3 (of the
// rules) passed, and seat 0, searching, holds a 3, a J and a K.
Observation LateFollowAfterPasses() {
    Observation seen;
    seen.seat = 0;
    seen.hand = SetOf("S_01 D_09 S_11");
    const CardSet unseen =
        SetOf("C_06 D_06 H_06 S_06 C_01 D_02 H_09 H_10 S_10 C_11 D_11 H_12 S_12 C_13 D_13");
    seen.played = CardSet::Deck().Without(seen.hand).Without(unseen);
    seen.handSizes = {3, 5, 5, 5};
    seen.stockEmpty = true;
    seen.tablePlay = SetOf("C_05");
    seen.playType = PlayType::Single;
    seen.mustLead = false;
    seen.lastThrower = 1;
    seen.passCount = 2;
    seen.players = {kSearchPlayer, 0, 0, 0};
    SeenMove lead;
    lead.seat = 1;
    lead.lead = true;
    lead.stockEmpty = true;
    lead.handSizes = {3, 6, 5, 5};
    lead.cards = seen.tablePlay;
    lead.played = seen.played.Without(seen.tablePlay);
    seen.history.push_back(lead);
    for (int seat : {2, 3}) {
        SeenMove pass;
        pass.seat = std::int8_t(seat);
        pass.stockEmpty = true;
        pass.playType = PlayType::Single;
        pass.lastThrower = 1;
        pass.passCount = std::int8_t(seat - 2);
        pass.handSizes = {3, 5, 5, 5};
        pass.tablePlay = seen.tablePlay;
        pass.played = seen.played;
        seen.history.push_back(pass);
    }
    return seen;
}

// The same table a little earlier: four cards, out of play there, still in
// the stock.
void StockLasting(Observation& seen) {
    seen.stockEmpty = false;
    for (SeenMove& m : seen.history) m.stockEmpty = false;
    seen.played = seen.played.Without(SetOf("C_02 H_02 S_02 C_03"));
    seen.stockSize = 4;
}

QString Ranking(const std::vector<ExpertMove>& moves) {
    QStringList items;
    for (const ExpertMove& m : moves)
        items << QString("[%1] %2/%3").arg(Text(m.play)).arg(m.lost).arg(m.wins);
    return items.join(", ");
}

}  // namespace

// The search decides from what its seat sees: its choices are legal and the
// cards it cannot see never change them.
class TestExpertPlayer : public QObject {
    Q_OBJECT

  private slots:
    void movesAreLegal() {
        PositionMaker maker(4242);
        ExpertSettings settings;
        settings.playouts = 60;
        int beats = 0;
        for (int round = 0; round < 300; ++round) {
            int seat = 1;
            GameState t = maker.Make(seat);
            FillStock(t);
            if (round % 4 == 0) {
                // The person's seat too: the hint asks for it.
                std::swap(t.lstDirection[0], t.lstDirection[seat]);
                for (int s = 0; s < 4; s += seat)
                    for (const Card c : t.lstDirection[s]) t.Location(c) = std::int8_t(s);
                if (t.TheLastThrower == 0) t.TheLastThrower = seat;
                seat = 0;
            }
            const bool lead = round % 3 == 0;
            if (lead) {
                t.MustLead = true;
                t.TablePlay.Clear();
                t.PassCount = 0;
            }
            const CardSet hand = t.lstDirection[seat];
            const CardSet chosen = ExpertChoice(Observe(t, seat), settings);
            const QString where = Describe(t, seat, hand) + " chose [" + Text(chosen) + "]";
            const QString fault = Fault(t, hand, chosen);
            QVERIFY2(fault.isEmpty(), qPrintable(where + fault));
            beats += lead || chosen.Empty() ? 0 : 1;
        }
        QVERIFY2(beats > 20, qPrintable(QString::number(beats)));
    }

    // Where the tree over the seat's own moves has not met a decision often
    // enough, the seat plays as it would without the tree: the same playout,
    // draw for draw.
    void anUntriedTreePlaysAsWithout_data() {
        Columns<bool, bool>("lead", "ownBeats");
        Row("follow", false, false);
        Row("follow, beating", false, true);
        Row("lead", true, false);
        Row("lead, beating", true, true);
    }
    void anUntriedTreePlaysAsWithout() {
        QFETCH(bool, lead);
        QFETCH(bool, ownBeats);
        PositionMaker maker(lead ? 8101 : 8102);
        int differed = 0;
        for (int round = 0; round < 100; ++round) {
            int seat = 1;
            GameState start = maker.Make(seat);
            FillStock(start);
            if (lead) {
                start.MustLead = true;
                start.TablePlay.Clear();
                start.PassCount = 0;
            }
            PlayoutSeats seats;
            seats.me = seat;
            seats.gambleRates = {0.5f, 0.5f, 0.5f, 0.5f};
            seats.gambleRates[size_t(seat)] = 0.1f;
            seats.beats[size_t(seat)] = ownBeats;
            PlayoutSeats treed = seats;
            // The tree is only handed back to treeMove, which never reads it.
            char untried = 0;
            treed.tree = reinterpret_cast<OwnTree*>(&untried);
            treed.treeMove = [](OwnTree&, const GameState& t, const PlayoutSeats& s, SearchRandom& r) {
                return UnsearchedOwnMove(t, s, r);
            };
            GameState a = start, b = start;
            SearchRandom ra(std::uint64_t(round) + 1), rb(std::uint64_t(round) + 1);
            const PlayedOut without = PlayOut(a, seats, ra), with = PlayOut(b, treed, rb);
            QCOMPARE(with.decisions, without.decisions);
            QCOMPARE(with.lost, without.lost);
            differed += start.HandSize(seat) != without.lost ? 1 : 0;
        }
        QVERIFY2(differed > 50, qPrintable(QString::number(differed)));
    }

    void hiddenCardsDoNotMatter_data() {
        Columns<std::uint64_t, bool>("position", "lead");
        Row("follow a", std::uint64_t(11), false);
        Row("follow b", std::uint64_t(12), false);
        Row("follow c", std::uint64_t(13), false);
        Row("lead a", std::uint64_t(21), true);
        Row("lead b", std::uint64_t(22), true);
    }
    void hiddenCardsDoNotMatter() {
        QFETCH(std::uint64_t, position);
        QFETCH(bool, lead);
        PositionMaker maker(position);
        ExpertSettings settings;
        settings.playouts = 200;
        // The first position with a real choice: more than one candidate.
        for (int tries = 0; tries < 50; ++tries) {
            int seat = 1;
            GameState t = maker.Make(seat);
            FillStock(t);
            if (lead) {
                t.MustLead = true;
                t.TablePlay.Clear();
            }
            if (ExpertCandidates(Observe(t, seat)).size() < 2) continue;
            const GameState other = Rehidden(t, seat, position * 7 + 1);
            QVERIFY(other.lstDirection[(seat + 1) % 4] != t.lstDirection[(seat + 1) % 4] ||
                    other.lstCardsBox != t.lstCardsBox);
            QCOMPARE(CheckConservation(other), std::string());
            const auto a = RankMoves(Observe(t, seat), settings);
            const auto b = RankMoves(Observe(other, seat), settings);
            QCOMPARE(Ranking(b), Ranking(a));
            return;
        }
        QFAIL("no position with a choice");
    }

    // A late pass is charged, and nothing else is. The pass here rates
    // worst, so it is credited (a negative charge) to see it move: credited
    // heavily it ranks first, its cost lowered by the credit; while the stock
    // lasts, and for the oracle, the ranking is the one without a charge.
    void latePassIsCharged_data() {
        Columns<bool, bool, bool>("stockEmpty", "truth", "charged");
        Row("the stock empty", true, false, true);
        Row("the stock lasting", false, false, false);
        Row("the oracle", true, true, false);
    }
    void latePassIsCharged() {
        QFETCH(bool, stockEmpty);
        QFETCH(bool, truth);
        QFETCH(bool, charged);
        Observation seen = LateFollowAfterPasses();
        // An 8 to beat with instead of the 3.
        seen.hand = SetOf("S_06 D_09 S_11");
        if (!stockEmpty) StockLasting(seen);
        // The oracle's table: any deal of the unseen cards will do.
        SearchRandom dealer(5);
        const GameState table = SampleDeals(seen, 1, dealer).front();
        ExpertSettings plain;
        plain.playouts = 300;
        plain.latePassCharge = 0;
        if (truth) plain.truth = &table;
        ExpertSettings heavy = plain;
        heavy.latePassCharge = -50;
        const auto before = RankMoves(seen, plain), after = RankMoves(seen, heavy);
        QVERIFY(before.size() > 1 && after.size() == before.size());
        const auto pass =
            std::find_if(after.begin(), after.end(), [](const ExpertMove& m) { return m.play.Empty(); });
        QVERIFY(pass != after.end());
        if (!charged) {
            QCOMPARE(Ranking(after), Ranking(before));
            QCOMPARE(pass->charge, 0.0);
            return;
        }
        QVERIFY2(!before.front().play.Empty(), qPrintable(Ranking(before)));
        QVERIFY2(pass == after.begin(), qPrintable(Ranking(after)));
        const double raw = double(pass->lost - long(heavy.winWeight) * pass->wins) / pass->playouts;
        QVERIFY(std::fabs(pass->MeanCost(heavy.winWeight) - raw + 50.0) < 1e-9);
    }

    // The others' passes are read: a seat of the rules that passed on a 7
    // seldom holds a lone 8, which it would have laid (here no 8 has a
    // neighbour to be kept for; a pair may be kept), so the deals the search
    // plays out give the passing seats a lone 8 far less often than deals
    // that ignore the passes. A person's passes, or another searching
    // seat's, are read too, for less. While the stock lasts a searching seat
    // beats even with one of a pair, so its pass tells of any 8 at all.
    void passesAreRead_data() {
        // most: 8s held (lone ones, or any for anyEight), as a share of
        // those when the passes are ignored
        Columns<int, bool, double>("player", "anyEight", "most");
        Row("the rules", 0, false, 0.5);
        Row("a person", kUnknownPlayer, false, 0.8);
        Row("a search", kSearchPlayer, false, 0.8);
        Row("a search, the stock lasting", kSearchPlayer, true, 0.95);
    }
    void passesAreRead() {
        QFETCH(int, player);
        QFETCH(bool, anyEight);
        QFETCH(double, most);
        Observation seen = LateFollowAfterPasses();
        seen.players = {kSearchPlayer, 0, player, player};
        if (anyEight) StockLasting(seen);
        auto loneEights = [anyEight](const Observation& o) {
            SearchRandom random(99);
            int held = 0;
            for (const GameState& deal : SampleDeals(o, 400, random))
                for (int seat : {2, 3}) {
                    const int eights = (deal.lstDirection[seat] & kOfNumber[6]).Count();
                    held += anyEight ? eights : eights == 1 ? 1 : 0;
                }
            return held;
        };
        Observation blind = seen;
        blind.history.clear();
        const int read = loneEights(seen), ignored = loneEights(blind);
        QVERIFY2(read < most * ignored, qPrintable(QString("%1 against %2").arg(read).arg(ignored)));
    }
};

VORN_TEST(TestExpertPlayer)
#include "property_test.moc"
