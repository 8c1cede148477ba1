#pragma once

#include <QString>

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "cards/card.h"
#include "cards/cardset.h"
#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/session.h"
#include "cards/tableclient.h"
#include "game/deal.h"
#include "tests/support/cards.h"
#include "tests/support/random.h"
#include "tests/support/rig.h"
#include "tests/support/view.h"

namespace vorn::test {

using vorn::testing::CardOf;
using vorn::testing::Cards;
using vorn::testing::Codes;
using vorn::testing::Q;
using vorn::testing::RecordingView;
using vorn::testing::ScriptedRandom;
using vorn::testing::SetOf;
using vorn::testing::Text;

// One table with everything its operations reach, all recorded. Its random
// source is scripted until UseSeed switches it to the seeded one.
struct Rig : testing::TableParts {
    Session session;
    ScriptedRandom scripted;
    Random* current = &scripted;

    // The operations see one random source; UseSeed switches it behind them.
    struct Forward : Random {
        Random** to;
        explicit Forward(Random** target) : to(target) {}
        double Uniform() override { return (*to)->Uniform(); }
    } source{&current};
    GameEnv env{table, session, options, view, view, view, source, &pictures};

    Rig() : TableParts(20240611) {}
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    GameEnv& Env() { return env; }
    void UseSeed(std::uint64_t seed) {
        random = SeededRandom(seed);
        current = &random;
    }
};

}  // namespace vorn::test
