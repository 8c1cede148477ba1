#pragma once

#include "cards/gamestate.h"
#include "cards/random.h"

namespace vorn {

// Decides whether computer seat `seat` (1..3) beats the play on the table and
// with which cards. Its only output: on return lstSelected holds exactly as
// many cards as TablePlay, taken out of lstDirection[seat] (beat), or is empty
// with the hand as it was (pass). lstSelected must be empty on entry.
//
// Nine tests first look for a reason to spend 2s; otherwise each table card
// calls for the card one number higher. gambleRate is the level's probability
// for the random tests; every draw is taken from random in a fixed order, so a
// seeded game replays exactly.
//
// Returns the reason of the verdict, a fixed text: empty for a pass and for a multi-card
// play beaten by the number search, which has none. The computer's hands are
// never shown, so nor is the reason; tests and the record read it.
const char* FollowDecision(GameState& state, int seat, float gambleRate, Random& random);
const char* FollowDecision(GameState& state, int seat, float gambleRate, SearchRandom& random);

}  // namespace vorn
