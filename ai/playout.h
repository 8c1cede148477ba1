#pragma once

#include <cstdint>

#include "cards/gamestate.h"
#include "cards/random.h"

namespace vorn {

// The rules' computer player for any seat: a follow or a lead chosen into
// lstSelected. Seat 0, which the rules do not know, is decided as seat 1
// would be, seats 0 and 1 swapped for the length of the decision.
void RulesDecision(GameState& state, int seat, bool lead, float gambleRate, Random& random);
// The same on the search's own generator, whose draws are inlined.
void RulesDecision(GameState& state, int seat, bool lead, float gambleRate, SearchRandom& random);

// What one playout came to.
struct PlayedOut {
    int lost = 0;       // the cards left in the seat's hand at the end
    int decisions = 0;  // the decisions taken on the way
};

// Plays on from a table whose seat to move has just moved (or is to move, when
// nobody has yet), every seat by the rules, until a hand is empty: the game
// loop of the table server written for a bare state, with no events, no
// checks beyond the referee's and no allocation. Draws at new rounds and the
// rules' gambles come from random.
PlayedOut PlayOut(GameState& t, int me, float gambleRate, SearchRandom& random);

}  // namespace vorn
