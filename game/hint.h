#pragma once

#include <vector>

#include "cards/cardset.h"
#include "cards/gamestate.h"

namespace vorn {

// The plays a hint offers the person at seat: on a play to beat, every choice
// of the person's cards that beats it under the hand rules — the same shape one
// rank higher, each suit combination in turn, then as many 2s where 2s may beat
// it; when leading, what the computer player would lead from this hand. The
// person's cards are the hand plus the cards already raised. Nothing on the
// table changes and the game's random source is not touched.
std::vector<CardSet> HintChoices(const GameState& state, int seat, float gambleRate);

// What the expert's search would play for the person at seat, best first, the
// pass left out: empty when only a pass is left. The person's raised cards
// count as the hand's. Deterministic and apart from the game's random source.
std::vector<CardSet> ExpertHint(const GameState& state, int seat);

}  // namespace vorn
