#pragma once

// What every test table is made of: the shared state, its pictures, the
// options, a recording screen and a seeded random source. The engine's bench
// and the network layer's bench each add their own session, outbox and engine.

#include <cstdint>
#include <string_view>

#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"
#include "game/pictures.h"
#include "tests/support/cards.h"
#include "tests/support/view.h"

namespace vorn::testing {

struct TableParts {
    explicit TableParts(std::uint64_t seed) : random(seed) {}

    GameState table;
    CardPictures pictures;
    Options options;
    RecordingView view;
    SeededRandom random;
};

// Takes a card out of the stock into a seat's hand (seat 0..3) or onto the
// played heap (4), keeping the stock and CardLocation in step.
inline void Place(GameState& t, std::string_view code, int where) {
    const Card card = CardOf(code);
    if (!t.lstCardsBox.Remove(card))
        QTest::qFail(("not in the stock: " + std::string(code)).c_str(), __FILE__, __LINE__);
    t.Location(card) = std::int8_t(where);
    if (where >= 0 && where < 4) t.lstDirection[where].Add(card);
    if (t.lstCardsBox.Empty()) t.StockEmpty = true;
}

}  // namespace vorn::testing
