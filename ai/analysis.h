#pragma once

#include <type_traits>

#include "cards/cardset.h"
#include "cards/gamestate.h"
#include "cards/random.h"
#include "cards/rules.h"

namespace vorn {

// The questions the computer player asks about a hand or the table before it
// follows or leads. None of them changes anything. Seat arguments outside
// 1..3 answer false.

// 2 to 5 cards, exactly one of them not a 2.
inline bool IsTwosPlusOne(CardSet cards) {
    const int count = cards.Count();
    return count >= 2 && count <= 5 && count - CountTwos(cards) == 1;
}

// How many of the four 2s have been played.
int CountTwosPlayed(const GameState& state);

// The card neither pairs nor neighbours another non-2 card of the set. A 2 is
// never lone; the only card of a set always is; a card not in the set is not.
bool IsLoneCard(CardSet cards, Card card);

// The lone cards of a set, as IsLoneCard tells them.
CardSet LoneCards(CardSet cards);

// The card is not lone and another card has its number.
bool CanPairUp(CardSet cards, Card card);

// The card can be part of a straight of three or more numbers drawn from the
// non-lone cards within two numbers of it.
bool CanJoinRun(CardSet cards, Card card);

// Some non-2 number stands apart from its neighbours in the sorted numbers of
// the hand.
bool HasLoneCard(CardSet cards);

// The non-2 numbers of the hand are compact enough to play out (or the 2s
// make up for it). cards must not be empty.
bool IsGoodHand(CardSet cards);

// The non-2 cards form one group that can be played at once: none or one
// card, one number, or distinct consecutive numbers (three or more).
bool CanFinishInOne(CardSet cards);

// One of the three other seats has played more than two singles in a row.
bool SomeoneOnRun(const GameState& state, int seat);

// The seat that made the play on the table holds fewer than 3 cards.
inline bool LastThrowerNearlyOut(const GameState& state) {
    const int thrower = state.TheLastThrower;
    return thrower >= 0 && thrower <= 3 && state.HandSize(thrower) < 3;
}

// One of the two seats after seat holds 2 cards or fewer.
inline bool NextTwoNearlyOut(const GameState& state, int seat) {
    if (seat < 1 || seat > 3) return false;
    return !(state.HandSize((seat + 1) % 4) > 2 && state.HandSize((seat + 2) % 4) > 2);
}

// One of the two seats that are neither seat nor TheLastThrower holds exactly
// as many cards as the play on the table.
inline bool PlaySizeHolder(const GameState& state, int seat) {
    const int thrower = state.TheLastThrower;
    if (seat < 1 || seat > 3 || thrower < 0 || thrower > 3 || thrower == seat) return false;
    const int n = PlaySize(state.TablePlay);
    for (int other = 0; other < 4; ++other)
        if (other != seat && other != thrower && state.HandSize(other) == n) return true;
    return false;
}

// One uniform draw, rounded to single precision, at or below p. Exactly one
// draw per call: the number and order of draws is what lets a seeded game replay.
template <class R>
inline bool Chance(R& random, float p) {
    return static_cast<float>(random.Uniform()) <= p;
}

// A gamble that counts only when `matters`. The table's generator draws for
// it all the same (a seeded game replays by the number and order of its
// draws); the search's own generator is asked only when the answer counts,
// which changes no odds, its draws being independent of one another.
template <class R>
inline bool Gamble(R& random, float p, bool matters) {
    if constexpr (std::is_same_v<R, SearchRandom>) {
        return matters && Chance(random, p);
    } else {
        const bool draw = Chance(random, p);
        return matters && draw;
    }
}

}  // namespace vorn
