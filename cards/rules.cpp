#include "cards/rules.h"

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
    // Every table card is answered by a card one number higher.
    const NumberCounts mine = CountNumbers(chosen);
    const NumberCounts theirs = CountNumbers(state.TablePlay);
    if (mine.of[1] != 0) return false;
    for (int number = 1; number < kNumbers; ++number)
        if (mine.of[number + 1] != theirs.of[number]) return false;
    return theirs.of[kTwo] == 0;
}

PlayType ClassifyPlay(CardSet cards) {
    if (IsAllTwos(cards)) return PlayType::Is2;
    PlayType type = PlayType::None;
    if (IsSingle(cards)) type = PlayType::Single;
    if (IsBank(cards)) type = PlayType::Bank;
    if (IsDblBank(cards)) type = PlayType::DblBank;
    if (IsArrange(cards)) type = PlayType::Arrange;
    return type;
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
