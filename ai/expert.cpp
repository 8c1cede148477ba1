#include "ai/expert.h"

#include <algorithm>
#include <utility>

#include "cards/referee.h"
#include "cards/rules.h"

namespace vorn {

namespace {

// More candidates than this on a lead are cut, the longest shapes kept last.
constexpr size_t kMostLeads = 24;

// `count` cards of number, the highest suits first.
CardSet TakeNumber(CardSet hand, int number, int count) {
    CardSet of = hand & kOfNumber[number], taken;
    for (int k = 0; k < count && !of.Empty(); ++k) {
        const Card top = of.Last();
        of.Remove(top);
        taken.Add(top);
    }
    return taken;
}

bool Legal(const Observation& seen, CardSet play) {
    GameState table;
    table.CurrentSeat = seen.seat;
    table.lstDirection[seen.seat] = seen.hand;
    table.TablePlay = seen.tablePlay;
    table.PlayType = seen.playType;
    table.MustLead = seen.Leads();
    return Judge(table, seen.seat, play) == Refusal::Ok;
}

void AddOnce(std::vector<CardSet>& out, CardSet play) {
    if (std::find(out.begin(), out.end(), play) == out.end()) out.push_back(play);
}

// Every run of `width` copies of consecutive numbers below the 2, `least`
// numbers long or more, that the counts allow.
void AddRuns(const NumberCounts& counts, CardSet hand, int width, int least, std::vector<CardSet>& out) {
    for (int first = 1; first < kTwo; ++first)
        for (int last = first; last < kTwo && counts.of[last] >= width; ++last) {
            if (last - first + 1 < least) continue;
            CardSet run;
            for (int n = first; n <= last; ++n) run |= TakeNumber(hand, n, width);
            out.push_back(run);
        }
}

void DealUnseen(const Observation& seen, SearchRandom& random, GameState& state) {
    std::array<Card, kDeckSize> unseen;
    int count = 0;
    for (const Card c : seen.Unseen()) unseen[count++] = c;
    for (int k = count - 1; k > 0; --k)
        std::swap(unseen[k], unseen[int(random.Next() % std::uint64_t(k + 1))]);
    int next = 0;
    for (int s = 0; s < 4; ++s) {
        if (s == seen.seat) continue;
        for (int k = 0; k < seen.handSizes[s] && next < count; ++k) {
            state.lstDirection[s].Add(unseen[next]);
            state.Location(unseen[next++]) = std::int8_t(s);
        }
    }
    for (; next < count; ++next) {
        state.lstCardsBox.Add(unseen[next]);
        state.Location(unseen[next]) = kStockLocation;
    }
}

// The table as the seat sees it, the hidden cards dealt by the sample's generator.
GameState Determinize(const Observation& seen, SearchRandom& random) {
    GameState state;
    for (int i = 0; i < kDeckSize; ++i) state.Location(Card::FromIndex(i)) = kPlayedLocation;
    state.lstDirection[seen.seat] = seen.hand;
    for (const Card c : seen.hand) state.Location(c) = std::int8_t(seen.seat);
    DealUnseen(seen, random, state);
    state.TablePlay = seen.tablePlay;
    state.PlayType = seen.playType;
    state.StockEmpty = seen.stockEmpty;
    state.MustLead = seen.mustLead;
    state.TheLastThrower = seen.lastThrower;
    state.PassCount = seen.passCount;
    state.CurrentSeat = seen.seat;
    state.SingleRun = seen.singleRun;
    return state;
}

// The true table as the search starts from it: the seat's chosen cards back
// in its hand, the seat to move.
GameState AsDealt(GameState truth, int seat) {
    truth.lstDirection[seat] |= truth.lstSelected;
    truth.lstSelected.Clear();
    truth.CurrentSeat = seat;
    return truth;
}

}  // namespace

std::vector<CardSet> ExpertCandidates(const Observation& seen) {
    std::vector<CardSet> out;
    const CardSet hand = seen.hand;
    if (hand.Empty()) return out;
    if (!seen.Leads()) {
        const NumberCounts table = CountNumbers(seen.tablePlay);
        CardSet higher;
        bool possible = true;
        for (int n = 1; n <= kNumbers && possible; ++n) {
            if (table.of[n] == 0) continue;
            if (n + 1 > kNumbers) {
                possible = false;
                break;
            }
            const CardSet taken = TakeNumber(hand, n + 1, table.of[n]);
            if (taken.Count() != table.of[n]) possible = false;
            higher |= taken;
        }
        if (possible && Legal(seen, higher)) AddOnce(out, higher);
        const CardSet twos = TakeNumber(hand, kTwo, seen.tablePlay.Count());
        if (twos.Count() == seen.tablePlay.Count() && Legal(seen, twos)) AddOnce(out, twos);
        out.emplace_back();
        return out;
    }
    const NumberCounts counts = CountNumbers(hand);
    std::vector<CardSet> small, large;
    for (int n = 1; n <= kNumbers; ++n)
        for (int size = 1; size <= counts.of[n]; ++size) small.push_back(TakeNumber(hand, n, size));
    AddRuns(counts, hand, 1, 3, large);
    for (int width = 2; width <= 4; ++width) AddRuns(counts, hand, width, 2, large);
    // Long shapes shed the most cards at once: they go first among the runs.
    std::stable_sort(large.begin(), large.end(), [](CardSet a, CardSet b) { return a.Count() > b.Count(); });
    for (const CardSet play : small)
        if (Legal(seen, play)) AddOnce(out, play);
    for (const CardSet play : large)
        if (out.size() < kMostLeads && Legal(seen, play)) AddOnce(out, play);
    return out;
}

std::vector<ExpertMove> RankMoves(const Observation& seen, const ExpertSettings& settings) {
    std::vector<ExpertMove> moves;
    std::vector<CardSet> candidates = ExpertCandidates(seen);
    if (candidates.empty()) return moves;
    SearchRandom root(seen.Hash() ^ settings.seed);
    // What the rules would lead from this hand belongs among the candidates
    // even when the cut left it out.
    if (seen.Leads()) {
        SearchRandom sampler(root.Next());
        GameState probe = Determinize(seen, sampler);
        RulesDecision(probe, seen.seat, true, settings.gambleRate, sampler);
        if (Legal(seen, probe.lstSelected)) AddOnce(candidates, probe.lstSelected);
    }
    for (const CardSet play : candidates) moves.push_back({play});
    if (moves.size() == 1) return moves;

    const int samples = std::max(8, settings.playouts / int(moves.size()));
    for (int k = 0; k < samples; ++k) {
        // One deal and one stream of playout draws for every candidate alike,
        // so that they differ by the move and not by the luck of the deal.
        const std::uint64_t dealSeed = root.Next(), playSeed = root.Next();
        SearchRandom dealer(dealSeed);
        const GameState deal =
            settings.truth ? AsDealt(*settings.truth, seen.seat) : Determinize(seen, dealer);
        for (ExpertMove& move : moves) {
            GameState t = deal;
            SearchRandom random(playSeed);
            int lost = 0;
            if (!Apply(t, Move{seen.seat, move.play}).handEmpty)
                lost = PlayOut(t, seen.seat, settings.gambleRate, random).lost;
            move.lost += lost;
            move.wins += lost == 0 ? 1 : 0;
            ++move.playouts;
        }
    }
    const long weight = settings.winWeight;
    std::stable_sort(moves.begin(), moves.end(), [weight](const ExpertMove& a, const ExpertMove& b) {
        // Every candidate has the same number of playouts: the sums compare exactly.
        const long costA = a.lost - weight * a.wins, costB = b.lost - weight * b.wins;
        if (costA != costB) return costA < costB;
        return a.wins > b.wins;
    });
    return moves;
}

CardSet ExpertChoice(const Observation& seen, const ExpertSettings& settings) {
    const std::vector<ExpertMove> moves = RankMoves(seen, settings);
    return moves.empty() ? CardSet{} : moves.front().play;
}

}  // namespace vorn
