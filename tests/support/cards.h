#pragma once

// Cards written the way people and the wire write them, for tests: codes in,
// codes out.

#include <QString>
#include <QTest>

#include <string>
#include <string_view>

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

}  // namespace vorn::testing
