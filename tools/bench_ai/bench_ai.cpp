// Prints what one computer decision costs. Each benchmark cycles through a
// fixed set of seeded positions (so the figures are comparable between
// builds) and puts the chosen cards back after every call, so each call meets
// its position as it was.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "ai/expert.h"
#include "ai/follow.h"
#include "ai/lead.h"
#include "cards/card.h"
#include "cards/gamestate.h"
#include "cards/rules.h"

namespace {

using namespace vorn;

constexpr int kPositions = 64;
constexpr int kSeat = 1;

void Deal(GameState& t, int seat, Card c) {
    t.Location(c) = std::int8_t(seat);
    t.lstDirection[seat].Add(c);
}

// The play on the table: a single, a pair or a straight of three from the
// cards nobody holds, so that some positions can be beaten and some not.
void LayPlay(GameState& t, std::vector<Card>& rest, std::mt19937_64& gen) {
    std::vector<Card> play;
    const int kind = int(gen() % 4);
    for (const Card card : rest) {
        const int number = card.Number();
        if (number == kTwo) continue;
        if (kind <= 1) {
            play = {card};
        } else if (kind == 2) {
            for (const Card other : rest)
                if (other != card && other.Number() == number) play = {card, other};
        } else if (number <= 10) {
            std::vector<Card> run{card};
            for (int next = number + 1; next <= number + 2; ++next)
                for (const Card other : rest)
                    if (other.Number() == next) {
                        run.push_back(other);
                        break;
                    }
            if (run.size() == 3) play = run;
        }
        if (!play.empty()) break;
    }
    for (const Card c : play) {
        t.TablePlay.Add(c);
        t.Location(c) = kPlayedLocation;
        rest.erase(std::find(rest.begin(), rest.end(), c));
    }
    t.PlayType = ClassifyPlay(t.TablePlay);
}

std::vector<GameState> MakePositions(int handSize, std::uint64_t seed) {
    std::mt19937_64 gen(seed);
    std::vector<GameState> positions;
    for (int p = 0; p < kPositions; ++p) {
        GameState t;
        std::vector<Card> deck;
        for (int number = 1; number <= kNumbers; ++number)
            for (int suit = 0; suit < kSuits; ++suit) deck.emplace_back(suit, number);
        std::shuffle(deck.begin(), deck.end(), gen);
        for (int i = 0; i < handSize; ++i) Deal(t, kSeat, deck[i]);
        std::vector<Card> rest(deck.begin() + handSize, deck.end());
        std::shuffle(rest.begin(), rest.end(), gen);
        LayPlay(t, rest, gen);
        for (int other : {0, 2, 3})
            for (int i = 0; i < 6 && !rest.empty(); ++i) {
                Deal(t, other, rest.back());
                rest.pop_back();
            }
        for (const Card c : rest) {
            t.Location(c) = kStockLocation;
            t.lstCardsBox.Add(c);
        }
        t.StockEmpty = p % 2 == 1;
        t.TheLastThrower = 0;
        t.PassCount = p % 3 == 2 ? 1 : 0;
        t.MustLead = false;
        positions.push_back(t);
    }
    return positions;
}

void PutBack(GameState& t) {
    t.lstDirection[kSeat] |= t.lstSelected;
    t.lstSelected.Clear();
}

void BM_FollowDecision(benchmark::State& state) {
    const int low = int(state.range(0)), high = int(state.range(1));
    std::vector<GameState> positions;
    for (int size = low; size <= high; ++size) {
        auto some = MakePositions(size, 1000 + size);
        positions.insert(positions.end(), some.begin(), some.end());
    }
    SeededRandom random(42);
    size_t next = 0;
    int beats = 0;
    for (auto _ : state) {
        GameState& t = positions[next++ % positions.size()];
        FollowDecision(t, kSeat, 0.5f, random);
        beats += t.lstSelected.Empty() ? 0 : 1;
        PutBack(t);
    }
    state.counters["beat%"] = benchmark::Counter(100.0 * beats / double(state.iterations()));
}

void BM_ChooseLead(benchmark::State& state) {
    const int low = int(state.range(0)), high = int(state.range(1));
    std::vector<GameState> positions;
    for (int size = low; size <= high; ++size) {
        auto some = MakePositions(size, 2000 + size);
        positions.insert(positions.end(), some.begin(), some.end());
    }
    for (auto& t : positions) {
        t.MustLead = true;
        t.PassCount = 3;
    }
    SeededRandom random(42);
    size_t next = 0;
    for (auto _ : state) {
        GameState& t = positions[next++ % positions.size()];
        ChooseLead(t, kSeat, 0.5f, random);
        benchmark::DoNotOptimize(t.lstSelected.Count());
        PutBack(t);
    }
}

// What a copy of the whole game state costs: the price of trying a move on a copy.
void BM_CopyState(benchmark::State& state) {
    std::vector<GameState> positions = MakePositions(20, 3000);
    std::vector<GameState> copies(positions.size());
    size_t next = 0;
    for (auto _ : state) {
        const size_t k = next++ % positions.size();
        copies[k] = positions[k];
        benchmark::DoNotOptimize(copies[k]);
    }
    state.counters["bytes"] = double(sizeof(GameState));
}

// One expert decision at its default budget: the candidates' playouts on
// sampled deals. Leads offer many candidates, follows few; the playouts are
// most of the time either way, so the time per decision follows the speed of
// the playout engine.
void BM_ExpertDecision(benchmark::State& state) {
    const bool lead = state.range(0) != 0;
    // plain: the rules in every seat of the playouts, the search's own seat
    // too (no one-ply search near the end, no tree over its own moves),
    // every candidate an even share: the playout engine alone, the work the
    // search did before it played its own moves better and spent its budget
    // by halving.
    const bool plain = state.range(1) != 0;
    ExpertSettings settings;
    if (plain) {
        settings.lookahead = 0;
        settings.treeVisits = 0;
        settings.ownBeats = false;
        settings.ownGambleRate = settings.gambleRate;
        settings.halving = false;
    }
    std::vector<GameState> positions = MakePositions(8, 4000 + (lead ? 1 : 0));
    for (auto& t : positions)
        if (lead) {
            t.MustLead = true;
            t.TablePlay.Clear();
            t.PlayType = PlayType::JustBegin;
        }
    size_t next = 0;
    for (auto _ : state) {
        const GameState& t = positions[next++ % positions.size()];
        benchmark::DoNotOptimize(RankMoves(Observe(t, kSeat), settings).size());
    }
}

}  // namespace

BENCHMARK(BM_CopyState);
BENCHMARK(BM_ExpertDecision)
    ->ArgNames({"lead", "plain"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FollowDecision)->ArgNames({"cards", "to"})->Args({6, 8})->Args({20, 20});
BENCHMARK(BM_ChooseLead)->ArgNames({"cards", "to"})->Args({6, 8})->Args({20, 20});

BENCHMARK_MAIN();
