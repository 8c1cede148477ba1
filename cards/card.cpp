#include "cards/card.h"

#include "cards/cardset.h"

namespace vorn {

namespace {
int DigitValue(char c) {
    return (c >= '0' && c <= '9') ? c - '0' : -1;
}

// Value of a one- or two-character decimal text; 0 when it is not one.
int SmallNumber(std::string_view text) {
    int value = 0;
    for (char c : text) {
        int d = DigitValue(c);
        if (d < 0) return 0;
        value = value * 10 + d;
    }
    return value;
}
}  // namespace

int CardNumber(std::string_view code) {
    if (code.size() == 4) return SmallNumber(code.substr(2));
    if (code.size() == 3) return SmallNumber(code.substr(2));
    if (code.size() == 2) return SmallNumber(code);
    return 0;
}

std::string TwoDigits(int n) {
    std::string text = std::to_string(n);
    if (n >= 0 && n < 10) text.insert(text.begin(), '0');
    return text;
}

std::string CardCode(int suit, int number) {
    std::string code(4, '_');
    code[0] = kSuitLetters[suit];
    code[2] = char('0' + number / 10);
    code[3] = char('0' + number % 10);
    return code;
}

std::string CardCode(Card card) {
    return CardCode(card.Suit(), card.Number());
}

int SuitIndex(char letter) {
    for (int s = 0; s < kSuits; ++s)
        if (kSuitLetters[s] == letter) return s;
    return -1;
}

bool ParseCard(std::string_view code, Card& card) {
    if (code.size() != 4 || code[1] != '_') return false;
    int suit = SuitIndex(code[0]);
    int tens = DigitValue(code[2]);
    int ones = DigitValue(code[3]);
    if (suit < 0 || tens < 0 || ones < 0) return false;
    int number = tens * 10 + ones;
    if (number < 1 || number > kNumbers) return false;
    card = Card{suit, number};
    return true;
}

bool IsTwoCode(std::string_view code) {
    return code.size() >= 2 && code.substr(code.size() - 2) == "13";
}

std::string RankText(int rankValue) {
    switch (rankValue) {
        case 11:
            return " J";
        case 12:
            return " Q";
        case 13:
            return " K";
        case 14:
            return " A";
        case 15:
            return " 2";
        case 16:
            return " X";
        default:
            break;
    }
    // Appended rather than " " + to_string(...): g++ 12 at -O3 mis-warns on that form (-Wrestrict).
    std::string text;
    if (rankValue >= 3 && rankValue <= 10) text.append(" ").append(std::to_string(rankValue));
    return text;
}

std::string CardFaceName(Card card, const Words& words) {
    // %1 is the rank, so a language may name it before or after the suit.
    static const char* const kSuitNames[kSuits] = {
        QT_TRANSLATE_NOOP("Vorn", "梅花%1"), QT_TRANSLATE_NOOP("Vorn", "方块%1"),
        QT_TRANSLATE_NOOP("Vorn", "红桃%1"), QT_TRANSLATE_NOOP("Vorn", "黑桃%1")};
    static const char* const kRanks[kNumbers] = {"3",
                                                 "4",
                                                 "5",
                                                 "6",
                                                 "7",
                                                 "8",
                                                 "9",
                                                 "10",
                                                 QT_TRANSLATE_NOOP("Vorn", "J"),
                                                 QT_TRANSLATE_NOOP("Vorn", "Q"),
                                                 QT_TRANSLATE_NOOP("Vorn", "K"),
                                                 QT_TRANSLATE_NOOP("Vorn", "A"),
                                                 "2"};
    return Fill(words(kSuitNames[card.Suit()]), {words(kRanks[card.Number() - 1])});
}

std::string Codes(CardSet cards) {
    return Codes(cards, "");
}

std::string Codes(CardSet cards, std::string_view separator) {
    std::string text;
    for (Card c : cards) {
        if (!text.empty()) text += separator;
        text += CardCode(c);
    }
    return text;
}

bool ParseCodes(std::string_view text, CardSet& cards) {
    if (text.size() % 4 != 0) return false;
    CardSet read;
    for (size_t i = 0; i < text.size(); i += 4) {
        Card c;
        if (!ParseCard(text.substr(i, 4), c) || read.Contains(c)) return false;
        read.Add(c);
    }
    cards = read;
    return true;
}

}  // namespace vorn
