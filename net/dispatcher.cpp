#include "net/dispatcher.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>

#include "cards/referee.h"
#include "cards/rules.h"
#include "game/shadow.h"
#include "net/news.h"
#include "net/sendqueue.h"
#include "net/snapshot.h"

namespace vorn {

void AddPerson(std::vector<Person>& players, int slot, const std::string& name) {
    players.push_back(Person{name, 0});
    for (auto& person : players)
        if (person.slot == 0) {
            person.slot = slot;
            break;
        }
}

bool RemovePerson(std::vector<Person>& players, int slot) {
    for (auto it = players.begin(); it != players.end(); ++it)
        if (it->slot == slot) {
            players.erase(it);
            return true;
        }
    return false;
}

bool NameTaken(const std::vector<Person>& players, const std::string& name) {
    for (const auto& person : players)
        if (person.name == name) return true;
    return false;
}

std::string Numbered(const std::vector<Person>& players, const std::string& name) {
    std::string free = name;
    for (int n = 2; NameTaken(players, free); ++n) free = name + " " + std::to_string(n);
    return free;
}

std::string PersonName(const std::vector<Person>& players, int slot) {
    for (const auto& person : players)
        if (person.slot == slot) return person.name;
    return {};
}

bool HostAcceptsThrow(const GameState& table, const ThrowBody& move) {
    // A pass repeats the play on the table as the host wrote it.
    if (move.IsPass())
        return Judge(table, move.seat, CardSet{}) == Refusal::Ok &&
               move.lastThrower == table.TheLastThrower && move.tablePlay == Codes(table.TablePlay);
    if (move.cards.Empty() || Judge(table, move.seat, move.cards) != Refusal::Ok) return false;
    // A joiner's cards lie in its hand on the host: none of them is chosen there.
    return (table.lstDirection[move.seat] & move.cards) == move.cards;
}

Dispatcher::Dispatcher(NetHost& host, SendQueue& queue) : host_(host), queue_(queue) {
    now = [] {
        using namespace std::chrono;
        return std::int64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
}

void Dispatcher::DispatchMessages(std::string& text, int sourceSlot) {
    for (;;) {
        size_t end = text.find("\r\n");
        if (end == std::string::npos) return;
        // Taken off the text before it is handled: a handler that opens a box
        // lets other arrivals in, and the text must already be in its next state.
        std::string message = text.substr(0, end);
        text.erase(0, end + 2);
        HandleMessage(message, sourceSlot);
    }
}

void Dispatcher::HandleMessage(const std::string& message, int sourceSlot) {
    std::string_view tag, body;
    SplitMessage(message, tag, body);
    if (tag.empty()) return;
    // A link turned away is not heard any more.
    if (auto link = links_.find(sourceSlot); link != links_.end() && link->second.refused) return;
    if (sourceSlot < 0 && secondVersion && !host_.session().IsHost() && !HostMessageHeard(tag)) return;

    // What a joiner may send the host; everything else only the host sends.
    if (tag == tags::kJoined) return OnJoined(body, sourceSlot);
    if (tag == tags::kMessage) return OnMessage(body, sourceSlot);
    if (tag == tags::kThrow) return OnThrow(body, sourceSlot);
    if (tag == tags2::kHello && secondVersion) return OnHello(body, sourceSlot);

    if (sourceSlot >= 0 || host_.session().IsHost()) return;
    if (tag == lobby::kLobby && secondVersion) return OnLobby(body);
    // The second version's messages, from a host that has said hello only.
    if (host_.session().HostWire >= 2) {
        if (tag == tags2::kToken) return OnToken(body);
        if (tag == tags2::kRefused) return OnRefused(body);
        if (tag == tags2::kDraw) return OnDraw(body);
        if (tag == tags2::kHand) return OnHand(body);
        if (tag == tags2::kSnapshot) return OnSnapshot(body);
        if (tag == tags2::kSeats) return OnSeats(body);
    }
    if (tag == tags::kSeat) return OnSeat(body);
    if (tag == tags::kNewNameList) return OnNewNameList();
    if (tag == tags::kPeople) return OnPeople(body);
    if (tag == tags::kPrepare) return OnPrepare(body);
    if (tag == tags::kTurn) return OnTurn(body);
    if (tag == tags::kSnatchCard) return OnSnatch(body);
    if (tag == tags::kGameOver) return OnGameOver(body);
    if (tag == tags::kDisconnected) return OnDisconnected(body);
    if (tag == tags::kExit) return OnExit(body);
}

void Dispatcher::AddPerson(int slot, const std::string& name) {
    vorn::AddPerson(host_.players(), slot, name);
    host_.PlayersChanged();
}

void Dispatcher::RemovePerson(int slot) {
    if (vorn::RemovePerson(host_.players(), slot)) host_.PlayersChanged();
}

std::string Dispatcher::PersonName(int slot) {
    return vorn::PersonName(host_.players(), slot);
}

void Dispatcher::SendNameList() {
    // A copy: the list must read the same for every joiner it goes to.
    const std::vector<Person> players = host_.players();
    for (const auto& to : players) {
        if (to.slot == -1) continue;
        queue_.SendToSlot(NewNameListMessage(), to.slot);
        for (const auto& entry : players) queue_.SendToSlot(PeopleMessage(entry.slot, entry.name), to.slot);
    }
}

void Dispatcher::OnSeat(std::string_view body) {
    auto number = ParseDecimal(body);
    Session& session = host_.session();
    // Seat 0 is a host's own, but a server's may be given to a joiner of the second version.
    if (!number || *number < (session.HostWire >= 2 ? 0 : 1)) return;
    const int seat = *number;
    if (session.HostWire < 2) {
        // A host of the first version greets nobody: it hears the name now.
        if (seat <= 3 && !joinSent_) queue_.SendToHost(JoinedMessage(session.OwnName));
        joinSent_ = true;
    } else if (seat > 3) {
        // Not the last word: the host may give a seat back, or say why not.
        return;
    }
    host_.engine().RunAction([this, seat] {
        Session& s = host_.session();
        if (!s.IsNet()) return;
        if (seat > 3) {
            host_.Tell(NetNews::TableFull);
            host_.CloseAllConnections();
            host_.ResetToLocalGame();
            host_.ShowLogonLater();
            return;
        }
        s.LocalSeat = seat;
        NameSeats();
    });
}

void Dispatcher::OnJoined(std::string_view body, int sourceSlot) {
    Session& s = host_.session();
    if (!s.IsHost()) {
        host_.Tell(NetNews::Arrived, std::string(body));
        return;
    }
    std::string name = CleanName(body);
    // A nameless player could not be told from a link that never joined, and
    // would leave "[Prepare]" with an empty field that every joiner refuses.
    if (sourceSlot < 0 || name.empty()) return;
    // A link joins once. A second "[Joined]" would rename a seated player
    // mid-game and make the host send the whole player list again each time.
    if (!PersonName(sourceSlot).empty()) return;
    const auto link = links_.find(sourceSlot);
    const int version = link == links_.end() ? 1 : link->second.version;
    if (version < 2 ? TurnAwayOldWire(sourceSlot) : JoinedOnSecond(sourceSlot, name)) return;
    // Two players of one name could not be told apart in "<name>出牌 7": the
    // later one is numbered, and everybody, itself included, hears it so.
    name = Numbered(host_.players(), name);
    const bool seat = sourceSlot <= 3;
    if (seat && s.StandIn[sourceSlot]) {
        // The computer plays this seat on to the end of the hand: a link of
        // today's wire could not pick up a hand under way.
        if (!host_.engine().DealOpen()) {
            // Told the table is full, as a table of the first version would
            // be, and let go: it would hold the slot and hear nothing.
            links_[sourceSlot].refused = true;
            queue_.SendToSlot(SeatMessage(4), sourceSlot);
            host_.DropLink(sourceSlot);
            return;
        }
        s.StandIn[sourceSlot] = false;
        host_.engine().SetSeatKind(sourceSlot, SeatKind::Remote);
        host_.StandInsChanged();
    }
    host_.Tell(NetNews::Arrived, name);
    // A newcomer in a slot does not inherit what its last holder spent.
    chatRates_.erase(sourceSlot);
    if (seat) SeatLink(sourceSlot, name, version);
    queue_.SendToAll(JoinedMessage(name));
    AddPerson(sourceSlot, name);
    SendNameList();
    NameSeats();
    if (seat && s.SlotCount >= 3) {
        SendPrepare();
        s.AllSeated = true;
        s.Vacant = {};
        host_.engine().AdjustDirection();
        host_.Tell(NetNews::AllSeated);
    } else {
        SendSeats();
    }
    host_.StandInsChanged();
}

bool Dispatcher::TurnAwayOldWire(int slot) {
    if (host_.session().Password.empty()) return false;
    // Today's wire cannot prove a password: that joiner reads why in its
    // chat and is turned away as from a full table.
    links_[slot].refused = true;
    queue_.SendToSlot(ChatMessage(NewsText(NetNews::OldClosed, {})), slot);
    queue_.SendToSlot(SeatMessage(4), slot);
    host_.DropLink(slot);
    return true;
}

void Dispatcher::SeatLink(int slot, const std::string& name, int version) {
    Session& s = host_.session();
    s.PlayerNames[size_t(slot)] = name;
    s.Wire[size_t(slot)] = version;
    s.OldWire[size_t(slot)] = secondVersion && version < 2;
    // A seat of the second version may be taken back after a drop.
    if (version >= 2 && newSecret) {
        tokens_[size_t(slot)] = newSecret();
        queue_.SendToSlot(TokenMessage(tokens_[size_t(slot)]), slot);
    }
}

void Dispatcher::NameSeats() {
    Session& s = host_.session();
    if (!s.IsNet() || s.AllSeated) return;
    for (int seat = 0; seat < 4; ++seat) {
        std::string name = PersonName(seat);
        if (name.empty() && seat == 0) name = PersonName(-1);
        if (name.empty() && seat == s.LocalSeat) name = s.OwnName;
        if (!name.empty()) s.PlayerNames[size_t(seat)] = name;
        s.Vacant[size_t(seat)] = name.empty();
    }
    host_.engine().AdjustDirection();
}

void Dispatcher::StandIn(int slot) {
    Session& s = host_.session();
    host_.Tell(NetNews::StandIn, PersonName(slot));
    // Kept for the person to take the seat back by name, should its token be lost with its window.
    dropped_[size_t(slot)] = PersonName(slot);
    RemovePerson(slot);
    queue_.SendToAll(DisconnectedMessage(slot));
    s.StandIn[size_t(slot)] = true;
    s.OldWire[size_t(slot)] = false;
    SendSeats();
    host_.StandInsChanged();
    host_.engine().SetSeatKind(slot, SeatKind::Computer);
}

void Dispatcher::FillEmptySeats() {
    Session& s = host_.session();
    if (!s.IsHost() || !s.FillSeats) return;
    const Session fresh;
    bool filled = false;
    for (int seat = 1; seat <= 3; ++seat) {
        if (s.StandIn[size_t(seat)] || !PersonName(seat).empty()) continue;
        s.StandIn[size_t(seat)] = true;
        s.PlayerNames[size_t(seat)] = fresh.PlayerNames[size_t(seat)];
        host_.engine().SetSeatKind(seat, SeatKind::Computer);
        filled = true;
    }
    if (!filled) return;
    // Every seat is held now: a newcomer takes a computer's seat between hands.
    s.SlotCount = std::max(s.SlotCount, 3);
    s.AllSeated = true;
    s.Vacant = {};
    SendPrepare();
    host_.engine().AdjustDirection();
    host_.Tell(NetNews::AllSeated);
    host_.StandInsChanged();
}

void Dispatcher::FindStandIns() {
    Session& s = host_.session();
    // A host of the second version says so itself ("[Seats]").
    if (s.IsHost() || s.HostWire >= 2) return;
    std::array<bool, 4> standIn{};
    // After "[Prepare]" every seat is played: one no person holds, the host's
    // computer player plays.
    for (int seat = 1; s.AllSeated && seat <= 3; ++seat)
        standIn[size_t(seat)] = seat != s.LocalSeat && PersonName(seat).empty();
    if (standIn == s.StandIn) return;
    s.StandIn = standIn;
    host_.StandInsChanged();
}

void Dispatcher::OnNewNameList() {
    host_.players().clear();
    host_.PlayersChanged();
}

void Dispatcher::OnPeople(std::string_view body) {
    auto person = ParsePeople(body);
    if (!person) return;
    AddPerson(person->slot, person->name);
    NameSeats();
}

void Dispatcher::OnPrepare(std::string_view body) {
    auto names = ParsePrepare(body);
    if (!names) return;
    host_.engine().RunAction([this, names = std::move(*names)] {
        Session& s = host_.session();
        if (!s.IsNet()) return;
        s.PlayerNames = names;
        s.AllSeated = true;
        s.Vacant = {};
        FindStandIns();
        host_.engine().AdjustDirection();
        host_.Tell(NetNews::AllSeated);
    });
}

void Dispatcher::OnMessage(std::string_view body, int sourceSlot) {
    const bool onHost = host_.session().IsHost();
    // Only a listed person speaks at the table: a link that never joined
    // could talk under any name.
    if (onHost && sourceSlot >= 0 && PersonName(sourceSlot).empty()) return;
    if (onHost && sourceSlot >= 0 && !chatRates_[sourceSlot].Allow(now())) return;
    const std::string line = CutChatLine(body);
    host_.AppendChat(line);
    if (onHost) queue_.SendToOthers(ChatMessage(line), sourceSlot);
}

void Dispatcher::OnThrow(std::string_view body, int sourceSlot) {
    auto parsed = ParseThrow(body);
    if (!parsed) return;
    const Session& s = host_.session();
    const bool onHost = s.IsHost();
    // A joiner's seat is its slot number: the host hears each seat only from
    // its own link. A joiner hears moves only from the host, its own only
    // from a host of the second version that moved for it out of time.
    if (onHost ? sourceSlot != parsed->seat : sourceSlot >= 0) return;
    const bool own = !onHost && parsed->seat == s.LocalSeat;
    if (own && s.HostWire < 2) return;
    // A seat moves once a turn: while a box holds the host's table up, a link
    // that sends more moves than it could make has the rest ignored, so that
    // they cannot pile up without end.
    const size_t seat = size_t(parsed->seat);
    if (onHost && throwsWaiting_[seat] >= kMostThrowsWaiting) return;
    // Counted until the action has run or been dropped with the table.
    ++throwsWaiting_[seat];
    std::shared_ptr<void> waiting(nullptr, [this, seat](void*) { --throwsWaiting_[seat]; });
    host_.engine().RunAction([this, move = std::move(*parsed), onHost, own, waiting = std::move(waiting)] {
        Engine& engine = host_.engine();
        Session& session = host_.session();
        if (!session.IsNet()) return;
        if (onHost && !HostAcceptsThrow(engine.table(), move)) {
            // Too late, or not what the table holds: a table of the second
            // version is put right with what its seat may see.
            if (session.Wire[size_t(move.seat)] >= 2) SendSnapshot(move.seat);
            return;
        }
        // Moved on already here: the host's snapshot follows.
        if (own && engine.table().CurrentSeat != move.seat) return;
        // A fair host's play shows its cards only now.
        if (!onHost && session.HostWire >= 2 && !move.IsPass() && !engine.Unveil(move.seat, move.cards))
            return;
        if (own) host_.Tell(NetNews::TimedOut, session.PlayerNames[size_t(move.seat)]);
        engine.ReceiveThrow(move.lastThrower, move.cards, move.seat);
    });
}

void Dispatcher::OnTurn(std::string_view body) {
    auto turn = ParseTurn(body);
    if (!turn) return;
    host_.engine().RunAction([this, turn = *turn] {
        if (!host_.session().IsNet()) return;
        // A lead after three passes means the host has opened a new round and
        // cleared the table; the copy here follows, or it would keep the old
        // play and pass count until the leader plays.
        if (turn.mustLead) {
            host_.engine().table().TablePlay.Clear();
            host_.engine().table().PassCount = 0;
        }
        host_.engine().ReceiveTurn(turn.seat, turn.mustLead);
    });
}

void Dispatcher::OnSnatch(std::string_view body) {
    // A fair host names draws with "[Draw]"; a stock position means nothing here.
    if (host_.session().HostWire >= 2) return;
    auto draw = ParseSnatch(body);
    if (!draw) return;
    host_.engine().RunAction([this, draw = *draw] {
        Engine& engine = host_.engine();
        if (!host_.session().IsNet()) return;
        // The stock may have changed since the message arrived: check it now.
        if (draw.drawIndex >= engine.table().lstCardsBox.Count()) return;
        engine.ReceiveSnatch(draw.seat, draw.drawIndex);
    });
}

void Dispatcher::OnGameOver(std::string_view body) {
    auto seat = ParseSeat(body);
    if (!seat) return;
    host_.engine().RunAction([this, seat = *seat] {
        if (!host_.session().IsNet()) return;
        host_.engine().ReceiveGameOver(seat);
    });
}

void Dispatcher::OnDisconnected(std::string_view body) {
    auto slot = ParsePadded(body);
    if (!slot) return;
    const Session& s = host_.session();
    // Once all are seated, only a host that lets the computer play on says
    // this of a seat: one that ends the game says "[Exit]".
    if (s.AllSeated && *slot >= 0 && *slot <= 3)
        host_.Tell(NetNews::StandIn, s.PlayerNames[size_t(*slot)]);
    else
        host_.Tell(NetNews::Left, PersonName(*slot));
    RemovePerson(*slot);
    FindStandIns();
    NameSeats();
}

void Dispatcher::OnExit(std::string_view body) {
    auto slot = ParsePadded(body);
    if (!slot) return;
    host_.engine().RunAction([this, slot = *slot] {
        if (!host_.session().IsNet()) return;
        host_.Tell(NetNews::LeftGameOver, PersonName(slot));
        host_.CloseAllConnections();
        host_.ResetToLocalGame();
        host_.engine().NewGame();
    });
}

// ---------------------------------------------------------------------------
// The second version

namespace {
// Equal texts, compared in a time that does not tell how much of a guess was right.
bool SameSecret(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    unsigned char differ = 0;
    for (size_t i = 0; i < a.size(); ++i) differ |= static_cast<unsigned char>(a[i] ^ b[i]);
    return differ == 0;
}
}  // namespace

void Dispatcher::Accepted(int slot) {
    Session& s = host_.session();
    Link link;
    if (newSecret && secondVersion) link.challenge = newSecret();
    links_[slot] = link;
    if (slot <= 3) {
        s.Wire[size_t(slot)] = 0;
        s.OldWire[size_t(slot)] = false;
    }
    // Ahead of the slot: a table of the first version skips the greeting.
    if (!link.challenge.empty())
        queue_.SendToSlot(HostHelloMessage(link.challenge, !s.Password.empty()), slot);
    queue_.SendToSlot(SeatMessage(slot), slot);
}

void Dispatcher::StartJoining(bool again) {
    joinSent_ = false;
    host_.session().HostWire = 0;
    mustSecure_ = again && (mustSecure_ || secure_ != Secure::Plain);
    secure_ = Secure::Plain;
    heardHost_ = false;
}

bool Dispatcher::HostMessageHeard(std::string_view tag) {
    const bool first = !std::exchange(heardHost_, true);
    switch (secure_) {
        case Secure::Plain:
            if (first && tag == tags2::kSecure) {
                // Taken up: what follows in plain is the greeting meant for older builds.
                secure_ = Secure::Asked;
                queue_.SendToHost(SecureMessage());
                return false;
            }
            return !mustSecure_;
        case Secure::Asked:
            if (tag == tags2::kSecure) {
                secure_ = Secure::Starting;
                host_.StartEncryption();
            }
            return false;
        case Secure::Starting:
            return false;
        case Secure::On:
            return tag != tags2::kSecure;
    }
    return false;
}

void Dispatcher::Encrypted() {
    if (secure_ != Secure::Starting) return;
    secure_ = Secure::On;
    joinSent_ = false;
    atLobby_ = false;
    lobby_.clear();
    host_.session().HostWire = 0;
}

void Dispatcher::OnHello(std::string_view body, int sourceSlot) {
    Session& s = host_.session();
    if (!s.IsHost()) {
        // The host greets first; this joiner answers once, and names itself.
        if (sourceSlot >= 0 || s.HostWire >= 2 || joinSent_) return;
        auto hello = ParseHostHello(body);
        if (!hello) return;
        s.HostWire = kWireVersion;
        if (atLobby_) {
            atLobby_ = false;
            host_.LobbyLeft();
        }
        const std::string proof = hello->password && proofOf && !s.Password.empty()
                                      ? proofOf(s.Password, hello->nonce)
                                      : std::string();
        queue_.SendToHost(JoinerHelloMessage(s.SeatToken, proof));
        queue_.SendToHost(JoinedMessage(s.OwnName));
        joinSent_ = true;
        return;
    }
    auto link = links_.find(sourceSlot);
    if (link == links_.end() || link->second.version >= 2 || !PersonName(sourceSlot).empty()) return;
    auto hello = ParseJoinerHello(body);
    if (!hello) return;
    link->second.version = kWireVersion;
    if (!s.Password.empty() && !ProofHeard(hello->proof, link->second.challenge))
        return Refuse(sourceSlot, Refusal2::Password);
    if (hello->token.empty()) return;
    for (int seat = FirstLinkSeat(); seat <= 3; ++seat)
        if (s.StandIn[size_t(seat)] && SameSecret(hello->token, tokens_[size_t(seat)]))
            link->second.claim = seat;
    // A forged token, or one whose seat its person still holds.
    if (link->second.claim < 0) Refuse(sourceSlot, Refusal2::Token);
}

bool Dispatcher::ProofHeard(const std::string& proof, const std::string& challenge) {
    // Guessing is slowed to a few tries a minute: past them every proof is
    // refused unheard until the oldest wrong one is a minute old.
    constexpr std::int64_t kWindowMs = 60'000;
    constexpr size_t kWrongHeard = 10;
    const std::int64_t at = now();
    while (!wrongProofs_.empty() && (at - wrongProofs_.front() >= kWindowMs || at < wrongProofs_.front()))
        wrongProofs_.pop_front();
    if (wrongProofs_.size() >= kWrongHeard) return false;
    if (proofOf && SameSecret(proof, proofOf(host_.session().Password, challenge))) return true;
    wrongProofs_.push_back(at);
    return false;
}

void Dispatcher::OnLobby(std::string_view body) {
    const Session& s = host_.session();
    if (s.HostWire >= 2 || joinSent_) return;
    if (body.empty()) {
        lobby_.clear();
        if (!atLobby_) {
            atLobby_ = true;
            // Straight back to the seat kept for this table; else its person chooses.
            queue_.SendToHost(s.SeatToken.empty() ? std::string(lobby::kBrowse) : BackMessage(s.SeatToken));
        }
    } else if (auto table = ParseTableAd(body); table && atLobby_) {
        lobby_.push_back(*table);
    } else {
        return;
    }
    if (s.SeatToken.empty()) host_.LobbyListed(lobby_);
}

void Dispatcher::PickTable(const std::string& id, const std::string& password) {
    if (atLobby_) queue_.SendToHost(PickMessage(id, password));
}

void Dispatcher::BrowseAgain() {
    if (atLobby_) queue_.SendToHost(std::string(lobby::kBrowse));
}

int Dispatcher::OpenSlot(const std::function<bool(int)>& closed) const {
    const Session& s = host_.session();
    const bool midHand = !host_.engine().DealOpen();
    for (int slot = 1; slot <= s.SlotCount; ++slot)
        if (closed(slot) && !(slot <= 3 && s.StandIn[size_t(slot)] && midHand)) return slot;
    return s.SlotCount + 1;
}

bool Dispatcher::KeepsSeatFor(const std::string& token) const {
    const Session& s = host_.session();
    for (int seat = FirstLinkSeat(); seat <= 3; ++seat)
        if (s.StandIn[size_t(seat)] && SameSecret(token, tokens_[size_t(seat)])) return true;
    return false;
}

void Dispatcher::Refuse(int slot, Refusal2 why) {
    links_[slot].refused = true;
    queue_.SendToSlot(RefusedMessage(why), slot);
    host_.DropLink(slot);
}

bool Dispatcher::JoinedOnSecond(int slot, const std::string& name) {
    const Session& s = host_.session();
    int seat = links_[slot].claim;
    // A person whose window was closed has no token: it takes its seat back by name.
    for (int k = FirstLinkSeat(); seat < 0 && k <= 3; ++k)
        if (s.StandIn[size_t(k)] && !dropped_[size_t(k)].empty() && dropped_[size_t(k)] == name) seat = k;
    if (seat >= 0) {
        TakeBack(slot, seat, name);
        return true;
    }
    if (slot <= 3) return false;
    // The other seats are held: a server's own seat goes to the newcomer,
    // unless it is kept for the person who dropped from it.
    if (hostSeatComputer && s.StandIn[0] && dropped_[0].empty() && PersonName(0).empty()) {
        TakeBack(slot, 0, Numbered(host_.players(), name), /*returning=*/false);
        return true;
    }
    Refuse(slot, Refusal2::Full);
    return true;
}

void Dispatcher::TakeBack(int slot, int seat, const std::string& name, bool returning) {
    host_.engine().RunAction([this, slot, seat, name, returning] {
        Session& s = host_.session();
        if (!s.IsHost()) return;
        if (!s.StandIn[size_t(seat)] || (slot != seat && !host_.MoveLink(slot, seat))) {
            // Somebody else took the seat first.
            if (slot > 3) Refuse(slot, Refusal2::Full);
            return;
        }
        Link link = links_[slot];
        links_.erase(slot);
        link.claim = -1;
        links_[seat] = link;
        chatRates_.erase(seat);
        s.StandIn[size_t(seat)] = false;
        dropped_[size_t(seat)].clear();
        s.Wire[size_t(seat)] = kWireVersion;
        s.OldWire[size_t(seat)] = false;
        s.PlayerNames[size_t(seat)] = name;
        if (tokens_[size_t(seat)].empty() && newSecret) tokens_[size_t(seat)] = newSecret();
        host_.Tell(returning ? NetNews::Returned : NetNews::Arrived, name);
        queue_.SendToSlot(SeatMessage(seat), seat);
        queue_.SendToSlot(TokenMessage(tokens_[size_t(seat)]), seat);
        queue_.SendToAll(JoinedMessage(name));
        // A server's own seat was listed under its computer player's name until now.
        if (seat == 0) RemovePerson(-1);
        AddPerson(seat, name);
        SendNameList();
        SendPrepare();
        SendSnapshot(seat);
        host_.engine().AdjustDirection();
        host_.StandInsChanged();
        host_.engine().SetSeatKind(seat, SeatKind::Remote);
    });
}

void Dispatcher::SendSnapshot(int seat) {
    // What the seat may see, as the table stands after every message sent so far.
    const Session& s = host_.session();
    const GameState& t = host_.engine().table();
    SnapshotBody snapshot;
    snapshot.scores = host_.engine().scores();
    snapshot.seen = Observe(t, seat, snapshot.scores.lost);
    snapshot.seen.hand = t.lstDirection[size_t(seat)];
    snapshot.seen.handSizes[size_t(seat)] = snapshot.seen.hand.Count();
    // The host's own raised cards are still in its hand.
    snapshot.seen.handSizes[size_t(s.LocalSeat)] = t.HandSize(s.LocalSeat) + t.lstSelected.Count();
    snapshot.currentSeat = t.CurrentSeat;
    queue_.SendToSlot(SnapshotMessage(snapshot), seat);
}

void Dispatcher::SendPrepare() {
    queue_.SendToAll(PrepareMessage(host_.session().PlayerNames));
    SendSeats();
}

void Dispatcher::SendSeats() {
    const Session& s = host_.session();
    std::array<Holder, 4> holders{};
    for (int seat = 0; seat < 4; ++seat) {
        const size_t k = size_t(seat);
        if (seat == s.LocalSeat && !hostSeatComputer)
            holders[k] = Holder::Person;
        else if (s.StandIn[k])
            holders[k] = Holder::Computer;
        else if (!PersonName(seat).empty())
            holders[k] = s.Wire[k] >= 2 ? Holder::Person : Holder::OldPerson;
        else
            holders[k] = Holder::Nobody;
    }
    const std::string message = SeatsMessage(holders);
    queue_.SendToEach([&](int slot) { return s.Wire[size_t(slot)] >= 2 ? message : std::string(); });
}

void Dispatcher::OnToken(std::string_view body) {
    if (auto token = ParseToken(body)) host_.session().SeatToken = *token;
}

void Dispatcher::OnRefused(std::string_view body) {
    auto why = ParseRefused(body);
    if (!why) return;
    host_.engine().RunAction([this, why = *why] {
        if (!host_.session().IsNet()) return;
        host_.Tell(why == Refusal2::Password ? NetNews::WrongPassword
                   : why == Refusal2::Token  ? NetNews::BadToken
                                             : NetNews::TableFull);
        host_.CloseAllConnections();
        host_.ResetToLocalGame();
        host_.ShowLogonLater();
    });
}

void Dispatcher::OnDraw(std::string_view body) {
    auto draw = ParseDraw(body);
    if (!draw) return;
    host_.engine().RunAction([this, draw = *draw] {
        if (host_.session().IsNet()) host_.engine().ReceiveDraw(draw.seat, draw.card);
    });
}

void Dispatcher::OnHand(std::string_view body) {
    auto hand = ParseHand(body);
    if (!hand) return;
    host_.engine().RunAction([this, hand = *hand] {
        if (host_.session().IsNet() && hand.cards.Count() == host_.engine().table().HandSize(hand.seat))
            host_.engine().Unveil(hand.seat, hand.cards);
    });
}

void Dispatcher::OnSnapshot(std::string_view body) {
    auto snapshot = ParseSnapshot(body);
    if (!snapshot) return;
    host_.engine().RunAction([this, snapshot = *snapshot] {
        Session& s = host_.session();
        GameState table;
        if (!s.IsNet() || snapshot.seen.seat != s.LocalSeat) return;
        if (ShadowTable(snapshot.seen, snapshot.currentSeat, table))
            host_.engine().TakeUp(table, snapshot.scores);
    });
}

void Dispatcher::OnSeats(std::string_view body) {
    auto holders = ParseSeats(body);
    if (!holders) return;
    host_.engine().RunAction([this, holders = *holders] {
        Session& s = host_.session();
        if (!s.IsNet()) return;
        for (int seat = 0; seat < 4; ++seat) {
            const bool other = seat != s.LocalSeat;
            s.StandIn[size_t(seat)] = other && holders[size_t(seat)] == Holder::Computer;
            s.OldWire[size_t(seat)] = other && holders[size_t(seat)] == Holder::OldPerson;
        }
        host_.StandInsChanged();
    });
}

}  // namespace vorn
