#pragma once

#include <array>
#include <string>
#include <vector>

#include "cards/card.h"
#include "cards/sortedlist.h"

namespace vorn {

// Where each card's picture lies on the table, in twips, and whether it shows
// its face. z grows every time a picture is brought to the front.
struct CardImage {
    int x = 300;
    int y = 300;
    bool face = false;
    int z = 0;
    bool raised = false;  // drawn 300 twips above its hand place (the person's chosen cards)
};

inline constexpr int kStockLocation = -1;
inline constexpr int kPlayedLocation = 4;

inline constexpr int kStockX = 300;
inline constexpr int kStockY = 300;
inline constexpr int kHeapX = 7200;
inline constexpr int kHeapY = 3300;

// The complete state of one deal: the stock, the four hands, the chosen cards,
// the play on the table with its texts, the turn counters, the computer
// player's work lists and the card pictures. Invariant between actions: each
// of the 52 cards is in exactly one of the stock, one hand, lstSelected or
// played, and CardLocation says which (a chosen card still counts as its
// seat's). The work lists are empty between operations.
struct Table {
    SortedList lstCardsBox;
    std::array<SortedList, 4> lstDirection;
    SortedList lstSelected;
    SortedList lstCaption;
    std::array<SortedList, 4> lstCompare;  // lstCompare0 .. lstCompare3
    SortedList lstLone;
    SortedList lstJudge;
    SortedList lstBaseBak;
    std::vector<SortedList> lstSonBank{SortedList{}};  // element 0 always exists

    int CardLocation[kSuits][kNumbers] = {};
    bool CardRaised[kSuits][kNumbers] = {};

    std::string TablePlay;
    std::string PlayType = "JustBegin";
    std::string PlayText;
    std::string BeatText;
    int TheLastThrower = 0;
    bool StockEmpty = false;
    int DrawIndex = 0;
    std::string DrawnCard;
    std::string DrawnSuit;
    int PassCount = 0;
    bool MustLead = true;
    std::array<int, 4> SingleRun{};
    int CurrentSeat = 0;

    std::array<int, 4> SeatX{7200, 10900, 7200, 3700};
    std::array<int, 4> SeatY{6400, 3000, 300, 3000};

    CardImage images[kSuits][kNumbers];
    int topZ = 0;

    int& Location(Card c) { return CardLocation[c.suit][c.number - 1]; }
    int Location(Card c) const { return CardLocation[c.suit][c.number - 1]; }
    CardImage& Image(Card c) { return images[c.suit][c.number - 1]; }
    const CardImage& Image(Card c) const { return images[c.suit][c.number - 1]; }
    int HandSize(int seat) const { return lstDirection[seat].Count(); }
};

// Checks the card-conservation invariant. Returns an empty text when it holds,
// else a description of the first violation. chosenSeat is the seat whose
// chosen cards are in lstSelected (-1 when it must be empty).
std::string CheckConservation(const Table& table, int chosenSeat = -1);

// The game state two copies of one table must share (stock, hands, chosen
// cards, card locations, the play on the table and the turn counters), compared:
// the first difference described, empty when they agree. Card pictures and the
// work lists are left out, since each computer draws the table turned to its
// own seat.
std::string StateDifference(const Table& a, const Table& b);

}  // namespace vorn
