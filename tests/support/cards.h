#pragma once

// Cards written the way people and the wire write them, for tests: codes in,
// codes out.

#include <QString>
#include <QTest>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card.h"
#include "cards/cardset.h"
#include "cards/gamestate.h"

namespace vorn::testing {

// The card of a code; a bad code fails the running test.
inline Card CardOf(std::string_view code) {
    Card card;
    if (!ParseCard(code, card)) QTest::qFail(("bad card " + std::string(code)).c_str(), __FILE__, __LINE__);
    return card;
}

inline Card CardOf(Card card) {
    return card;
}

// The set of one card.
inline CardSet One(Card card) {
    CardSet set;
    set.Add(card);
    return set;
}

// "C_05 D_06", "C_05,D_06" or "C_05D_06" as a set.
inline CardSet SetOf(std::string_view codes) {
    CardSet set;
    std::string code;
    for (char c : codes) {
        if (c == ' ' || c == ',') continue;
        code += c;
        if (code.size() == 4) {
            set.Add(CardOf(code));
            code.clear();
        }
    }
    if (!code.empty()) QTest::qFail(("bad card " + code).c_str(), __FILE__, __LINE__);
    return set;
}
inline CardSet SetOf(const QString& codes) {
    return SetOf(codes.toStdString());
}
inline CardSet SetOf(const char* codes) {
    return SetOf(std::string_view(codes));
}

// Card number of a rank name as people write it: "3".."10", "J", "Q", "K", "A", "2".
// 0 for anything else.
inline int RankNumber(std::string_view name) {
    static const char* const kNames[kNumbers] = {"3",  "4", "5", "6", "7", "8", "9",
                                                 "10", "J", "Q", "K", "A", "2"};
    for (int n = 1; n <= kNumbers; ++n)
        if (name == kNames[n - 1]) return n;
    return 0;
}

// The codes of a play written as rank names ("3 3 4 4"), in the written order.
// Repeats of a rank take the next suit, starting from firstSuit, so the cards
// of one play never collide and a second play can avoid the first's suits.
inline std::vector<std::string> Codes(std::string_view notation, int firstSuit = 0) {
    std::vector<std::string> codes;
    int used[kNumbers + 1] = {};
    size_t i = 0;
    while (i < notation.size()) {
        if (notation[i] == ' ') {
            ++i;
            continue;
        }
        size_t end = notation.find(' ', i);
        if (end == std::string_view::npos) end = notation.size();
        int number = RankNumber(notation.substr(i, end - i));
        if (number > 0) codes.push_back(CardCode((firstSuit + used[number]++) % kSuits, number));
        i = end;
    }
    return codes;
}

inline std::vector<std::string> Codes(const QString& notation, int firstSuit = 0) {
    return Codes(notation.toStdString(), firstSuit);
}
inline std::vector<std::string> Codes(const char* notation, int firstSuit = 0) {
    return Codes(std::string_view(notation), firstSuit);
}

inline CardSet Cards(std::string_view notation, int firstSuit = 0) {
    CardSet set;
    for (auto& code : Codes(notation, firstSuit)) {
        Card card;
        ParseCard(code, card);
        set.Add(card);
    }
    return set;
}

// A core text (UTF-8) as Qt holds it.
inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
// A play as the wire writes it: "C_05D_05".
inline QString Q(CardSet cards) {
    return QString::fromStdString(Codes(cards));
}
inline QString Q(Card card) {
    return QString::fromStdString(CardCode(card));
}
inline QString Q(PlayType type) {
    return PlayTypeName(type);
}

// "C_05 D_06": the codes of a set, lowest first, a blank between.
inline QString Text(CardSet cards) {
    return QString::fromStdString(Codes(cards, " "));
}

// How many cards each seat holds, seat 0 first.
inline std::array<int, 4> HandSizes(const GameState& t) {
    return {t.HandSize(0), t.HandSize(1), t.HandSize(2), t.HandSize(3)};
}

}  // namespace vorn::testing
