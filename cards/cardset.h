#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "cards/card.h"

namespace vorn {

// Bits set in a word, written out: the baseline x86-64 target has no popcount
// instruction, and the library call the compiler would fall back to is slow.
constexpr int CountBitsPortably(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return int((x * 0x0101010101010101ull) >> 56);
}

#if defined(__x86_64__) && !defined(__POPCNT__)
// Nearly every x86-64 processor has the instruction all the same: it is asked
// for once, and used where it is there.
inline const bool kHavePopcount = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt") != 0;
}();
#endif

constexpr int CountBits(std::uint64_t x) {
#if defined(__POPCNT__)
    return __builtin_popcountll(x);
#elif defined(__x86_64__)
    if (!std::is_constant_evaluated() && kHavePopcount) {
        std::uint64_t count;
        asm("popcnt %1, %0" : "=r"(count) : "r"(x) : "cc");
        return int(count);
    }
    return CountBitsPortably(x);
#else
    return CountBitsPortably(x);
#endif
}

// A set of cards as 52 bits, bit i for the card of index i. Read by position it
// is the sorted list the game is written in: entry 0 is the card with the
// lowest code, and an added card takes its sorted place. A card is at most
// once in a set, as it is at most once in the deck.
class CardSet {
  public:
    static constexpr std::uint64_t kAllBits = (std::uint64_t(1) << kDeckSize) - 1;

    constexpr CardSet() = default;
    static constexpr CardSet FromBits(std::uint64_t bits) {
        CardSet s;
        s.bits_ = bits & kAllBits;
        return s;
    }
    static constexpr CardSet Deck() { return FromBits(kAllBits); }
    // Every card of one number.
    static constexpr CardSet OfNumber(int number) {
        std::uint64_t bits = 0;
        for (int suit = 0; suit < kSuits; ++suit) bits |= std::uint64_t(1) << Card(suit, number).Index();
        return FromBits(bits);
    }

    constexpr std::uint64_t Bits() const { return bits_; }
    constexpr int Count() const { return CountBits(bits_); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool Contains(Card c) const { return (bits_ >> c.Index()) & 1; }
    constexpr void Add(Card c) { bits_ |= Bit(c); }
    // False when the card was not in the set.
    constexpr bool Remove(Card c) {
        const bool had = Contains(c);
        bits_ &= ~Bit(c);
        return had;
    }
    constexpr void Clear() { bits_ = 0; }

    // The entry at a position, 0 the lowest; index must be below Count().
    // Broadword: the running counts of the set's bytes name the byte that
    // holds the entry, a short walk the bit within it.
    constexpr Card operator[](int index) const {
        constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
        std::uint64_t x = bits_ - ((bits_ >> 1) & 0x5555555555555555ull);
        x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
        x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
        const std::uint64_t running = x * kOnes;  // byte i: entries in bytes 0..i
        // Bytes whose running count is still at or below index lie wholly before the entry.
        const std::uint64_t before = ((std::uint64_t(index) * kOnes | kHigh) - running) & kHigh;
        const int byte = int(((before >> 7) * kOnes) >> 56);
        const int skipped = byte == 0 ? 0 : int((running >> (8 * (byte - 1))) & 0xFF);
        std::uint64_t b = (bits_ >> (8 * byte)) & 0xFF;
        for (int k = skipped; k < index; ++k) b &= b - 1;
        return Card::FromIndex(8 * byte + std::countr_zero(b));
    }
    // Position of the card, or -1 when it is not in the set.
    constexpr int IndexOf(Card c) const {
        if (!Contains(c)) return -1;
        return CountBits(bits_ & (Bit(c) - 1));
    }
    constexpr void RemoveAt(int index) { Remove((*this)[index]); }
    // The highest and lowest entries; the set must not be empty.
    constexpr Card Last() const { return Card::FromIndex(63 - std::countl_zero(bits_)); }
    constexpr Card First() const { return Card::FromIndex(std::countr_zero(bits_)); }

    constexpr CardSet operator&(CardSet o) const { return FromBits(bits_ & o.bits_); }
    constexpr CardSet operator|(CardSet o) const { return FromBits(bits_ | o.bits_); }
    constexpr CardSet Without(CardSet o) const { return FromBits(bits_ & ~o.bits_); }
    constexpr CardSet& operator|=(CardSet o) {
        bits_ |= o.bits_;
        return *this;
    }

    // Lowest card first.
    class Iterator {
      public:
        constexpr explicit Iterator(std::uint64_t b) : b_(b) {}
        constexpr Card operator*() const { return Card::FromIndex(std::countr_zero(b_)); }
        constexpr Iterator& operator++() {
            b_ &= b_ - 1;
            return *this;
        }
        friend constexpr bool operator==(Iterator, Iterator) = default;

      private:
        std::uint64_t b_;
    };
    constexpr Iterator begin() const { return Iterator(bits_); }
    constexpr Iterator end() const { return Iterator(0); }

    friend constexpr bool operator==(CardSet, CardSet) = default;

  private:
    static constexpr std::uint64_t Bit(Card c) { return std::uint64_t(1) << c.Index(); }
    std::uint64_t bits_ = 0;
};

// The four cards of each number 1..13; entries 0 and 14 are empty.
inline constexpr std::array<CardSet, kNumbers + 2> kOfNumber = [] {
    std::array<CardSet, kNumbers + 2> sets{};
    for (int number = 1; number <= kNumbers; ++number) sets[number] = CardSet::OfNumber(number);
    return sets;
}();
inline constexpr CardSet kTwos = kOfNumber[kTwo];

// The codes of a set concatenated lowest first: "C_05D_05". The form of a play
// on the wire and in the record.
std::string Codes(CardSet cards);
// The same with a separator between codes: "C_05 D_05".
std::string Codes(CardSet cards, std::string_view separator);
// Reads concatenated 4-character codes; false for anything that is not a list
// of distinct cards.
bool ParseCodes(std::string_view text, CardSet& cards);

}  // namespace vorn
