#pragma once

#include <string>
#include <string_view>

namespace vorn {

// A card is written as a 4-character code: suit letter, '_', two-digit number.
// Numbers run 1..13 in strength order 3 4 5 6 7 8 9 10 J Q K A 2, so 13 is the 2.
// Suits are indexed 0..3 in the order clubs, diamonds, hearts, spades, which is
// also the text order of their letters.
inline constexpr int kSuits = 4;
inline constexpr int kNumbers = 13;
inline constexpr int kDeckSize = kSuits * kNumbers;
inline constexpr int kTwo = 13;
inline constexpr char kSuitLetters[kSuits] = {'C', 'D', 'H', 'S'};

struct Card {
    int suit = 0;    // 0..3
    int number = 1;  // 1..13
    friend bool operator==(const Card&, const Card&) = default;
};

// The number at the end of a code: the last two characters of a 4-character
// code, the last character of a 3-character one, 0 for anything else. Two-digit
// number texts ("05") answer their value too, which the computer player relies on.
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
inline int FaceCell(Card card) { return card.suit * kNumbers + card.number - 1; }

// Chinese name of a card's face for people and screen readers: "红桃3", "黑桃2".
std::string CardFaceName(Card card);

}  // namespace vorn
