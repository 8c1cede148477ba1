#pragma once

#include <QString>
#include <QTest>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "cards/card.h"
#include "game/deal.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/session.h"
#include "cards/gamestate.h"
#include "game/engine.h"
#include "net/dispatcher.h"
#include "net/nethost.h"
#include "net/netoutbox.h"
#include "net/sendqueue.h"
#include "tests/cards/fakes.h"

namespace vorn::test {

// One computer of a network game as the network layer sees it: a real table,
// engine, queue, outbox and dispatcher, with the window's services recorded.
// Links are switched on and off by hand.
class NetRig : public NetHost {
  public:
    GameState table;
    CardPictures pictures;
    Session session_;
    Options options;
    RecordingView view;
    SeededRandom random{12345};
    SendQueue queue{*this};
    NetOutbox outbox{queue};
    Engine engine_{table, session_, options, view, outbox, random, &pictures};
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
    explicit NetRig(bool host, int localSeat = 2) {
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
        engine_.NewGame();
    }

    Session& session() override { return session_; }
    Engine& engine() override { return engine_; }
    std::vector<Person>& players() override { return players_; }
    void PlayersChanged() override { ++listChanges; }
    void AppendChat(const std::string& line) override { chat.push_back(line); }
    void ShowProgress(const std::string& text) override { progress.push_back(text); }
    void InfoBox(const std::string& text) override { boxes.push_back(text); }
    void CloseAllConnections() override {
        ++closes;
        slotUp.fill(false);
        hostLinkUp = false;
    }
    void ResetToLocalGame() override {
        ++resets;
        session_.ReturnToLocal();
        queue.Discard();
        engine_.DropTableActions();
    }
    void ShowLogonLater() override { ++logons; }
    bool SlotConnected(int slot) override { return slot >= 0 && slot < int(slotUp.size()) && slotUp[slot]; }
    bool HostLinkConnected() override { return hostLinkUp; }

    // Moves a card from the stock to a seat's hand, or to the played heap
    // (seat 4), keeping every card in exactly one place.
    void Give(int seat, const std::string& code) {
        Card card;
        QVERIFY2(ParseCard(code, card), code.c_str());
        QVERIFY2(table.lstCardsBox.Remove(card), code.c_str());
        if (seat < 4) table.lstDirection[seat].Add(card);
        table.Location(card) = std::int8_t(seat);
        if (table.lstCardsBox.Empty()) table.StockEmpty = true;
    }

    // Seat 0 has led a pair of 7s; seat 1 is to follow.
    void FollowingPosition() {
        for (auto code : {"C_05", "D_05"}) Give(4, code);
        for (auto code : {"C_03", "H_06", "S_06", "D_13", "S_09"}) Give(1, code);
        for (auto code : {"C_04", "H_07", "S_07"}) Give(0, code);
        for (auto code : {"D_08", "H_08", "C_10"}) Give(2, code);
        for (auto code : {"C_11", "D_11", "H_12"}) Give(3, code);
        table.TablePlay = SetOf("C_05D_05");
        table.PlayType = PlayType::Bank;
        table.TheLastThrower = 0;
        table.CurrentSeat = 1;
        table.MustLead = false;
        table.PassCount = 0;
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
