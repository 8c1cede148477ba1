#pragma once

#include <vector>

#include "ai/observation.h"
#include "cards/cardset.h"
#include "cards/gamestate.h"

namespace vorn {

// One move the hint offers and how the expert's search rates it.
struct HintChoice {
    CardSet play;                  // empty: pass
    int winPercent = 0;            // the share of the search's games it won, in whole percent
    bool closeToNext = false;      // the search cannot tell it from the next choice
    bool closeToPrevious = false;  // nor from the one before

    friend bool operator==(const HintChoice&, const HintChoice&) = default;
};

// What the expert's search would play for the person at seat, best first,
// each with its odds. The pass is offered only where it rates best (first);
// empty when only a pass is left. The person's raised cards count as the
// hand's. Deterministic and apart from the game's random source.
std::vector<HintChoice> ExpertHint(const Observation& seen);
// The same from the whole table, of which only what seat sees is read.
std::vector<HintChoice> ExpertHint(const GameState& state, int seat);

}  // namespace vorn
