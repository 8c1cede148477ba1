#pragma once

#include "cards/cardset.h"
#include "cards/gamestate.h"
#include "cards/random.h"
#include "cards/rules.h"

namespace vorn {

// Which rung of the lead ladder chose the lead.
enum class LeadRule {
    None = 0,     // not a computer seat: nothing chosen
    AllTwos = 1,  // nothing but 2s: all of them
    TwosBeforeFinish = 2,
    SpareTwo = 3,  // the level's gamble: one 2 while the stock lasts
    Shape = 4,     // the lowest double run, straight or group
    SafeAce = 5,   // an A when no 2 can be out against it
    LowThree = 6,  // a 3 once the stock is empty
    LoneCard = 7,
    Fallback = 8,  // a 3, else the last card that is not a 2
};

// Chooses what computer seat `seat` (1..3) leads: moves one or more cards of
// lstDirection[seat] into lstSelected (which must be empty on entry); for any
// other seat nothing is moved. The rules are tried in order, the first that
// applies decides; every choice is a legal lead. Draws from random only at the
// gamble rung, once each time it is reached.
LeadRule ChooseLead(GameState& state, int seat, float gambleRate, Random& random);
LeadRule ChooseLead(GameState& state, int seat, float gambleRate, SearchRandom& random);

// The shape finders: the cards of a hand that lead the lowest shape of their
// kind, big enough to be one (a straight of three, a double run of four, a
// group of two); empty when the hand has none. Of each number the cards with
// the highest suits are taken.
CardSet FindArrange(CardSet hand);
CardSet FindDblBank(CardSet hand);
CardSet FindBank(CardSet hand);

// The searches behind them, on how many cards of each number a hand holds;
// each answers how many of each number the shape takes (none: no shape).

// The lowest gap-free run of at least three distinct numbers without 2s, taken
// whole, each number once.
NumberCounts LowestArrange(const NumberCounts& source);
// Every copy of the lowest number that occurs at least twice (2s never count).
NumberCounts LowestBank(const NumberCounts& source);
// The lowest run of two or more consecutive numbers that each occur at least
// twice, every number as often as the rarest of the run: 7 7 7 8 8 gives
// 7 7 8 8.
NumberCounts LowestDblBank(const NumberCounts& source);

}  // namespace vorn
