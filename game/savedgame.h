#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/gamestate.h"
#include "cards/random.h"
#include "cards/referee.h"
#include "game/tableevent.h"
#include "game/tableserver.h"

namespace vorn {

// A local game as it stands between two inputs, everything the table needs to
// go on exactly as it would have: the table itself, whether a hand is being
// played, the score board, who plays each seat, where the table's random
// source stands, and the events of the hand so far (the seats' views of the
// game are made again from them).
struct SavedGame {
    GameState state;
    bool playing = false;
    ScoreBoard scores;
    std::array<SeatController, 4> seats{};
    std::uint64_t seed = 0;
    std::uint64_t drawn = 0;
    std::vector<TableEvent> history;
};

// The game of a table kept here, whose server draws from random.
SavedGame SaveOf(const TableServer& server, const SeededRandom& random);
// Puts server and random back where a saved game left them; the seats are
// the owner's to set (before, so that the views are made again).
void RestoreInto(const SavedGame& game, TableServer& server, SeededRandom& random, std::int64_t now);

// The game as the text of a save file: a first line naming the format and its
// version, one line for each part, the hand's events one a line, and "end".
std::string SavedGameText(const SavedGame& game);

struct SaveReading {
    std::optional<SavedGame> game;
    std::string error;  // why the text is not a saved game; empty when it is one
};
// Reads exactly what SavedGameText writes and checks that it is a table that
// can be: each card in one place, every count and seat in range, the counters
// that follow from the cards agreeing with them, and the hand's events leading
// to the very table saved.
SaveReading ReadSavedGame(std::string_view text);

}  // namespace vorn
