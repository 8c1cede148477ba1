#pragma once

#include <array>

#include "cards/cardset.h"
#include "cards/gamestate.h"

namespace vorn {

// The referee: the one place where a move is checked and carried out. The
// turn engine, the network host, the table server, the expert's playouts and
// the self-play tool all go through Judge and Apply, so a rule is written once.

// A seat's move: the cards it lays, none for a pass.
struct Move {
    int seat = 0;
    CardSet cards;
};

// The first objection a move meets, in the order they are checked; Ok when
// the move may be carried out. Only the kind: the words are chosen where the
// refusal is shown.
enum class Refusal { Ok, NotYourTurn, NotYourCards, BadShape, TwoNotAlone, MustLead, CannotBeat };

// May seat lay play (empty: pass) now? A seat's cards are its hand and, while
// it is to move, the cards it has chosen (lstSelected).
Refusal Judge(const GameState& state, int seat, CardSet play);

// Does the seat to move hold any play the referee would let it lay on the
// play on the table? (Leading, anything goes.) Tries every choice of as many
// cards as lie on the table.
bool HasBeatingPlay(const GameState& state);

// What carrying out a move brought about.
struct Applied {
    bool played = false;     // cards were laid; else the seat passed
    bool handEmpty = false;  // the mover has no card left: the game is over
    bool roundOver = false;  // three passes in a row: the next seat leads a new round
};

// The type of a play (cards/rules.h), which Apply records.
PlayType ClassifyPlay(CardSet cards);

// Carries out a move Judge allowed: the cards leave the seat's hand (or its
// chosen cards) and lie on the table, the turn counters follow, and the turn
// passes to the next seat. Inline: returned from a call, the three flags
// were stored a byte at a time and read back as one word, a stall that cost
// the search's playouts a fifth of their time.
inline Applied Apply(GameState& state, const Move& move) {
    const int seat = move.seat;
    const bool played = !move.cards.Empty();
    if (played) {
        for (const Card c : move.cards) state.Location(c) = kPlayedLocation;
        state.lstDirection[seat] = state.lstDirection[seat].Without(move.cards);
        state.lstSelected = state.lstSelected.Without(move.cards);
        state.TablePlay = move.cards;
        state.PlayType = ClassifyPlay(move.cards);
        state.TheLastThrower = seat;
        // A seat's run of singles counts its consecutive single plays; any
        // other play of that seat ends the run. Passes leave it alone.
        state.SingleRun[seat] = move.cards.Count() == 1 ? state.SingleRun[seat] + 1 : 0;
        state.PassCount = 0;
    } else {
        ++state.PassCount;
    }
    state.MustLead = false;
    state.CurrentSeat = (seat + 1) % 4;
    const bool handEmpty = state.lstDirection[seat].Empty() && state.lstSelected.Empty();
    return Applied{played, handEmpty, state.PassCount == 3};
}

// A new game's table before the deal: every card in the stock, leader to lead.
GameState FreshTable(int leader);

// seat chooses play: the cards of it that the seat holds move from its hand
// into lstSelected, as a raised choice. Returns what moved.
CardSet Choose(GameState& state, int seat, CardSet play);

// Draws stock position index for seat: the card leaves the stock for the
// hand, and the stock is marked empty with its last card. Returns the card,
// or none when the stock is empty or index lies outside it.
Card DrawAt(GameState& state, int seat, int index);

// The score board: points lost and games won per seat since the last return to
// local play. Captions are built from these numbers.
struct ScoreBoard {
    std::array<int, 4> lost{};
    std::array<int, 4> won{};
};

// Scores a game that winner won: each seat loses a point per card it still
// holds. Returns what each seat lost in this game.
std::array<int, 4> ScoreGame(const GameState& state, int winner, ScoreBoard& board);

}  // namespace vorn
