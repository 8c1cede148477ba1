#pragma once

#include "ai/observation.h"
#include "cards/gamestate.h"

namespace vorn {

// A table whose other hands this computer may not see. A host that deals fair
// tells a joiner only what its seat could see at a real table; the joiner's
// copy still needs a card in every place, so the cards it cannot see stand in
// for each other ("shadows"): any of them may sit in another hand or the
// stock, face down, and they change places as the truth comes out (a play
// names its cards, the end of a game shows the hands). The counts are always
// right; which unseen card lies where is not.

// The cards owner cannot see on t: every card outside its hand (chosen ones
// included) and the played cards.
CardSet UnseenBy(const GameState& t, int owner);

// Makes seat (another than owner) hold cards, trading them with its own
// shadows. False, and t unchanged, when a card is not unseen by owner or seat
// holds fewer cards than named.
bool ShadowsBecome(GameState& t, int owner, int seat, CardSet cards);

// Puts card, unseen by owner, in the stock (owner is about to draw it),
// trading it with one of the stock's shadows. False, and t unchanged, when it
// is not unseen or the stock is empty.
bool ShadowToStock(GameState& t, int owner, Card card);

// The table as seen.seat sees it: its hand, the played cards, the play on the
// table and the counters as seen, currentSeat to move, and the other hands and
// the stock filled with shadows in the sizes seen. False when seen does not
// add up to the 52 cards.
bool ShadowTable(const Observation& seen, int currentSeat, GameState& out);

}  // namespace vorn
