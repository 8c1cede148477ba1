#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "cards/cardset.h"
#include "cards/gamestate.h"
#include "cards/referee.h"
#include "cards/words.h"

namespace vorn {

// The hand rules: which sets of cards may be played, what beats the play on
// the table, and the texts that describe both. The shape tests look only at
// card numbers; suits never matter.

inline bool IsPass(CardSet cards) {
    return cards.Empty();
}
inline bool IsSingle(CardSet cards) {
    return cards.Count() == 1;
}
bool IsBank(CardSet cards);
bool IsArrange(CardSet cards);
bool IsDblBank(CardSet cards);
// The four 2s are bits 12, 25, 38 and 51: added up without a bit count.
inline int CountTwos(CardSet cards) {
    const std::uint64_t b = cards.Bits();
    return int((b >> 12 & 1) + (b >> 25 & 1) + (b >> 38 & 1) + (b >> 51 & 1));
}
inline bool IsAllTwos(CardSet cards) {
    const int n = cards.Count();
    return n >= 1 && n <= 4 && CountTwos(cards) == n;
}

// Shape rule: at least one shape test (or a pass) holds.
bool HasPlayableShape(CardSet cards);
// The 2 rule: 2s are played only alone.
inline bool BreaksTwoRule(CardSet cards) {
    return CountTwos(cards) >= 1 && !IsAllTwos(cards);
}

// Do the chosen cards beat the play on the table?
bool CanBeat(const GameState& state, CardSet chosen);
inline bool CanBeat(const GameState& state) {
    return CanBeat(state, state.lstSelected);
}

// The PlayType of a successful play of these cards; None when no shape holds.
PlayType ClassifyPlay(CardSet cards);

// The rank texts of a play, ascending: a pair of 5s gives " 5 5". PlayText
// names the play, BeatText the ranks one higher (" X" above the 2).
std::string PlayText(CardSet play);
std::string BeatText(CardSet play);

// The hint for the play on the table, from its BeatText and PlayType, in the given words.
std::string BeatHint(const GameState& state, const Words& words = SourceWords());

// What the person is told of a refused choice, in the given words; empty for
// a refusal the person's own controls never meet.
std::string RefusalText(Refusal refusal, const GameState& state, const Words& words = SourceWords());

// "2" followed by " 2" once for every blank in mine: "6 6" gives "2 2".
std::string ReplaceWithTwo(const std::string& mine);

// The number of cards in a play.
inline int PlaySize(CardSet play) {
    return play.Count();
}

// Which numbers a set holds at least once, twice, three and four times: bit n
// for number n (1..13).
struct NumberMasks {
    std::uint32_t once = 0, twice = 0, thrice = 0, four = 0;
};
inline NumberMasks MaskNumbers(CardSet cards) {
    const std::uint64_t bits = cards.Bits();
    const std::uint32_t r0 = std::uint32_t(bits & 0x1FFF) << 1,
                        r1 = std::uint32_t((bits >> 13) & 0x1FFF) << 1,
                        r2 = std::uint32_t((bits >> 26) & 0x1FFF) << 1,
                        r3 = std::uint32_t((bits >> 39) & 0x1FFF) << 1;
    // Sums of the four suit rows, bit-sliced.
    const std::uint32_t a = r0 ^ r1, b = r0 & r1, c = r2 ^ r3, d = r2 & r3;
    const std::uint32_t low = a ^ c, carry = a & c;
    const std::uint32_t mid = b ^ d ^ carry, high = (b & d) | (carry & (b ^ d));
    NumberMasks m;
    m.once = low | mid | high;
    m.twice = mid | high;
    m.thrice = high | (mid & low);
    m.four = high;
    return m;
}

// How many cards of each number a set holds, index 1..13.
struct NumberCounts {
    std::array<std::uint8_t, kNumbers + 2> of{};  // of[0] and of[14] stay 0
};
inline NumberCounts CountNumbers(CardSet cards) {
    const NumberMasks m = MaskNumbers(cards);
    NumberCounts counts;
    for (int n = 1; n <= kNumbers; ++n)
        counts.of[n] = std::uint8_t(((m.once >> n) & 1) + ((m.twice >> n) & 1) + ((m.thrice >> n) & 1) +
                                    ((m.four >> n) & 1));
    return counts;
}

}  // namespace vorn
