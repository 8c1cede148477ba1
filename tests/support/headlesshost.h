#pragma once

// One computer of a network game as the network layer sees it, without a
// window: a real table, engine, send queue, outbox and dispatcher behind a
// NetHost whose services are recorded. Links are switched on and off by hand.
// The network tests and the fuzz targets build on it; Client is the screen
// they want (a recording one, or one that shows nothing).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/session.h"
#include "cards/tableclient.h"
#include "game/engine.h"
#include "game/pictures.h"
#include "net/dispatcher.h"
#include "net/nethost.h"
#include "net/netoutbox.h"
#include "net/news.h"
#include "net/sendqueue.h"
#include "net/socket/keys.h"

namespace vorn::testing {

template <class Client>
class HeadlessHost : public NetHost {
  public:
    // pictures: lay the cards out as a window would (slower; the fuzzers skip it).
    HeadlessHost(std::uint64_t seed, bool withPictures)
        : random(seed),
          engine_(table, session_, options, TableClient::Of(view), random,
                  withPictures ? &pictures : nullptr) {
        options.animation = false;
        options.sound = false;
        // A clock that stands still unless a test moves it.
        dispatcher.now = [] { return std::int64_t(0); };
        dispatcher.newSecret = NewSecret;
        dispatcher.proofOf = PasswordProof;
        session_.PlayerNames = {"H", "J1", "J2", "J3"};
    }
    HeadlessHost(const HeadlessHost&) = delete;
    HeadlessHost& operator=(const HeadlessHost&) = delete;

    // The host at seat 0 with three joiners linked, or a joiner at localSeat
    // linked to its host; the table placed as the window places it.
    void Seat(bool host, int localSeat) {
        session_.mode = host ? Mode::Host : Mode::Joiner;
        session_.LocalSeat = host ? 0 : localSeat;
        session_.SlotCount = host ? 3 : 0;
        slotUp.fill(false);
        for (int slot = 1; host && slot <= 3; ++slot) slotUp[slot] = true;
        hostLinkUp = !host;
        PlaceTable(engine_, session_, outbox);
    }

    Session& session() override { return session_; }
    Engine& engine() override { return engine_; }
    std::vector<Person>& players() override { return players_; }
    void PlayersChanged() override { ++listChanges; }
    void AppendChat(const std::string& line) override { chat.push_back(line); }
    void Tell(NetNews news, const std::string& name) override {
        (IsBoxNews(news) ? boxes : progress).push_back(NewsText(news, name));
    }
    void CloseAllConnections() override {
        ++closes;
        slotUp.fill(false);
        hostLinkUp = false;
    }
    void ResetToLocalGame() override {
        ++resets;
        session_.ReturnToLocal();
        PlaceTable(engine_, session_, outbox);
        queue.Discard();
        engine_.DropTableActions();
    }
    void ShowLogonLater() override { ++logons; }
    void DropLink(int slot) override {
        if (slot >= 0 && slot < int(slotUp.size())) slotUp[size_t(slot)] = false;
        ++drops;
    }
    bool MoveLink(int from, int to) override {
        if (to < 0 || to >= int(slotUp.size()) || slotUp[size_t(to)]) return false;
        slotUp[size_t(to)] = from >= 0 && from < int(slotUp.size()) && slotUp[size_t(from)];
        if (from >= 0 && from < int(slotUp.size())) slotUp[size_t(from)] = false;
        return true;
    }
    bool SlotConnected(int slot) override { return slot >= 0 && slot < int(slotUp.size()) && slotUp[slot]; }
    bool HostLinkConnected() override { return hostLinkUp; }

    GameState table;
    CardPictures pictures;
    Session session_;
    Options options;
    Client view;
    SeededRandom random;
    SendQueue queue{*this};
    NetOutbox outbox{queue, session_};
    Engine engine_;
    Dispatcher dispatcher{*this, queue};

    std::vector<Person> players_;
    std::array<bool, 8> slotUp{};
    bool hostLinkUp = false;

    std::vector<std::string> chat;
    std::vector<std::string> progress;
    std::vector<std::string> boxes;
    int closes = 0;
    int drops = 0;
    int resets = 0;
    int logons = 0;
    int listChanges = 0;
};

}  // namespace vorn::testing
