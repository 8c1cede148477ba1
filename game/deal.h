#pragma once

#include <string>

#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/session.h"
#include "cards/tableclient.h"
#include "game/pictures.h"

namespace vorn {

// What the operations of a table act on: its state, the program-wide values,
// the options, the screen and the random source, and the card pictures when
// there is a screen to draw them on.
struct GameEnv {
    GameState& table;
    Session& session;
    Options& options;
    TableScreen& screen;
    TableNews& news;
    TableClock& clock;
    Random& random;
    CardPictures* pictures = nullptr;
};

// The name of the seat that leads this game (TheLastThrower).
std::string LeaderName(const GameEnv& env);

// Card pictures; without pictures they do nothing. MoveCard animates in ten
// steps of StepDelay (pauses of the screen's showing) when animation is on,
// else jumps.
void MoveCard(GameEnv& env, Card card, int x, int y);
void PlaceCard(GameEnv& env, Card card, int x, int y);
void BringToFront(GameEnv& env, Card card);
void ShowFace(GameEnv& env, Card card, bool face);
// Lays out a seat's hand in rank order, 3 first and 2 last: 200 twips a
// card, centred on the seat's anchor. From kWideHand cards on, the person's
// own hand spreads wider (up to 330 twips a card) within the band between the
// west hand and the play button.
inline constexpr int kWideHand = 12;
inline constexpr int kCardWidth = 1065;
inline constexpr int kOwnHandLeft = 4800;
inline constexpr int kOwnHandRight = 9390;
void LayoutHand(GameEnv& env, int seat);
// Where a seat's played card goes: 1200 twips from its hand place toward the middle.
void TowardMiddle(const GameEnv& env, int seat, int& x, int& y);
// The screen position of a seat: 0 bottom, 1 right, 2 top, 3 left.
int ScreenPosition(int seat, int localSeat);

void ShowTurnMarker(GameEnv& env, int seat);
void HideTurnMarkers(GameEnv& env);

// A new game: empty table, full stock in deck order, JustBegin.
void NewGame(GameEnv& env);
// Stock position index goes to seat, as the table's keeper drew it.
void DrawCard(GameEnv& env, int seat, int index);

// Every card's picture where the table says it lies: the stock's face down on
// the stock, each hand laid out (face up only at this computer's seat), the
// played cards face down on the heap. After unseen cards changed places, or
// when a whole table is taken up at once.
void LayOutTable(GameEnv& env);

}  // namespace vorn
