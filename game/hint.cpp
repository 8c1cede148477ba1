#include "game/hint.h"

#include <cmath>

#include "ai/expert.h"

namespace vorn {

std::vector<HintChoice> ExpertHint(const Observation& seen) {
    std::vector<HintChoice> choices;
    if (seen.seat < 0 || seen.seat > 3 || seen.hand.Empty()) return choices;
    ExpertSettings settings;
    settings.rateAlone = true;
    const std::vector<ExpertMove> moves = RankMoves(seen, settings);
    // The moves offered, as ranked: the pass only when it comes first.
    std::vector<const ExpertMove*> offered;
    for (const ExpertMove& move : moves)
        if (!move.play.Empty() || &move == &moves.front()) offered.push_back(&move);
    if (offered.size() == 1 && offered.front()->play.Empty()) return choices;
    for (size_t k = 0; k < offered.size(); ++k) {
        HintChoice choice;
        choice.play = offered[k]->play;
        choice.winPercent = int(std::lround(100.0 * offered[k]->WinShare()));
        choice.closeToNext = k + 1 < offered.size() && TooClose(*offered[k], *offered[k + 1]);
        choice.closeToPrevious = k > 0 && choices.back().closeToNext;
        choices.push_back(choice);
    }
    return choices;
}

std::vector<HintChoice> ExpertHint(const GameState& state, int seat) {
    if (seat < 0 || seat > 3) return {};
    return ExpertHint(Observe(state, seat));
}

}  // namespace vorn
