#include "game/hint.h"

#include "ai/expert.h"

namespace vorn {

std::vector<CardSet> ExpertHint(const GameState& state, int seat) {
    std::vector<CardSet> plays;
    if (seat < 0 || seat > 3) return plays;
    const Observation seen = Observe(state, seat);
    if (seen.hand.Empty()) return plays;
    for (const ExpertMove& move : RankMoves(seen))
        if (!move.play.Empty()) plays.push_back(move.play);
    return plays;
}

}  // namespace vorn
