#include "net/netoutbox.h"

#include "net/protocol.h"
#include "net/sendqueue.h"

namespace vorn {

void NetOutbox::SnatchCard(int seat, int drawIndex, Card card) {
    const std::string today = SnatchMessage(seat, drawIndex);
    queue_.SendToEach(
        [&](int slot) { return Fair(slot) ? DrawMessage(seat, slot == seat ? card : Card::None()) : today; });
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

void NetOutbox::GameOver(int seat, const std::array<CardSet, 4>& hands) {
    // The hands left are shown to all at the end; a fair link learns them now.
    for (int holder = 0; holder < 4; ++holder) {
        if (hands[size_t(holder)].Empty()) continue;
        const std::string message = HandMessage(holder, hands[size_t(holder)]);
        queue_.SendToEach([&](int slot) { return Fair(slot) && slot != holder ? message : std::string(); });
    }
    queue_.SendToAll(GameOverMessage(seat));
}

void TellLinks(Outbox& outbox, const TableServer& server, const TableEvent& event, const GameState& after) {
    using Kind = TableEvent::Kind;
    switch (event.kind) {
        case Kind::Draw:
            outbox.SnatchCard(event.seat, event.index, event.card);
            return;
        case Kind::Turn:
            outbox.Turn(event.seat, event.lead);
            return;
        case Kind::Played:
        case Kind::Passed: {
            // A link's own move goes to the others; one the computer made for
            // it, out of time, to that link too.
            const bool fromLink = server.Seat(event.seat).kind == SeatKind::Remote && !event.forced;
            outbox.Throw(after.TheLastThrower, Codes(after.TablePlay), event.seat,
                         fromLink ? event.seat : -1);
            return;
        }
        case Kind::GameOver:
            outbox.GameOver(event.seat, event.hands);
            return;
        case Kind::NewGame:
        case Kind::NewRound:
        case Kind::Refused:
            return;
    }
}

void PlaceTable(Engine& engine, const Session& session, Outbox& outbox) {
    engine.sendMove = nullptr;
    engine.tableEvent = nullptr;
    if (session.mode == Mode::Joiner) {
        engine.FollowTable();
        engine.sendMove = [&outbox](int lastThrower, CardSet tablePlay, int seat) {
            outbox.ThrowToHost(lastThrower, Codes(tablePlay), seat);
        };
        return;
    }
    const bool host = session.mode == Mode::Host;
    std::array<SeatKind, 4> kinds{};
    for (int seat = 0; seat < 4; ++seat)
        kinds[size_t(seat)] = seat == session.LocalSeat ? SeatKind::Person
                              : host                    ? SeatKind::Remote
                                                        : SeatKind::Computer;
    engine.KeepTable(kinds);
    if (host)
        engine.tableEvent = [&engine, &outbox](const TableEvent& event, const GameState& after) {
            TellLinks(outbox, *engine.server(), event, after);
        };
}

}  // namespace vorn
