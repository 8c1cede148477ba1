#pragma once

#include <cstdint>
#include <deque>
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
// name, or the first of "name 2", "name 3", … that nobody on the list goes by.
std::string Numbered(const std::vector<Person>& players, const std::string& name);

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

    // The host: a link was accepted in slot; it is greeted in the second
    // version (which a table of the first skips) and told its slot.
    void Accepted(int slot);
    // A joiner: its link to the host is coming up (again); it says who it is
    // once the host has greeted it, or at once when the host speaks only the
    // first version.
    // again: the same host after a lost link; one that encrypted the last
    // link is heard only on an encrypted one.
    void StartJoining(bool again = false);
    // A joiner: the link to the host is encrypted now, and its certificate
    // trusted; the host greets it again from the start.
    void Encrypted();
    // A joiner: it asked the host to encrypt the link, which is not encrypted yet.
    bool Encrypting() const { return secure_ == Secure::Asked || secure_ == Secure::Starting; }

    // A joiner at a server's lobby: sits down at the table of id (empty: a
    // new table, opened with password when one is given), or asks for the
    // list again.
    void PickTable(const std::string& id, const std::string& password = {});
    void BrowseAgain();

    // The host: token names a seat the computer keeps for a person who dropped.
    bool KeepsSeatFor(const std::string& token) const;
    // The host: the slot a new link takes, the lowest whose link is closed
    // (closed(slot)) except a seat the computer keeps for a dropped person,
    // which is free again between hands only; past the last slot when none is.
    int OpenSlot(const std::function<bool(int)>& closed) const;

    // Off, this table speaks only the first version, as a table of an older
    // build does (tests play such peers with it).
    bool secondVersion = true;
    // The host: its own seat is the computer's to play (a server's table)
    // while StandIn[0], which a person of the second version may take once
    // the other seats are held; joiners of the second version are told who
    // holds it.
    bool hostSeatComputer = false;

    // Milliseconds of a monotonic clock, for the chat rate; tests set their own.
    std::function<std::int64_t()> now;
    // Unpredictable hex text, for challenges and seat tokens.
    std::function<std::string()> newSecret;
    // The keyed proof of a password for a challenge, in hex.
    std::function<std::string(const std::string& password, const std::string& challenge)> proofOf;

  private:
    // A joiner's link to the host as to encryption: plain, the host's offer
    // taken up, the host's answer come (TLS starting), encrypted.
    enum class Secure { Plain, Asked, Starting, On };
    // A joiner: whether a message with tag from the host is for the game; the
    // offer of encryption and its answer are handled here, and nothing plain
    // is heard once the offer is taken up.
    bool HostMessageHeard(std::string_view tag);

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
    // The host: the first seat a link may hold.
    int FirstLinkSeat() const { return hostSeatComputer ? 0 : 1; }

    void OnExit(std::string_view body);

    // The second version.
    void OnHello(std::string_view body, int sourceSlot);
    void OnToken(std::string_view body);
    void OnRefused(std::string_view body);
    void OnDraw(std::string_view body);
    void OnHand(std::string_view body);
    void OnSnapshot(std::string_view body);
    void OnSeats(std::string_view body);
    void OnLobby(std::string_view body);
    // The host: proof is the table password's for challenge, and guessing has
    // not been too quick for it to be heard.
    bool ProofHeard(const std::string& proof, const std::string& challenge);
    // The host turns slot's link away, telling it why.
    void Refuse(int slot, Refusal2 why);
    // The host's answer to a "[Joined]" the second version says more about:
    // true when it was handled here (a seat taken back, a link turned away).
    bool JoinedOnSecond(int slot, const std::string& name);
    // The host turns a joiner of the first version away from a table with a
    // password; false when the table has none.
    bool TurnAwayOldWire(int slot);
    // The link of slot seated under name, speaking version.
    void SeatLink(int slot, const std::string& name, int version);
    // Gives seat back to the person of slot's link, with what the seat may see
    // (not returning: gives it to a newcomer that way).
    void TakeBack(int slot, int seat, const std::string& name, bool returning = true);
    // To seat's link: the table as that seat may see it.
    void SendSnapshot(int seat);
    // To every link of the second version: who holds which seat.
    void SendSeats();
    // Tells everybody the names by seat, all seated.
    void SendPrepare();

    NetHost& host_;
    SendQueue& queue_;
    // Per slot, what the host has let through of that joiner's chat.
    std::map<int, ChatRate> chatRates_;
    // The host: what each link said of itself.
    struct Link {
        std::string challenge;
        int version = 1;
        int claim = -1;  // the seat its token names
        bool refused = false;
    };
    std::map<int, Link> links_;
    // The host: each seat's token, and the name of the person whose link
    // dropped while the computer plays the seat for them.
    std::array<std::string, 4> tokens_;
    std::array<std::string, 4> dropped_;
    // The host: each seat's moves taken from its link and not yet acted on.
    static constexpr int kMostThrowsWaiting = 4;
    std::array<int, 4> throwsWaiting_{};
    // The host: when the last wrong proofs of the table's password came.
    std::deque<std::int64_t> wrongProofs_;
    // A joiner: "[Joined]" has gone to the host.
    bool joinSent_ = false;
    // A joiner: the host is a server's lobby, and the tables it lists.
    bool atLobby_ = false;
    std::vector<TableAd> lobby_;
    Secure secure_ = Secure::Plain;
    bool heardHost_ = false;   // something came on this link already
    bool mustSecure_ = false;  // the last link to this host was encrypted
};

}  // namespace vorn
