#include "cards/rules.h"

#include <bit>

#include "cards/card.h"
#include "cards/texts.h"

namespace vorn {

namespace {

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The numbers of a set are consecutive from the lowest, each exactly `times` times.
bool ConsecutiveGroups(const NumberCounts& counts, int times, int total) {
    int low = 1;
    while (counts.of[low] == 0) ++low;
    int seen = 0;
    for (int number = low; number <= kNumbers && counts.of[number] != 0; ++number) {
        if (counts.of[number] != times) return false;
        seen += times;
    }
    return seen == total;
}

}  // namespace

bool IsBank(CardSet cards) {
    const int n = cards.Count();
    if (n < 2 || n > 4) return false;
    return (cards & kOfNumber[cards.First().Number()]) == cards;
}

bool IsArrange(CardSet cards) {
    const int n = cards.Count();
    if (n < 3) return false;
    return ConsecutiveGroups(CountNumbers(cards), 1, n);
}

bool IsDblBank(CardSet cards) {
    const int n = cards.Count();
    if (n < 4) return false;
    const NumberCounts counts = CountNumbers(cards);
    int low = 1;
    while (counts.of[low] == 0) ++low;
    const int f = counts.of[low];
    if (n == 4 && f == 4) return false;
    if (n % f != 0) return false;
    return ConsecutiveGroups(counts, f, n);
}

bool HasPlayableShape(CardSet cards) {
    return IsPass(cards) || IsSingle(cards) || IsBank(cards) || IsArrange(cards) || IsDblBank(cards);
}

bool CanBeat(const GameState& state, CardSet chosen) {
    if (state.TablePlay.Empty() || state.MustLead) return true;
    if (state.TablePlay.Count() != chosen.Count()) return false;
    if ((state.PlayType == PlayType::Single || state.PlayType == PlayType::Bank) && IsAllTwos(chosen))
        return true;
    // Every table card is answered by a card one number higher: each number's
    // count moves up by one, so every mask of the choice is the table's
    // shifted by one number, and nothing answers a 2.
    const NumberMasks mine = MaskNumbers(chosen);
    const NumberMasks theirs = MaskNumbers(state.TablePlay);
    return (theirs.once >> kTwo & 1) == 0 && mine.once == theirs.once << 1 &&
           mine.twice == theirs.twice << 1 && mine.thrice == theirs.thrice << 1 &&
           mine.four == theirs.four << 1;
}

PlayType ClassifyPlay(CardSet cards) {
    const int n = cards.Count();
    if (n == 0) return PlayType::None;
    if (CountTwos(cards) == n) return PlayType::Is2;
    if (n == 1) return PlayType::Single;
    // The shapes read the numbers held as masks: a run is a block of bits
    // from the lowest number up, and a double run holds each of its numbers
    // as often as its lowest.
    const NumberMasks m = MaskNumbers(cards);
    const int low = std::countr_zero(m.once);
    const std::uint32_t block = m.once >> low;
    const bool consecutive = (block & (block + 1)) == 0;
    if (consecutive && m.twice == 0 && n >= 3) return PlayType::Arrange;
    if (consecutive && n >= 4) {
        const int f =
            int((m.once >> low & 1) + (m.twice >> low & 1) + (m.thrice >> low & 1) + (m.four >> low & 1));
        const bool even = f == 2   ? m.twice == m.once && m.thrice == 0
                          : f == 3 ? m.thrice == m.once && m.four == 0
                                   : f == 4 && n > 4 && m.four == m.once;
        if (even) return PlayType::DblBank;
    }
    if (n <= 4 && block == 1) return PlayType::Bank;
    return PlayType::None;
}

namespace {

// The rank texts of every card of a play, lowest first, each `shift` ranks up.
std::string RankTexts(CardSet play, int shift) {
    static const char* const kRanks[] = {" 3",  " 4", " 5", " 6", " 7", " 8", " 9",
                                         " 10", " J", " Q", " K", " A", " 2", " X"};
    char text[3 * kDeckSize];
    size_t size = 0;
    for (int number = 1; number <= kNumbers; ++number)
        for (int k = (play & kOfNumber[number]).Count(); k > 0; --k)
            for (const char* r = kRanks[number - 1 + shift]; *r; ++r) text[size++] = *r;
    return std::string(text, size);
}

}  // namespace

std::string PlayText(CardSet play) {
    return RankTexts(play, 0);
}

std::string BeatText(CardSet play) {
    return RankTexts(play, 1);
}

std::string ReplaceWithTwo(const std::string& mine) {
    std::string twos = "2";
    for (char c : mine)
        if (c == ' ') twos += " 2";
    return twos;
}

std::string BeatHint(const GameState& state, const Words& words) {
    const std::string beat = BeatText(state.TablePlay);
    char last = beat.empty() ? '\0' : beat.back();
    std::string b = Trim(beat);
    const PlayType type = state.PlayType;
    if (last == 'X') return words(texts::kHighestAlready);
    if ((type == PlayType::Arrange || type == PlayType::DblBank) && last == '2')
        return words(texts::kHighestAlready);
    if ((type == PlayType::Bank || type == PlayType::Single) && last != '2')
        return words(texts::kShouldPlay) + b + words(texts::kOr) + ReplaceWithTwo(b) +
               words(texts::kShouldPlayEnd);
    return words(texts::kShouldPlay) + b + words(texts::kShouldPlayEnd);
}

std::string RefusalText(Refusal refusal, const GameState& state, const Words& words) {
    switch (refusal) {
        case Refusal::BadShape:
            return words(texts::kBadShape);
        case Refusal::TwoNotAlone:
            return words(texts::kTwoAlone);
        case Refusal::MustLead:
            return words(texts::kMustLead);
        case Refusal::CannotBeat:
            return words(texts::kCannotBeat) + BeatHint(state, words);
        default:
            return {};
    }
}

}  // namespace vorn
