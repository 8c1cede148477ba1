#pragma once

#include <string_view>

#include "cards/random.h"
#include "cards/sortedlist.h"
#include "cards/table.h"

namespace vorn {

// The questions the computer player asks about a hand or the table before it
// follows or leads. Every list argument is a sorted list of card codes or of
// two-character number texts ("05"): a card's number is always read from the
// last two characters, so both kinds answer alike. None of them changes game
// state; the few that need a scratch list use lstJudge or lstLone of the table
// and leave it empty. Seat arguments outside 1..3 answer false.

// The last two characters of a code or number text: its number text.
std::string_view NumberText(std::string_view code);
// The numeric value of NumberText: 1 (the 3) .. 13 (the 2).
int NumberOf(std::string_view code);

// The computer's hands are never shown, nor the reasons of its decisions.
bool IsConcealed();

// 2 to 5 cards, exactly one of them not a 2.
bool IsTwosPlusOne(const SortedList& cards);

// How many of the four 2s have been played.
int CountTwosPlayed(const Table& table);

// The card at index neither pairs nor neighbours another non-2 card. A 2 is
// never lone; the only card of a list always is.
bool IsLoneCard(const SortedList& cards, int index);

// The card at index is not lone and another card has its number text.
bool CanPairUp(const SortedList& cards, int index);

// The card at index can be part of a straight of three or more numbers drawn
// from the non-lone cards within two numbers of it. Uses lstJudge.
bool CanJoinRun(Table& table, const SortedList& cards, int index);

// Some non-2 number stands apart from its neighbours in the sorted numbers of
// the hand. Uses lstLone.
bool HasLoneCard(Table& table, const SortedList& cards);

// The non-2 numbers of the hand are compact enough to play out (or the 2s
// make up for it). cards must not be empty. Uses lstJudge.
bool IsGoodHand(Table& table, const SortedList& cards);

// The non-2 cards form one group that can be played at once: none or one
// card, one number, or distinct consecutive numbers (three or more). Uses lstJudge.
bool CanFinishInOne(Table& table, const SortedList& cards);

// One of the three other seats has played more than two singles in a row.
bool SomeoneOnRun(const Table& table, int seat);

// The seat that made the play on the table holds fewer than 3 cards.
bool LastThrowerNearlyOut(const Table& table);

// One of the two seats after seat holds 2 cards or fewer.
bool NextTwoNearlyOut(const Table& table, int seat);

// One of the two seats that are neither seat nor TheLastThrower holds exactly
// as many cards as the play on the table.
bool PlaySizeHolder(const Table& table, int seat);

// One uniform draw, rounded to single precision, at or below p. Exactly one
// draw per call: the number and order of draws is what lets a seeded game replay.
bool Chance(Random& random, float p);

}  // namespace vorn
