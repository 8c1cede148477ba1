// Bytes from the network into one table of the dedicated server: the host's
// dispatcher and engine as the server keeps them (seat 0 the computer player,
// empty seats filled by it, the deal and the next game by themselves), its
// links opened by their first bytes. After every message, once the table has
// done what its timers would (the deal when three have joined, the next game,
// the computer seats' moves), it must hold each card once, with nothing
// chosen, the work lists empty, and no computer seat left stuck.
//
// Input: byte 0 sets the table up (bits 0-1 the computer player's level, 0..2;
// bits 5-7 the seed); byte 1 & 15 is the number n of arrival bytes that follow.
// Arrival byte d: with d & 3 below 3, the next piece arrives on link 1 + (d & 3),
// d >> 2 bytes long, or up to and including the next "\r\n" when d >> 2 is 0;
// with d & 3 equal to 3 nothing arrives and d >> 2 picks an event: 0 the
// waiting time for computer players runs out, 1..3 that link closes. The
// arrival bytes are used in turn, cycling; with n = 0 everything arrives at
// once on link 1. All bytes after the arrival bytes are the links' data.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/framer.h"
#include "net/protocol.h"
#include "net/socket/codec.h"
#include "tests/support/headlesshost.h"
#include "tools/fuzz/fuzzhost.h"

namespace {

using namespace vorn;

// The server's table has no screen; its clock runs while a computer seat's
// move falls due, and the next game is dealt without asking anybody.
class ServerView : public NullClient {
  public:
    bool clockRunning = false;
    bool nextGameDue = false;
    void AskNextGame(const std::string&, std::function<void(bool)>) override { nextGameDue = true; }
    void StartCycleTimer(int) override { clockRunning = true; }
    void StopCycleTimer() override { clockRunning = false; }
};

[[noreturn]] void Fail(const std::string& what, const std::string& message) {
    std::fprintf(stderr, "invariant broken after \"%s\": %s\n", message.c_str(), what.c_str());
    std::abort();
}

// One table of the server with its links switched by the input.
class ServerRig : public testing::HeadlessHost<ServerView> {
  public:
    ServerRig(int level, std::uint64_t seed) : HeadlessHost(seed, /*withPictures=*/false) {
        options.SetLevel(level);
        engine_.seatLevels[0] = level;
        session_.mode = Mode::Host;
        session_.LocalSeat = 0;
        session_.OwnName = session_.PlayerNames[0];
        session_.FillSeats = true;
        PlaceTable(engine_, session_, outbox);
        engine_.SetSeatKind(0, SeatKind::Computer);
        engine_.NewGame();
        players_.push_back(Person{session_.OwnName, -1});
        dispatcher.NameSeats();
    }

    // A link's first bytes: it is accepted into its slot while the table has room.
    bool Open(int slot) {
        if (slotUp[size_t(slot)]) return true;
        if (session_.AllSeated || closed) return false;
        slotUp[size_t(slot)] = true;
        framers[size_t(slot)].Reset();
        session_.SlotCount = std::max(session_.SlotCount, slot);
        dispatcher.Accepted(slot);
        return true;
    }

    // The other end closed the link.
    void Closed(int slot) {
        if (!slotUp[size_t(slot)]) return;
        slotUp[size_t(slot)] = false;
        queue.DiscardFor(SendQueue::SlotTarget(slot));
        const std::string name = dispatcher.PersonName(slot);
        if (name.empty()) return;
        if (!session_.AllSeated) {
            dispatcher.RemovePerson(slot);
            queue.SendToAll(DisconnectedMessage(slot));
            dispatcher.NameSeats();
            return;
        }
        engine_.RunAction([this, slot] { dispatcher.StandIn(slot); });
        // The last person has left a table that dealt: the server closes it.
        if (People() == 0) closed = true;
    }

    // The deal, once somebody is here: computer players take the empty seats.
    void StartGame() {
        engine_.RunAction([this] {
            if (!engine_.DealOpen() || People() == 0) return;
            dispatcher.FillEmptySeats();
            engine_.Deal();
            ++games;
        });
    }

    int People() const {
        return int(
            std::count_if(players_.begin(), players_.end(), [](const Person& p) { return p.slot > 0; }));
    }

    // What the table's timers would do before the next bytes arrive.
    std::string Settle() {
        if (closed) return {};
        if (session_.AllSeated && People() == 3 && games == 0 && engine_.DealOpen()) StartGame();
        // Computer seats move until a person is to; a game may end meanwhile
        // and the next one be dealt (at most twice here: a person holds a seat).
        for (int round = 0; round < 3; ++round) {
            if (view.nextGameDue) {
                view.nextGameDue = false;
                StartGame();
            }
            for (int tick = 0; view.clockRunning && tick < 1000; ++tick) engine_.Tick();
            if (view.clockRunning) return "a computer seat never moves";
        }
        return fuzz::CheckTable(engine_, table, session_, queue);
    }

    // A table of the server never returns to a local game: it closes.
    void ResetToLocalGame() override {
        CloseAllConnections();
        closed = true;
    }

    std::array<Framer, 4> framers;
    int games = 0;
    bool closed = false;
};

void Deliver(ServerRig& rig, int slot, std::string_view bytes) {
    if (!rig.Open(slot)) return;
    Framer& framer = rig.framers[size_t(slot)];
    framer.Append(bytes);
    std::string raw;
    while (framer.Pop(raw) && rig.SlotConnected(slot)) {
        const std::string message = FromCp936(raw);
        rig.dispatcher.HandleMessage(message, slot);
        const std::string problem = rig.Settle();
        if (!problem.empty()) Fail(problem, message);
        rig.queue.Discard();
    }
}

void Event(ServerRig& rig, int which) {
    if (which == 0) {
        rig.StartGame();
    } else {
        rig.Closed(which);
    }
    const std::string problem = rig.Settle();
    if (!problem.empty()) Fail(problem, which == 0 ? "(computer players)" : "(a link closed)");
    rig.queue.Discard();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t arrivals = data[1] & 15;
    if (size < 2 + arrivals) return 0;
    const std::uint8_t* pattern = data + 2;
    const std::string_view stream(reinterpret_cast<const char*>(data + 2 + arrivals), size - 2 - arrivals);

    ServerRig rig((data[0] & 3) % 3, 1 + (data[0] >> 5));
    std::size_t at = 0;
    for (std::size_t piece = 0; at < stream.size() && !rig.closed; ++piece) {
        std::size_t length = stream.size() - at;
        int slot = 1;
        if (arrivals > 0) {
            const std::uint8_t d = pattern[piece % arrivals];
            if ((d & 3) == 3) {
                Event(rig, (d >> 2) & 3);
                // An input made of events alone still ends.
                if (piece > 4 * arrivals + stream.size()) break;
                continue;
            }
            slot = 1 + (d & 3);
            length = fuzz::PieceLength(stream, at, d);
        }
        Deliver(rig, slot, stream.substr(at, length));
        at += length;
    }
    return 0;
}
