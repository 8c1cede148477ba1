#pragma once

#include <array>
#include <cstdint>

#include "cards/cardset.h"
#include "cards/referee.h"

namespace vorn {

// One thing that happened at a table, in the order it happened. Only facts:
// a seat, cards, a kind of refusal; whoever shows an event chooses its words.
struct TableEvent {
    enum class Kind : std::uint8_t {
        NewGame,   // every card back in the stock; seat leads the coming deal
        Draw,      // seat drew card from stock position index
        NewRound,  // three passes: the table is cleared for the round seat leads (before its draws)
        Turn,      // seat is to move; lead: it must lead
        Played,    // seat laid cards
        Passed,    // seat passed
        Refused,   // seat's move was refused for refusal; nothing changed
        GameOver,  // seat emptied its hand; lost: what each seat lost in this game
    };
    Kind kind = Kind::NewGame;
    int seat = -1;
    CardSet cards;
    Card card = Card::None();
    int index = 0;
    bool lead = false;
    Refusal refusal = Refusal::Ok;
    std::array<int, 4> lost{};       // GameOver
    std::array<CardSet, 4> hands{};  // GameOver: what each seat still held, now shown to all
    bool forced = false;             // Played, Passed: the computer moved for a person out of time
};

}  // namespace vorn
