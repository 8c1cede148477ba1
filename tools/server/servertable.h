#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/session.h"
#include "cards/tableclient.h"
#include "game/engine.h"
#include "net/dispatcher.h"
#include "net/framer.h"
#include "net/nethost.h"
#include "net/netoutbox.h"
#include "net/sendqueue.h"

namespace vorn {

class SecureHost;
class SocketFamily;

namespace server {

// What every table of the server is told when it opens.
struct TableChoices {
    // A table with a person and empty seats fills them with computer players this long after the first
    // arrival.
    int botsAfterMs = 30000;
    int level = 1;  // the computer players' level item (Options::SetLevel)
    // How long a computer seat takes over its move, and the pause between games.
    int moveMs = kSpeedTable[1].cycleInterval;
    int nextGameMs = 3000;
    // The certificate links may be encrypted with; none: every link stays plain.
    std::shared_ptr<const SecureHost> secure;
};

// Writes one line to standard error, with the time of day in front.
void Log(const std::string& line);

// One table of the server: a network host whose seat 0 is the computer
// player, the other three seats taken by the links it accepts. It is the
// window's host without the window: the same table, engine, send queue,
// outbox and dispatcher, its links a socket family of its own, the listener
// being the server's. It deals by itself once every seat is held and deals
// the next game a while after one ends.
class ServerTable : public QObject, public NetHost, private NullClient {
    Q_OBJECT
  public:
    ServerTable(int number, const TableChoices& choices, std::uint64_t seed, QObject* parent = nullptr);
    ~ServerTable() override;

    int Number() const { return number_; }
    // A seat's slot a newcomer may take now, or 0 when the table has none.
    int FreeSlot() const;
    // Takes over the server listener's connection request into slot.
    bool Accept(int requestId, int slot);
    // People seated here (links that joined).
    int People() const;
    // The last person left a table that had dealt: the server closes it.
    std::function<void(ServerTable&)> emptied;

    // NetHost.
    Session& session() override { return session_; }
    Engine& engine() override { return engine_; }
    std::vector<Person>& players() override { return players_; }
    void PlayersChanged() override;
    void AppendChat(const std::string& line) override;
    void Tell(NetNews news, const std::string& name) override;
    void CloseAllConnections() override;
    void ResetToLocalGame() override;
    void ShowLogonLater() override {}
    bool SlotConnected(int slot) override;
    bool HostLinkConnected() override { return false; }
    void DropLink(int slot) override;
    bool MoveLink(int from, int to) override;

  private:
    // NullClient: the clock and the questions a window would put to its person.
    void AskNextGame(const std::string& name, std::function<void(bool yes)> answer) override;
    void GameEnded(int winnerSeat, const std::array<int, 4>& lostPoints) override;
    void StartCycleTimer(int intervalMs) override;
    void StopCycleTimer() override { cycle_.stop(); }

    void Say(const std::string& line) const;
    void OnSlotData(int slot);
    void OnSlotClosed(int slot);
    void Send();
    // Computer players in the seats nobody holds, and the deal, unless dealt already.
    void StartGame();
    void CheckEmpty();

    int number_;
    TableChoices choices_;
    GameState table_;
    Session session_;
    Options options_;
    SeededRandom random_;
    SendQueue queue_{*this};
    NetOutbox outbox_{queue_, session_};
    Engine engine_;
    Dispatcher dispatcher_{*this, queue_};
    SocketFamily* links_;
    std::map<int, std::unique_ptr<Framer>> framers_;
    std::vector<Person> players_;
    std::set<int> unheard_;  // slots whose link has not said its first word yet
    QTimer send_;
    QTimer cycle_;
    QTimer bots_;
    int games_ = 0;
};

}  // namespace server
}  // namespace vorn
