#include "game/hint.h"

#include "ai/expert.h"
#include "ai/lead.h"
#include "cards/random.h"
#include "cards/rules.h"

namespace vorn {

namespace {

constexpr size_t kMostChoices = 64;

// Every way to take `count` cards out of `cards`, lowest first, added to `prefix`.
void Combinations(CardSet cards, int count, CardSet prefix, std::vector<CardSet>& out) {
    if (out.size() >= kMostChoices) return;
    if (count == 0) {
        out.push_back(prefix);
        return;
    }
    for (CardSet rest = cards; rest.Count() >= count;) {
        const Card first = rest.First();
        rest.Remove(first);
        CardSet with = prefix;
        with.Add(first);
        Combinations(rest, count - 1, with, out);
    }
}

// The cross product of per-number choices: each result takes one choice per number.
std::vector<CardSet> Product(const std::vector<std::vector<CardSet>>& parts) {
    std::vector<CardSet> result{CardSet{}};
    for (const auto& options : parts) {
        std::vector<CardSet> next;
        for (const CardSet partial : result)
            for (const CardSet option : options) {
                if (next.size() >= kMostChoices) break;
                next.push_back(partial | option);
            }
        result = std::move(next);
    }
    return result;
}

bool Beats(const GameState& state, CardSet cards) {
    return HasPlayableShape(cards) && !BreaksTwoRule(cards) && CanBeat(state, cards);
}

}  // namespace

std::vector<CardSet> HintChoices(const GameState& state, int seat, float gambleRate) {
    std::vector<CardSet> choices;
    if (seat < 0 || seat > 3) return choices;
    const CardSet mine = state.lstDirection[seat] | state.lstSelected;
    if (mine.Empty()) return choices;

    if (state.MustLead || state.TablePlay.Empty()) {
        // The computer player's lead, asked on a copy in which the person sits
        // where the computer player expects a seat of its own.
        GameState copy;
        copy.StockEmpty = state.StockEmpty;
        std::copy(&state.CardLocation[0][0], &state.CardLocation[0][0] + kDeckSize, &copy.CardLocation[0][0]);
        copy.lstDirection[1] = mine;
        for (int s = 0; s < 4; ++s)
            if (s != seat) copy.lstDirection[s == 1 ? seat : s] = state.lstDirection[s];
        SeededRandom quiet(0x5eed);
        ChooseLead(copy, 1, gambleRate, quiet);
        if (!copy.lstSelected.Empty()) choices.push_back(copy.lstSelected);
        return choices;
    }

    // The same shape one rank higher: every table number asks for one card of
    // the next number; a 2 never answers that way.
    const NumberCounts table = CountNumbers(state.TablePlay);
    std::vector<std::vector<CardSet>> parts;
    bool possible = true;
    for (int number = 2; number <= kNumbers + 1 && possible; ++number) {
        const int count = table.of[number - 1];
        if (count == 0) continue;
        const CardSet ofNumber = number < kTwo ? mine & kOfNumber[number] : CardSet{};
        std::vector<CardSet> options;
        Combinations(ofNumber, count, CardSet{}, options);
        if (options.empty()) possible = false;
        parts.push_back(std::move(options));
    }
    if (possible)
        for (const CardSet choice : Product(parts))
            if (Beats(state, choice)) choices.push_back(choice);

    // Then as many 2s, where 2s may beat the play.
    std::vector<CardSet> twoChoices;
    Combinations(mine & kTwos, PlaySize(state.TablePlay), CardSet{}, twoChoices);
    for (const CardSet choice : twoChoices)
        if (choices.size() < kMostChoices && Beats(state, choice)) choices.push_back(choice);
    return choices;
}

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
