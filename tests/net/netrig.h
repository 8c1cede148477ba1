#pragma once

#include <QString>
#include <QTest>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "cards/card.h"
#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/session.h"
#include "game/deal.h"
#include "game/engine.h"
#include "net/dispatcher.h"
#include "net/nethost.h"
#include "net/netoutbox.h"
#include "net/sendqueue.h"
#include "tests/cards/fakes.h"
#include "tests/support/rig.h"

namespace vorn::test {

// One computer of a network game as the network layer sees it: a real table,
// engine, queue, outbox and dispatcher, with the window's services recorded.
// Links are switched on and off by hand.
class NetRig : public testing::TableParts, public NetHost {
  public:
    Session session_;
    SendQueue queue{*this};
    NetOutbox outbox{queue};
    Engine engine_{table, session_, options, view, random, &pictures};
    Dispatcher dispatcher{*this, queue};

    std::vector<Person> players_;
    std::array<bool, 8> slotUp{};
    bool hostLinkUp = false;

    std::vector<std::string> chat;
    std::vector<std::string> progress;
    std::vector<std::string> boxes;
    int closes = 0;
    int resets = 0;
    int logons = 0;
    int listChanges = 0;

    NetRig(const NetRig&) = delete;
    NetRig& operator=(const NetRig&) = delete;

    // host: seat 0 with three joiners linked; else a joiner at localSeat.
    explicit NetRig(bool host, int localSeat = 2) : TableParts(12345) {
        options.animation = false;
        options.sound = false;
        // A clock that stands still unless a test moves it.
        dispatcher.now = [] { return std::int64_t(0); };
        session_.mode = host ? Mode::Host : Mode::Joiner;
        session_.LocalSeat = host ? 0 : localSeat;
        session_.PlayerNames = {"H", "J1", "J2", "J3"};
        if (host) {
            session_.SlotCount = 3;
            slotUp = {false, true, true, true};
        } else {
            hostLinkUp = true;
        }
        PlaceTable(engine_, session_, outbox);
        engine_.NewGame();
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
    bool SlotConnected(int slot) override { return slot >= 0 && slot < int(slotUp.size()) && slotUp[slot]; }
    bool HostLinkConnected() override { return hostLinkUp; }

    // Seat 0 has led a pair of 7s; seat 1 is to follow.
    void FollowingPosition() {
        for (auto code : {"C_05", "D_05"}) testing::Place(table, code, 4);
        for (auto code : {"C_03", "H_06", "S_06", "D_13", "S_09"}) testing::Place(table, code, 1);
        for (auto code : {"C_04", "H_07", "S_07"}) testing::Place(table, code, 0);
        for (auto code : {"D_08", "H_08", "C_10"}) testing::Place(table, code, 2);
        for (auto code : {"C_11", "D_11", "H_12"}) testing::Place(table, code, 3);
        table.TablePlay = SetOf("C_05D_05");
        table.PlayType = PlayType::Bank;
        table.TheLastThrower = 0;
        table.CurrentSeat = 1;
        table.MustLead = false;
        table.PassCount = 0;
        // The host's server takes the position up; its links knew it already.
        engine_.Adopt();
        queue.Discard();
    }

    // The queue as (target, text) pairs, oldest first.
    std::vector<std::pair<std::string, std::string>> Queued() const { return queue.Waiting(); }
};

// The shared game state of two tables plus the stock index of the last draw,
// compared; the first difference is described, an empty text means equal.
inline std::string TableDifference(const GameState& a, const GameState& b) {
    return StateDifference(a, b);
}

using Sent = std::vector<std::pair<std::string, std::string>>;

inline QString Describe(const Sent& sent) {
    QString text;
    for (const auto& [target, message] : sent) text += QString::fromStdString(target + " " + message) + "\n";
    return text;
}

}  // namespace vorn::test
