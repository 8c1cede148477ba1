#pragma once

#include <string>

#include "cards/words.h"

namespace vorn {

// What the network layer tells the person, as facts; the host of the layer
// says them in its person's language (NewsText).
enum class NetNews {
    Arrived,        // name joined the table (progress panel)
    Left,           // name left before the table was full (progress panel)
    AllSeated,      // all four are here (progress panel)
    TableFull,      // this joiner was turned away: the table is full (a box)
    LeftGameOver,   // name left a full table: the game is over (a box)
    StandIn,        // name's link dropped: the computer plays the seat on (progress panel)
    Returned,       // name took its seat back (progress panel)
    WrongPassword,  // this joiner was turned away: no or a wrong password (a box)
    BadToken,       // this joiner was turned away: its seat token is not the table's (a box)
    OldClosed,      // a joiner of the first version at a table with a password (its chat line)
    Reconnecting,   // this joiner's link to the host dropped; it tries again (progress panel)
    TimedOut,       // name's time ran out: the computer moved for it (progress panel)
};

// The news as a box rather than a line in the progress panel.
inline bool IsBoxNews(NetNews news) {
    return news == NetNews::TableFull || news == NetNews::LeftGameOver || news == NetNews::WrongPassword ||
           news == NetNews::BadToken;
}

// "name 来了", "人已到齐，游戏开始", ... in the given words.
std::string NewsText(NetNews news, const std::string& name, const Words& words = SourceWords());

}  // namespace vorn
