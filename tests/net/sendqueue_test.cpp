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

    void closedSlotAtTheHeadWaits() {
        NetRig rig(true);
        rig.slotUp[2] = false;
        rig.queue.SendToSlot("[Seat]2", 2);
        rig.queue.SendToSlot("[Seat]1", 1);
        std::string target, text;
        QVERIFY(rig.queue.TakeNext(target, text));
        QCOMPARE(QString::fromStdString(target), "sckConnection(1)");
        QCOMPARE(QString::fromStdString(text), "[Seat]1");
        QCOMPARE(rig.Queued(), (Sent{{"sckConnection(2)", "[Seat]2"}}));
        QVERIFY(!rig.queue.TakeNext(target, text));
        rig.slotUp[2] = true;
        QCOMPARE(Drain(rig), (Sent{{"sckConnection(2)", "[Seat]2"}}));
        QVERIFY(rig.queue.Empty());
    }

    // A joiner queues "[Joined]" before its link is up; once it is, that
    // message leaves before anything queued later.
    void joinedLeavesFirstOnceTheLinkIsUp() {
        NetRig rig(false);
        rig.hostLinkUp = false;
        rig.queue.SendToHost("[Joined]J2");
        std::string target, text;
        QVERIFY(!rig.queue.TakeNext(target, text));
        rig.queue.SendToHost("[Message]J2: hi");
        rig.hostLinkUp = true;
        QCOMPARE(Drain(rig), (Sent{{"sckConnect", "[Joined]J2"}, {"sckConnect", "[Message]J2: hi"}}));
    }

    void oneLinkKeepsQueueOrder() {
        NetRig rig(true);
        rig.slotUp[1] = false;
        rig.queue.SendToSlot("a", 1);
        rig.queue.SendToSlot("x", 2);
        rig.queue.SendToSlot("b", 1);
        rig.queue.SendToSlot("y", 2);
        rig.queue.SendToSlot("c", 1);
        QCOMPARE(Drain(rig), (Sent{{"sckConnection(2)", "x"}, {"sckConnection(2)", "y"}}));
        rig.slotUp[1] = true;
        QCOMPARE(Drain(rig),
                 (Sent{{"sckConnection(1)", "a"}, {"sckConnection(1)", "b"}, {"sckConnection(1)", "c"}}));
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
        QVERIFY(rig.queue.Texts().empty());
        QVERIFY(rig.queue.Targets().empty());
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
    }
    void outbox() {
        QFETCH(QString, call);
        QFETCH(QStringList, expected);
        NetRig rig(true);
        NetOutbox box(rig.queue);
        if (call == "snatch") box.SnatchCard(2, 30);
        if (call == "turn") box.Turn(3, true);
        if (call == "throw all") box.Throw(0, "C_05", 0, -1);
        if (call == "throw relay") box.Throw(0, "C_05", 2, 2);
        if (call == "to host") box.ThrowToHost(2, "S_09", 2);
        if (call == "game over") box.GameOver(1);
        QStringList got;
        for (const auto& [target, text] : rig.Queued())
            got << QString::number(SendQueue::TargetSlot(target)) + " " + QString::fromStdString(text);
        QCOMPARE(got, expected);
    }
};

VORN_TEST(SendQueueTest)

}  // namespace vorn::test

#include "sendqueue_test.moc"
