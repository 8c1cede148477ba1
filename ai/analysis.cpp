#include "ai/analysis.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "cards/card.h"
#include "cards/rules.h"

namespace vorn {

namespace {

bool ValidIndex(const SortedList& cards, int index) {
    return index >= 0 && index < cards.Count();
}

bool ComputerSeat(int seat) {
    return seat >= 1 && seat <= 3;
}

bool AnySeat(int seat) {
    return seat >= 0 && seat <= 3;
}

// The number texts of the hand's non-2 cards, in ascending order.
void CollectNonTwoNumbers(const SortedList& cards, SortedList& into) {
    into.Clear();
    for (const auto& code : cards)
        if (!IsTwoCode(code)) into.Add(std::string(NumberText(code)));
}

}  // namespace

std::string_view NumberText(std::string_view code) {
    return code.size() >= 2 ? code.substr(code.size() - 2) : code;
}

int NumberOf(std::string_view code) {
    return CardNumber(NumberText(code));
}

bool IsConcealed() {
    return true;
}

bool IsTwosPlusOne(const SortedList& cards) {
    int count = cards.Count();
    if (count < 2 || count > 5) return false;
    return count - CountTwos(cards) == 1;
}

int CountTwosPlayed(const Table& table) {
    int played = 0;
    for (int suit = 0; suit < kSuits; ++suit)
        if (table.CardLocation[suit][kTwo - 1] == kPlayedLocation) ++played;
    return played;
}

bool IsLoneCard(const SortedList& cards, int index) {
    if (!ValidIndex(cards, index)) return false;
    if (IsTwoCode(cards[index])) return false;
    if (cards.Count() <= 1) return true;
    const int number = NumberOf(cards[index]);
    for (int j = 0; j < cards.Count(); ++j) {
        if (j == index || IsTwoCode(cards[j])) continue;
        if (std::abs(NumberOf(cards[j]) - number) <= 1) return false;
    }
    return true;
}

bool CanPairUp(const SortedList& cards, int index) {
    if (!ValidIndex(cards, index) || IsLoneCard(cards, index)) return false;
    const std::string_view number = NumberText(cards[index]);
    for (int j = 0; j < cards.Count(); ++j)
        if (j != index && NumberText(cards[j]) == number) return true;
    return false;
}

bool CanJoinRun(Table& table, const SortedList& cards, int index) {
    if (!ValidIndex(cards, index) || IsLoneCard(cards, index)) return false;
    if (cards.Count() <= 2) return false;

    SortedList& judge = table.lstJudge;
    judge.Clear();
    const int number = NumberOf(cards[index]);
    for (int j = 0; j < cards.Count(); ++j) {
        const std::string& code = cards[j];
        if (!IsTwoCode(code) && !IsLoneCard(cards, j) && std::abs(NumberOf(code) - number) < 3)
            judge.Add(std::string(NumberText(code)));
    }
    if (judge.Count() < 3) {
        judge.Clear();
        return false;
    }
    for (int pass = 0; pass < 3; ++pass)
        for (int k = judge.Count() - 2; k >= 0; --k)
            if (judge[k + 1] == judge[k]) judge.RemoveAt(k + 1);
    // What is left must hang together: a number with no neighbour among the
    // remaining ones cannot be part of the straight.
    for (int k = judge.Count() - 1; k >= 0; --k)
        if (IsLoneCard(judge, k)) judge.RemoveAt(k);
    const bool joins = judge.Count() >= 3;
    judge.Clear();
    return joins;
}

bool HasLoneCard(Table& table, const SortedList& cards) {
    if (cards.Count() == 1 && !IsTwoCode(cards[0])) return true;

    SortedList& lone = table.lstLone;
    CollectNonTwoNumbers(cards, lone);
    if (lone.Empty()) return false;

    const int m = lone.Count();
    // A position past the end reads as 0, so a single non-2 beside 2s is not isolated.
    auto value = [&lone, m](int k) { return k < m ? NumberOf(lone[k]) : 0; };
    for (int k = 0; k < m; ++k) {
        bool isolated;
        if (k == 0)
            isolated = value(1) - value(0) > 1;
        else if (k == m - 1)
            isolated = value(k) - value(k - 1) > 1;
        else
            isolated = value(k) - value(k - 1) > 1 && value(k + 1) - value(k) > 1;
        if (isolated) {
            lone.Clear();
            return true;
        }
    }
    lone.Clear();
    return false;
}

bool IsGoodHand(Table& table, const SortedList& cards) {
    const int c = cards.Count();
    const int t = CountTwos(cards);
    if (t > 2) return true;
    if (t == 2 && double(t) / c > 0.4) return true;
    if (c > 10) return true;

    SortedList& judge = table.lstJudge;
    CollectNonTwoNumbers(cards, judge);
    const int m = judge.Count();
    if (m < 3) {
        judge.Clear();
        return true;
    }
    const double lo = NumberOf(judge[0]);
    const double lo2 = NumberOf(judge[1]);
    const double hi = NumberOf(judge[m - 1]);
    const double hi2 = NumberOf(judge[m - 2]);
    const double count = m;
    // The whole hand, then without its highest, then without its lowest card:
    // the numbers nearly fill their span, or crowd together.
    const bool good =
        std::fabs((hi - lo + 1) / count - 1) <= 0.1 || (hi - lo) / count <= 0.25 ||
        (m >= 4 && std::fabs((hi2 - lo + 1) / (count - 1) - 1) <= 0.1) || (hi2 - lo) / (count - 1) <= 0.25 ||
        (m >= 4 && std::fabs((hi - lo2 + 1) / (count - 1) - 1) <= 0.1) || (hi - lo2) / (count - 1) <= 0.25;
    judge.Clear();
    return good;
}

bool CanFinishInOne(Table& table, const SortedList& cards) {
    SortedList& judge = table.lstJudge;
    CollectNonTwoNumbers(cards, judge);
    const int m = judge.Count();
    bool finishes;
    if (m <= 1 || judge[0] == judge[m - 1]) {
        finishes = true;
    } else if (m < 3) {
        finishes = false;
    } else {
        const int low = NumberOf(judge[0]);
        int inPlace = 0;
        for (int k = 0; k < m; ++k)
            if (low + k == NumberOf(judge[k])) ++inPlace;
        finishes = inPlace == m;
    }
    judge.Clear();
    return finishes;
}

bool SomeoneOnRun(const Table& table, int seat) {
    if (!ComputerSeat(seat)) return false;
    for (int other = 0; other < 4; ++other)
        if (other != seat && table.SingleRun[other] > 2) return true;
    return false;
}

bool LastThrowerNearlyOut(const Table& table) {
    const int thrower = table.TheLastThrower;
    return AnySeat(thrower) && table.HandSize(thrower) < 3;
}

bool NextTwoNearlyOut(const Table& table, int seat) {
    if (!ComputerSeat(seat)) return false;
    return !(table.HandSize((seat + 1) % 4) > 2 && table.HandSize((seat + 2) % 4) > 2);
}

bool PlaySizeHolder(const Table& table, int seat) {
    const int thrower = table.TheLastThrower;
    if (!ComputerSeat(seat) || !AnySeat(thrower) || thrower == seat) return false;
    const int n = PlaySize(table.TablePlay);
    for (int other = 0; other < 4; ++other)
        if (other != seat && other != thrower && table.HandSize(other) == n) return true;
    return false;
}

bool Chance(Random& random, float p) {
    const float u = static_cast<float>(random.Uniform());
    return u <= p;
}

}  // namespace vorn
