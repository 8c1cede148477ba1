#pragma once

#include <string>
#include <vector>

#include "cards/session.h"
#include "game/engine.h"
#include "net/news.h"
#include "net/protocol.h"

namespace vorn {

// One entry of the player list: a name and the slot it came in on (-1 for the
// host's own entry, 0 for an entry whose slot is not known yet).
struct Person {
    std::string name;
    int slot = 0;
};

// What the network layer acts on: the table window's state and screen, as the
// Qt network game provides them. All texts are UTF-8.
class NetHost {
  public:
    virtual ~NetHost() = default;
    virtual Session& session() = 0;
    virtual Engine& engine() = 0;
    // The player list lstConnections, in list order.
    virtual std::vector<Person>& players() = 0;
    // The player list changed: redraw it.
    virtual void PlayersChanged() = 0;
    virtual void AppendChat(const std::string& line) = 0;
    // News for the person: a line in the progress panel or a box
    // (IsBoxNews), said in the person's language; name where it has one.
    virtual void Tell(NetNews news, const std::string& name = {}) = 0;
    virtual void CloseAllConnections() = 0;
    virtual void ResetToLocalGame() = 0;
    // Shows the logon dialog again once the running action has ended.
    virtual void ShowLogonLater() = 0;
    // Is the host's slot connected (state 7)? Is the joiner's link to the host?
    virtual bool SlotConnected(int slot) = 0;
    virtual bool HostLinkConnected() = 0;
    // The seats the computer plays for a dropped person changed (Session::StandIn).
    virtual void StandInsChanged() {}
    // A joiner at a server's lobby: the tables it lists, as they stand; and
    // the lobby is over (a table has taken the link).
    virtual void LobbyListed(const std::vector<TableAd>& /*tables*/) {}
    virtual void LobbyLeft() {}
    // The host: sends what waits for the slot's link, then closes it (a link
    // turned away).
    virtual void DropLink(int slot) = 0;
    // The host: the link of slot from is the link of slot to from now on, what
    // it sends included (a person taking its seat back); false when to is busy.
    virtual bool MoveLink(int from, int to) = 0;
    // A joiner: the host agreed to encrypt the link; start TLS on it and call
    // Dispatcher::Encrypted once it is encrypted and its certificate trusted.
    virtual void StartEncryption() {}
};

}  // namespace vorn
