#include "cards/rules.h"

#include <algorithm>
#include <array>

#include "cards/card.h"
#include "cards/texts.h"

namespace vorn {

namespace {

// Card numbers of a list, ascending. Hands hold at most 52 cards.
struct Numbers {
    std::array<int, kDeckSize> value{};
    int count = 0;
};

Numbers SortedNumbers(const SortedList& cards) {
    Numbers nums;
    for (const auto& code : cards) {
        if (nums.count == kDeckSize) break;
        nums.value[nums.count++] = CardNumber(code);
    }
    std::sort(nums.value.begin(), nums.value.begin() + nums.count);
    return nums;
}

std::string ShiftedRankText(const std::string& caption) {
    int value = CardNumber(caption);
    if (caption.size() != 2 || value < 3 || value > 15) return "";
    return RankText(value + 1);
}

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

bool IsPass(const SortedList& cards) { return cards.Count() == 0; }

bool IsSingle(const SortedList& cards) { return cards.Count() == 1; }

bool IsBank(const SortedList& cards) {
    int n = cards.Count();
    if (n < 2 || n > 4) return false;
    int first = CardNumber(cards[0]);
    for (const auto& code : cards)
        if (CardNumber(code) != first) return false;
    return true;
}

bool IsArrange(const SortedList& cards) {
    if (cards.Count() < 3) return false;
    Numbers nums = SortedNumbers(cards);
    for (int k = 0; k < nums.count; ++k)
        if (nums.value[k] != nums.value[0] + k) return false;
    return true;
}

bool IsDblBank(const SortedList& cards) {
    int n = cards.Count();
    if (n < 4) return false;
    Numbers nums = SortedNumbers(cards);
    if (n == 4 && nums.value[0] == nums.value[3]) return false;
    int low = nums.value[0];
    int f = 0;
    while (f < n && nums.value[f] == low) ++f;
    if (n % f != 0) return false;
    for (int j = 0; j < n; ++j)
        if (nums.value[j] != low + j / f) return false;
    return true;
}

int CountTwos(const SortedList& cards) {
    int twos = 0;
    for (const auto& code : cards)
        if (IsTwoCode(code)) ++twos;
    return twos;
}

bool IsAllTwos(const SortedList& cards) {
    int n = cards.Count();
    if (n < 1 || n > 4) return false;
    return CountTwos(cards) == n;
}

bool HasPlayableShape(const SortedList& cards) {
    return IsPass(cards) || IsSingle(cards) || IsBank(cards) || IsArrange(cards) || IsDblBank(cards);
}

bool BreaksTwoRule(const SortedList& cards) { return CountTwos(cards) >= 1 && !IsAllTwos(cards); }

bool CanBeat(Table& table) {
    const SortedList& chosen = table.lstSelected;
    if (table.TablePlay.empty() || table.MustLead) return true;
    if (table.TablePlay.size() != size_t(4 * chosen.Count())) return false;
    if ((table.PlayType == "Single" || table.PlayType == "Bank") && IsAllTwos(chosen)) return true;

    SortedList& mine = table.lstCompare[0];
    SortedList& theirs = table.lstCompare[1];
    mine.Clear();
    theirs.Clear();
    for (const auto& code : chosen) mine.Add(TwoDigits(CardNumber(code) - 1));
    for (size_t i = 0; i + 4 <= table.TablePlay.size(); i += 4) theirs.Add(table.TablePlay.substr(i + 2, 2));
    bool same = mine == theirs;
    mine.Clear();
    theirs.Clear();
    return same;
}

std::string ClassifyPlay(const SortedList& cards) {
    if (IsAllTwos(cards)) return "Is2";
    std::string type;
    if (IsSingle(cards)) type = "Single";
    if (IsBank(cards)) type = "Bank";
    if (IsDblBank(cards)) type = "DblBank";
    if (IsArrange(cards)) type = "Arrange";
    return type;
}

void BuildPlayTexts(Table& table) {
    table.lstCaption.Clear();
    for (size_t i = 0; i + 4 <= table.TablePlay.size(); i += 4)
        table.lstCaption.Add(TwoDigits(CardNumber(table.TablePlay.substr(i + 2, 2)) + 2));
    table.PlayText.clear();
    for (const auto& caption : table.lstCaption) {
        int value = CardNumber(caption);
        if (value >= 11) {
            table.PlayText += RankText(value);
        } else {
            table.PlayText += ' ';
            table.PlayText += std::to_string(value);
        }
    }
    table.BeatText.clear();
    for (const auto& caption : table.lstCaption) table.BeatText += ShiftedRankText(caption);
}

std::string ReplaceWithTwo(const std::string& mine) {
    std::string twos = "2";
    for (char c : mine)
        if (c == ' ') twos += " 2";
    return twos;
}

std::string BeatHint(const Table& table) {
    const std::string& beat = table.BeatText;
    char last = beat.empty() ? '\0' : beat.back();
    std::string b = Trim(beat);
    const std::string& type = table.PlayType;
    if (last == 'X') return texts::kHighestAlready;
    if ((type == "Arrange" || type == "DblBank") && last == '2') return texts::kHighestAlready;
    if ((type == "Bank" || type == "Single") && last != '2')
        return std::string(texts::kShouldPlay) + b + texts::kOr + ReplaceWithTwo(b) + texts::kShouldPlayEnd;
    return std::string(texts::kShouldPlay) + b + texts::kShouldPlayEnd;
}

}  // namespace vorn
