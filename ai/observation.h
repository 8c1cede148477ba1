#pragma once

#include <array>
#include <cstdint>

#include "cards/cardset.h"
#include "cards/gamestate.h"

namespace vorn {

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

    // The seat opens a round: it may lay any shape and may not pass.
    bool Leads() const { return mustLead || tablePlay.Empty(); }
    // The cards the seat cannot see: in the other hands or the stock.
    CardSet Unseen() const { return CardSet::Deck().Without(hand).Without(played); }
    // A fingerprint of everything above.
    std::uint64_t Hash() const;

    friend bool operator==(const Observation&, const Observation&) = default;
};

// The counters seen written back to a table: the play on the table and its
// kind, the stock's state, whose lead, the passes and the runs of singles.
void TakeCounters(const Observation& seen, GameState& state);

// The observation of seat, which is to move on state.
Observation Observe(const GameState& state, int seat, const std::array<int, 4>& lost = {});

}  // namespace vorn
