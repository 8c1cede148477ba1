#include "game/tablewords.h"

#include "cards/rules.h"
#include "cards/texts.h"
#include "game/texts.h"

namespace vorn {

std::string HintLine(const Words& words, const std::string& text) {
    return words(texts::kHintPrefix) + text;
}

std::string ProgressLine(const Words& words, const std::string& text) {
    return words(texts::kProgressPrefix) + text;
}

std::string LeaderText(const Words& words, const std::string& name) {
    return Fill(words(texts::kLeadsThisGame), {name});
}

std::string PlayedText(const Words& words, const std::string& name, CardSet play) {
    return name + words(texts::kPlays) + PlayText(play);
}

std::string ScorerText(const Words& words, const std::string& name) {
    return name + words(texts::kLostPoints);
}

std::string WinnerText(const Words& words, const std::string& name) {
    return name + words(texts::kWinsGame);
}

std::string NextGameText(const Words& words, const std::string& name) {
    return WinnerText(words, name) + words(texts::kNextGameQuestion);
}

const char* ThrowCaption(bool chosen) {
    return chosen ? texts::kOk : texts::kPass;
}

}  // namespace vorn
