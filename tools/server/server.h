#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/framer.h"
#include "tools/server/config.h"
#include "tools/server/servertable.h"

namespace vorn {

class SecureHost;
class Socket;

namespace server {

// The server's listener, its lobby and its tables.
//
// A new link waits at the lobby, which lists the tables to it ("[Lobby]…"),
// after the offer of encryption ("[Secure]") when the server has a
// certificate: a link that takes it up is encrypted and listed the tables again.
// A joiner of this build answers with the table it picks, or that it is still
// choosing; a joiner of an older build says nothing until it is told a seat,
// so a link silent for a moment is seated at the first table with a free seat
// and no password, as a hosting window would seat it. Either way the link then
// belongs to that table; a new table opens when none can take it, up to the
// most allowed. A new table picked with a password wants it from everybody.
//
// Limits, each of which closes the one link that breaks it, with a line in
// the log: links open from one address; links at the lobby in all; the time a
// link may stay at the lobby, and a seated link to give its name; silence.
// Links that hold a place without using it make room for newcomers: a full
// lobby closes the link with least claim to its place rather than turn the
// newcomer away, and a newcomer who finds every table full and no room for
// another takes the seat of a link that has not given its name for a while.
class Server : public QObject {
    Q_OBJECT
  public:
    // secure: the certificate links may be encrypted with; none keeps them all plain.
    explicit Server(const ServerConfig& config, std::shared_ptr<const SecureHost> secure = {},
                    QObject* parent = nullptr);
    ~Server() override;

    // Listens on port; false, with the reason logged, when it cannot.
    bool Listen(int port);
    int TableCount() const { return int(tables_.size()); }
    // The clock the lobby's and the tables' limits of time are read on, in
    // milliseconds: the time since the server started, unless another is put
    // in before the first link comes (the lobby's fuzzer lets time pass as its
    // input says).
    std::function<std::int64_t()> clock;

  private:
    struct Arrival;
    void OnRequest(int requestId);
    void OnArrivalData(Arrival& arrival);
    // The link took up the offer of encryption with its first word: answered,
    // and greeted again once encrypted.
    bool Secure(Arrival& arrival, const std::string& first);
    // The first word decided where the link goes; the words after it go along.
    void Route(Arrival& arrival, const std::string& first);
    void SendLobby(Arrival& arrival);
    // Hands the link to table in slot (0: wherever it fits), with what it has said so far.
    void Hand(Arrival& arrival, ServerTable* table, int slot, const std::vector<std::string>& said = {});
    // The first table with a seat free for a newcomer now, a new one when none has.
    void SeatAnywhere(Arrival& arrival, const std::vector<std::string>& said);
    // Closes the lobby's link with least claim to its place, for newcomer; false when none is there.
    bool MakeLobbyRoom(const Arrival& newcomer);
    // A seat given up by a link that gave no name in time: its table (nullptr for none) and slot.
    ServerTable* FreeNamelessSeat(int& slot);
    void TurnAway(Arrival& arrival, const std::string& why, const std::string& lastWord);
    void Forget(Arrival& arrival);
    int LinksFrom(const QString& address) const;
    ServerTable* OpenTable(const std::string& name);
    ServerTable* FindTable(const std::string& id) const;
    void CloseTable(ServerTable& table);
    void CheckIdle();

    ServerConfig config_;
    TableChoices choices_;
    std::shared_ptr<const SecureHost> secure_;
    Socket* listener_;
    std::vector<std::unique_ptr<Arrival>> arrivals_;
    std::vector<ServerTable*> tables_;  // children, in the order opened
    QTimer idleCheck_;
    QElapsedTimer clock_;
    int nextNumber_ = 1;
};

}  // namespace server
}  // namespace vorn
