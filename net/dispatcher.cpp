#include "net/dispatcher.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "cards/referee.h"
#include "cards/rules.h"
#include "net/sendqueue.h"

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

    // What a joiner may send the host; everything else only the host sends.
    if (tag == tags::kJoined) return OnJoined(body, sourceSlot);
    if (tag == tags::kMessage) return OnMessage(body, sourceSlot);
    if (tag == tags::kThrow) return OnThrow(body, sourceSlot);

    if (sourceSlot >= 0 || host_.session().IsHost()) return;
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
    if (!number || *number < 1) return;
    const int seat = *number;
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
    std::string name(body);
    Session& s = host_.session();
    if (!s.IsHost()) {
        host_.Tell(NetNews::Arrived, name);
        return;
    }
    // A nameless player could not be told from a link that never joined, and
    // would leave "[Prepare]" with an empty field that every joiner refuses.
    if (sourceSlot < 0 || TrimBlanks(name).empty()) return;
    // A link joins once. A second "[Joined]" would rename a seated player
    // mid-game and make the host send the whole player list again each time.
    if (!PersonName(sourceSlot).empty()) return;
    // Two players of one name could not be told apart in "<name>出牌 7": the
    // later one is numbered, and everybody, itself included, hears it so.
    const std::string asked = name;
    for (int n = 2; NameTaken(host_.players(), name); ++n) name = asked + " " + std::to_string(n);
    const bool seat = sourceSlot <= 3;
    if (seat && s.StandIn[sourceSlot]) {
        // The computer plays this seat on to the end of the hand: a link of
        // today's wire could not pick up a hand under way.
        if (!host_.engine().DealOpen()) {
            queue_.SendToSlot(SeatMessage(4), sourceSlot);
            return;
        }
        s.StandIn[sourceSlot] = false;
        host_.engine().SetSeatKind(sourceSlot, SeatKind::Remote);
        host_.StandInsChanged();
    }
    host_.Tell(NetNews::Arrived, name);
    // A newcomer in a slot does not inherit what its last holder spent.
    chatRates_.erase(sourceSlot);
    if (seat) s.PlayerNames[sourceSlot] = name;
    queue_.SendToAll(JoinedMessage(name));
    AddPerson(sourceSlot, name);
    SendNameList();
    NameSeats();
    if (seat && s.SlotCount >= 3) {
        queue_.SendToAll(PrepareMessage(s.PlayerNames));
        s.AllSeated = true;
        s.Vacant = {};
        host_.engine().AdjustDirection();
        host_.Tell(NetNews::AllSeated);
    }
}

void Dispatcher::NameSeats() {
    Session& s = host_.session();
    if (!s.IsNet() || s.AllSeated) return;
    for (int seat = 0; seat < 4; ++seat) {
        std::string name = PersonName(seat == 0 ? -1 : seat);
        if (name.empty() && seat == s.LocalSeat) name = s.OwnName;
        if (!name.empty()) s.PlayerNames[size_t(seat)] = name;
        s.Vacant[size_t(seat)] = name.empty();
    }
    host_.engine().AdjustDirection();
}

void Dispatcher::StandIn(int slot) {
    Session& s = host_.session();
    host_.Tell(NetNews::StandIn, PersonName(slot));
    RemovePerson(slot);
    queue_.SendToAll(DisconnectedMessage(slot));
    s.StandIn[size_t(slot)] = true;
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
    queue_.SendToAll(PrepareMessage(s.PlayerNames));
    host_.engine().AdjustDirection();
    host_.StandInsChanged();
}

void Dispatcher::FindStandIns() {
    Session& s = host_.session();
    if (s.IsHost()) return;
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
    if (onHost && sourceSlot >= 0 && !chatRates_[sourceSlot].Allow(now())) return;
    const std::string line = CutChatLine(body);
    host_.AppendChat(line);
    if (onHost) queue_.SendToOthers(ChatMessage(line), sourceSlot);
}

void Dispatcher::OnThrow(std::string_view body, int sourceSlot) {
    auto parsed = ParseThrow(body);
    if (!parsed) return;
    const bool onHost = host_.session().IsHost();
    // A joiner's seat is its slot number: the host hears each seat only from
    // its own link. A joiner hears moves only from the host, never its own.
    if (onHost ? sourceSlot != parsed->seat : sourceSlot >= 0) return;
    if (!onHost && parsed->seat == host_.session().LocalSeat) return;
    host_.engine().RunAction([this, move = std::move(*parsed), onHost] {
        Engine& engine = host_.engine();
        if (!host_.session().IsNet()) return;
        if (onHost && !HostAcceptsThrow(engine.table(), move)) return;
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
    if (s.AllSeated && *slot >= 1 && *slot <= 3)
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

}  // namespace vorn
