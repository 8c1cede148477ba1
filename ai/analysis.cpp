#include "ai/analysis.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace vorn {

namespace {

bool ComputerSeat(int seat) {
    return seat >= 1 && seat <= 3;
}

// The numbers held exactly once with neither neighbour held: the lone cards
// of a set of non-2 cards that holds more than one card.
std::uint32_t LoneNumbers(const NumberMasks& m) {
    return m.once & ~m.twice & ~(m.once << 1) & ~(m.once >> 1);
}

bool IsLone(const NumberMasks& nonTwos, CardSet cards, Card card) {
    if (card.IsTwo()) return false;
    if (cards.Count() <= 1) return true;
    return (LoneNumbers(nonTwos) >> card.Number()) & 1;
}

int Lowest(std::uint32_t mask) {
    return std::countr_zero(mask);
}
int Highest(std::uint32_t mask) {
    return 31 - std::countl_zero(mask);
}

}  // namespace

int CountTwosPlayed(const GameState& state) {
    int played = 0;
    for (const auto& suit : state.CardLocation)
        if (suit[kTwo - 1] == kPlayedLocation) ++played;
    return played;
}

bool IsLoneCard(CardSet cards, Card card) {
    if (!cards.Contains(card)) return false;
    return IsLone(MaskNumbers(cards.Without(kTwos)), cards, card);
}

CardSet LoneCards(CardSet cards) {
    const CardSet nonTwos = cards.Without(kTwos);
    if (cards.Count() <= 1) return nonTwos;
    const std::uint32_t lone = LoneNumbers(MaskNumbers(nonTwos));
    CardSet found;
    for (int number = 1; number < kTwo; ++number)
        if (lone >> number & 1) found |= nonTwos & kOfNumber[number];
    return found;
}

bool CanPairUp(CardSet cards, Card card) {
    if (!cards.Contains(card) || IsLoneCard(cards, card)) return false;
    return (cards & kOfNumber[card.Number()]).Count() >= 2;
}

bool CanJoinRun(CardSet cards, Card card) {
    if (!cards.Contains(card)) return false;
    const NumberMasks nonTwos = MaskNumbers(cards.Without(kTwos));
    if (IsLone(nonTwos, cards, card) || cards.Count() <= 2) return false;
    // The numbers of the non-lone non-2 cards within two numbers of the card;
    // what is left must hang together: a number with no neighbour among the
    // others cannot be part of the straight.
    const int number = card.Number();
    const std::uint32_t window = (0x1Fu << number) >> 2;
    const std::uint32_t near = nonTwos.once & ~LoneNumbers(nonTwos) & window;
    return CountBits(near & ((near << 1) | (near >> 1))) >= 3;
}

bool HasLoneCard(CardSet cards) {
    if (cards.Count() == 1 && !cards.First().IsTwo()) return true;
    // A single non-2 beside 2s is not isolated.
    const CardSet nonTwos = cards.Without(kTwos);
    if (nonTwos.Count() < 2) return false;
    return LoneNumbers(MaskNumbers(nonTwos)) != 0;
}

bool IsGoodHand(CardSet cards) {
    const int c = cards.Count();
    const int t = CountTwos(cards);
    if (t > 2) return true;
    if (t == 2 && double(t) / c > 0.4) return true;
    if (c > 10) return true;

    const CardSet nonTwos = cards.Without(kTwos);
    const int m = nonTwos.Count();
    if (m < 3) return true;
    // The two lowest and the two highest of the sorted numbers, repeats counted.
    const NumberMasks masks = MaskNumbers(nonTwos);
    const int low = Lowest(masks.once), high = Highest(masks.once);
    const double lo = low;
    const double lo2 = (masks.twice >> low) & 1 ? low : Lowest(masks.once & ~(1u << low));
    const double hi = high;
    const double hi2 = (masks.twice >> high) & 1 ? high : Highest(masks.once & ~(1u << high));
    const double count = m;
    // The whole hand, then without its highest, then without its lowest card:
    // the numbers nearly fill their span, or crowd together.
    return std::fabs((hi - lo + 1) / count - 1) <= 0.1 || (hi - lo) / count <= 0.25 ||
           (m >= 4 && std::fabs((hi2 - lo + 1) / (count - 1) - 1) <= 0.1) ||
           (hi2 - lo) / (count - 1) <= 0.25 ||
           (m >= 4 && std::fabs((hi - lo2 + 1) / (count - 1) - 1) <= 0.1) || (hi - lo2) / (count - 1) <= 0.25;
}

bool CanFinishInOne(CardSet cards) {
    const CardSet nonTwos = cards.Without(kTwos);
    const int m = nonTwos.Count();
    const NumberMasks masks = MaskNumbers(nonTwos);
    if (m <= 1 || CountBits(masks.once) == 1) return true;
    if (m < 3) return false;
    // Distinct numbers without a gap.
    const std::uint32_t run = masks.once >> Lowest(masks.once);
    return masks.twice == 0 && (run & (run + 1)) == 0;
}

bool SomeoneOnRun(const GameState& state, int seat) {
    if (!ComputerSeat(seat)) return false;
    for (int other = 0; other < 4; ++other)
        if (other != seat && state.SingleRun[other] > 2) return true;
    return false;
}

}  // namespace vorn
