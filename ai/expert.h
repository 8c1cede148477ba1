#pragma once

#include <cstdint>
#include <vector>

#include "ai/observation.h"
#include "ai/playout.h"
#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"

namespace vorn {

struct ExpertSettings {
    int playouts = 2400;  // games played out per decision, shared among the candidates
    std::uint64_t seed = 0x6a09e667f3bcc908ull;
    // How the rules' players of the playouts gamble.
    float gambleRate = kGambleRates[1];
    // What a won playout is worth, in points, beyond the points it did not
    // lose: going out first also leads the next game, so a sure small loss is
    // worth less than a fair chance of winning (measured: 0 wins 29% of the
    // games against three High seats, 3 wins 39%, 8 wins 46%, each losing
    // fewer points than the last).
    int winWeight = 8;
    // For measuring only (self-play's oracle level, never the game): the
    // true table, played out instead of deals sampled from what the seat sees.
    const GameState* truth = nullptr;
};

// One candidate and what its playouts gave.
struct ExpertMove {
    CardSet play;   // empty: pass
    long lost = 0;  // points the seat lost, summed over the playouts
    int wins = 0;   // playouts the seat won
    int playouts = 0;
    double MeanLost() const { return playouts > 0 ? double(lost) / playouts : 0.0; }
};

// The moves worth trying: on a play to beat, the same shape one rank higher,
// the 2s where they may beat it, and the pass; when leading, each distinct
// shape the hand can lay (suits never matter to the rules, so one of each).
std::vector<CardSet> ExpertCandidates(const Observation& seen);

// Determinized search: the unseen cards are dealt at random to the other hands
// (their sizes are known) and the stock, and every candidate is played out to
// the end of the game with the rules' player in every seat, each candidate on
// the same deals. Best first: fewest lost points less winWeight for each win,
// then most wins.
// Deterministic: the same observation and settings give the same ranking.
std::vector<ExpertMove> RankMoves(const Observation& seen, const ExpertSettings& settings = {});

// The best of RankMoves.
CardSet ExpertChoice(const Observation& seen, const ExpertSettings& settings = {});

}  // namespace vorn
