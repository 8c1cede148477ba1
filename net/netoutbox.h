#pragma once

#include <string>

#include "cards/tableview.h"

namespace vorn {

class SendQueue;

// What the turn engine tells the other computers, queued as messages: the
// host's draws, turns, moves and the end of a game go to the joiners, a
// joiner's own move goes to the host.
class NetOutbox : public Outbox {
  public:
    explicit NetOutbox(SendQueue& queue) : queue_(queue) {}

    void SnatchCard(int seat, int drawIndex) override;
    void Turn(int seat, bool mustLead) override;
    void Throw(int lastThrower, const std::string& tablePlay, int seat, int exceptSeat) override;
    void ThrowToHost(int lastThrower, const std::string& tablePlay, int seat) override;
    void GameOver(int seat) override;

  private:
    SendQueue& queue_;
};

}  // namespace vorn
