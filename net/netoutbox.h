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
    // Host: card drawn from the stock for seat, at its stock index.
    virtual void SnatchCard(int seat, int drawIndex, Card card) = 0;
    // Host: the seat to move and whether it must lead.
    virtual void Turn(int seat, bool mustLead) = 0;
    // Host: a move, to every joiner except the one of exceptSeat (-1: all).
    virtual void Throw(int lastThrower, const std::string& tablePlay, int seat, int exceptSeat) = 0;
    // Joiner: its own move, to the host.
    virtual void ThrowToHost(int lastThrower, const std::string& tablePlay, int seat) = 0;
    // Host: the seat that emptied its hand, and what every seat still held.
    virtual void GameOver(int seat, const std::array<CardSet, 4>& hands) = 0;
};

class NullOutbox : public Outbox {
  public:
    void SnatchCard(int, int, Card) override {}
    void Turn(int, bool) override {}
    void Throw(int, const std::string&, int, int) override {}
    void ThrowToHost(int, const std::string&, int) override {}
    void GameOver(int, const std::array<CardSet, 4>&) override {}
};

// What the turn engine tells the other computers, queued as messages: the
// host's draws, turns, moves and the end of a game go to the joiners, a
// joiner's own move goes to the host. Each link hears the version of the wire
// it speaks (session.Wire): on the second a draw names its card only to the
// seat that draws it, and the end of a game shows the hands left.
class NetOutbox : public Outbox {
  public:
    NetOutbox(SendQueue& queue, const Session& session) : queue_(queue), session_(session) {}

    void SnatchCard(int seat, int drawIndex, Card card) override;
    void Turn(int seat, bool mustLead) override;
    void Throw(int lastThrower, const std::string& tablePlay, int seat, int exceptSeat) override;
    void ThrowToHost(int lastThrower, const std::string& tablePlay, int seat) override;
    void GameOver(int seat, const std::array<CardSet, 4>& hands) override;

  private:
    bool Fair(int slot) const { return session_.Wire[size_t(slot)] >= 2; }

    SendQueue& queue_;
    const Session& session_;
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
