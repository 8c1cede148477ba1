#include "ai/follow.h"

#include <cmath>
#include <cstdint>
#include <type_traits>

#include "ai/analysis.h"
#include "ai/reasons.h"
#include "cards/card.h"
#include "cards/rules.h"

namespace vorn {

namespace {

constexpr int kNoTest = 0;
constexpr int kTakeAllTest = 8;

const char* const kTestReasons[] = {
    "",
    texts::kReasonLastThrowerNearlyOut,
    texts::kReasonNextTwoNearlyOut,
    texts::kReasonPlaySizeDownstream,
    texts::kReasonSomeoneOnRun,
    texts::kReasonOneNonTwo,
    texts::kReasonOneNonTwoGamble,
    texts::kReasonCanFinish,
    texts::kReasonAllTwos,
    texts::kReasonGoodHand,
};

void MoveToSelected(GameState& state, int seat, Card card) {
    state.lstDirection[seat].Remove(card);
    state.lstSelected.Add(card);
}

// Cards from the top of the hand (spades first) until n cards are chosen:
// only the 2s, or any.
void TakeFromTop(GameState& state, int seat, int n, CardSet from) {
    CardSet rest = state.lstDirection[seat] & from;
    while (!rest.Empty() && state.lstSelected.Count() < n) {
        const Card top = rest.Last();
        rest.Remove(top);
        MoveToSelected(state, seat, top);
    }
}

void Undo(GameState& state, int seat) {
    if (seat >= 0 && seat <= 3) state.lstDirection[seat] |= state.lstSelected;
    state.lstSelected.Clear();
}

// The last card of the hand (greatest code) of the given number; never a 2
// (nor anything above one, which is what a 2 on the table asks for).
Card LastOfNumber(CardSet hand, int number) {
    if (number >= kTwo) return Card::None();
    const CardSet of = hand & kOfNumber[number];
    return of.Empty() ? Card::None() : of.Last();
}

// The first of the tests that look for a reason to spend 2s which fires, or
// kNoTest. On the table's generator a draw named in a test is taken whenever
// the test (and its outer condition) is reached, whether or not the rest of
// it holds (Gamble).
template <class R>
int FiringTest(const GameState& state, int seat, float gambleRate, R& random, int n) {
    const CardSet hand = state.lstDirection[seat];
    const int twos = CountTwos(hand);
    const int c = hand.Count();
    const bool single = state.PlayType == PlayType::Single;
    const bool bankOrSingle = single || state.PlayType == PlayType::Bank;
    const bool stockEmpty = state.StockEmpty;

    // The conditions without draws are asked cheapest first; only where a
    // draw is taken does the order of the questions matter.
    if (stockEmpty && LastThrowerNearlyOut(state)) {
        if (bankOrSingle && twos >= n) return 1;
    }
    if (stockEmpty && NextTwoNearlyOut(state, seat)) {
        if (Gamble(random, gambleRate, bankOrSingle && twos >= n)) return 2;
    }
    if (PlaySizeHolder(state, seat)) {
        const bool notAce = state.TablePlay.First().Number() != 12;
        const bool matters = single && twos >= n && notAce;
        const float rootRate = static_cast<float>(std::sqrt(static_cast<double>(gambleRate)));
        if (Gamble(random, rootRate, matters)) {
            // Only worth it when the seat holding as many cards has not passed yet.
            if (state.PassCount == 0 || (state.PassCount == 1 && state.HandSize((seat + 1) % 4) == n))
                return 3;
        }
    }
    if (bankOrSingle && stockEmpty && twos >= n) {
        if (SomeoneOnRun(state, seat)) return 4;
    }
    if (bankOrSingle && stockEmpty && c - n >= 1 && IsTwosPlusOne(hand)) return 5;
    if (Gamble(random, gambleRate, single && !stockEmpty && c - n >= 1 && IsTwosPlusOne(hand))) return 6;
    if (bankOrSingle && stockEmpty && twos - n >= 0 && CanFinishInOne(hand)) return 7;
    if (bankOrSingle && c == n && IsAllTwos(hand)) return kTakeAllTest;
    if (bankOrSingle && stockEmpty && twos >= n) {
        if (IsGoodHand(hand)) return 9;
    }
    return kNoTest;
}

// Neither the 2s nor the cards one number higher can make up as many cards
// as the play on the table: the seat passes whatever its draws would say.
bool CannotBeat(CardSet hand, CardSet table, int n) {
    if (CountTwos(hand) >= n) return false;
    const NumberMasks need = MaskNumbers(table), held = MaskNumbers(hand);
    constexpr std::uint32_t kBelowTwo = (1u << kTwo) - 1;
    const std::uint32_t short1 = (need.once << 1) & ~(held.once & kBelowTwo);
    const std::uint32_t short2 = (need.twice << 1) & ~held.twice;
    const std::uint32_t short3 = (need.thrice << 1) & ~held.thrice;
    const std::uint32_t short4 = (need.four << 1) & ~held.four;
    return (short1 | short2 | short3 | short4) != 0;
}

// Written once for any generator: the search's own is drawn from without a
// virtual call, which its playouts make millions of.
template <class R>
const char* Follow(GameState& state, int seat, float gambleRate, R& random) {
    const int n = PlaySize(state.TablePlay);
    // Most follows in a playout are such passes. The search's draws are its
    // own, so skipping the ones the pass would have taken changes no odds;
    // the table's generator must see every draw the ladder takes.
    if constexpr (std::is_same_v<R, SearchRandom>)
        if (CannotBeat(state.lstDirection[seat], state.TablePlay, n)) return "";
    const bool computerSeat = seat >= 1 && seat <= 3;
    bool decided = false;
    const char* reason = "";

    for (const Card tableCard : state.TablePlay) {
        const int needRank = tableCard.Number() + 1;
        if (!computerSeat) continue;

        if (!decided) {
            const int test = FiringTest(state, seat, gambleRate, random, n);
            if (test != kNoTest) {
                reason = kTestReasons[test];
                TakeFromTop(state, seat, n, test == kTakeAllTest ? CardSet::Deck() : kTwos);
                break;
            }
        }

        const CardSet hand = state.lstDirection[seat];
        const Card k = LastOfNumber(hand, needRank);
        if (state.PlayType != PlayType::Single) {
            // Each table card in turn calls for one card a number higher.
            if (!k.IsNone()) {
                MoveToSelected(state, seat, k);
                decided = true;
            }
            continue;
        }
        if (k.IsNone()) continue;
        const bool pairs = CanPairUp(hand, k);
        const bool joins = CanJoinRun(hand, k);
        if (pairs == joins) {
            // Either no formation would miss the card, or it has a spare role.
            reason = texts::kReasonUnformedCard;
            MoveToSelected(state, seat, k);
            continue;
        }
        // Breaking up the card's one formation is a gamble, unless an opponent
        // is about to go out.
        const bool draw = Chance(random, gambleRate);
        const bool x = draw || (state.StockEmpty && LastThrowerNearlyOut(state));
        const bool y = state.StockEmpty && NextTwoNearlyOut(state, seat);
        if (x || y) {
            reason = texts::kReasonFormedCard;
            MoveToSelected(state, seat, k);
        }
    }

    if (state.lstSelected.Count() != n) {
        Undo(state, seat);
        reason = "";
    }
    return reason;
}

}  // namespace

const char* FollowDecision(GameState& state, int seat, float gambleRate, Random& random) {
    return Follow(state, seat, gambleRate, random);
}

const char* FollowDecision(GameState& state, int seat, float gambleRate, SearchRandom& random) {
    return Follow(state, seat, gambleRate, random);
}

}  // namespace vorn
