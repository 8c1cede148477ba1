#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cards/gamestate.h"
#include "net/chatrate.h"
#include "net/nethost.h"
#include "net/protocol.h"

namespace vorn {

class SendQueue;

// The player list operations. AddPerson appends the name and then gives the
// first entry whose slot is still 0 the slot number (a new entry starts at 0);
// RemovePerson and PersonName act on the first entry with that slot number.
void AddPerson(std::vector<Person>& players, int slot, const std::string& name);
bool RemovePerson(std::vector<Person>& players, int slot);
std::string PersonName(const std::vector<Person>& players, int slot);
// Somebody on the list goes by name.
bool NameTaken(const std::vector<Person>& players, const std::string& name);

// Could the host accept move from the link of its seat, against table as it
// stands? It must be that seat's turn. A play must name cards all in that
// seat's hand that make a playable shape, keep 2s alone and beat the play on
// the table; a pass must repeat the play on the table and its thrower exactly
// and may not come when the seat has to lead. table is not changed.
bool HostAcceptsThrow(const GameState& table, const ThrowBody& move);

// Acts on every message that arrives on a link: one per complete message,
// texts in UTF-8 without their terminator.
//
// The other end is not trusted. A message whose body is malformed (a missing
// field, a non-number, a seat outside 0..3, a bad card code) or whose tag is
// unknown is ignored whole, before anything changes. Messages only the host
// sends are ignored when they come from a joiner's link, and the host takes a
// "[Throw]" only from the link of the seat it names, on that seat's turn, when
// the move is legal.
//
// Messages that change the game ("[Seat]", "[Prepare]", "[Throw]", "[Turn]",
// "[Snatch Card]", "[Game Over]", "[Exit]") run as engine actions, so that one
// arriving while a card moves or a box is open waits and is applied in arrival
// order afterwards; what depends on the table (whose turn it is, the stock
// size) is checked when the action runs, and an action that finds the network
// game already over does nothing. Chat, arrivals, departures and the player
// list update at once.
//
// Chat is cut to kMaxChatLineChars before it is shown or passed on, and the
// host takes from each joiner only as much as ChatRate allows: the lines
// beyond are neither shown nor relayed, and the sender is not told. Queued actions refer to this object: it
// must outlive the engine's pending actions (the table window owns both).
class Dispatcher {
  public:
    Dispatcher(NetHost& host, SendQueue& queue);

    // sourceSlot is the slot the message came in on (host), -1 for the link to
    // the host (joiner).
    void HandleMessage(const std::string& message, int sourceSlot);
    // Handles every complete message of text in order and removes them from its
    // front; an unterminated rest stays in text.
    void DispatchMessages(std::string& text, int sourceSlot);

    // The player list of the host (and of each joiner, as the host sends it).
    void AddPerson(int slot, const std::string& name);
    void RemovePerson(int slot);
    std::string PersonName(int slot);
    // Host: to every listed joiner, the whole player list again.
    void SendNameList();
    // The host, about to deal: when it chose so, the computer player takes
    // every seat no person holds, under the seat's own name, and all hear the
    // names by seat.
    void FillEmptySeats();
    // Until all are seated, each seat reads the name of the person listed in
    // it, this computer's person's own at once, and 空位 where nobody is yet.
    void NameSeats();
    // The host: the link of seated slot dropped from a full table; the
    // computer player takes the seat, and everybody is told.
    void StandIn(int slot);

    // Milliseconds of a monotonic clock, for the chat rate; tests set their own.
    std::function<std::int64_t()> now;

  private:
    void OnSeat(std::string_view body);
    void OnJoined(std::string_view body, int sourceSlot);
    void OnNewNameList();
    void OnPeople(std::string_view body);
    void OnPrepare(std::string_view body);
    void OnMessage(std::string_view body, int sourceSlot);
    void OnThrow(std::string_view body, int sourceSlot);
    void OnTurn(std::string_view body);
    void OnSnatch(std::string_view body);
    void OnGameOver(std::string_view body);
    void OnDisconnected(std::string_view body);
    // A joiner's seats the host's computer plays: those no person holds once all are seated.
    void FindStandIns();

    void OnExit(std::string_view body);

    NetHost& host_;
    SendQueue& queue_;
    // Per slot, what the host has let through of that joiner's chat.
    std::map<int, ChatRate> chatRates_;
};

}  // namespace vorn
