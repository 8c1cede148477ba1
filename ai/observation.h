#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "cards/cardset.h"
#include "cards/gamestate.h"

namespace vorn {

// One step of a game as every seat saw it: a seat's draw (its card hidden),
// or a seat's decision with the public table it was made on and what it
// laid (nothing: a pass). A searching seat reads the others' hands from these:
// what a seat passed on says what it did not hold.
struct SeenMove {
    std::int8_t seat = 0;
    bool draw = false;
    bool lead = false;  // a decision that opened a round
    bool stockEmpty = false;
    vorn::PlayType playType = vorn::PlayType::JustBegin;
    std::int8_t lastThrower = 0;
    std::int8_t passCount = 0;
    std::array<std::int8_t, 4> handSizes{};  // before the move
    std::array<std::int8_t, 4> singleRun{};
    CardSet cards;      // what the seat laid
    CardSet tablePlay;  // the play it answered
    CardSet played;     // every card out of play before the move

    friend bool operator==(const SeenMove&, const SeenMove&) = default;
};

// How a seat is known to play, for reading its moves: the rules' level
// 0..2, the search (kSearchPlayer), or not known (a person).
inline constexpr int kUnknownPlayer = -1;
inline constexpr int kSearchPlayer = 3;

// What one seat can see of a table: its own cards, the play on the table,
// every card played, how many cards each hand and the stock hold, the scores
// and the turn counters. The other hands' cards and the stock's are not in it,
// so nothing decided from it can depend on them.
struct Observation {
    int seat = 0;
    CardSet hand;       // the seat's cards, raised ones included
    CardSet tablePlay;  // empty when the seat leads
    vorn::PlayType playType = vorn::PlayType::JustBegin;
    CardSet played;  // every card out of play, the table's included
    std::array<int, 4> handSizes{};
    int stockSize = 0;
    bool stockEmpty = false;
    bool mustLead = true;
    int lastThrower = 0;
    int passCount = 0;
    std::array<int, 4> singleRun{};
    std::array<int, 4> lost{};  // points lost so far, when the caller knows them
    // The game's draws and decisions so far, oldest first, when the caller
    // followed them (a seat's view does; Observe of a bare table cannot).
    std::vector<SeenMove> history;
    // How each seat is known to play (kUnknownPlayer when not told).
    std::array<int, 4> players{kUnknownPlayer, kUnknownPlayer, kUnknownPlayer, kUnknownPlayer};

    // The seat opens a round: it may lay any shape and may not pass.
    bool Leads() const { return mustLead || tablePlay.Empty(); }
    // The cards the seat cannot see: in the other hands or the stock.
    CardSet Unseen() const { return CardSet::Deck().Without(hand).Without(played); }
    // A fingerprint of everything above.
    std::uint64_t Hash() const;
    // The table as it stands, without the history and what is known of the players.
    Observation Snapshot() const;

    friend bool operator==(const Observation&, const Observation&) = default;
};

// The counters seen written back to a table: the play on the table and its
// kind, the stock's state, whose lead, the passes and the runs of singles.
void TakeCounters(const Observation& seen, GameState& state);

// The observation of seat, which is to move on state.
Observation Observe(const GameState& state, int seat, const std::array<int, 4>& lost = {});

}  // namespace vorn
