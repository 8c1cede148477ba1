#include <QObject>
#include <QTest>

#include <functional>
#include <string>

#include "net/netoutbox.h"
#include "net/sendqueue.h"
#include "tests/net/netrig.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

namespace vorn::test {

namespace {
using vorn::testing::Columns;
using vorn::testing::Row;

// A call on the engine's outbox.
using OutboxCall = std::function<void(NetOutbox&)>;

// Runs send ticks until nothing can leave; what left, in order.
Sent Drain(NetRig& rig) {
    Sent sent;
    std::string target, text;
    while (rig.queue.TakeNext(target, text)) sent.emplace_back(target, text);
    return sent;
}
}  // namespace
}  // namespace vorn::test

Q_DECLARE_METATYPE(vorn::test::OutboxCall)

namespace vorn::test {

// The outgoing queue: which link each message is for, and the order in
// which the send timer lets them go.
class SendQueueTest : public QObject {
    Q_OBJECT

  private slots:
    void targetSlot_data() {
        Columns<QString, int>("target", "slot");
        Row("host link", "sckConnect", -1);
        Row("slot 1", "sckConnection(1)", 1);
        Row("slot 2", "sckConnection(2)", 2);
        Row("slot 12", "sckConnection(12)", 12);
        Row("no close", "sckConnection(3", -1);
        Row("not a number", "sckConnection(x)", -1);
        Row("other", "tmrSendData", -1);
    }
    void targetSlot() {
        QFETCH(QString, target);
        QFETCH(int, slot);
        QCOMPARE(SendQueue::TargetSlot(target.toStdString()), slot);
        if (slot > 0) QCOMPARE(QString::fromStdString(SendQueue::SlotTarget(slot)), target);
    }

    // The order in which queued messages leave. Each queued entry is
    // "slot text" (-1 the link to the host); the links in down are closed
    // at first, so what leaves is first what can, then, with every link up,
    // the rest. A message for a closed link waits without holding back the
    // others.
    void sendOrder_data() {
        Columns<bool, QStringList, QList<int>, QStringList, QStringList>("host", "queued", "down", "first",
                                                                         "then");
        using L = QStringList;
        Row("one link keeps queue order", true, L{"1 a", "2 x", "1 b", "2 y", "1 c"}, QList<int>{1},
            L{"2 x", "2 y"}, L{"1 a", "1 b", "1 c"});
        Row("a turn overtakes the chat before it", true,
            L{"1 [Message]a", "1 [Message]b", "1 [Turn]1|False", "1 [Message]c"}, QList<int>{},
            L{"1 [Turn]1|False", "1 [Message]a", "1 [Message]b", "1 [Message]c"}, L{});
        Row("a deal keeps its order through chat", true,
            L{"2 [Message]a", "2 [Snatch Card]1|0", "2 [Message]b", "2 [Snatch Card]2|5", "2 [Turn]0|True"},
            QList<int>{},
            L{"2 [Snatch Card]1|0", "2 [Snatch Card]2|5", "2 [Turn]0|True", "2 [Message]a", "2 [Message]b"},
            L{});
        L gameFirst;
        for (const char* text :
             {"[Seat]1", "[Joined]J1", "[New Name List]", "[People]0000000001J1", "[Prepare]H|J1|J2|J3",
              "[Throw]0|C_05|0", "[Turn]1|False", "[Snatch Card]1|3", "[Game Over]1",
              "[Disconnected]0000000002", "[Exit]0000000002"})
            gameFirst << QString("1 ") + text;
        Row("every tag but chat goes first", true, L{"1 [Message]J1: hi"} + gameFirst, QList<int>{},
            gameFirst + L{"1 [Message]J1: hi"}, L{});
        Row("game messages of every link before any chat", true,
            L{"1 [Message]a", "2 [Message]b", "3 [Turn]0|True", "1 [Turn]0|True"}, QList<int>{},
            L{"3 [Turn]0|True", "1 [Turn]0|True", "1 [Message]a", "2 [Message]b"}, L{});
        Row("a closed link's turn holds back no other chat", true,
            L{"2 [Turn]2|False", "2 [Message]a", "1 [Message]b"}, QList<int>{2}, L{"1 [Message]b"},
            L{"2 [Turn]2|False", "2 [Message]a"});
        Row("a tag that only starts alike is no chat", true,
            L{"1 [Message]a", "1 [Messages]b", "1 Message]c"}, QList<int>{},
            L{"1 [Messages]b", "1 Message]c", "1 [Message]a"}, L{});
        Row("a joiner's move overtakes its chat", false,
            L{"-1 [Message]J2: a", "-1 [Message]J2: b", "-1 [Throw]2|S_09|2"}, QList<int>{},
            L{"-1 [Throw]2|S_09|2", "-1 [Message]J2: a", "-1 [Message]J2: b"}, L{});
        // A joiner queues "[Joined]" before its link is up; once it is, that
        // message leaves before anything queued later.
        Row("a joiner's first words wait for its link", false, L{"-1 [Joined]J2", "-1 [Message]J2: hi"},
            QList<int>{-1}, L{}, L{"-1 [Joined]J2", "-1 [Message]J2: hi"});
    }
    void sendOrder() {
        QFETCH(bool, host);
        QFETCH(QStringList, queued);
        QFETCH(QList<int>, down);
        QFETCH(QStringList, first);
        QFETCH(QStringList, then);
        NetRig rig(host);
        for (int slot : down) (slot < 0 ? rig.hostLinkUp : rig.slotUp[slot]) = false;
        for (const QString& entry : queued) {
            const int slot = entry.section(' ', 0, 0).toInt();
            const std::string text = entry.section(' ', 1).toStdString();
            if (slot < 0)
                rig.queue.SendToHost(text);
            else
                rig.queue.SendToSlot(text, slot);
        }
        QCOMPARE(Lines(Drain(rig)), first);
        rig.slotUp.fill(true);
        rig.hostLinkUp = true;
        QCOMPARE(Lines(Drain(rig)), then);
        QVERIFY(rig.queue.Empty());
    }

    // A link may hold kMaxWaitingBytes, its socket's unsent bytes included;
    // the message that would pass that drops the link's queue and names it.
    void byteCap_data() {
        Columns<int, int>("unsent", "fits");  // fits: 4 KiB messages queued before the cap is hit
        const int each = 4096 + 2;
        const int cap = int(SendQueue::kMaxWaitingBytes);
        Row("nothing unsent", 0, cap / each);
        Row("unsent bytes count", cap - 3 * each + 1, 2);
        Row("filled exactly to the cap", cap - 3 * each, 3);
        Row("a socket already past it", cap + 1, 0);
    }
    void byteCap() {
        QFETCH(int, unsent);
        QFETCH(int, fits);
        NetRig rig(true);
        rig.slotUp[2] = false;
        const std::string big = "[Message]" + std::string(4096 - 9, 'x');
        QStringList lost;
        rig.queue.unsentBytes = [unsent](const std::string& target) {
            return target == SendQueue::SlotTarget(2) ? size_t(unsent) : size_t(0);
        };
        rig.queue.onOverflow = [&lost](const std::string& target) { lost << QString::fromStdString(target); };
        rig.queue.SendToSlot("[Turn]1|False", 1);
        int queued = 0;
        while (lost.isEmpty() && queued <= fits) {
            rig.queue.SendToSlot(big, 2);
            if (lost.isEmpty()) ++queued;
        }
        QCOMPARE(queued, fits);
        QCOMPARE(lost, QStringList{"sckConnection(2)"});
        // Only the other link's message is left.
        QCOMPARE(rig.Queued(), (Sent{{"sckConnection(1)", "[Turn]1|False"}}));
        QCOMPARE(rig.queue.WaitingBytes(SendQueue::SlotTarget(2)), size_t(0));
        // A newcomer in the slot starts from nothing.
        rig.queue.unsentBytes = nullptr;
        rig.queue.SendToSlot("[Seat]2", 2);
        QCOMPARE(rig.queue.Count(), 2);
        QCOMPARE(lost.size(), qsizetype(1));
    }

    void sendToAllAsksNow_data() {
        Columns<int, QList<int>, int, QList<int>>("slotCount", "up", "except", "reached");
        using L = QList<int>;
        Row("all up", 3, L{1, 2, 3}, -1, L{1, 2, 3});
        Row("2 down", 3, L{1, 3}, -1, L{1, 3});
        Row("only two slots taken", 2, L{1, 2, 3}, -1, L{1, 2});
        Row("slot 4 is never a player", 4, L{1, 2, 3, 4}, -1, L{1, 2, 3});
        Row("none taken", 0, L{1}, -1, L{});
        Row("others of 2", 3, L{1, 2, 3}, 2, L{1, 3});
        Row("others of 1, 3 down", 3, L{1, 2}, 1, L{2});
    }
    void sendToAllAsksNow() {
        QFETCH(int, slotCount);
        QFETCH(QList<int>, up);
        QFETCH(int, except);
        QFETCH(QList<int>, reached);
        NetRig rig(true);
        rig.session_.SlotCount = slotCount;
        rig.slotUp.fill(false);
        for (int slot : up) rig.slotUp[slot] = true;
        if (except < 0)
            rig.queue.SendToAll("[Turn]1|False");
        else
            rig.queue.SendToOthers("[Turn]1|False", except);
        Sent expected;
        for (int slot : reached) expected.emplace_back(SendQueue::SlotTarget(slot), "[Turn]1|False");
        QCOMPARE(rig.Queued(), expected);
        // A slot that comes up later does not get the message afterwards.
        rig.slotUp.fill(true);
        QCOMPARE(rig.queue.Count(), int(reached.size()));
    }

    void discardEmptiesBoth() {
        NetRig rig(true);
        int queued = 0;
        rig.queue.onQueued = [&queued] { ++queued; };
        rig.queue.SendToAll("[Game Over]1");
        rig.queue.SendToHost("[Message]x");
        QCOMPARE(queued, 4);
        rig.queue.Discard();
        QVERIFY(rig.queue.Empty());
        QVERIFY(rig.queue.Waiting().empty());
        rig.hostLinkUp = true;
        QCOMPARE(Drain(rig), Sent{});
    }

    // What the engine's outbox calls put on the queue.
    void outbox_data() {
        Columns<bool, OutboxCall, QStringList>("fair", "call", "expected");  // fair: slot 2 speaks version 2
        using L = QStringList;
        const OutboxCall snatch = [](NetOutbox& box) { box.SnatchCard(2, 30, SetOf("S_09").First()); };
        const OutboxCall otherSnatch = [](NetOutbox& box) { box.SnatchCard(3, 4, Card::None()); };
        const OutboxCall gameOver = [](NetOutbox& box) {
            box.GameOver(1, {SetOf("C_05"), CardSet{}, SetOf("H_12"), SetOf("D_01H_13")});
        };
        Row("snatch", false, snatch, L{"1 [Snatch Card]2|30", "2 [Snatch Card]2|30", "3 [Snatch Card]2|30"});
        Row("turn", false, OutboxCall([](NetOutbox& box) { box.Turn(3, true); }),
            L{"1 [Turn]3|True", "2 [Turn]3|True", "3 [Turn]3|True"});
        Row("host's own throw", false, OutboxCall([](NetOutbox& box) { box.Throw(0, "C_05", 0, -1); }),
            L{"1 [Throw]0|C_05|0", "2 [Throw]0|C_05|0", "3 [Throw]0|C_05|0"});
        Row("relayed throw", false, OutboxCall([](NetOutbox& box) { box.Throw(0, "C_05", 2, 2); }),
            L{"1 [Throw]0|C_05|2", "3 [Throw]0|C_05|2"});
        Row("to host", false, OutboxCall([](NetOutbox& box) { box.ThrowToHost(2, "S_09", 2); }),
            L{"-1 [Throw]2|S_09|2"});
        Row("game over", false, gameOver, L{"1 [Game Over]1", "2 [Game Over]1", "3 [Game Over]1"});
        // A fair link hears its own draw's card and nobody else's, and at the
        // end the hands it has not seen.
        Row("snatch, fair link draws", true, snatch,
            L{"1 [Snatch Card]2|30", "2 [Draw]2|S_09", "3 [Snatch Card]2|30"});
        Row("snatch, fair link watches", true, otherSnatch,
            L{"1 [Snatch Card]3|4", "2 [Draw]3|", "3 [Snatch Card]3|4"});
        Row("game over, fair link", true, gameOver,
            L{"2 [Hand]0|C_05", "2 [Hand]3|D_01H_13", "1 [Game Over]1", "2 [Game Over]1", "3 [Game Over]1"});
    }
    void outbox() {
        QFETCH(bool, fair);
        QFETCH(OutboxCall, call);
        QFETCH(QStringList, expected);
        NetRig rig(true);
        if (fair) rig.session().Wire[2] = 2;
        NetOutbox box(rig.queue, rig.session());
        call(box);
        QCOMPARE(Lines(rig.Queued()), expected);
    }
};

VORN_TEST(SendQueueTest)

}  // namespace vorn::test

#include "sendqueue_test.moc"
