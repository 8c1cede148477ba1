#pragma once

#include "ai/observation.h"
#include "game/tableevent.h"

namespace vorn {

// The event as seat may see it: another seat's draw without its card. Every
// other event is public: plays and passes are laid open, and a finished
// game shows every hand.
TableEvent VisibleTo(const TableEvent& event, int seat);

// What one seat knows of its table, kept from the events it may see: its own
// cards, the play on the table and every card played, the hand and stock
// sizes, the turn counters and the points lost so far. Following the events
// of a table from its start (or from an Observation taken at some point),
// seen() equals what Observe would read from the whole table for that seat at
// the same point; a client that keeps only this can be told nothing of the
// other hands.
class SeatView {
  public:
    explicit SeatView(int seat) { seen_.seat = seat; }
    explicit SeatView(const Observation& from) : seen_(from) {}

    void Follow(const TableEvent& event);
    // How each seat is known to play (Observation::players), kept across games.
    void SetPlayers(const std::array<int, 4>& players) { seen_.players = players; }
    void SetLost(const std::array<int, 4>& lost) { seen_.lost = lost; }
    const Observation& seen() const { return seen_; }

  private:
    Observation seen_;
};

}  // namespace vorn
