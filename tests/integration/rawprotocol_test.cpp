// A real host window spoken to over bare TCP links: framing across and within
// arrivals, and hostile input that must change nothing and break no link.

#include <QObject>
#include <QTest>

#include "tests/integration/nettable.h"
#include "tests/testing.h"

namespace vorn::itest {
namespace {

QByteArray Cp(const QString& text) {
    return ToCp936(text);
}

// A card of seat's hand on the host's table.
QString CardOf(NetTable& host, int seat, int index = 0) {
    return Q(CardCode(host.table().lstDirection[size_t(seat)][index]));
}

class TestRawProtocol : public QObject {
    Q_OBJECT

    std::unique_ptr<NetTable> host_;
    int port_ = 0;
    std::vector<std::unique_ptr<RawLink>> links_;  // links_[i] is slot i + 1

    // A bare link that joins as name and is seated in the next slot.
    bool Join(const QString& name) {
        auto link = std::make_unique<RawLink>();
        const int slot = int(links_.size()) + 1;
        if (!link->Connect(port_) || !link->WaitFor(QString("[Seat]%1").arg(slot))) return false;
        link->SendLine("[Joined]" + name);
        const bool listed = WaitUntil(
            [&] { return NetParty::PersonListed(host_->net().players(), name.toStdString()); }, kWaitMs);
        links_.push_back(std::move(link));
        return listed;
    }

    RawLink& Slot(int slot) { return *links_[size_t(slot - 1)]; }

    // Sends a chat line on the slot's link and waits until the host logged it
    // and relayed it to another slot: the link still works, and everything sent
    // before it on that link has been handled.
    bool Probe(int slot, const QString& text) {
        const QString line = QString("R%1: %2").arg(slot).arg(text);
        Slot(slot).SendLine("[Message]" + line);
        RawLink& other = Slot(slot == 1 ? 2 : 1);
        return WaitUntil([&] { return host_->ChatLines().contains(line); }, kWaitMs) &&
               other.WaitFor("[Message]" + line);
    }

  private slots:
    void init() {
        links_.clear();
        host_ = std::make_unique<NetTable>(5);
        port_ = Listen(host_->w());
        QVERIFY(port_ != 0);
    }
    void cleanup() {
        links_.clear();
        host_.reset();
    }

    // piece: bytes per arrival, 0 for one arrival; chat: the lines the host logs.
    void arrivalsAreFramedOnTheBytes_data() {
        Columns<QByteArray, int, QString, QStringList>("bytes", "piece", "name", "chat");
        const QStringList none;
        Row("joined one byte at a time", QByteArray("[Joined]X\r\n"), 1, "X", none);
        Row("a Chinese name one byte at a time", Cp("[Joined]张三\r\n"), 1, "张三", none);
        Row("two messages in one arrival", Cp("[Joined]Y\r\n[Message]Y: 你好\r\n"), 0, "Y",
            QStringList{"Y: 你好"});
        Row("cut inside a character", Cp("[Joined]玄武\r\n[Message]玄武: 好\r\n"), 9, "玄武",
            QStringList{"玄武: 好"});
        Row("a bar and a control character in a name", QByteArray("[Joined]M|Alice\x01\r\n"), 0, "M/Alice",
            none);
        Row("a terminator cut in two", Cp("[Joined]Z\r\n[Message]Z: a\r\n"), 10, "Z", QStringList{"Z: a"});
    }
    void arrivalsAreFramedOnTheBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, piece);
        QFETCH(QString, name);
        QFETCH(QStringList, chat);
        RawLink link;
        QVERIFY(link.Connect(port_));
        QVERIFY(link.WaitFor("[Seat]1"));
        const qsizetype step = piece > 0 ? piece : bytes.size();
        for (qsizetype at = 0; at < bytes.size(); at += step) {
            link.Send(bytes.mid(at, step));
            if (piece > 0) Pause(3);
        }
        // A bare link speaks the first version, which the list marks.
        VORN_TRY_COMPARE(host_->PlayerList(), (QStringList{"H", name + "（旧版本，看得到各家的牌）"}));
        QCOMPARE(People(host_->net().players()), (QStringList{"H@-1", name + "@1"}));
        QCOMPARE(Q(host_->session().PlayerNames[1]), name);
        QVERIFY(link.WaitFor("[People]0000000001" + name));
        QVERIFY(link.Got("[People]-000000001H"));
        QCOMPARE(host_->Progress(), "进程：" + name + " 来了");
        VORN_TRY_COMPARE(host_->ChatLines(), chat);
    }

    // What the slot's link sends once the host has led: "<s>" in it stands for
    // a card of seat s's hand on the host's table, so that a move is forged
    // against the dealt cards.
    void hostileInputChangesNothing_data() {
        Columns<int, QByteArray>("slot", "bytes");
        const auto row = [](const char* name, int slot, const QByteArray& bytes) { Row(name, slot, bytes); };
        static const char garbage[] = "\x00\x01\xff\xfe\x81\x40 ]]][[[\r\n\r\n\xa1\n\r\r\n";
        row("garbage bytes", 1, QByteArray(garbage, sizeof garbage - 1));
        row("throw with no number", 1, "[Throw]abc\r\n");
        row("throw with two fields", 1, "[Throw]1|C_05\r\n");
        row("throw with a seat out of range", 1, "[Throw]7|C_05|7\r\n");
        row("throw with a bad card code", 1, "[Throw]1|X_99|1\r\n");
        row("throw with a broken card list", 1, "[Throw]1|C_0|1\r\n");
        row("empty turn", 1, "[Turn]\r\n");
        row("turn from a joiner", 2, "[Turn]2|True\r\n");
        row("snatch past the stock", 1, "[Snatch Card]0|999\r\n");
        row("snatch from a joiner", 1, "[Snatch Card]1|0\r\n");
        row("game over from a joiner", 1, "[Game Over]1\r\n");
        row("exit from a joiner", 2, "[Exit]0000000001\r\n");
        row("seat from a joiner", 1, "[Seat]9\r\n");
        row("prepare from a joiner", 1, "[Prepare]a|b|c|d\r\n");
        row("name list from a joiner", 3, "[New Name List]\r\n[People]0000000009Q\r\n");
        row("disconnected from a joiner", 3, "[Disconnected]0000000002\r\n");
        row("tag without a closing bracket", 1, "[Throw 1|C_05|1\r\n");
        row("unknown tag", 1, "[Shuffle]all\r\n");
        row("throw from the wrong slot", 2, "[Throw]1|<1>|1\r\n");
        row("throw out of turn", 2, "[Throw]2|<2>|2\r\n");
        row("throw of a card not in the hand", 1, "[Throw]1|<3>|1\r\n");
        row("pass that does not repeat the table", 1, "[Throw]0|<1>|1\r\n");
        row("throw of the same card twice", 1, "[Throw]1|<1><1>|1\r\n");
    }
    void hostileInputChangesNothing() {
        QFETCH(int, slot);
        QFETCH(QByteArray, bytes);
        for (const char* name : {"R1", "R2", "R3"}) QVERIFY2(Join(name), name);
        VORN_TRY_VERIFY(Slot(3).Got("[Prepare]H|R1|R2|R3"));
        host_->w().mnuDeal_Click();
        // The host leads, so that seat 1 is the one to follow.
        QVERIFY(host_->PlayAsComputer());
        QCOMPARE(host_->table().CurrentSeat, 1);
        QVERIFY(Probe(1, "ready"));

        NetTable& h = *host_;
        const CardSet play = h.table().TablePlay;
        for (int seat = 1; seat <= 3; ++seat)
            bytes.replace(QString("<%1>").arg(seat).toLatin1(), Cp(CardOf(h, seat)));
        QVERIFY2(!bytes.contains('<'), bytes.constData());

        const GameState before = h.table();
        const QStringList people = People(h.net().players());
        const std::array<std::string, 4> names = h.session().PlayerNames;
        std::array<qsizetype, 3> heard{};
        for (int s = 1; s <= 3; ++s) heard[size_t(s - 1)] = Slot(s).received.size();

        Slot(slot).Send(bytes);
        QVERIFY2(Probe(slot, "after"), "the link stops working");

        QCOMPARE(Difference(before, h.table()), std::string());
        QCOMPARE(CheckConservation(h.table()), std::string());
        QCOMPARE(h.table().TablePlay, play);
        QVERIFY(h.session().IsNet());
        QCOMPARE(h.session().SlotCount, 3);
        QCOMPARE(h.session().LocalSeat, 0);
        QCOMPARE(h.session().PlayerNames, names);
        QCOMPARE(People(h.net().players()), people);
        QVERIFY2(h.infos.isEmpty(), qPrintable(h.infos.join("|")));
        // Nothing but the chat went out: no relayed move, no turn, no draw.
        for (int s = 1; s <= 3; ++s) {
            const QByteArray since = Slot(s).received.mid(heard[size_t(s - 1)]);
            for (const char* tag : {"[Throw]", "[Turn]", "[Snatch Card]", "[Game Over]", "[Exit]"})
                QVERIFY2(!since.contains(tag), qPrintable(QString("slot %1 got %2").arg(s).arg(tag)));
        }
        // And the seat to move can still make its move: a pass.
        Slot(1).Send(Cp(QString("[Throw]0|%1|1\r\n").arg(Q(Codes(play)))));
        QVERIFY(Slot(2).WaitFor(QString("[Throw]0|%1|1").arg(Q(Codes(play)))));
        QVERIFY(Slot(3).WaitFor("[Turn]2|False"));
        QCOMPARE(h.table().CurrentSeat, 2);
        QCOMPARE(h.table().PassCount, 1);
    }

    // A link that connects and never joins: the computer takes its seat when
    // the host deals, and the link hears nothing of the table (no hands from
    // the stock's positions) and speaks to nobody.
    void aLinkThatHasNotJoinedHearsNothing() {
        host_->session().FillSeats = true;
        QVERIFY(Join("R1"));
        RawLink lurker;
        QVERIFY(lurker.Connect(port_));
        QVERIFY(lurker.WaitFor("[Seat]2"));
        host_->w().mnuDeal_Click();
        VORN_TRY_VERIFY(Slot(1).Got("[Prepare]H|R1|玄武|白虎") && Slot(1).received.contains("[Turn]"));
        QVERIFY(host_->session().StandIn[2]);
        lurker.SendLine("[Message]R2: hi");
        QVERIFY(host_->PlayAsComputer());
        Slot(1).SendLine("[Message]R1: after");
        VORN_TRY_VERIFY(host_->ChatLines().contains("R1: after"));
        QCOMPARE(host_->ChatLines(), QStringList{"R1: after"});
        QVERIFY(!Slot(1).Got("[Message]R2: hi"));
        for (const QString& line : lurker.Lines())
            QVERIFY2(line.startsWith("[Hello]") || line == "[Seat]2", qPrintable(line));
        // Joining mid-hand, it is told the table is full and let go.
        lurker.SendLine("[Joined]Late");
        QVERIFY(lurker.WaitFor("[Seat]4"));
        VORN_TRY_COMPARE(lurker.socket().state(), QAbstractSocket::UnconnectedState);
        QVERIFY(host_->session().StandIn[2]);
    }

    // A link that never says who it is is let go in time; one that joined stays.
    void aLinkThatGivesNoNameIsLetGo() {
        host_->net().nameLimitMs = 300;
        QVERIFY(Join("R1"));
        RawLink silent;
        QVERIFY(silent.Connect(port_));
        QVERIFY(silent.WaitFor("[Seat]2"));
        VORN_TRY_COMPARE(silent.socket().state(), QAbstractSocket::UnconnectedState);
        Pause(400);
        QCOMPARE(Slot(1).socket().state(), QAbstractSocket::ConnectedState);
        QVERIFY(Join("R2"));
    }

    void aHugeLineIsDroppedAndTheLinkLivesOn_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::newRow("no tag") << QByteArray();
        QTest::newRow("a chat line") << QByteArray("[Message]R1: ");
        QTest::newRow("a throw") << QByteArray("[Throw]1|");
    }
    void aHugeLineIsDroppedAndTheLinkLivesOn() {
        QFETCH(QByteArray, head);
        for (const char* name : {"R1", "R2", "R3"}) QVERIFY2(Join(name), name);
        VORN_TRY_VERIFY(Slot(2).Got("[Prepare]H|R1|R2|R3") && host_->net().queue().Empty());
        Pause(20);
        const GameState before = host_->table();
        const qsizetype heard = Slot(2).received.size();
        QByteArray huge = head + QByteArray(1 << 20, 'A');
        for (qsizetype at = 0; at < huge.size(); at += 64 * 1024) {
            Slot(1).Send(huge.mid(at, 64 * 1024));
            Pause(1);
        }
        // The line ends only now; what follows it is framed as usual.
        Slot(1).Send("\r\n");
        QVERIFY2(Probe(1, "after the flood"), "the link stops working");
        QCOMPARE(Difference(before, host_->table()), std::string());
        QVERIFY(host_->session().IsNet());
        QCOMPARE(host_->ChatLines(), QStringList{"R1: after the flood"});
        // Only the short chat line was passed on.
        const QByteArray relayed = Slot(2).received.mid(heard);
        QVERIFY2(relayed.size() < 200, relayed.left(200).constData());
    }
};

}  // namespace
}  // namespace vorn::itest

using vorn::itest::TestRawProtocol;
VORN_TEST(TestRawProtocol)
#include "rawprotocol_test.moc"
