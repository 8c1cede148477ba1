#pragma once

// The turn engine's test bench: a screen that records what the engine shows
// and answers its boxes from a script, and a local table built around it.

#include <QString>

#include <array>
#include <string>

#include "cards/card.h"
#include "cards/cardset.h"
#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/session.h"
#include "cards/tableclient.h"
#include "game/engine.h"
#include "game/tableserver.h"
#include "tests/support/cards.h"
#include "tests/support/rig.h"
#include "tests/support/rows.h"
#include "tests/support/view.h"

namespace vorn::gametest {

using vorn::testing::At;
using vorn::testing::CardOf;
using vorn::testing::HandSizes;
using vorn::testing::One;
using vorn::testing::Q;
using vorn::testing::RecordingView;
using vorn::testing::Row;
using vorn::testing::SetOf;
using vorn::testing::Text;

// A local game on the real engine with the recording screen and a fixed seed.
struct Rig : testing::TableParts {
    Session session;
    Engine engine;

    explicit Rig(std::uint64_t seed = 1)
        : TableParts(seed), engine(table, session, options, TableClient::Of(view), random, &pictures) {
        options.animation = false;
        options.sound = true;
        engine.KeepTable({SeatKind::Person, SeatKind::Computer, SeatKind::Computer, SeatKind::Computer});
        engine.AdjustDirection();
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;
};

using testing::Codes;
using testing::Place;

// A table server alone on its own seeded random source.
struct ServerTable {
    explicit ServerTable(std::uint64_t seed) : random(seed), server(random) {}
    // Deals when no hand is being played, else makes the next computer move.
    void Step() {
        if (server.Playing())
            server.Step(0);
        else
            server.Deal(0);
    }
    SeededRandom random;
    TableServer server;
};

// Sets up a table mid-game: hands as rank lists, a play on the table made by
// lastThrower, and the stock cut down to stockLeft cards by moving its lowest
// entries onto the heap; the engine's server takes it up. Every rank name takes the lowest suit of that
// number still in the stock, hands 0..3 first, then the table.
struct Setup {
    std::array<QString, 4> hands{};
    QString onTable{};
    std::string playType{};  // empty: the type of onTable, or "JustBegin" when nothing is on the table
    int lastThrower = 3;
    int current = 0;
    int passCount = 0;
    bool mustLead = false;
    int stockLeft = -1;  // -1: leave the stock as it is
};

void Arrange(Rig& rig, const Setup& setup);

// For each rank name, the card of that number in the lowest suit of from not
// picked already; a rank with no such card is left out.
CardSet Pick(CardSet from, const QString& ranks);
// The picked cards of the stock, taken to a seat's hand (0..3) or the heap (4).
CardSet Take(GameState& t, const QString& ranks, int where);

// The seat to move moves: the person with the play button, which must be
// showing, a computer seat at the next tick.
void MoveOn(Rig& rig);

// The person has chosen exactly these cards: out of his hand yet still his,
// and raised on the screen.
void ExpectRaised(const Rig& rig, CardSet chosen);

}  // namespace vorn::gametest
