#pragma once

#include <string>

#include "cards/gamestate.h"
#include "cards/session.h"
#include "game/engine.h"
#include "game/tableevent.h"
#include "game/tableserver.h"

namespace vorn {

class SendQueue;

// What a table tells the other computers of a network game. The network layer
// turns these into messages and queues them; tests use NullOutbox.
class Outbox {
  public:
    virtual ~Outbox() = default;
    // Host: a card drawn from the stock for seat, by its stock index.
    virtual void SnatchCard(int seat, int drawIndex) = 0;
    // Host: the seat to move and whether it must lead.
    virtual void Turn(int seat, bool mustLead) = 0;
    // Host: a move, to every joiner except the one of exceptSeat (-1: all).
    virtual void Throw(int lastThrower, const std::string& tablePlay, int seat, int exceptSeat) = 0;
    // Joiner: its own move, to the host.
    virtual void ThrowToHost(int lastThrower, const std::string& tablePlay, int seat) = 0;
    // Host: the seat that emptied its hand.
    virtual void GameOver(int seat) = 0;
};

class NullOutbox : public Outbox {
  public:
    void SnatchCard(int, int) override {}
    void Turn(int, bool) override {}
    void Throw(int, const std::string&, int, int) override {}
    void ThrowToHost(int, const std::string&, int) override {}
    void GameOver(int) override {}
};

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

// The table kept here, told to its links in the messages of the wire: each
// event as it was shown (after: the table as the event left it). A move
// made on a link goes to every other link.
void TellLinks(Outbox& outbox, const TableServer& server, const TableEvent& event, const GameState& after);

// Where the engine's table is kept, as the session's mode says: here with the
// computer player in the other seats (local) or the links' people (host),
// whose links outbox tells of each event; or at the host (joiner), to which
// outbox takes the person's moves. outbox must outlive the engine's use of it.
void PlaceTable(Engine& engine, const Session& session, Outbox& outbox);

}  // namespace vorn
