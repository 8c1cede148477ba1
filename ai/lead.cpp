#include "ai/lead.h"

#include <algorithm>
#include <bit>
#include <cstdint>

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

// The numbers below the 2.
constexpr std::uint32_t kBelowTwo = ((1u << kTwo) - 1) & ~1u;

// The first number of the lowest run of `length` or more consecutive numbers
// of the mask, or 0.
int RunStart(std::uint32_t mask, int length) {
    std::uint32_t starts = mask;
    for (int k = 1; k < length; ++k) starts &= mask >> k;
    return starts == 0 ? 0 : std::countr_zero(starts);
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

// The searches read the counts as masks: which numbers occur once or more,
// twice or more. A run's lowest start is the lowest number whose next
// length - 1 numbers are there too; the run then goes on as far as it can.
namespace {

std::uint32_t Present(const NumberCounts& counts, int atLeast) {
    std::uint32_t mask = 0;
    for (int number = 1; number < kTwo; ++number)
        if (counts.of[number] >= atLeast) mask |= 1u << number;
    return mask;
}

}  // namespace

NumberCounts LowestArrange(const NumberCounts& source) {
    NumberCounts run;
    const std::uint32_t held = Present(source, 1);
    const int first = RunStart(held, 3);
    if (first == 0) return run;
    for (int number = first; held >> number & 1; ++number) run.of[number] = 1;
    return run;
}

NumberCounts LowestBank(const NumberCounts& source) {
    NumberCounts group;
    const std::uint32_t pairs = Present(source, 2);
    if (pairs == 0) return group;
    const int number = std::countr_zero(pairs);
    group.of[number] = source.of[number];
    return group;
}

NumberCounts LowestDblBank(const NumberCounts& source) {
    NumberCounts runs;
    const std::uint32_t pairs = Present(source, 2);
    const int first = RunStart(pairs, 2);
    if (first == 0) return runs;
    int last = first;
    int times = source.of[first];
    while (pairs >> (last + 1) & 1) times = std::min<int>(times, source.of[++last]);
    for (int number = first; number <= last; ++number) runs.of[number] = std::uint8_t(times);
    return runs;
}

// The finders work on the hand's masks straight away: a lead is chosen often.
CardSet FindArrange(CardSet hand) {
    const std::uint32_t held = MaskNumbers(hand).once & kBelowTwo;
    const int first = RunStart(held, 3);
    CardSet chosen;
    for (int number = first; first != 0 && held >> number & 1; ++number)
        chosen.Add((hand & kOfNumber[number]).Last());
    return chosen;
}

CardSet FindBank(CardSet hand) {
    const std::uint32_t pairs = MaskNumbers(hand).twice & kBelowTwo;
    if (pairs == 0) return {};
    return hand & kOfNumber[std::countr_zero(pairs)];
}

CardSet FindDblBank(CardSet hand) {
    const std::uint32_t pairs = MaskNumbers(hand).twice & kBelowTwo;
    const int first = RunStart(pairs, 2);
    if (first == 0) return {};
    int last = first;
    int times = (hand & kOfNumber[first]).Count();
    while (pairs >> (last + 1) & 1) times = std::min(times, (hand & kOfNumber[++last]).Count());
    CardSet chosen;
    for (int number = first; number <= last; ++number) {
        CardSet of = hand & kOfNumber[number];
        for (int k = 0; k < times; ++k) {
            chosen.Add(of.Last());
            of.Remove(of.Last());
        }
    }
    return chosen;
}

namespace {

// The last rungs of the lead ladder, each of which leads a single card.
LeadRule LeadOneCard(GameState& state, int seat, CardSet hand) {
    auto leadOne = [&](Card card) {
        if (!card.IsNone()) MoveToSelected(state, seat, card);
    };
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
        const CardSet lone = LoneCards(hand);
        if (!lone.Empty()) leadOne(lone.Last());
        return LeadRule::LoneCard;
    }

    Card k = LastWithNumber(hand, 1);
    if (k.IsNone()) k = LastNonTwo(hand);
    leadOne(k);
    return LeadRule::Fallback;
}

// Written once for any generator, as the follow is.
template <class R>
LeadRule Lead(GameState& state, int seat, float gambleRate, R& random) {
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
        // The table's generator draws every time this rung is reached, whatever the rest says.
        const bool stockLasts = !state.StockEmpty;
        if (Gamble(random, gambleRate, stockLasts && IsTwosPlusOne(hand))) {
            leadOne(LastWithNumber(hand, kTwo));
            return LeadRule::SpareTwo;
        }
    }

    const CardSet shape = FindShape(hand, seat);
    if (!shape.Empty()) {
        lead(shape);
        return LeadRule::Shape;
    }

    return LeadOneCard(state, seat, hand);
}

}  // namespace

LeadRule ChooseLead(GameState& state, int seat, float gambleRate, Random& random) {
    return Lead(state, seat, gambleRate, random);
}

LeadRule ChooseLead(GameState& state, int seat, float gambleRate, SearchRandom& random) {
    return Lead(state, seat, gambleRate, random);
}

}  // namespace vorn
