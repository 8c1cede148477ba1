#include "ai/lead.h"

#include <algorithm>

#include "ai/analysis.h"
#include "cards/card.h"
#include "cards/rules.h"

namespace vorn {

namespace {

void MoveToSelected(GameState& state, int seat, Card card) {
    state.lstDirection[seat].Remove(card);
    state.lstSelected.Add(card);
}

// The last card of the hand (greatest code) with this number, or none.
Card LastWithNumber(CardSet hand, int number) {
    const CardSet of = hand & kOfNumber[number];
    return of.Empty() ? Card::None() : of.Last();
}

Card LastNonTwo(CardSet hand) {
    const CardSet rest = hand.Without(kTwos);
    return rest.Empty() ? Card::None() : rest.Last();
}

bool Any(const NumberCounts& counts) {
    for (int number = 1; number <= kNumbers; ++number)
        if (counts.of[number] != 0) return true;
    return false;
}

// Of each number, as many cards as the shape asks for, the highest suits first.
CardSet TakeFrom(CardSet hand, const NumberCounts& shape) {
    CardSet chosen;
    for (int number = 1; number <= kNumbers; ++number) {
        CardSet of = hand & kOfNumber[number];
        for (int k = 0; k < shape.of[number] && !of.Empty(); ++k) {
            chosen.Add(of.Last());
            of.Remove(of.Last());
        }
    }
    return chosen;
}

using Finder = CardSet (*)(CardSet);

// Seat 2 looks for straights before double runs; its neighbours the other way round.
CardSet FindShape(CardSet hand, int seat) {
    static const Finder kOrders[2][3] = {{FindDblBank, FindArrange, FindBank},
                                         {FindArrange, FindDblBank, FindBank}};
    for (Finder find : kOrders[seat == 2 ? 1 : 0]) {
        const CardSet found = find(hand);
        if (!found.Empty()) return found;
    }
    return {};
}

}  // namespace

NumberCounts LowestArrange(const NumberCounts& source) {
    NumberCounts run;
    for (int first = 1; first < kTwo; ++first) {
        if (source.of[first] == 0) continue;
        int last = first;
        while (last + 1 < kTwo && source.of[last + 1] != 0) ++last;
        if (last - first + 1 >= 3) {
            for (int number = first; number <= last; ++number) run.of[number] = 1;
            return run;
        }
        first = last;
    }
    return run;
}

NumberCounts LowestBank(const NumberCounts& source) {
    NumberCounts group;
    for (int number = 1; number < kTwo; ++number)
        if (source.of[number] >= 2) {
            group.of[number] = source.of[number];
            break;
        }
    return group;
}

NumberCounts LowestDblBank(const NumberCounts& source) {
    NumberCounts runs;
    for (int first = 1; first < kTwo; ++first) {
        if (source.of[first] < 2) continue;
        int last = first;
        int times = source.of[first];
        while (last + 1 < kTwo && source.of[last + 1] >= 2) {
            ++last;
            times = std::min<int>(times, source.of[last]);
        }
        if (last > first) {
            for (int number = first; number <= last; ++number) runs.of[number] = std::uint8_t(times);
            return runs;
        }
    }
    return runs;
}

CardSet FindArrange(CardSet hand) {
    const NumberCounts shape = LowestArrange(CountNumbers(hand));
    return Any(shape) ? TakeFrom(hand, shape) : CardSet{};
}
CardSet FindDblBank(CardSet hand) {
    const NumberCounts shape = LowestDblBank(CountNumbers(hand));
    return Any(shape) ? TakeFrom(hand, shape) : CardSet{};
}
CardSet FindBank(CardSet hand) {
    const NumberCounts shape = LowestBank(CountNumbers(hand));
    return Any(shape) ? TakeFrom(hand, shape) : CardSet{};
}

LeadRule ChooseLead(GameState& state, int seat, float gambleRate, Random& random) {
    if (seat < 1 || seat > 3) return LeadRule::None;
    const CardSet hand = state.lstDirection[seat];
    auto lead = [&](CardSet cards) {
        state.lstDirection[seat] = hand.Without(cards);
        state.lstSelected |= cards;
    };
    auto leadOne = [&](Card card) {
        if (!card.IsNone()) MoveToSelected(state, seat, card);
    };

    if (IsAllTwos(hand)) {
        lead(hand);
        return LeadRule::AllTwos;
    }

    // The 2s first when the rest goes out at once next time.
    if (CountTwos(hand) > 0 && CanFinishInOne(hand) && state.StockEmpty) {
        lead(hand & kTwos);
        return LeadRule::TwosBeforeFinish;
    }

    {
        // The draw is taken every time this rung is reached, whatever the rest says.
        const bool stockLasts = !state.StockEmpty;
        const bool draw = Chance(random, gambleRate);
        if (stockLasts && draw && IsTwosPlusOne(hand)) {
            leadOne(LastWithNumber(hand, kTwo));
            return LeadRule::SpareTwo;
        }
    }

    const CardSet shape = FindShape(hand, seat);
    if (!shape.Empty()) {
        lead(shape);
        return LeadRule::Shape;
    }

    if (CountTwos(hand) + CountTwosPlayed(state) == 4) {
        const Card ace = LastWithNumber(hand, 12);
        if (!ace.IsNone()) {
            leadOne(ace);
            return LeadRule::SafeAce;
        }
    }

    if (state.StockEmpty) {
        const Card three = LastWithNumber(hand, 1);
        if (!three.IsNone()) {
            leadOne(three);
            return LeadRule::LowThree;
        }
    }

    if (HasLoneCard(hand)) {
        for (CardSet rest = hand; !rest.Empty(); rest.Remove(rest.Last()))
            if (IsLoneCard(hand, rest.Last())) {
                leadOne(rest.Last());
                break;
            }
        return LeadRule::LoneCard;
    }

    Card k = LastWithNumber(hand, 1);
    if (k.IsNone()) k = LastNonTwo(hand);
    leadOne(k);
    return LeadRule::Fallback;
}

}  // namespace vorn
