#pragma once

#include "cards/random.h"
#include "cards/sortedlist.h"
#include "cards/table.h"

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
// gamble rung, once each time it is reached. The work lists lstCompare[0..3],
// lstBaseBak and lstSonBank are back to empty (lstSonBank to its one element)
// on return.
LeadRule ChooseLead(Table& table, int seat, float gambleRate, Random& random);

// The shape finders: look among the codes of lstCompare[0] for the lowest
// shape of their kind and, when one is big enough, append its numbers to
// lstCompare[3] (one entry per card to lead). They use lstCompare[1] and
// lstCompare[2] and leave them empty.
bool FindArrange(Table& table);
bool FindDblBank(Table& table);
bool FindBank(Table& table);

// The searches below work on sorted lists of two-digit number texts and fill
// target with the numbers of the shape found (nothing when there is none).

// The lowest gap-free run of at least three distinct numbers without 2s, taken
// whole. Leaves source without duplicates.
void LowestArrange(SortedList& source, SortedList& target);
// Every copy of the lowest number that occurs at least twice (2s never count),
// removed from source.
void TakeLowestBank(SortedList& source, SortedList& target);
// The same, source unchanged.
void LowestBank(const SortedList& source, SortedList& target);
// The lowest run of two or more consecutive numbers that each occur at least
// twice, every number as often as the rarest of the run: 7 7 7 8 8 gives
// 7 7 8 8. Uses lstBaseBak and lstSonBank and leaves them empty.
void LowestDblBank(Table& table, const SortedList& source, SortedList& target);

}  // namespace vorn
