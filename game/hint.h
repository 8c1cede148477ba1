#pragma once

#include <vector>

#include "cards/cardset.h"
#include "cards/gamestate.h"

namespace vorn {

// What the expert's search would play for the person at seat, best first, the
// pass left out: empty when only a pass is left. The person's raised cards
// count as the hand's. Deterministic and apart from the game's random source.
std::vector<CardSet> ExpertHint(const GameState& state, int seat);

}  // namespace vorn
