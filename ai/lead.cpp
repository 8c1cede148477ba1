#include "ai/lead.h"

#include <string>

#include "ai/analysis.h"
#include "cards/card.h"
#include "cards/rules.h"

namespace vorn {

namespace {

void MoveToSelected(Table& table, SortedList& hand, int index) {
    table.lstSelected.Add(hand[index]);
    hand.RemoveAt(index);
}

// The last card of the hand (greatest code) with this number text, or -1.
int LastWithNumber(const SortedList& hand, std::string_view number) {
    for (int k = hand.Count() - 1; k >= 0; --k)
        if (NumberText(hand[k]) == number) return k;
    return -1;
}

int LastNonTwo(const SortedList& hand) {
    for (int k = hand.Count() - 1; k >= 0; --k)
        if (!IsTwoCode(hand[k])) return k;
    return -1;
}

// The value of a group size text ("2" .. "4"); 0 for none.
int SizeValue(const SortedList& sizes) {
    if (sizes.Empty()) return 0;
    int value = 0;
    for (char c : sizes[0]) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
    }
    return value;
}

using Search = void (*)(Table&, SortedList&, SortedList&);

bool RunFinder(Table& table, Search search, int accepted) {
    SortedList& numbers = table.lstCompare[1];
    SortedList& raw = table.lstCompare[2];
    numbers.Clear();
    raw.Clear();
    for (const auto& code : table.lstCompare[0]) numbers.Add(std::string(NumberText(code)));
    search(table, numbers, raw);
    const bool found = raw.Count() >= accepted;
    if (found)
        for (const auto& number : raw) table.lstCompare[3].Add(number);
    numbers.Clear();
    raw.Clear();
    return found;
}

void SearchArrange(Table&, SortedList& source, SortedList& target) {
    LowestArrange(source, target);
}
void SearchBank(Table&, SortedList& source, SortedList& target) {
    LowestBank(source, target);
}
void SearchDblBank(Table& table, SortedList& source, SortedList& target) {
    LowestDblBank(table, source, target);
}

using Finder = bool (*)(Table&);

// Seat 2 looks for straights before double runs; its neighbours the other way round.
bool FindShape(Table& table, int seat) {
    static const Finder kOrders[2][3] = {{FindDblBank, FindArrange, FindBank},
                                         {FindArrange, FindDblBank, FindBank}};
    for (Finder find : kOrders[seat == 2 ? 1 : 0])
        if (find(table)) return true;
    return false;
}

}  // namespace

bool FindArrange(Table& table) {
    return RunFinder(table, SearchArrange, 3);
}
bool FindDblBank(Table& table) {
    return RunFinder(table, SearchDblBank, 4);
}
bool FindBank(Table& table) {
    return RunFinder(table, SearchBank, 2);
}

void LowestArrange(SortedList& source, SortedList& target) {
    for (int pass = 0; pass < 3; ++pass)
        for (int i = source.Count() - 2; i >= 0; --i)
            if (source[i + 1] == source[i]) source.RemoveAt(i + 1);

    const int count = source.Count();
    for (int i = 0; i <= count - 3; ++i) {
        const int first = NumberOf(source[i]);
        for (int j = i; j <= count - 1; ++j) {
            const int number = NumberOf(source[j]);
            if (number - first != j - i || number == kTwo) break;
            target.Add(source[j]);
        }
        if (target.Count() > 2) return;
        target.Clear();
    }
}

void LowestBank(const SortedList& source, SortedList& target) {
    const int count = source.Count();
    for (int i = 0; i <= count - 2; ++i) {
        for (int c = i; c <= count - 1 && source[c] == source[i] && source[c] != "13"; ++c)
            target.Add(source[c]);
        if (target.Count() > 1) return;
        target.Clear();
    }
}

void TakeLowestBank(SortedList& source, SortedList& target) {
    LowestBank(source, target);
    if (target.Empty()) return;
    const std::string number = target[0];
    for (int k = source.Count() - 1; k >= 0; --k)
        if (source[k] == number) source.RemoveAt(k);
}

void LowestDblBank(Table& table, const SortedList& source, SortedList& target) {
    SortedList& base = table.lstBaseBak;
    std::vector<SortedList>& groups = table.lstSonBank;
    groups.resize(1);
    for (const auto& number : source) base.Add(number);

    // Split off the same-number groups, lowest first; the last, empty group
    // collects the run.
    int k = 0;
    do {
        ++k;
        groups.emplace_back();
        TakeLowestBank(base, groups[k]);
    } while (!groups[k].Empty());
    const int last = k;
    SortedList& run = groups[last];
    SortedList& sizes = groups[0];

    for (int i = 1; i <= last - 2; ++i) {
        const int first = NumberOf(groups[i][0]);
        for (int j = i; j <= last - 1 && NumberOf(groups[j][0]) - first == j - i; ++j) {
            run.Add(groups[j][0]);
            sizes.Add(std::to_string(groups[j].Count()));
        }
        if (run.Count() > 1) break;
        run.Clear();
        sizes.Clear();
    }

    // Sorted, the first size is the rarest number's count.
    const int times = SizeValue(sizes);
    for (int t = 0; t < times; ++t)
        for (const auto& number : run) target.Add(number);

    groups.resize(1);
    base.Clear();
    groups[0].Clear();
}

LeadRule ChooseLead(Table& table, int seat, float gambleRate, Random& random) {
    table.lstCompare[0].Clear();
    table.lstCompare[3].Clear();
    if (seat < 1 || seat > 3) return LeadRule::None;
    SortedList& hand = table.lstDirection[seat];

    if (IsAllTwos(hand)) {
        for (int k = hand.Count() - 1; k >= 0; --k) MoveToSelected(table, hand, k);
        return LeadRule::AllTwos;
    }

    // The 2s first when the rest goes out at once next time.
    if (CountTwos(hand) > 0 && CanFinishInOne(table, hand) && table.StockEmpty) {
        for (int k = hand.Count() - 1; k >= 0; --k)
            if (IsTwoCode(hand[k])) MoveToSelected(table, hand, k);
        return LeadRule::TwosBeforeFinish;
    }

    {
        // The draw is taken every time this rung is reached, whatever the rest says.
        const bool stockLasts = !table.StockEmpty;
        const bool draw = Chance(random, gambleRate);
        if (stockLasts && draw && IsTwosPlusOne(hand)) {
            MoveToSelected(table, hand, LastWithNumber(hand, "13"));
            return LeadRule::SpareTwo;
        }
    }

    for (const auto& code : hand) table.lstCompare[0].Add(code);
    if (FindShape(table, seat)) {
        const SortedList& wanted = table.lstCompare[3];
        for (int e = wanted.Count() - 1; e >= 0; --e) {
            const int k = LastWithNumber(hand, wanted[e]);
            if (k >= 0) MoveToSelected(table, hand, k);
        }
        table.lstCompare[0].Clear();
        table.lstCompare[3].Clear();
        return LeadRule::Shape;
    }
    table.lstCompare[0].Clear();

    if (CountTwos(hand) + CountTwosPlayed(table) == 4) {
        const int ace = LastWithNumber(hand, "12");
        if (ace >= 0) {
            MoveToSelected(table, hand, ace);
            return LeadRule::SafeAce;
        }
    }

    if (table.StockEmpty) {
        const int three = LastWithNumber(hand, "01");
        if (three >= 0) {
            MoveToSelected(table, hand, three);
            return LeadRule::LowThree;
        }
    }

    if (HasLoneCard(table, hand)) {
        for (int k = hand.Count() - 1; k >= 0; --k)
            if (IsLoneCard(hand, k)) {
                MoveToSelected(table, hand, k);
                break;
            }
        return LeadRule::LoneCard;
    }

    int k = LastWithNumber(hand, "01");
    if (k < 0) k = LastNonTwo(hand);
    if (k >= 0) MoveToSelected(table, hand, k);
    return LeadRule::Fallback;
}

}  // namespace vorn
