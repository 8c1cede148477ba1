#include "tools/server/server.h"

#include <algorithm>

#include "cards/random.h"
#include "net/protocol.h"
#include "net/socket/codec.h"
#include "net/socket/securehost.h"
#include "net/socket/socket.h"

namespace vorn::server {

namespace {

// A link that has said nothing this long after the lobby greeted it speaks an
// older version, which waits to be told its seat.
constexpr int kQuietMs = 1500;
// Links at the lobby at once, beyond one for each table allowed.
constexpr int kLobbyRoom = 64;
// How long a link turned away has to take in its last word.
constexpr int kLingerMs = 3000;
// Bytes of lists a link at the lobby may leave unread before it asks for another.
constexpr qint64 kMostListsUnread = qint64{64} * 1024;
// How often the limits of time are checked.
constexpr int kSweepMs = 1000;
// A seated link that has not given its name this long (a joiner gives it as
// soon as it hears its seat) gives up its seat when a newcomer finds none.
constexpr int kNamelessMs = 2000;

std::string Address(const QString& address) {
    return address.toStdString();
}

}  // namespace

struct Server::Arrival {
    Socket* link = nullptr;
    QString address;
    Framer framer;
    std::int64_t since = 0;
    bool choosing = false;  // its person is looking at the list
    bool heard = false;     // it has said a first word
    bool partial = false;   // it has begun a word and not finished it
    QTimer quiet;
};

Server::Server(const ServerConfig& config, std::shared_ptr<const SecureHost> secure, QObject* parent)
    : QObject(parent), config_(config), secure_(std::move(secure)), listener_(new Socket(this)) {
    choices_.botsAfterMs = config.botsAfter * 1000;
    choices_.level = config.level;
    choices_.moveMs = config.moveMs;
    choices_.helloMs = config.helloSeconds * 1000;
    choices_.idleMs = config.idleSeconds * 1000;
    choices_.graceMs = config.graceSeconds * 1000;
    clock_.start();
    clock = [this] { return clock_.elapsed(); };
    connect(listener_, &Socket::connectionRequest, this, &Server::OnRequest);
    idleCheck_.setInterval(kSweepMs);
    connect(&idleCheck_, &QTimer::timeout, this, &Server::CheckIdle);
    idleCheck_.start();
}

Server::~Server() {
    for (auto& arrival : arrivals_) arrival->link->Close();
}

bool Server::Listen(int port) {
    listener_->SetLocalPort(port);
    if (!listener_->Listen()) {
        Log("cannot listen on port " + std::to_string(port) + ": " +
            listener_->LastErrorDescription().toStdString());
        return false;
    }
    Log("listening on port " + std::to_string(listener_->LocalPort()));
    return true;
}

int Server::LinksFrom(const QString& address) const {
    int links = 0;
    for (const auto& arrival : arrivals_) links += arrival->address == address;
    for (const ServerTable* table : tables_) links += table->LinksFrom(address);
    return links;
}

void Server::OnRequest(int requestId) {
    auto arrival = std::make_unique<Arrival>();
    arrival->link = new Socket(this);
    if (!arrival->link->Accept(requestId)) {
        delete arrival->link;
        return;
    }
    Arrival& a = *arrival;
    a.address = a.link->PeerAddress();
    a.since = clock();
    const int from = LinksFrom(a.address);
    arrivals_.push_back(std::move(arrival));
    if (from >= config_.linksPerAddress)
        return TurnAway(a, std::to_string(from) + " links open from " + Address(a.address), {});
    if (int(arrivals_.size()) > config_.tables + kLobbyRoom && !MakeLobbyRoom(a))
        return TurnAway(a, "the lobby is full", {});
    connect(a.link, &Socket::dataArrival, this, [this, &a] { OnArrivalData(a); });
    connect(a.link, &Socket::closed, this, [this, &a] { Forget(a); });
    connect(a.link, &Socket::error, this, [this, &a] { Forget(a); });
    a.quiet.setSingleShot(true);
    connect(&a.quiet, &QTimer::timeout, this, [this, &a] { SeatAnywhere(a, {}); });
    a.quiet.start(kQuietMs);
    // The offer goes first: a joiner takes it up only as the first thing it hears.
    if (secure_ && secure_->Offers()) a.link->SendText(SecureMessage() + "\r\n");
    SendLobby(a);
}

void Server::SendLobby(Arrival& arrival) {
    std::string list = std::string(lobby::kLobby) + "\r\n";
    for (const ServerTable* table : tables_)
        if (table->FreeSlot() > 0 || table->People() > 0)
            list += LobbyEntryMessage(table->Ad(listener_->LocalPort())) + "\r\n";
    arrival.link->SendText(list);
}

void Server::OnArrivalData(Arrival& arrival) {
    const QByteArray bytes = arrival.link->ReadAll();
    arrival.framer.Append(std::string_view(bytes.constData(), size_t(bytes.size())));
    std::string raw;
    while (arrival.framer.Pop(raw)) {
        if (!std::exchange(arrival.heard, true) && Secure(arrival, raw)) return;
        const LobbyWord word = ParseLobbyWord(raw);
        if (word.kind != LobbyWord::Browse) return Route(arrival, raw);
        // Still choosing: the list again, as it is now. A link that asks
        // faster than it reads would have the lists pile up here.
        if (arrival.link->BytesUnsent() > kMostListsUnread)
            return TurnAway(arrival, "asks for the list faster than it reads it", {});
        arrival.quiet.stop();
        arrival.choosing = true;
        SendLobby(arrival);
    }
    arrival.partial = arrival.framer.TailSize() > 0;
}

bool Server::MakeLobbyRoom(const Arrival& newcomer) {
    // The oldest link that trickles a word it never finishes goes. A silent
    // one (an older build waiting for its seat, which comes soon) or one
    // looking at the list keeps its place, and the newcomer is turned away.
    // Bytes not read yet count as a word begun: they are read from the event
    // loop, after every link that came with this one has been taken.
    Arrival* out = nullptr;
    for (const auto& arrival : arrivals_)
        if (arrival.get() != &newcomer && (!out || arrival->since < out->since) &&
            (arrival->partial || (!arrival->choosing && arrival->link->HasUnread())))
            out = arrival.get();
    if (!out) return false;
    TurnAway(*out, "the lobby is full: room made for a newcomer", {});
    return true;
}

ServerTable* Server::FreeNamelessSeat(int& slot) {
    // The seat of the link that has gone longest without giving its name.
    const std::int64_t before = clock() - kNamelessMs;
    ServerTable* table = nullptr;
    std::pair<int, std::int64_t> oldest{0, 0};
    for (ServerTable* t : tables_) {
        const auto nameless = t->OldestNameless(before);
        if (nameless.first > 0 && (!table || nameless.second < oldest.second)) {
            table = t;
            oldest = nameless;
        }
    }
    if (table) table->Evict(oldest.first, "gave no name, and a newcomer needs the seat");
    slot = oldest.first;
    return table;
}

bool Server::Secure(Arrival& arrival, const std::string& first) {
    if (!secure_ || !secure_->Answer(*arrival.link, first)) return false;
    // Only this build takes the offer: it will choose, and may first ask its
    // person whether to trust a changed certificate, so it is not seated for
    // its silence.
    arrival.quiet.stop();
    arrival.choosing = true;
    arrival.framer.Reset();
    connect(arrival.link, &Socket::encrypted, this, [this, &arrival] {
        Log("link encrypted, from " + Address(arrival.address));
        SendLobby(arrival);
    });
    return true;
}

void Server::Route(Arrival& arrival, const std::string& first) {
    arrival.quiet.stop();
    arrival.partial = false;  // it has finished a word
    std::vector<std::string> said;
    for (std::string raw; arrival.framer.Pop(raw);) said.push_back(raw);
    // A password comes as the person typed it, in the wire's code page.
    const LobbyWord word = ParseLobbyWord(FromCp936(first));
    if (word.kind == LobbyWord::Other) {
        // An older build that speaks first: it is seated as if it had waited.
        said.insert(said.begin(), first);
        return SeatAnywhere(arrival, said);
    }
    if (word.kind == LobbyWord::Back) {
        const auto kept = std::find_if(tables_.begin(), tables_.end(),
                                       [&](const ServerTable* t) { return t->KeepsSeatFor(word.argument); });
        if (kept == tables_.end())
            return TurnAway(arrival, "no seat is kept for its token", RefusedMessage(Refusal2::Token));
        return Hand(arrival, *kept, (*kept)->OpenSlot(), said);
    }
    ServerTable* table = word.argument.empty() ? OpenTable({}) : FindTable(word.argument);
    int slot = table ? table->OpenSlot() : 0;
    if (table && !word.password.empty()) table->SetPassword(word.password);
    if (!table && word.argument.empty()) table = FreeNamelessSeat(slot);
    if (!table) return TurnAway(arrival, "no such table, or no room for one", RefusedMessage(Refusal2::Full));
    Hand(arrival, table, slot, said);
}

void Server::SeatAnywhere(Arrival& arrival, const std::vector<std::string>& said) {
    const auto free = std::find_if(tables_.begin(), tables_.end(), [](const ServerTable* t) {
        return t->FreeSlot() > 0 && !t->HasPassword();
    });
    ServerTable* table = free != tables_.end() ? *free : OpenTable({});
    int slot = table ? table->FreeSlot() : 0;
    // A link that trickles a word it never finishes takes no one's seat.
    if (!table && !arrival.partial) table = FreeNamelessSeat(slot);
    if (!table) return TurnAway(arrival, "every table is full", SeatMessage(4));
    Hand(arrival, table, slot, said);
}

void Server::Hand(Arrival& arrival, ServerTable* table, int slot, const std::vector<std::string>& said) {
    const int requestId = arrival.link->Detach();
    // What the link sent after its word goes with it to the table.
    const std::string unfinished(arrival.framer.Unfinished());
    Forget(arrival);
    // A table opened for this link alone closes again when the link is gone already.
    if (requestId == 0 || !table->Accept(requestId, slot, said, unfinished)) table->CheckEmpty();
}

void Server::TurnAway(Arrival& arrival, const std::string& why, const std::string& lastWord) {
    Log("link from " + Address(arrival.address) + " turned away: " + why);
    if (!lastWord.empty()) arrival.link->SendText(lastWord + "\r\n");
    Forget(arrival);
}

void Server::Forget(Arrival& arrival) {
    // The link closes, and the socket stays a while for what it was given to
    // reach the other end (a handed link is no longer in it).
    arrival.link->Close();
    QTimer::singleShot(kLingerMs, arrival.link, &QObject::deleteLater);
    arrival.quiet.stop();
    const auto it =
        std::find_if(arrivals_.begin(), arrivals_.end(), [&](const auto& a) { return a.get() == &arrival; });
    if (it == arrivals_.end()) return;
    // Its handlers may still be on the stack: it goes from the event loop.
    auto* gone = it->release();
    arrivals_.erase(it);
    QTimer::singleShot(0, this, [gone] { delete gone; });
}

void Server::CheckIdle() {
    const std::int64_t now = clock();
    std::vector<Arrival*> late;
    for (const auto& arrival : arrivals_) {
        const std::int64_t limit = arrival->choosing ? config_.idleSeconds * 1000 : choices_.helloMs;
        if (now - arrival->since > limit) late.push_back(arrival.get());
    }
    for (Arrival* arrival : late) TurnAway(*arrival, "stayed at the lobby too long", {});
    for (ServerTable* table : tables_) table->Sweep(now);
}

ServerTable* Server::OpenTable(const std::string& name) {
    if (int(tables_.size()) >= config_.tables) return nullptr;
    const int number = nextNumber_++;
    auto* table = new ServerTable(number, name.empty() ? "牌桌 " + std::to_string(number) : name, choices_,
                                  SeededRandom::FreshSeed(), this);
    table->emptied = [this](ServerTable& t) { CloseTable(t); };
    table->clock = [this] { return clock(); };
    tables_.push_back(table);
    return table;
}

ServerTable* Server::FindTable(const std::string& id) const {
    for (ServerTable* table : tables_)
        if (std::to_string(table->Number()) == id) return table;
    return nullptr;
}

void Server::CloseTable(ServerTable& table) {
    tables_.erase(std::remove(tables_.begin(), tables_.end(), &table), tables_.end());
    // Its engine may still be inside an action: it goes once that has returned.
    table.deleteLater();
}

}  // namespace vorn::server
