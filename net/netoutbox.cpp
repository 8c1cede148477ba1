#include "net/netoutbox.h"

#include "net/protocol.h"
#include "net/sendqueue.h"

namespace vorn {

void NetOutbox::SnatchCard(int seat, int drawIndex) {
    queue_.SendToAll(SnatchMessage(seat, drawIndex));
}

void NetOutbox::Turn(int seat, bool mustLead) {
    queue_.SendToAll(TurnMessage(seat, mustLead));
}

void NetOutbox::Throw(int lastThrower, const std::string& tablePlay, int seat, int exceptSeat) {
    // A joiner's seat is the number of its slot, so its relay skips that slot.
    const std::string message = ThrowMessage(lastThrower, tablePlay, seat);
    if (exceptSeat < 0)
        queue_.SendToAll(message);
    else
        queue_.SendToOthers(message, exceptSeat);
}

void NetOutbox::ThrowToHost(int lastThrower, const std::string& tablePlay, int seat) {
    queue_.SendToHost(ThrowMessage(lastThrower, tablePlay, seat));
}

void NetOutbox::GameOver(int seat) {
    queue_.SendToAll(GameOverMessage(seat));
}

}  // namespace vorn
