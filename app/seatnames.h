#pragma once

#include <QString>

#include <string>

#include "app/texts.h"
#include "cards/session.h"
#include "display/language.h"

namespace vorn {

// The name a table shows for a seat's name: the players' own, but the default
// names of the seats this program plays (every seat of a local game, and the
// seats the computer holds at a network table) read in the table's language.
// The settings file and the wire keep the default names' bytes.
inline QString ShownSeatName(const Session& session, const Language& words, const std::string& name) {
    bool ours = !session.IsNet();
    for (int seat = 0; seat < 4 && !ours; ++seat)
        ours = session.StandIn[size_t(seat)] && session.PlayerNames[size_t(seat)] == name;
    if (ours)
        for (const char* source : texts::kDefaultSeatNames)
            if (name == source) return words.Tr(source);
    return QString::fromStdString(name);
}

}  // namespace vorn
