#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "cards/card.h"
#include "cards/cardset.h"

namespace vorn {

// The type of the play on the table. Its names ("Single", ...) are written
// only where the play is shown or recorded; None is what a choice of no
// playable shape classifies as.
enum class PlayType : std::uint8_t { None, JustBegin, Single, Bank, Arrange, DblBank, Is2 };

// "JustBegin", "Single", "Bank", "Arrange", "DblBank", "Is2"; "" for None.
const char* PlayTypeName(PlayType type);
// The type of a name; None for anything else.
PlayType PlayTypeOf(std::string_view name);

inline constexpr int kStockLocation = -1;
inline constexpr int kPlayedLocation = 4;

// Everything two copies of one table must agree on: the stock, the four hands,
// the chosen cards, where every card is, the play on the table and the turn
// counters. A plain value without pointers, cheap to copy, so that the
// computer player can try moves on copies. Invariant between actions: each of
// the 52 cards is in exactly one of the stock, one hand, lstSelected or
// played, and CardLocation says which (a chosen card still counts as its
// seat's). Card pictures belong to the presentation, not here.
struct GameState {
    CardSet lstCardsBox;                  // the stock, drawn by position
    std::array<CardSet, 4> lstDirection;  // the hands
    CardSet lstSelected;                  // the cards chosen by the seat to move
    CardSet TablePlay;                    // the play on the table; empty when there is none

    std::int8_t CardLocation[kSuits][kNumbers] = {};  // -1 stock, 0..3 a hand, 4 played

    vorn::PlayType PlayType = vorn::PlayType::JustBegin;
    bool StockEmpty = false;
    bool MustLead = true;
    Card DrawnCard = Card::None();  // the card of the last draw; none after a new game
    int DrawIndex = 0;              // its stock position
    int TheLastThrower = 0;
    int PassCount = 0;
    int CurrentSeat = 0;
    std::array<int, 4> SingleRun{};

    std::int8_t& Location(Card c) { return CardLocation[c.Suit()][c.Number() - 1]; }
    int Location(Card c) const { return CardLocation[c.Suit()][c.Number() - 1]; }
    int HandSize(int seat) const { return lstDirection[seat].Count(); }

    friend bool operator==(const GameState&, const GameState&) = default;
};

// Checks the card-conservation invariant. Returns an empty text when it holds,
// else a description of the first violation. chosenSeat is the seat whose
// chosen cards are in lstSelected (-1 when it must be empty).
std::string CheckConservation(const GameState& state, int chosenSeat = -1);

// Two copies of a table compared: the first difference described, empty when
// they agree.
std::string StateDifference(const GameState& a, const GameState& b);

}  // namespace vorn
