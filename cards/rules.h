#pragma once

#include <string>

#include "cards/sortedlist.h"
#include "cards/table.h"

namespace vorn {

// The hand rules: which sets of cards may be played, what beats the play on
// the table, and the texts that describe both. The shape tests look only at
// card numbers; suits never matter.

bool IsPass(const SortedList& cards);
bool IsSingle(const SortedList& cards);
bool IsBank(const SortedList& cards);
bool IsArrange(const SortedList& cards);
bool IsDblBank(const SortedList& cards);
int CountTwos(const SortedList& cards);
bool IsAllTwos(const SortedList& cards);

// The first refusal a choice meets, in the order the play operation applies
// them; Ok when the choice may be played.
enum class Refusal { Ok, BadShape, TwoNotAlone, MustLead, CannotBeat };

// Shape rule: at least one shape test (or a pass) holds.
bool HasPlayableShape(const SortedList& cards);
// The 2 rule: 2s are played only alone.
bool BreaksTwoRule(const SortedList& cards);

// Do the cards of lstSelected beat TablePlay? Uses lstCompare0 and lstCompare1
// and leaves them empty.
bool CanBeat(Table& table);

// The PlayType of a successful play of these cards.
std::string ClassifyPlay(const SortedList& cards);

// Fills lstCaption, PlayText and BeatText from TablePlay.
void BuildPlayTexts(Table& table);

// The hint for the play on the table, from BeatText and PlayType.
std::string BeatHint(const Table& table);

// "2" followed by " 2" once for every blank in mine: "6 6" gives "2 2".
std::string ReplaceWithTwo(const std::string& mine);

// The number of cards in a concatenated play text.
inline int PlaySize(const std::string& tablePlay) { return int(tablePlay.size() / 4); }

}  // namespace vorn
