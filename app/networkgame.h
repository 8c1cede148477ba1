#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "cards/tableclient.h"
#include "display/language.h"
#include "net/nethost.h"
#include "net/netoutbox.h"

namespace vorn {

class Dispatcher;
class LanAnswerer;
class LobbyDialog;
class PortMapper;
struct PortMapping;
class Framer;
class MainWindow;
class NetOutbox;
class SendQueue;
class Socket;
class SocketFamily;

// The network game of one table window: the joiner's link to the host
// (sckConnect), the host's listener and slots (sckConnection), the send queue
// with its timer, the framing and decoding of what arrives, and what a lost
// link or a socket error means. The protocol itself (what each message does)
// is the dispatcher's; this class carries bytes and owns the links.
//
// The send timer ticks once a millisecond, one message a tick, and only while
// messages wait for a link that is up or coming up; an idle table makes no
// wakeups of its own.
// What the person is told when hosting on port failed with the socket's
// error number and description: a refusal for lack of privilege says what to
// do about it; anything else is the system's own description.
QString HostingRefusal(int errorNumber, const QString& description, int port,
                       const Language& words = SourceLanguage());

class NetworkGame : public QObject, public NetHost {
    Q_OBJECT
  public:
    explicit NetworkGame(MainWindow& main);
    ~NetworkGame() override;

    Outbox& outbox();

    void StartConnection(const QString& name);
    void CloseAllConnections() override;
    void DiscardQueue();
    // The logon dialog's switch: a local game never sends.
    void SetSendTimerEnabled(bool enabled);
    bool SendTimerEnabled() const { return sendEnabled_; }
    // Hosting: a link that has not said who it is this long after it came is
    // let go, so that it cannot hold a slot (tests shorten it).
    int nameLimitMs = 20'000;
    void SendChat(const QString& line);
    // Hosting: ask the router to forward the port once the table listens
    // (kept for this run of the program only).
    bool ForwardPort() const { return forwardPort_; }
    void SetForwardPort(bool on) { forwardPort_ = on; }
    QString LocalHostName() const;
    QString LocalHostAddress() const;

    Socket& sckConnect() { return *sckConnect_; }
    SocketFamily& sckConnection() { return *sckConnection_; }
    QTimer& tmrSendData() { return tmrSendData_; }
    SendQueue& queue() { return *queue_; }
    Dispatcher& dispatcher() { return *dispatcher_; }
    // Sends one waiting message, as a tick of the send timer does.
    bool tmrSendData_Timer();

    // NetHost.
    Session& session() override;
    Engine& engine() override;
    std::vector<Person>& players() override { return players_; }
    void PlayersChanged() override;
    void AppendChat(const std::string& line) override;
    void Tell(NetNews news, const std::string& name) override;
    // The progress panel's text, made again in the table's language when it switches.
    void ShowProgress(std::function<std::string()> text);
    void ShowProgressAgain();
    const Words& words() const;
    void InfoBox(const std::string& text);
    void ResetToLocalGame() override;
    void ShowLogonLater() override;
    bool SlotConnected(int slot) override;
    bool HostLinkConnected() override;
    void StandInsChanged() override;
    void LobbyListed(const std::vector<TableAd>& tables) override;
    void LobbyLeft() override;
    // The server's lobby, while this joiner's person chooses a table there.
    LobbyDialog* lobby() const { return lobby_; }
    // Before the host deals: computer players for the seats no person holds, if chosen.
    void FillEmptySeats();
    void DropLink(int slot) override;
    // The host: times each move of a person on the second version when the
    // table has a turn limit (the table must be placed already).
    void WatchTurns();
    // The host gives a seated link up as lost, as it does one that takes far
    // less than it is sent: the link closes and the seat is handled as dropped.
    void GiveUpSlot(int slot);
    bool MoveLink(int from, int to) override;
    void StartEncryption() override;
    // A joiner of the second version whose host link dropped tries again, a
    // while apart, for two minutes, before it gives the table up.
    bool Reconnecting() const { return reconnecting_; }
    static constexpr int kFirstReconnectMs = 1000;
    static constexpr int kLongestReconnectMs = 15000;
    static constexpr int kReconnectForMs = 120000;

  private:
    void KickSendTimer();
    // Hosting: tell windows looking for tables on the LAN about this one.
    void AnswerLanSearches();
    void OnPortMapped(const PortMapping& mapping);
    void OnConnectionRequest(int index, int requestId);
    void OnSlotData(int slot);
    void OnSlotClosed(int slot);
    void OnSlotError(int slot, const QString& description);
    void OnHostData();
    void OnHostClosed();
    void OnOverflow(const std::string& target);
    // The socket of a queue target, or null when there is none.
    Socket* LinkOf(const std::string& target);
    void OnHostError(int number, const QString& description);
    // The link to the host is encrypted: its certificate is checked against
    // the one remembered, and the game goes on inside TLS once trusted.
    void OnHostEncrypted();
    void TrustHost();
    void Deliver(Framer& framer, const QByteArray& bytes, int sourceSlot);
    void FlushQueue();
    void EndNetworkGame();
    // The next try, or false when the time for trying is over.
    bool BeginReconnecting();
    void TryReconnecting();
    void StopReconnecting();
    void OnTurnLimit();
    // The host is gone for good: back to a local game.
    void GiveUpHost();

    MainWindow& main_;
    Socket* sckConnect_ = nullptr;
    SocketFamily* sckConnection_ = nullptr;
    std::unique_ptr<SendQueue> queue_;
    std::unique_ptr<Dispatcher> dispatcher_;
    std::unique_ptr<NetOutbox> outbox_;
    std::unique_ptr<Framer> hostFramer_;
    std::map<int, std::unique_ptr<Framer>> slotFramers_;
    // Links accepted into each slot so far: a name limit runs out for its own link only.
    std::map<int, int> accepted_;
    QTimer tmrSendData_;
    QTimer tmrReconnect_;
    QTimer tmrTurnLimit_;
    int timedSeat_ = -1;
    QElapsedTimer reconnectClock_;
    int reconnectDelayMs_ = kFirstReconnectMs;
    bool reconnecting_ = false;
    bool sendEnabled_ = true;
    std::vector<Person> players_;
    // The hosting window's answers to windows looking for tables on the LAN.
    std::unique_ptr<LanAnswerer> lan_;
    std::function<std::string()> progressText_;
    LobbyDialog* lobby_ = nullptr;
    bool forwardPort_ = false;
    // Its mapping lasts while the table listens.
    PortMapper* router_ = nullptr;
};

}  // namespace vorn
