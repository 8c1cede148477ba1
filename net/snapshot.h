#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ai/observation.h"
#include "cards/referee.h"

namespace vorn {

// "[Snapshot]": what one seat may see of a table, for a joiner of the second
// version that takes its seat (back) in the middle of a game: its hand, the
// played cards, the play on the table and its kind, the counters, the hand
// and stock sizes, whose turn it is, and the score board.
struct SnapshotBody {
    Observation seen;
    int currentSeat = 0;
    ScoreBoard scores;
};

std::string SnapshotMessage(const SnapshotBody& snapshot);
// Exactly what SnapshotMessage writes, seats 0..3 and counts not negative;
// whether the counts add up is the receiver's to check.
std::optional<SnapshotBody> ParseSnapshot(std::string_view body);

}  // namespace vorn
