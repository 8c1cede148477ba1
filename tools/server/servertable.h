#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
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
#include "net/protocol.h"
#include "net/sendqueue.h"

namespace vorn {

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
    // A seated link must have given its name within helloMs, and is closed
    // after idleMs of silence; a table all its people left waits graceMs for them.
    int helloMs = 20000;
    int idleMs = 600000;
    int graceMs = 120000;
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
    ServerTable(int number, const std::string& name, const TableChoices& choices, std::uint64_t seed,
                QObject* parent = nullptr);
    ~ServerTable() override;

    int Number() const { return number_; }
    // Joiners of the second version prove it from now on; one of the first version cannot join.
    void SetPassword(const std::string& password) { session_.Password = password; }
    bool HasPassword() const { return !session_.Password.empty(); }
    // The slot a newcomer is given now: a free seat's (1..3), or one beyond
    // them, where the table tells it that it is full unless it comes back to
    // a seat kept for it.
    int OpenSlot() const;
    // A seat's slot a newcomer may take now, or 0 when the table has none.
    int FreeSlot() const;
    // Takes over a connection request into slot, and handles what the link
    // said before it came (messages as they arrived, without terminators, and
    // the start of one it has not finished).
    bool Accept(int requestId, int slot, const std::vector<std::string>& said = {},
                std::string_view unfinished = {});
    // People seated here (links that joined).
    int People() const;
    // Open links here from address.
    int LinksFrom(const QString& address) const;
    // The table as the lobby lists it.
    TableAd Ad(int port) const;
    // token names a seat this table keeps for a person who dropped.
    bool KeepsSeatFor(const std::string& token) const { return dispatcher_.KeepsSeatFor(token); }
    // The seat (1..3) of the link seated longest, and before `before`, that
    // has not given its name, where a newcomer could sit once it is closed;
    // with when it was seated. {0, 0} for none.
    std::pair<int, std::int64_t> OldestNameless(std::int64_t before) const;
    // Closes the link in slot, with why in the log.
    void Evict(int slot, const std::string& why);
    // Closes the links that gave no name in time or fell silent; now is the
    // server's clock in milliseconds.
    void Sweep(std::int64_t now);
    // The table is done (nobody came back in time, or nobody sat down and no
    // link is left): the server closes it.
    std::function<void(ServerTable&)> emptied;
    // Closes the table when it is done.
    void CheckEmpty();
    // The server's clock, in milliseconds.
    std::function<std::int64_t()> clock;

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
    void OnSlotClosed(int slot, bool newcomerWaits = false);
    void Send();
    // Computer players in the seats nobody holds, and the deal, unless dealt already.
    void StartGame();
    void Close(const std::string& why);

    int number_;
    std::string name_;
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
    QTimer send_;
    QTimer cycle_;
    QTimer bots_;
    QTimer grace_;
    // Per slot: when its link was accepted and when it was last heard.
    struct Clock {
        std::int64_t accepted = 0;
        std::int64_t heard = 0;
    };
    std::map<int, Clock> clocks_;
    int games_ = 0;
    bool graceOver_ = false;
};

}  // namespace server
}  // namespace vorn
