#include "tools/server/servertable.h"

#include <QDateTime>

#include <algorithm>
#include <cstdio>

#include "net/protocol.h"
#include "net/socket/codec.h"
#include "net/socket/keys.h"
#include "net/socket/socket.h"

namespace vorn::server {

void Log(const std::string& line) {
    const QByteArray time = QDateTime::currentDateTime().toString("HH:mm:ss.zzz").toUtf8();
    std::fprintf(stderr, "%s %s\n", time.constData(), line.c_str());
    std::fflush(stderr);
}

ServerTable::ServerTable(int number, const std::string& name, const TableChoices& choices, std::uint64_t seed,
                         QObject* parent)
    : QObject(parent),
      number_(number),
      name_(name),
      choices_(choices),
      random_(seed),
      engine_(table_, session_, options_, TableClient::Of(static_cast<NullClient&>(*this)), random_),
      links_(new SocketFamily(this)) {
    options_.animation = false;
    options_.sound = false;
    options_.SetLevel(choices.level);
    options_.cycleInterval = choices.moveMs;
    // Seat 0 is the host's seat of the old wire; here the computer plays it,
    // at the level chosen for the others.
    engine_.seatLevels[0] = choices.level;
    dispatcher_.newSecret = NewSecret;
    dispatcher_.proofOf = PasswordProof;
    dispatcher_.hostSeatComputer = true;
    session_.mode = Mode::Host;
    session_.LocalSeat = 0;
    session_.StandIn[0] = true;
    session_.OwnName = session_.PlayerNames[0];
    session_.FillSeats = true;

    queue_.onQueued = [this] {
        if (!send_.isActive()) send_.start();
    };
    queue_.unsentBytes = [this](const std::string& target) {
        const int slot = SendQueue::TargetSlot(target);
        return SlotConnected(slot) ? size_t(links_->Element(slot).BytesUnsent()) : size_t(0);
    };
    queue_.onOverflow = [this](const std::string& target) {
        // The other end takes far less than it is sent: as good as gone.
        if (const int slot = SendQueue::TargetSlot(target); slot >= 0) OnSlotClosed(slot);
    };
    send_.setInterval(0);
    connect(&send_, &QTimer::timeout, this, &ServerTable::Send);
    cycle_.setTimerType(Qt::PreciseTimer);
    connect(&cycle_, &QTimer::timeout, this, [this] { engine_.Tick(); });
    bots_.setSingleShot(true);
    connect(&bots_, &QTimer::timeout, this, [this] { StartGame(); });
    grace_.setSingleShot(true);
    connect(&grace_, &QTimer::timeout, this, [this] {
        if (People() > 0) return;
        graceOver_ = true;
        CheckEmpty();
    });

    connect(links_, &SocketFamily::dataArrival, this, [this](int i) { OnSlotData(i); });
    connect(links_, &SocketFamily::closed, this, [this](int i) { OnSlotClosed(i); });
    connect(links_, &SocketFamily::error, this, [this](int i, int, const QString&) { OnSlotClosed(i); });

    PlaceTable(engine_, session_, outbox_);
    // Nothing here saves a game.
    if (TableServer* server = engine_.server()) server->keepHistory = false;
    engine_.SetSeatKind(0, SeatKind::Computer);
    engine_.NewGame();
    players_.push_back(Person{session_.OwnName, -1});
    dispatcher_.NameSeats();
    Say("table opened");
}

ServerTable::~ServerTable() {
    send_.stop();
    queue_.onQueued = nullptr;
    queue_.unsentBytes = nullptr;
    queue_.onOverflow = nullptr;
    // The links close with the table; their late events are never delivered.
    links_->CloseAll();
}

void ServerTable::Say(const std::string& line) const {
    Log("table " + std::to_string(number_) + ": " + line);
}

int ServerTable::OpenSlot() const {
    return dispatcher_.OpenSlot([this](int slot) {
        return !links_->Exists(slot) || links_->Element(slot).State() == Socket::kClosed;
    });
}

int ServerTable::FreeSlot() const {
    if (!emptied) return 0;  // closing
    const int slot = OpenSlot();
    return slot <= 3 ? slot : 0;
}

bool ServerTable::Accept(int requestId, int slot, const std::vector<std::string>& said,
                         std::string_view unfinished) {
    Socket& link = links_->Element(slot);
    link.SetLocalPort(0);
    auto& framer = framers_[slot];
    if (!framer) framer = std::make_unique<Framer>();
    framer->Reset();
    // What the lobby read of a message not finished yet: the rest follows on the link.
    framer->Append(unfinished);
    if (!link.Accept(requestId)) return false;
    session_.SlotCount = std::max(session_.SlotCount, slot);
    const std::int64_t now = clock ? clock() : 0;
    clocks_[slot] = Clock{now, now};
    Say("link from " + link.PeerAddress().toStdString() + " in slot " + std::to_string(slot));
    dispatcher_.Accepted(slot);
    for (const std::string& raw : said)
        if (SlotConnected(slot)) dispatcher_.HandleMessage(FromCp936(raw), slot);
    return true;
}

int ServerTable::People() const {
    int people = 0;
    for (const Person& p : players_) people += p.slot >= 0 ? 1 : 0;
    return people;
}

int ServerTable::LinksFrom(const QString& address) const {
    int links = 0;
    for (int slot = 0; slot <= links_->UpperBound(); ++slot)
        links += links_->Element(slot).State() != Socket::kClosed &&
                 links_->Element(slot).PeerAddress() == address;
    return links;
}

TableAd ServerTable::Ad(int port) const {
    // The free seats are 4 - persons; the computer's seat 0 is free for the last to come.
    int persons = 0;
    for (int seat = 0; seat <= 3; ++seat)
        persons += !session_.StandIn[size_t(seat)] && !PersonName(players_, seat).empty();
    persons = std::max(persons, 1);
    return TableAd{std::to_string(number_), port, persons, !session_.Password.empty(), name_};
}

std::pair<int, std::int64_t> ServerTable::OldestNameless(std::int64_t before) const {
    const bool midHand = !engine_.DealOpen();
    std::pair<int, std::int64_t> oldest{0, 0};
    for (const auto& [slot, times] : clocks_) {
        const bool connected =
            slot <= 3 && links_->Exists(slot) && links_->Element(slot).State() == Socket::kConnected;
        if (!connected || times.accepted >= before || !PersonName(players_, slot).empty()) continue;
        if (session_.StandIn[size_t(slot)] && midHand)
            continue;  // the seat is the computer's until the hand ends
        if (oldest.first == 0 || times.accepted < oldest.second) oldest = {slot, times.accepted};
    }
    return oldest;
}

void ServerTable::Evict(int slot, const std::string& why) {
    Say("slot " + std::to_string(slot) + " " + why + ": closed");
    OnSlotClosed(slot, /*newcomerWaits=*/true);
}

void ServerTable::Sweep(std::int64_t now) {
    for (auto& [slot, times] : clocks_) {
        if (!SlotConnected(slot)) continue;
        const bool nameless = dispatcher_.PersonName(slot).empty();
        if (nameless && now - times.accepted > choices_.helloMs) {
            Say("slot " + std::to_string(slot) + " gave no name in time: closed");
        } else if (now - times.heard > choices_.idleMs) {
            Say("slot " + std::to_string(slot) + " silent too long: closed");
        } else {
            continue;
        }
        OnSlotClosed(slot);
    }
}

bool ServerTable::SlotConnected(int slot) {
    return slot >= 0 && links_->Exists(slot) && links_->Element(slot).State() == Socket::kConnected;
}

void ServerTable::DropLink(int slot) {
    if (!links_->Exists(slot)) return;
    // What was queued for it says why; it leaves, in the order queued, before the link closes.
    const std::string target = SendQueue::SlotTarget(slot);
    Socket& link = links_->Element(slot);
    for (const auto& [to, text] : queue_.Waiting())
        if (to == target) link.SendText(text + "\r\n");
    queue_.DiscardFor(target);
    link.Close();
}

bool ServerTable::MoveLink(int from, int to) {
    if (from == to || SlotConnected(to) || !links_->Exists(from)) return false;
    links_->Swap(from, to);
    std::swap(framers_[from], framers_[to]);
    // The link's own times go with it.
    std::swap(clocks_[from], clocks_[to]);
    queue_.DiscardFor(SendQueue::SlotTarget(from));
    queue_.DiscardFor(SendQueue::SlotTarget(to));
    return true;
}

void ServerTable::CloseAllConnections() {
    links_->CloseAll();
    for (auto& [slot, framer] : framers_) framer->Reset();
}

void ServerTable::ResetToLocalGame() {
    // A table of the server never plays on alone: it closes.
    CloseAllConnections();
    CheckEmpty();
}

// ---------------------------------------------------------------------------
// The links

void ServerTable::OnSlotData(int slot) {
    auto& framer = framers_[slot];
    if (!framer) framer = std::make_unique<Framer>();
    const QByteArray bytes = links_->Element(slot).ReadAll();
    if (clock) clocks_[slot].heard = clock();
    framer->Append(std::string_view(bytes.constData(), size_t(bytes.size())));
    std::string raw;
    // A link given a seat back moves to that seat's slot, its framer with it.
    while (SlotConnected(slot) && framers_[slot]->Pop(raw)) dispatcher_.HandleMessage(FromCp936(raw), slot);
    // Three people have joined: nobody waits for computer players. The table
    // counts as full once a third link is accepted, before it has joined.
    if (session_.AllSeated && People() == 3 && games_ == 0 && engine_.DealOpen()) StartGame();
}

void ServerTable::OnSlotClosed(int slot, bool newcomerWaits) {
    links_->Element(slot).Close();
    // What still waits was meant for the person who left, not the next one in the slot.
    queue_.DiscardFor(SendQueue::SlotTarget(slot));
    const std::string name = dispatcher_.PersonName(slot);
    Say("link closed in seat " + std::to_string(slot) + (name.empty() ? "" : " (" + name + ")"));
    // A table a newcomer is about to sit at stays open for it.
    if (name.empty()) return newcomerWaits ? void() : CheckEmpty();
    if (!session_.AllSeated || slot > 3) {
        dispatcher_.RemovePerson(slot);
        queue_.SendToAll(DisconnectedMessage(slot));
        dispatcher_.NameSeats();
        if (People() == 0) bots_.stop();
        return CheckEmpty();
    }
    // The computer player takes the seat, and the game goes on.
    engine_.RunAction([this, slot] {
        dispatcher_.StandIn(slot);
        CheckEmpty();
    });
}

void ServerTable::CheckEmpty() {
    if (People() > 0 || !emptied) return;
    if (!session_.AllSeated) {
        // Nobody has played here: a table with no link left, not even one
        // still to give its name, keeps nobody's seat.
        for (const auto& [slot, times] : clocks_)
            if (SlotConnected(slot)) return;
        return Close("closed: nobody sat down");
    }
    // The people may come back for their seats a while yet.
    if (!graceOver_) {
        if (!grace_.isActive()) {
            Say("nobody left: waiting " + std::to_string(choices_.graceMs / 1000) + " s for them");
            grace_.start(choices_.graceMs);
        }
        return;
    }
    Close("closed: nobody came back");
}

void ServerTable::Close(const std::string& why) {
    Say(why);
    // The server deletes the table later; nothing of it runs meanwhile.
    cycle_.stop();
    bots_.stop();
    auto done = std::move(emptied);
    emptied = nullptr;
    done(*this);
}

void ServerTable::Send() {
    std::string target, text;
    while (queue_.TakeNext(target, text))
        links_->Element(SendQueue::TargetSlot(target)).SendText(text + "\r\n");
    send_.stop();
}

// ---------------------------------------------------------------------------
// The table

void ServerTable::PlayersChanged() {
    if (People() > 0) grace_.stop();
    if (!session_.AllSeated && People() > 0 && !bots_.isActive()) bots_.start(choices_.botsAfterMs);
}

void ServerTable::StartGame() {
    engine_.RunAction([this] {
        if (!engine_.DealOpen() || People() == 0) return;
        bots_.stop();
        dispatcher_.FillEmptySeats();
        engine_.Deal();
        ++games_;
        std::string names;
        for (const std::string& name : session_.PlayerNames) names += (names.empty() ? "" : ", ") + name;
        Say("game " + std::to_string(games_) + " started: " + names);
    });
}

void ServerTable::AskNextGame(const std::string&, std::function<void(bool yes)>) {
    // Nobody is asked: the next game is dealt a while later, unless everybody has left.
    QTimer::singleShot(choices_.nextGameMs, this, [this] { StartGame(); });
}

void ServerTable::GameEnded(int winnerSeat, const std::array<int, 4>&) {
    Say("game " + std::to_string(games_) + " over: " + session_.PlayerNames[size_t(winnerSeat)] + " won");
}

void ServerTable::StartCycleTimer(int intervalMs) {
    if (!cycle_.isActive() || cycle_.interval() != intervalMs) cycle_.start(intervalMs);
}

void ServerTable::AppendChat(const std::string& line) {
    Say("chat: " + line);
}

void ServerTable::Tell(NetNews news, const std::string& name) {
    Say(NewsText(news, name));
}

}  // namespace vorn::server
