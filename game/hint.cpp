#include "game/hint.h"

#include <algorithm>
#include <map>
#include <utility>

#include "ai/lead.h"
#include "cards/random.h"
#include "cards/rules.h"

namespace vorn {

namespace {

constexpr size_t kMostChoices = 64;

// Every way to take `count` cards out of `cards`, in order, appended to `prefix`.
void Combinations(const std::vector<std::string>& cards, size_t count, size_t from, std::vector<std::string>& prefix,
                  std::vector<std::vector<std::string>>& out) {
    if (out.size() >= kMostChoices) return;
    if (count == 0) {
        out.push_back(prefix);
        return;
    }
    for (size_t i = from; i + count <= cards.size(); ++i) {
        prefix.push_back(cards[i]);
        Combinations(cards, count - 1, i + 1, prefix, out);
        prefix.pop_back();
    }
}

// The cross product of per-number choices: each result takes one choice per number.
std::vector<std::vector<std::string>> Product(const std::vector<std::vector<std::vector<std::string>>>& parts) {
    std::vector<std::vector<std::string>> result{{}};
    for (const auto& options : parts) {
        std::vector<std::vector<std::string>> next;
        for (const auto& partial : result)
            for (const auto& option : options) {
                if (next.size() >= kMostChoices) break;
                auto combined = partial;
                combined.insert(combined.end(), option.begin(), option.end());
                next.push_back(std::move(combined));
            }
        result = std::move(next);
    }
    return result;
}

bool Beats(const Table& table, const std::vector<std::string>& cards) {
    Table probe;
    probe.TablePlay = table.TablePlay;
    probe.PlayType = table.PlayType;
    probe.MustLead = table.MustLead;
    for (const auto& c : cards) probe.lstSelected.Add(c);
    return HasPlayableShape(probe.lstSelected) && !BreaksTwoRule(probe.lstSelected) && CanBeat(probe);
}

}  // namespace

std::vector<std::vector<std::string>> HintChoices(const Table& table, int seat, float gambleRate) {
    std::vector<std::vector<std::string>> choices;
    if (seat < 0 || seat > 3) return choices;
    std::vector<std::string> mine(table.lstDirection[seat].begin(), table.lstDirection[seat].end());
    for (const auto& c : table.lstSelected) mine.push_back(c);
    if (mine.empty()) return choices;

    if (table.MustLead || table.TablePlay.empty()) {
        // The computer player's lead, asked on a copy in which the person sits
        // where the computer player expects a seat of its own.
        Table copy;
        copy.StockEmpty = table.StockEmpty;
        std::copy(&table.CardLocation[0][0], &table.CardLocation[0][0] + kDeckSize, &copy.CardLocation[0][0]);
        for (const auto& c : mine) copy.lstDirection[1].Add(c);
        for (int s = 0; s < 4; ++s)
            if (s != seat) copy.lstDirection[s == 1 ? seat : s] = table.lstDirection[s];
        SeededRandom quiet(0x5eed);
        ChooseLead(copy, 1, gambleRate, quiet);
        if (!copy.lstSelected.Empty()) choices.emplace_back(copy.lstSelected.begin(), copy.lstSelected.end());
        return choices;
    }

    // The same shape one rank higher: every table number asks for one card of
    // the next number; a 2 never answers that way.
    std::map<int, int> need;
    for (size_t i = 0; i + 4 <= table.TablePlay.size(); i += 4) ++need[CardNumber(table.TablePlay.substr(i + 2, 2)) + 1];
    std::vector<std::vector<std::vector<std::string>>> parts;
    bool possible = true;
    for (const auto& [number, count] : need) {
        std::vector<std::string> ofNumber;
        if (number < kTwo)
            for (const auto& c : mine)
                if (CardNumber(c) == number) ofNumber.push_back(c);
        std::sort(ofNumber.begin(), ofNumber.end());
        std::vector<std::vector<std::string>> options;
        std::vector<std::string> prefix;
        Combinations(ofNumber, size_t(count), 0, prefix, options);
        if (options.empty()) {
            possible = false;
            break;
        }
        parts.push_back(std::move(options));
    }
    if (possible)
        for (auto& choice : Product(parts))
            if (Beats(table, choice)) choices.push_back(std::move(choice));

    // Then as many 2s, where 2s may beat the play.
    std::vector<std::string> twos;
    for (const auto& c : mine)
        if (IsTwoCode(c)) twos.push_back(c);
    std::sort(twos.begin(), twos.end());
    std::vector<std::vector<std::string>> twoChoices;
    std::vector<std::string> prefix;
    Combinations(twos, size_t(PlaySize(table.TablePlay)), 0, prefix, twoChoices);
    for (auto& choice : twoChoices)
        if (choices.size() < kMostChoices && Beats(table, choice)) choices.push_back(std::move(choice));
    return choices;
}

}  // namespace vorn
