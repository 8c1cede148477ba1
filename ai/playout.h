#pragma once

#include <array>
#include <cstdint>

#include "cards/gamestate.h"
#include "cards/random.h"

namespace vorn {

// The rules' computer player for any seat: a follow or a lead chosen into
// lstSelected. Seat 0, which the rules do not know, is decided as seat 1
// would be, seats 0 and 1 swapped for the length of the decision.
void RulesDecision(GameState& state, int seat, bool lead, float gambleRate, Random& random);
// The same on the search's own generator, whose draws are inlined.
void RulesDecision(GameState& state, int seat, bool lead, float gambleRate, SearchRandom& random);
// The rules' decision, except that a follow the rules would pass on while the
// stock lasts beats with the next number's cards where the hand holds them:
// how a searching seat goes on without its search (PlayoutSeats::beats).
void BeatingDecision(GameState& state, int seat, bool lead, float gambleRate, SearchRandom& random);

// The same shape one number higher, of each number the highest suits, when
// the hand holds it; empty otherwise (a play of As or 2s has none: 2s never
// join other cards).
CardSet NextHigher(CardSet hand, CardSet table);

// What one playout came to.
struct PlayedOut {
    int lost = 0;       // the cards left in the seat's hand at the end
    int decisions = 0;  // the decisions taken on the way
};

struct OwnTree;

// How the seats play in a playout: each by the rules at its gamble rate, some
// beating more than the rules do; the seat that searches (me) may instead have
// its own moves chosen by ownMove once the stock is empty and it holds at most
// lookahead cards, or by a tree over its own moves where that has an opinion.
struct PlayoutSeats {
    int me = 0;
    std::array<float, 4> gambleRates{};
    int lookahead = 0;
    // The seats that, while the stock lasts, beat with the next number's cards
    // wherever the hand holds them and the rules would pass to keep a pair or
    // a run whole: a search beats far more often than the rules, so the
    // searching seat does, and so do the seats known to search.
    std::array<bool, 4> beats{};
    CardSet (*ownMove)(const GameState& t, const PlayoutSeats& seats, SearchRandom& random) = nullptr;
    // When set, every move of the searching seat is the tree's: its own
    // decisions as the playouts of one search have rated them so far
    // (ai/expert.cpp), UnsearchedOwnMove where they have not rated it enough.
    OwnTree* tree = nullptr;
    CardSet (*treeMove)(OwnTree& tree, const GameState& t, const PlayoutSeats& seats,
                        SearchRandom& random) = nullptr;
};

// The searching seat's move at t without the tree: the rules' at its gamble
// rate, its follows beating while the stock lasts (beats), and late in
// the game ownMove's.
CardSet UnsearchedOwnMove(const GameState& t, const PlayoutSeats& seats, SearchRandom& random);

// Plays on from a table whose seat to move has just moved (or is to move, when
// nobody has yet) until a hand is empty: the game loop of the table server
// written for a bare state, with no events and no checks beyond the
// referee's. Draws at new rounds and the rules' gambles come from random.
PlayedOut PlayOut(GameState& t, const PlayoutSeats& seats, SearchRandom& random);

}  // namespace vorn
