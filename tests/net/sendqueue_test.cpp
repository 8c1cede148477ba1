#include <QObject>
#include <QTest>

#include <string>

#include "net/netoutbox.h"
#include "net/sendqueue.h"
#include "tests/net/netrig.h"
#include "tests/testing.h"

namespace vorn::test {

namespace {
// Runs send ticks until nothing can leave; what left, in order.
Sent Drain(NetRig& rig) {
    Sent sent;
    std::string target, text;
    while (rig.queue.TakeNext(target, text)) sent.emplace_back(target, text);
    return sent;
}
}  // namespace

// The outgoing queue: which link each message is for, and the order in
// which the send timer lets them go.
class SendQueueTest : public QObject {
    Q_OBJECT

  private slots:
    void targetSlot_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("slot");
        QTest::newRow("host link") << "sckConnect" << -1;
        QTest::newRow("slot 1") << "sckConnection(1)" << 1;
        QTest::newRow("slot 2") << "sckConnection(2)" << 2;
        QTest::newRow("slot 12") << "sckConnection(12)" << 12;
        QTest::newRow("no close") << "sckConnection(3" << -1;
        QTest::newRow("not a number") << "sckConnection(x)" << -1;
        QTest::newRow("other") << "tmrSendData" << -1;
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
        QTest::addColumn<bool>("host");
        QTest::addColumn<QStringList>("queued");
        QTest::addColumn<QList<int>>("down");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("then");

        QTest::newRow("one link keeps queue order")
            << true << QStringList{"1 a", "2 x", "1 b", "2 y", "1 c"} << QList<int>{1}
            << QStringList{"2 x", "2 y"} << QStringList{"1 a", "1 b", "1 c"};
        QTest::newRow("a turn overtakes the chat before it")
            << true << QStringList{"1 [Message]a", "1 [Message]b", "1 [Turn]1|False", "1 [Message]c"}
            << QList<int>{} << QStringList{"1 [Turn]1|False", "1 [Message]a", "1 [Message]b", "1 [Message]c"}
            << QStringList{};
        QTest::newRow("a deal keeps its order through chat")
            << true
            << QStringList{"2 [Message]a", "2 [Snatch Card]1|0", "2 [Message]b", "2 [Snatch Card]2|5",
                           "2 [Turn]0|True"}
            << QList<int>{}
            << QStringList{"2 [Snatch Card]1|0", "2 [Snatch Card]2|5", "2 [Turn]0|True", "2 [Message]a",
                           "2 [Message]b"}
            << QStringList{};
        QStringList everyTag{"1 [Message]J1: hi"};
        QStringList gameFirst;
        for (const char* text :
             {"[Seat]1", "[Joined]J1", "[New Name List]", "[People]0000000001J1", "[Prepare]H|J1|J2|J3",
              "[Throw]0|C_05|0", "[Turn]1|False", "[Snatch Card]1|3", "[Game Over]1",
              "[Disconnected]0000000002", "[Exit]0000000002"})
            gameFirst << QString("1 ") + text;
        everyTag += gameFirst;
        QTest::newRow("every tag but chat goes first")
            << true << everyTag << QList<int>{} << gameFirst + QStringList{"1 [Message]J1: hi"}
            << QStringList{};
        QTest::newRow("game messages of every link before any chat")
            << true << QStringList{"1 [Message]a", "2 [Message]b", "3 [Turn]0|True", "1 [Turn]0|True"}
            << QList<int>{} << QStringList{"3 [Turn]0|True", "1 [Turn]0|True", "1 [Message]a", "2 [Message]b"}
            << QStringList{};
        QTest::newRow("a closed link's turn holds back no other chat")
            << true << QStringList{"2 [Turn]2|False", "2 [Message]a", "1 [Message]b"} << QList<int>{2}
            << QStringList{"1 [Message]b"} << QStringList{"2 [Turn]2|False", "2 [Message]a"};
        QTest::newRow("a tag that only starts alike is no chat")
            << true << QStringList{"1 [Message]a", "1 [Messages]b", "1 Message]c"} << QList<int>{}
            << QStringList{"1 [Messages]b", "1 Message]c", "1 [Message]a"} << QStringList{};
        QTest::newRow("a joiner's move overtakes its chat")
            << false << QStringList{"-1 [Message]J2: a", "-1 [Message]J2: b", "-1 [Throw]2|S_09|2"}
            << QList<int>{} << QStringList{"-1 [Throw]2|S_09|2", "-1 [Message]J2: a", "-1 [Message]J2: b"}
            << QStringList{};
        // A joiner queues "[Joined]" before its link is up; once it is, that
        // message leaves before anything queued later.
        QTest::newRow("a joiner's first words wait for its link")
            << false << QStringList{"-1 [Joined]J2", "-1 [Message]J2: hi"} << QList<int>{-1} << QStringList{}
            << QStringList{"-1 [Joined]J2", "-1 [Message]J2: hi"};
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
        QTest::addColumn<int>("unsent");
        QTest::addColumn<int>("fits");  // 4 KiB messages queued before the cap is hit
        const int each = 4096 + 2;
        const int cap = int(SendQueue::kMaxWaitingBytes);
        QTest::newRow("nothing unsent") << 0 << cap / each;
        QTest::newRow("unsent bytes count") << cap - 3 * each + 1 << 2;
        QTest::newRow("filled exactly to the cap") << cap - 3 * each << 3;
        QTest::newRow("a socket already past it") << cap + 1 << 0;
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
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<QList<int>>("up");
        QTest::addColumn<int>("except");
        QTest::addColumn<QList<int>>("reached");
        QTest::newRow("all up") << 3 << QList<int>{1, 2, 3} << -1 << QList<int>{1, 2, 3};
        QTest::newRow("2 down") << 3 << QList<int>{1, 3} << -1 << QList<int>{1, 3};
        QTest::newRow("only two slots taken") << 2 << QList<int>{1, 2, 3} << -1 << QList<int>{1, 2};
        QTest::newRow("slot 4 is never a player") << 4 << QList<int>{1, 2, 3, 4} << -1 << QList<int>{1, 2, 3};
        QTest::newRow("none taken") << 0 << QList<int>{1} << -1 << QList<int>{};
        QTest::newRow("others of 2") << 3 << QList<int>{1, 2, 3} << 2 << QList<int>{1, 3};
        QTest::newRow("others of 1, 3 down") << 3 << QList<int>{1, 2} << 1 << QList<int>{2};
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
        QTest::addColumn<QString>("call");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("snatch") << "snatch"
                                << QStringList{"1 [Snatch Card]2|30", "2 [Snatch Card]2|30",
                                               "3 [Snatch Card]2|30"};
        QTest::newRow("turn") << "turn" << QStringList{"1 [Turn]3|True", "2 [Turn]3|True", "3 [Turn]3|True"};
        QTest::newRow("host's own throw")
            << "throw all" << QStringList{"1 [Throw]0|C_05|0", "2 [Throw]0|C_05|0", "3 [Throw]0|C_05|0"};
        QTest::newRow("relayed throw")
            << "throw relay" << QStringList{"1 [Throw]0|C_05|2", "3 [Throw]0|C_05|2"};
        QTest::newRow("to host") << "to host" << QStringList{"-1 [Throw]2|S_09|2"};
        QTest::newRow("game over") << "game over"
                                   << QStringList{"1 [Game Over]1", "2 [Game Over]1", "3 [Game Over]1"};
        // Slot 2 speaks the second version: it hears its own draw's card and
        // nobody else's, and at the end the hands it has not seen.
        QTest::newRow("snatch, fair link draws")
            << "snatch fair" << QStringList{"1 [Snatch Card]2|30", "2 [Draw]2|S_09", "3 [Snatch Card]2|30"};
        QTest::newRow("snatch, fair link watches")
            << "snatch fair other" << QStringList{"1 [Snatch Card]3|4", "2 [Draw]3|", "3 [Snatch Card]3|4"};
        QTest::newRow("game over, fair link")
            << "game over fair"
            << QStringList{"2 [Hand]0|C_05", "2 [Hand]3|D_01H_13", "1 [Game Over]1", "2 [Game Over]1",
                           "3 [Game Over]1"};
    }
    void outbox() {
        QFETCH(QString, call);
        QFETCH(QStringList, expected);
        NetRig rig(true);
        NetOutbox box(rig.queue, rig.session());
        if (call.contains("fair")) rig.session().Wire[2] = 2;
        if (call.startsWith("snatch"))
            box.SnatchCard(call.endsWith("other") ? 3 : 2, call.endsWith("other") ? 4 : 30,
                           call.endsWith("other") ? Card::None() : SetOf("S_09").First());
        if (call == "turn") box.Turn(3, true);
        if (call == "throw all") box.Throw(0, "C_05", 0, -1);
        if (call == "throw relay") box.Throw(0, "C_05", 2, 2);
        if (call == "to host") box.ThrowToHost(2, "S_09", 2);
        if (call.startsWith("game over"))
            box.GameOver(1, {SetOf("C_05"), CardSet{}, SetOf("H_12"), SetOf("D_01H_13")});
        QCOMPARE(Lines(rig.Queued()), expected);
    }
};

VORN_TEST(SendQueueTest)

}  // namespace vorn::test

#include "sendqueue_test.moc"
