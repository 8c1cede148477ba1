#include "ai/follow.h"

#include <cmath>
#include <string_view>

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

void MoveToSelected(Table& table, SortedList& hand, int index) {
    table.lstSelected.Add(hand[index]);
    hand.RemoveAt(index);
}

// 2s from the end of the hand (spades first) until n cards are chosen.
void TakeTwos(Table& table, SortedList& hand, int n) {
    for (int k = hand.Count() - 1; k >= 0 && table.lstSelected.Count() < n; --k)
        if (IsTwoCode(hand[k])) MoveToSelected(table, hand, k);
}

void TakeAll(Table& table, SortedList& hand, int n) {
    for (int k = hand.Count() - 1; k >= 0 && table.lstSelected.Count() < n; --k)
        MoveToSelected(table, hand, k);
}

void Undo(Table& table, int seat) {
    if (seat >= 0 && seat <= 3)
        for (const auto& code : table.lstSelected) table.lstDirection[seat].Add(code);
    table.lstSelected.Clear();
}

void Show(const std::string& reason, const ReasonSink& showReason) {
    if (!IsConcealed() && showReason) showReason(reason);
}

// The last card of the hand (greatest code) of the given number; never a 2.
int LastOfNumber(const SortedList& hand, int number) {
    if (number == kTwo) return -1;
    for (int k = hand.Count() - 1; k >= 0; --k)
        if (NumberOf(hand[k]) == number) return k;
    return -1;
}

// The first of the tests that look for a reason to spend 2s which fires, or
// kNoTest. The conjuncts of a test are all evaluated except those behind an
// outer condition, so a draw named in a test is taken whenever the test (and
// its outer condition) is reached, whether or not the rest of it holds.
int FiringTest(Table& table, int seat, float gambleRate, Random& random, int n) {
    const SortedList& hand = table.lstDirection[seat];
    const int twos = CountTwos(hand);
    const int c = hand.Count();
    const bool single = table.PlayType == "Single";
    const bool bankOrSingle = single || table.PlayType == "Bank";
    const bool stockEmpty = table.StockEmpty;

    if (LastThrowerNearlyOut(table) && stockEmpty) {
        if (bankOrSingle && twos >= n) return 1;
    }
    if (NextTwoNearlyOut(table, seat) && stockEmpty) {
        const bool draw = Chance(random, gambleRate);
        if (bankOrSingle && twos >= n && draw) return 2;
    }
    if (PlaySizeHolder(table, seat)) {
        const bool notAce = std::string_view(table.TablePlay).substr(2, 2) != "12";
        const float rootRate = static_cast<float>(std::sqrt(static_cast<double>(gambleRate)));
        const bool draw = Chance(random, rootRate);
        if (single && twos >= n && notAce && draw) {
            // Only worth it when the seat holding as many cards has not passed yet.
            if (table.PassCount == 0 || (table.PassCount == 1 && table.HandSize((seat + 1) % 4) == n))
                return 3;
        }
    }
    if (bankOrSingle && stockEmpty && twos >= n) {
        if (SomeoneOnRun(table, seat)) return 4;
    }
    const bool twosPlusOne = IsTwosPlusOne(hand);
    if (twosPlusOne && c - n >= 1 && bankOrSingle && stockEmpty) return 5;
    {
        const bool draw = Chance(random, gambleRate);
        if (twosPlusOne && c - n >= 1 && draw && single && !stockEmpty) return 6;
    }
    if (CanFinishInOne(table, hand) && twos - n >= 0 && bankOrSingle && stockEmpty) return 7;
    if (IsAllTwos(hand) && c == n && bankOrSingle) return kTakeAllTest;
    if (bankOrSingle && stockEmpty && twos >= n) {
        if (IsGoodHand(table, hand)) return 9;
    }
    return kNoTest;
}

}  // namespace

std::string FollowDecision(Table& table, int seat, float gambleRate, Random& random,
                           const ReasonSink& showReason) {
    const int n = PlaySize(table.TablePlay);
    const bool computerSeat = seat >= 1 && seat <= 3;
    bool decided = false;
    std::string reason;

    for (int i = 0; i < n; ++i) {
        const int needRank = NumberOf(std::string_view(table.TablePlay).substr(4 * i + 2, 2)) + 1;
        if (!computerSeat) continue;
        SortedList& hand = table.lstDirection[seat];

        if (!decided) {
            const int test = FiringTest(table, seat, gambleRate, random, n);
            if (test != kNoTest) {
                reason = kTestReasons[test];
                Show(reason, showReason);
                if (test == kTakeAllTest)
                    TakeAll(table, hand, n);
                else
                    TakeTwos(table, hand, n);
                break;
            }
        }

        const int k = LastOfNumber(hand, needRank);
        if (table.PlayType != "Single") {
            // Each table card in turn calls for one card a number higher.
            if (k >= 0) {
                MoveToSelected(table, hand, k);
                decided = true;
            }
            continue;
        }
        if (k < 0) continue;
        const bool pairs = CanPairUp(hand, k);
        const bool joins = CanJoinRun(table, hand, k);
        if (pairs == joins) {
            // Either no formation would miss the card, or it has a spare role.
            reason = texts::kReasonUnformedCard;
            Show(reason, showReason);
            MoveToSelected(table, hand, k);
            continue;
        }
        // Breaking up the card's one formation is a gamble, unless an opponent
        // is about to go out.
        const bool draw = Chance(random, gambleRate);
        const bool x = draw || (table.StockEmpty && LastThrowerNearlyOut(table));
        const bool y = table.StockEmpty && NextTwoNearlyOut(table, seat);
        if (x || y) {
            reason = texts::kReasonFormedCard;
            Show(reason, showReason);
            MoveToSelected(table, hand, k);
        }
    }

    if (table.lstSelected.Count() != n) {
        Undo(table, seat);
        reason.clear();
    }
    return reason;
}

}  // namespace vorn
