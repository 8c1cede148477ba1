#include "app/networkgame.h"

#include <QListWidget>
#include <QListWidgetItem>

#include <algorithm>

#include "app/knownservers.h"
#include "app/lobbydialog.h"
#include "app/mainwindow.h"
#include "app/portmapper.h"
#include "app/texts.h"
#include "net/dispatcher.h"
#include "net/framer.h"
#include "net/netoutbox.h"
#include "net/protocol.h"
#include "net/sendqueue.h"
#include "net/socket/codec.h"
#include "net/socket/keys.h"
#include "net/socket/lanlisting.h"
#include "net/socket/socket.h"
#include "net/texts.h"

namespace vorn {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
// While the joiner's link is still coming up the queue is looked at this often.
constexpr int kConnectingPollMs = 5;
// What the router said about forwarding the host's port.
constexpr const char* kTellFriends = QT_TRANSLATE_NOOP("Vorn", "请把这个地址告诉朋友：%1");
constexpr const char* kOutsideAddress = QT_TRANSLATE_NOOP("Vorn", "外网地址 %1");
constexpr const char* kLanOnly = QT_TRANSLATE_NOOP("Vorn", "只限局域网");
constexpr const char* kNoRouter = QT_TRANSLATE_NOOP("Vorn", "没有路由器回应，只能在局域网里加入");
constexpr const char* kRouterRefused =
    QT_TRANSLATE_NOOP("Vorn", "路由器没有转发端口（错误 %1），只能在局域网里加入");
}  // namespace

NetworkGame::NetworkGame(MainWindow& main) : QObject(&main), main_(main) {
    sckConnect_ = new Socket(this);
    sckConnect_->setObjectName("sckConnect");
    sckConnection_ = new SocketFamily(this);
    sckConnection_->setObjectName("sckConnection");
    queue_ = std::make_unique<SendQueue>(*this);
    dispatcher_ = std::make_unique<Dispatcher>(*this, *queue_);
    dispatcher_->newSecret = NewSecret;
    dispatcher_->proofOf = PasswordProof;
    outbox_ = std::make_unique<NetOutbox>(*queue_, main_.session());
    hostFramer_ = std::make_unique<Framer>();
    queue_->onQueued = [this] { KickSendTimer(); };
    queue_->unsentBytes = [this](const std::string& target) {
        Socket* link = LinkOf(target);
        return link ? size_t(link->BytesUnsent()) : size_t(0);
    };
    queue_->onOverflow = [this](const std::string& target) { OnOverflow(target); };

    tmrSendData_.setObjectName("tmrSendData");
    tmrSendData_.setTimerType(Qt::PreciseTimer);
    tmrSendData_.setInterval(1);
    connect(&tmrSendData_, &QTimer::timeout, this, [this] { tmrSendData_Timer(); });

    tmrTurnLimit_.setObjectName("tmrTurnLimit");
    tmrTurnLimit_.setSingleShot(true);
    connect(&tmrTurnLimit_, &QTimer::timeout, this, &NetworkGame::OnTurnLimit);
    tmrReconnect_.setObjectName("tmrReconnect");
    tmrReconnect_.setSingleShot(true);
    connect(&tmrReconnect_, &QTimer::timeout, this, [this] { TryReconnecting(); });

    router_ = new PortMapper(this);
    connect(router_, &PortMapper::Opened, this, &NetworkGame::OnPortMapped);
    connect(sckConnect_, &Socket::dataArrival, this, &NetworkGame::OnHostData);
    connect(sckConnect_, &Socket::closed, this, &NetworkGame::OnHostClosed);
    connect(sckConnect_, &Socket::error, this, [this](int n, const QString& d) { OnHostError(n, d); });
    connect(sckConnect_, &Socket::encrypted, this, &NetworkGame::OnHostEncrypted);
    connect(sckConnection_, &SocketFamily::connectionRequest, this, &NetworkGame::OnConnectionRequest);
    connect(sckConnection_, &SocketFamily::dataArrival, this, [this](int i) {
        if (i > 0) OnSlotData(i);
    });
    connect(sckConnection_, &SocketFamily::closed, this, [this](int i) {
        if (i > 0) OnSlotClosed(i);
    });
    connect(sckConnection_, &SocketFamily::error, this,
            [this](int i, int, const QString& d) { OnSlotError(i, d); });
}

NetworkGame::~NetworkGame() {
    tmrSendData_.stop();
    queue_->onQueued = nullptr;
    queue_->unsentBytes = nullptr;
    queue_->onOverflow = nullptr;
}

Outbox& NetworkGame::outbox() {
    return *outbox_;
}

QString HostingRefusal(int errorNumber, const QString& description, int port, const Language& words) {
    if (errorNumber != Socket::kAccessDenied) return description;
    return words.Tr(texts::kPortNeedsAdmin1) + QString::number(port) + words.Tr(texts::kPortNeedsAdmin2);
}

const Words& NetworkGame::words() const {
    return main_.language();
}

Session& NetworkGame::session() {
    return main_.session();
}
Engine& NetworkGame::engine() {
    return main_.engine();
}

// ---------------------------------------------------------------------------
// Links

void NetworkGame::StartConnection(const QString& name) {
    Session& s = session();
    s.OwnName = name.toStdString();
    // The table is kept where the mode now says.
    main_.PlaceTable();
    if (s.IsHost()) {
        sckConnect_->Close();
        Socket& listener = sckConnection_->Element(0);
        listener.Close();
        listener.SetLocalPort(s.ServerPort);
        if (!listener.Listen()) {
            main_.prompter.Info(&main_,
                                HostingRefusal(listener.LastErrorNumber(), listener.LastErrorDescription(),
                                               s.ServerPort, main_.language()),
                                Prompter::Icon::Exclamation);
            return;
        }
        ShowProgress([this] { return words()(texts::kHosting); });
        AnswerLanSearches();
        if (forwardPort_ && LanListingAllowed()) router_->Open(s.ServerPort);
        players_.push_back(Person{name.toStdString(), -1});
        PlayersChanged();
        dispatcher_->NameSeats();
    } else {
        ShowProgress([this] { return words()(texts::kConnecting); });
        sckConnect_->Close();
        hostFramer_->Reset();
        s.SeatToken.clear();
        StopReconnecting();
        dispatcher_->StartJoining();
        sckConnect_->SetRemotePort(s.ServerPort);
        if (!sckConnect_->Connect(Q(s.ServerAddress))) {
            main_.prompter.Info(&main_, sckConnect_->LastErrorDescription(), Prompter::Icon::Exclamation);
            return;
        }
    }
}

void NetworkGame::AnswerLanSearches() {
    if (!LanListingAllowed()) return;
    lan_ = std::make_unique<LanAnswerer>([this, id = NewSecret().substr(0, 16)] {
        const Session& s = session();
        const int persons = std::clamp(int(players_.size()), 1, 4);
        return TableAd{id, s.ServerPort, persons, !s.Password.empty(), s.OwnName};
    });
    lan_->Start();
}

void NetworkGame::OnPortMapped(const PortMapping& mapping) {
    const Language& words = main_.language();
    const bool mapped = mapping.outcome == PortMapping::Outcome::Mapped;
    const QString address = QStringLiteral("%1:%2").arg(mapping.externalAddress).arg(mapping.port);
    // The chat log keeps the whole sentence; the narrow progress panel, which
    // is always in sight, the gist.
    if (mapped)
        main_.AppendChat(words.Tr(kTellFriends).arg(address));
    else if (mapping.outcome == PortMapping::Outcome::NoRouter)
        main_.AppendChat(words.Tr(kNoRouter));
    else
        main_.AppendChat(words.Tr(kRouterRefused).arg(mapping.error));
    ShowProgress([this, mapped, address] {
        const Language& now = main_.language();
        return (mapped ? now.Tr(kOutsideAddress).arg(address) : now.Tr(kLanOnly)).toStdString();
    });
}

void NetworkGame::CloseAllConnections() {
    lan_.reset();
    LobbyLeft();
    router_->Close();
    sckConnect_->Close();
    sckConnection_->CloseAll();
    hostFramer_->Reset();
    for (auto& [slot, framer] : slotFramers_) framer->Reset();
}

void NetworkGame::DiscardQueue() {
    queue_->Discard();
    tmrSendData_.stop();
}

void NetworkGame::SetSendTimerEnabled(bool enabled) {
    sendEnabled_ = enabled;
    if (enabled)
        KickSendTimer();
    else
        tmrSendData_.stop();
}

bool NetworkGame::SlotConnected(int slot) {
    return slot > 0 && sckConnection_->Exists(slot) &&
           sckConnection_->Element(slot).State() == Socket::kConnected;
}

bool NetworkGame::HostLinkConnected() {
    return sckConnect_->State() == Socket::kConnected;
}

QString NetworkGame::LocalHostName() const {
    return Socket::LocalHostName();
}
QString NetworkGame::LocalHostAddress() const {
    return Socket::LocalHostAddress();
}

void NetworkGame::OnConnectionRequest(int index, int requestId) {
    if (index != 0) return;
    Session& s = session();
    // In the middle of a hand a newcomer finding only kept seats is told the table is full.
    const int slot = dispatcher_->OpenSlot(
        [this](int i) { return sckConnection_->Element(i).State() == Socket::kClosed; });
    s.SlotCount = std::max(s.SlotCount, slot);
    Socket& link = sckConnection_->Element(slot);
    link.SetLocalPort(0);
    auto& framer = slotFramers_[slot];
    if (!framer) framer = std::make_unique<Framer>();
    framer->Reset();
    if (!link.Accept(requestId)) return;
    dispatcher_->Accepted(slot);
    QTimer::singleShot(nameLimitMs, this, [this, slot, nth = ++accepted_[slot]] {
        if (accepted_[slot] == nth && SlotConnected(slot) && dispatcher_->PersonName(slot).empty()) {
            DropLink(slot);
            OnSlotClosed(slot);
        }
    });
}

void NetworkGame::DropLink(int slot) {
    if (!sckConnection_->Exists(slot)) return;
    // What was queued for it says why; it leaves, in the order queued, before
    // the link closes.
    const std::string target = SendQueue::SlotTarget(slot);
    Socket& link = sckConnection_->Element(slot);
    for (const auto& [to, text] : queue_->Waiting())
        if (to == target) link.SendText(text + "\r\n");
    queue_->DiscardFor(target);
    link.Close();
}

bool NetworkGame::MoveLink(int from, int to) {
    if (from == to || SlotConnected(to) || !sckConnection_->Exists(from)) return false;
    sckConnection_->Swap(from, to);
    std::swap(slotFramers_[from], slotFramers_[to]);
    // What still waited for the old slot was its greeting, said already.
    queue_->DiscardFor(SendQueue::SlotTarget(from));
    queue_->DiscardFor(SendQueue::SlotTarget(to));
    return true;
}

// ---------------------------------------------------------------------------
// Receiving

void NetworkGame::Deliver(Framer& framer, const QByteArray& bytes, int sourceSlot) {
    framer.Append(std::string_view(bytes.constData(), size_t(bytes.size())));
    std::string raw;
    while (framer.Pop(raw)) {
        // A message that ends the network game closes every link; whatever
        // followed it on this link is not read.
        if (sourceSlot < 0 ? !HostLinkConnected() && sckConnect_->State() != Socket::kPeerClosed
                           : !sckConnection_->Exists(sourceSlot))
            break;
        dispatcher_->HandleMessage(FromCp936(raw), sourceSlot);
    }
}

void NetworkGame::OnHostData() {
    // An encrypted link is read once its certificate is trusted.
    if (sckConnect_->IsEncrypted() && dispatcher_->Encrypting()) return;
    // The host answers again: what comes now puts the table right.
    StopReconnecting();
    Deliver(*hostFramer_, sckConnect_->ReadAll(), -1);
}

void NetworkGame::OnSlotData(int slot) {
    auto& framer = slotFramers_[slot];
    if (!framer) framer = std::make_unique<Framer>();
    Deliver(*framer, sckConnection_->Element(slot).ReadAll(), slot);
}

// ---------------------------------------------------------------------------
// Links that close or fail

void NetworkGame::OnSlotClosed(int slot) {
    sckConnection_->Element(slot).Close();
    // What still waits for this link was meant for the player who left; kept,
    // it would reach the next one in the slot ahead of that one's "[Seat]".
    queue_->DiscardFor(SendQueue::SlotTarget(slot));
    const std::string name = dispatcher_->PersonName(slot);
    if (name.empty()) return;
    Session& s = session();
    if (slot > 3 || s.SlotCount < 3) {
        Tell(NetNews::Left, name);
        dispatcher_->RemovePerson(slot);
        queue_->SendToAll(DisconnectedMessage(slot));
        dispatcher_->NameSeats();
        return;
    }
    if (!s.EndOnDrop) {
        // Nobody's game ends: the computer player takes the seat at once and
        // the others are told, without a box that would hold anybody up.
        engine().RunAction([this, slot] {
            if (session().IsNet()) dispatcher_->StandIn(slot);
        });
        return;
    }
    engine().RunAction([this, slot, name] {
        if (!session().IsNet()) return;
        Tell(NetNews::LeftGameOver, name);
        // The others hear why the game ends before their links close.
        queue_->SendToAll(ExitMessage(slot));
        FlushQueue();
        CloseAllConnections();
        main_.ResetToLocalGame();
        engine().NewGame();
    });
}

void NetworkGame::WatchTurns() {
    tmrTurnLimit_.stop();
    auto tell = engine().tableEvent;
    if (!tell || !session().IsHost()) return;
    engine().tableEvent = [this, tell](const TableEvent& event, const GameState& after) {
        tell(event, after);
        if (event.kind == TableEvent::Kind::Turn || event.kind == TableEvent::Kind::GameOver)
            tmrTurnLimit_.stop();
        const Session& s = session();
        const TableServer* server = engine().server();
        // Only a table of the second version hears of a move made for it.
        if (event.kind != TableEvent::Kind::Turn || s.TurnLimit <= 0 || !server ||
            server->Seat(event.seat).kind != SeatKind::Remote || s.Wire[size_t(event.seat)] < 2)
            return;
        timedSeat_ = event.seat;
        tmrTurnLimit_.start(s.TurnLimit * 1000);
    };
}

void NetworkGame::OnTurnLimit() {
    const int seat = timedSeat_;
    engine().RunAction([this, seat] {
        if (!session().IsHost() || engine().table().CurrentSeat != seat) return;
        const std::string name = session().PlayerNames[size_t(seat)];
        if (engine().PlayFor(seat)) Tell(NetNews::TimedOut, name);
    });
}

void NetworkGame::GiveUpSlot(int slot) {
    if (!SlotConnected(slot)) return;
    OnSlotClosed(slot);
}

void NetworkGame::OnOverflow(const std::string& target) {
    // The other end takes far less than it is sent: as good as gone.
    const int slot = SendQueue::TargetSlot(target);
    if (slot > 0) {
        OnSlotClosed(slot);
    } else if (target == SendQueue::kHostTarget) {
        sckConnect_->Close();
        OnHostClosed();
    }
}

void NetworkGame::OnHostClosed() {
    const Session& s = session();
    // A seat the host keeps for this joiner: try to take it back for a while.
    const bool kept = s.mode == Mode::Joiner && !s.SeatToken.empty() && s.AllSeated;
    if (kept && (reconnecting_ || s.HostWire >= 2) && BeginReconnecting()) return;
    GiveUpHost();
}

void NetworkGame::GiveUpHost() {
    StopReconnecting();
    engine().RunAction([this] {
        if (!session().IsNet()) return;
        Tell(NetNews::LeftGameOver, session().PlayerNames[0]);
        CloseAllConnections();
        main_.ResetToLocalGame();
        engine().NewGame();
    });
}

void NetworkGame::StartEncryption() {
    // Nothing more comes in plain, and nothing goes: what the host said before is its old greeting.
    hostFramer_->Reset();
    queue_->DiscardFor(SendQueue::kHostTarget);
    sckConnect_->StartClientEncryption();
}

void NetworkGame::OnHostEncrypted() {
    const Session& s = session();
    const QString server = Q(s.ServerAddress) + ":" + QString::number(s.ServerPort);
    const QString fingerprint = sckConnect_->PeerFingerprint();
    KnownServers known(main_.SettingsFile());
    switch (known.Check(server, fingerprint)) {
        case KnownServers::Seen::First:
            // In the chat log, which keeps it: the progress panel moves on at once.
            main_.AppendChat(main_.language().Tr(texts::kFingerprintLearnt).arg(fingerprint.left(16)));
            return TrustHost();
        case KnownServers::Seen::Same:
            return TrustHost();
        case KnownServers::Seen::Changed:
            break;
    }
    engine().RunAction([this, server, fingerprint, remembered = known.Known(server)] {
        if (!session().IsNet() || !sckConnect_->IsEncrypted()) return;
        const QString question = main_.language().Tr(texts::kCertificateChanged).arg(remembered, fingerprint);
        if (main_.prompter.AskYesNo(&main_, question)) {
            KnownServers(main_.SettingsFile()).Remember(server, fingerprint);
            return TrustHost();
        }
        CloseAllConnections();
        main_.ResetToLocalGame();
        ShowLogonLater();
    });
}

void NetworkGame::TrustHost() {
    dispatcher_->Encrypted();
    // The host's greeting inside TLS may be here already.
    OnHostData();
}

void NetworkGame::OnHostError(int number, const QString& description) {
    if (dispatcher_->Encrypting()) {
        // Never on in plain once encryption was asked for.
        engine().RunAction([this, description] {
            if (!session().IsNet()) return;
            CloseAllConnections();
            main_.ResetToLocalGame();
            ShowProgress([this, description] {
                return main_.language().Tr(texts::kEncryptionFailed).arg(description).toStdString();
            });
            ShowLogonLater();
        });
        return;
    }
    if (reconnecting_) {
        // Nothing listens there any more: the host has closed its table.
        // Otherwise it is not back yet, and the next try comes later.
        if (number == Socket::kConnectionRefused || !BeginReconnecting()) GiveUpHost();
        return;
    }
    engine().RunAction([this, description] {
        if (!session().IsNet()) return;
        InfoBox((description + main_.language().Tr(texts::kCheckAddress)).toStdString());
        CloseAllConnections();
        main_.ResetToLocalGame();
        // Back to the dialog, to mend the address or the port.
        ShowLogonLater();
    });
}

bool NetworkGame::BeginReconnecting() {
    if (!reconnecting_) {
        reconnecting_ = true;
        reconnectClock_.start();
        reconnectDelayMs_ = kFirstReconnectMs;
        Tell(NetNews::Reconnecting, {});
    } else {
        reconnectDelayMs_ = std::min(reconnectDelayMs_ * 2, kLongestReconnectMs);
    }
    if (reconnectClock_.elapsed() + reconnectDelayMs_ > kReconnectForMs) return false;
    // Anything the person did meanwhile is overtaken by what the host will say.
    queue_->DiscardFor(SendQueue::kHostTarget);
    tmrReconnect_.start(reconnectDelayMs_);
    return true;
}

void NetworkGame::TryReconnecting() {
    const Session& s = session();
    if (!reconnecting_ || s.mode != Mode::Joiner) return StopReconnecting();
    sckConnect_->Close();
    hostFramer_->Reset();
    dispatcher_->StartJoining(/*again=*/true);
    sckConnect_->SetRemotePort(s.ServerPort);
    if (!sckConnect_->Connect(Q(s.ServerAddress)) && !BeginReconnecting()) GiveUpHost();
}

void NetworkGame::StopReconnecting() {
    reconnecting_ = false;
    tmrReconnect_.stop();
}

void NetworkGame::OnSlotError(int, const QString& description) {
    engine().RunAction([this, description] {
        if (!session().IsNet()) return;
        InfoBox(description.toStdString());
        CloseAllConnections();
        main_.ResetToLocalGame();
    });
}

// ---------------------------------------------------------------------------
// Sending

void NetworkGame::KickSendTimer() {
    if (!sendEnabled_ || queue_->Empty()) return;
    tmrSendData_.setInterval(1);
    if (!tmrSendData_.isActive()) tmrSendData_.start();
}

Socket* NetworkGame::LinkOf(const std::string& target) {
    if (target == SendQueue::kHostTarget) return sckConnect_;
    const int slot = SendQueue::TargetSlot(target);
    return slot > 0 && sckConnection_->Exists(slot) ? &sckConnection_->Element(slot) : nullptr;
}

bool NetworkGame::tmrSendData_Timer() {
    std::string target, text;
    if (queue_->TakeNext(target, text)) {
        const int slot = SendQueue::TargetSlot(target);
        Socket& link = slot < 0 ? *sckConnect_ : sckConnection_->Element(slot);
        link.SendText(text + "\r\n");
        if (queue_->Empty()) tmrSendData_.stop();
        return true;
    }
    // Nothing can leave now. Keep looking only while the link to the host is
    // coming up; anything else waits for a link to connect, which queues a
    // message of its own and wakes the timer.
    const int state = sckConnect_->State();
    if (state == Socket::kResolving || state == Socket::kConnecting)
        tmrSendData_.setInterval(kConnectingPollMs);
    else
        tmrSendData_.stop();
    return false;
}

void NetworkGame::FlushQueue() {
    while (tmrSendData_Timer()) {
    }
}

void NetworkGame::SendChat(const QString& line) {
    // Not into a link while it turns to TLS: the host would read it as the handshake.
    if (dispatcher_->Encrypting()) return;
    const std::string message = ChatMessage(CutChatLine(line.toStdString()));
    if (session().IsHost())
        queue_->SendToAll(message);
    else
        queue_->SendToHost(message);
}

// ---------------------------------------------------------------------------
// The window's side

void NetworkGame::PlayersChanged() {
    main_.ShowWaiting();
    QListWidget* list = main_.lstConnections();
    list->clear();
    const Session& s = session();
    for (const Person& p : players_) {
        // A seat on the old wire is told every draw: everybody may know it.
        const bool old = p.slot >= 1 && p.slot <= 3 && s.OldWire[size_t(p.slot)];
        auto* item = new QListWidgetItem(
            old ? main_.language().Tr(texts::kOnOldWire).arg(Q(p.name)) : Q(p.name), list);
        item->setData(Qt::UserRole, p.slot);
    }
}

void NetworkGame::FillEmptySeats() {
    dispatcher_->FillEmptySeats();
}

void NetworkGame::StandInsChanged() {
    main_.ShowStandIns();
    // The list marks the seats on the old wire.
    PlayersChanged();
}

void NetworkGame::LobbyListed(const std::vector<TableAd>& tables) {
    if (!lobby_) {
        lobby_ = new LobbyDialog(&main_, main_.language());
        lobby_->setAttribute(Qt::WA_DeleteOnClose);
        lobby_->picked = [this](const std::string& id) {
            // A new table takes the person's password, which goes to the server only encrypted.
            std::string password = id.empty() ? session().Password : std::string();
            if (!password.empty() && !sckConnect_->IsEncrypted()) {
                main_.AppendChat(main_.language().Tr(texts::kNoPasswordInPlain));
                password.clear();
            }
            dispatcher_->PickTable(id, password);
        };
        lobby_->refresh = [this] { dispatcher_->BrowseAgain(); };
        lobby_->cancelled = [this] {
            engine().RunAction([this] {
                if (!session().IsNet()) return;
                CloseAllConnections();
                ResetToLocalGame();
                ShowLogonLater();
            });
        };
        connect(lobby_, &QObject::destroyed, this, [this] { lobby_ = nullptr; });
        lobby_->open();
    }
    lobby_->ShowTables(tables);
}

void NetworkGame::LobbyLeft() {
    if (!lobby_) return;
    // Closed from here, the dialog says nothing more.
    lobby_->picked = nullptr;
    lobby_->cancelled = nullptr;
    lobby_->close();
}

void NetworkGame::AppendChat(const std::string& line) {
    main_.AppendChat(Q(line));
}
void NetworkGame::ShowProgress(std::function<std::string()> text) {
    progressText_ = std::move(text);
    ShowProgressAgain();
}
void NetworkGame::ShowProgressAgain() {
    if (progressText_) main_.ShowProgressText(Q(progressText_()));
}
void NetworkGame::Tell(NetNews news, const std::string& name) {
    if (IsBoxNews(news))
        InfoBox(NewsText(news, name, words()));
    else
        ShowProgress([this, news, name] { return NewsText(news, name, words()); });
}

void NetworkGame::InfoBox(const std::string& text) {
    main_.InfoBox(text);
}
void NetworkGame::ResetToLocalGame() {
    StopReconnecting();
    main_.ResetToLocalGame();
}

void NetworkGame::ShowLogonLater() {
    // The logon dialog runs its own actions, so it opens only once the running
    // action (and anything queued before the dialog) is over.
    main_.OpenLogonLater();
}

}  // namespace vorn
