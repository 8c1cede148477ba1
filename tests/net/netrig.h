#pragma once

#include <QString>
#include <QStringList>
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
#include "tests/support/headlesshost.h"
#include "tests/support/rig.h"
#include "tests/support/view.h"

namespace vorn::test {

// One computer of a network game on the headless host, with the screen
// recorded: the host at seat 0 with three joiners, or a joiner.
class NetRig : public testing::HeadlessHost<testing::RecordingView> {
  public:
    explicit NetRig(bool host, int localSeat = 2) : HeadlessHost(12345, /*withPictures=*/true) {
        Seat(host, localSeat);
        // The host's links have joined, on the first version unless a test says other.
        for (int slot = 1; host && slot <= 3; ++slot) session_.Wire[size_t(slot)] = 1;
        engine_.NewGame();
    }

    // The host's player list: itself and a joiner Jn in each slot n.
    void ListJoiners() { players_ = {{"H", -1}, {"J1", 1}, {"J2", 2}, {"J3", 3}}; }

    // The queue as (target, text) pairs, oldest first.
    std::vector<std::pair<std::string, std::string>> Queued() const { return queue.Waiting(); }
};

// Seat 0 has led a pair of 7s; seat 1 is to follow. Seen by the host, or by
// the joiner at seat 2.
struct Following : NetRig {
    explicit Following(bool host) : NetRig(host, 2) {
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
};

using Sent = std::vector<std::pair<std::string, std::string>>;

// Messages as "slot text" lines, slot -1 the link to the host.
inline QStringList Lines(const Sent& sent) {
    QStringList lines;
    for (const auto& [target, text] : sent)
        lines << QString::number(SendQueue::TargetSlot(target)) + " " + QString::fromStdString(text);
    return lines;
}

}  // namespace vorn::test
