#pragma once

#include <string>

#include "cards/cardset.h"
#include "cards/words.h"

namespace vorn {

// The sentences of a table, made from facts in a table's language. The turn
// engine tells its view facts (a name, a play, a refusal); the view, which
// knows its person's language, makes the sentences here.

// Status panel 1 and 2: "牌局：" + text, "进程：" + text.
std::string HintLine(const Words& words, const std::string& text);
std::string ProgressLine(const Words& words, const std::string& text);
// "本局由<name>先出牌".
std::string LeaderText(const Words& words, const std::string& name);
// "<name>出牌 5 5".
std::string PlayedText(const Words& words, const std::string& name, CardSet play);
// "<name> 失分", the caption of a score board row.
std::string ScorerText(const Words& words, const std::string& name);
// "<name> 赢得本局，并赢得下局的先出牌权！", and with the next-game question after it.
std::string WinnerText(const Words& words, const std::string& name);
std::string NextGameText(const Words& words, const std::string& name);
// The play button's caption: "OK" with cards chosen, else "PASS".
const char* ThrowCaption(bool chosen);

}  // namespace vorn
