#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "cards/gamestate.h"

namespace vorn::selfplay {

// Runs seeded local games with all four seats played by the computer player,
// no pauses and no screen, and checks every move against the hand rules while
// it goes: the cards a seat chooses come from its hand and form a playable
// shape, 2s go alone, a follow beats the table or passes, a lead is never a
// pass; the engine carries the move out; the 52 cards are all accounted for
// after every tick; each win scores the losers' cards and one game.
//
// Each game draws from its own generator, seeded from the run's seed and the
// game's number (or from a record being replayed), so any one game can be
// played again from its seed, level and leader.

// A measuring level of the self-play only, never offered in the game: the
// expert's search shown the true hands and stock, the ceiling the expert's
// guesses are measured against.
inline constexpr int kOracleLevel = 4;

struct Config {
    Config(int games_ = 100, std::uint64_t seed_ = 1, int level_ = 1)
        : games(games_), seed(seed_), level(level_) {}
    int games;
    std::uint64_t seed;
    int level;  // 0 high, 1 medium, 2 low, 3 expert (4 oracle: seatLevels only)
    // Each seat's level, as level; -1 for level's.
    std::array<int, 4> seatLevels{-1, -1, -1, -1};
    int expertPlayouts = 0;  // the search's budget; 0 for its own
    // The visits before the tree over its own moves searches a decision: -1
    // for the search's own, 0 for no tree.
    int expertTreeVisits = -1;
    // When the oracle seats are shown the truth: always, or only while the
    // stock lasts (early) or once it is empty (late), searching as the expert
    // does otherwise; to tell what the true hands are worth in each part of a game.
    enum class OracleWhen { Always, Early, Late } oracleWhen = OracleWhen::Always;
    // When set, the expert seats' moves come from here instead of the search
    // (a replay takes them from the record).
    std::function<CardSet(const GameState& table, int seat)> expertMove;
    // More than 0: the games are shared among this many tables, each with a
    // run seed of its own (TableSeed), played a move at a time in turn on
    // one thread, or one table after another when sequential. The checksum
    // folds the tables' checksums in table order, so both ways print the same.
    int tables = 0;
    bool sequential = false;
    // Game g is led by seat (g - 1) mod 4 instead of the last game's winner,
    // so two runs of one seed deal the same hands game for game whatever
    // their players did: their games can be compared pair by pair.
    bool rotateLeaders = false;
};

// How one game ended: its winner and the points each seat lost in it.
struct GameOutcome {
    int winner = 0;
    std::array<int, 4> lost{};
};

struct Result {
    bool ok = true;
    std::string error;  // the first violation (or the replay's first difference)
    int games = 0;      // games finished
    long moves = 0;     // decisions, passes included
    long plays = 0;     // decisions that laid cards
    long draws = 0;     // cards drawn from the stock
    std::array<int, 4> wins{};
    std::array<int, 4> lost{};
    std::uint64_t checksum = 0;
    std::vector<double> expertMs;       // the time of each expert decision
    std::vector<double> searchedMs;     // the same for the decisions with more than one candidate
    std::vector<GameOutcome> outcomes;  // game by game (tables in order)
};

// Receives every line of the record in order; returning false stops the run.
using Sink = std::function<bool(const std::string& line)>;
// The seed of game g (0-based).
using SeedOf = std::function<std::uint64_t(int game)>;

// The seed of game g of a run seeded with runSeed.
std::uint64_t GameSeed(std::uint64_t runSeed, int game);

// The run seed of table index of a run seeded with runSeed.
std::uint64_t TableSeed(std::uint64_t runSeed, int index);

// Plays config.games games. With a sink, every event is written to it as a
// record line; the games and the checksum are the same with or without one.
Result Run(const Config& config, const Sink& sink = {}, const SeedOf& seedOf = {});

// Plays the games of a record again from its seeds and level and compares
// every event. ok with the number of games when all match, else error names
// the first line that differs.
Result Replay(std::istream& record);

}  // namespace vorn::selfplay
