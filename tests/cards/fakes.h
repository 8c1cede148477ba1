#pragma once

#include <QString>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cards/card.h"
#include "cards/cardset.h"
#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/session.h"
#include "cards/tableview.h"
#include "game/deal.h"
#include "tests/support/cards.h"
#include "tests/support/random.h"
#include "tests/support/view.h"

namespace vorn::test {

using vorn::testing::CardOf;
using vorn::testing::Q;
using vorn::testing::RecordingView;
using vorn::testing::ScriptedRandom;
using vorn::testing::SetOf;
using vorn::testing::Text;

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

inline CardSet Cards(std::string_view notation, int firstSuit = 0) {
    CardSet set;
    for (auto& code : Codes(notation, firstSuit)) {
        Card card;
        ParseCard(code, card);
        set.Add(card);
    }
    return set;
}

// A play on the table written as rank names.
inline CardSet Play(std::string_view notation, int firstSuit = 0) {
    return Cards(notation, firstSuit);
}

// One table with everything its operations reach, all recorded.
struct Rig {
    GameState table;
    CardPictures pictures;
    Session session;
    Options options;
    RecordingView view;
    ScriptedRandom scripted;
    SeededRandom seeded{20240611};
    Random* random = &scripted;

    // The operations see one random source; UseSeed switches it behind them.
    struct Forward : Random {
        Random** to;
        explicit Forward(Random** target) : to(target) {}
        double Uniform() override { return (*to)->Uniform(); }
    } source{&random};
    GameEnv env{table, session, options, view, source, &pictures};

    Rig() = default;
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    GameEnv& Env() { return env; }
    void UseSeed(std::uint64_t seed) {
        seeded = SeededRandom(seed);
        random = &seeded;
    }
};

}  // namespace vorn::test
