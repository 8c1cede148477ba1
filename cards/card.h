#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "cards/words.h"

namespace vorn {

// Numbers run 1..13 in strength order 3 4 5 6 7 8 9 10 J Q K A 2, so 13 is the 2.
// Suits are indexed 0..3 in the order clubs, diamonds, hearts, spades, which is
// also the text order of their letters.
inline constexpr int kSuits = 4;
inline constexpr int kNumbers = 13;
inline constexpr int kDeckSize = kSuits * kNumbers;
inline constexpr int kTwo = 13;
inline constexpr char kSuitLetters[kSuits] = {'C', 'D', 'H', 'S'};

// A card as one byte: suit * 13 + number - 1, 0..51. The order of these values
// is the text order of the cards' codes ("C_01" < "C_13" < "D_01"), so a set
// read from its lowest value up is a list sorted by code. The code itself is
// written only where a card is shown, sent or recorded.
class Card {
  public:
    constexpr Card() = default;
    constexpr Card(int suit, int number) : index_(std::uint8_t(suit * kNumbers + number - 1)) {}
    static constexpr Card FromIndex(int index) {
        Card c;
        c.index_ = std::uint8_t(index);
        return c;
    }
    // No card at all: what a new game has drawn.
    static constexpr Card None() { return FromIndex(0xFF); }

    constexpr int Index() const { return index_; }
    constexpr int Suit() const { return index_ / kNumbers; }
    constexpr int Number() const { return index_ % kNumbers + 1; }
    constexpr bool IsTwo() const { return Number() == kTwo; }
    constexpr bool IsNone() const { return index_ == 0xFF; }

    friend constexpr bool operator==(Card, Card) = default;
    friend constexpr auto operator<=>(Card, Card) = default;

  private:
    std::uint8_t index_ = 0;
};

// The number at the end of a code: the last two characters of a 4-character
// code, the last character of a 3-character one, 0 for anything else. Two-digit
// number texts ("05") answer their value too.
int CardNumber(std::string_view code);

// n with a leading zero below 10: 9 -> "09", 15 -> "15".
std::string TwoDigits(int n);

// "C_05" for clubs 5 (the 7 of clubs).
std::string CardCode(Card card);
std::string CardCode(int suit, int number);

// Suit index of a suit letter, or -1.
int SuitIndex(char letter);

// Parses a 4-character code; false when it is not one of the 52 cards.
bool ParseCard(std::string_view code, Card& card);

// True when the code ends in "13".
bool IsTwoCode(std::string_view code);

// Display text of a rank value 3..15 (" 3" .. " 10", " J", " Q", " K", " A", " 2");
// 16 gives " X", the rank above the 2. Anything else gives "".
std::string RankText(int rankValue);

// Cell of the card's face in the picture strip: suit offset + number - 1.
inline constexpr int FaceCell(Card card) {
    return card.Index();
}

// Chinese name of a card's face for people and screen readers: "红桃3", "黑桃2".
std::string CardFaceName(Card card, const Words& words = SourceWords());

}  // namespace vorn
