#include "net/socket/socket.h"

#include "tests/testing.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <algorithm>
#include <memory>

using vorn::Socket;
using vorn::SocketFamily;

namespace {

constexpr int kWaitMs = 5000;

// A host family listening on element 0 and one joiner link, accepted on element 1.
struct Link {
    std::unique_ptr<SocketFamily> host = std::make_unique<SocketFamily>();
    std::unique_ptr<Socket> joiner = std::make_unique<Socket>();
    int port = 0;
};

// A port nobody listens on: taken from the system, then given back.
int ClosedPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    return probe.serverPort();
}

class TestSocket : public QObject {
    Q_OBJECT

    // Listens, connects, accepts the request on element 1; false when any step goes wrong.
    static bool Open(Link& link) {
        Socket& listener = link.host->Element(0);
        listener.SetLocalPort(0);
        if (!listener.Listen()) return false;
        link.port = listener.LocalPort();
        QSignalSpy requests(link.host.get(), &SocketFamily::connectionRequest);
        link.joiner->SetRemotePort(link.port);
        if (!link.joiner->Connect(QStringLiteral("127.0.0.1"))) return false;
        if (requests.isEmpty() && !requests.wait(kWaitMs)) return false;
        if (requests.first().at(0).toInt() != 0) return false;
        const int requestId = requests.first().at(1).toInt();
        Socket& slot = link.host->Element(1);
        slot.SetLocalPort(0);
        if (!slot.Accept(requestId)) return false;
        QElapsedTimer timer;
        timer.start();
        while (link.joiner->State() != Socket::kConnected && timer.elapsed() < kWaitMs) QTest::qWait(5);
        return link.joiner->State() == Socket::kConnected && slot.State() == Socket::kConnected;
    }

  private slots:
    void freshSocketIsClosed() {
        Socket socket;
        QCOMPARE(socket.State(), Socket::kClosed);
        SocketFamily family;
        QVERIFY(family.Exists(0));
        QVERIFY(!family.Exists(1));
        QCOMPARE(family.Element(0).State(), 0);
    }

    void acceptedLinkCarriesChineseBothWays() {
        Link link;
        QVERIFY(Open(link));
        QCOMPARE(link.joiner->State(), 7);
        QCOMPARE(link.host->Element(1).State(), 7);
        QVERIFY(link.host->Element(0).State() != 0 && link.host->Element(0).State() != 7);

        QSignalSpy hostArrivals(link.host.get(), &SocketFamily::dataArrival);
        QVERIFY(link.joiner->SendText(QStringLiteral("[Joined]青龙\r\n")));
        QTRY_VERIFY_WITH_TIMEOUT(!hostArrivals.isEmpty(), kWaitMs);
        QCOMPARE(hostArrivals.first().at(0).toInt(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(link.host->Element(1).BytesWaiting(), qint64(14), kWaitMs);
        QCOMPARE(link.host->Element(1).ReadAll(), QByteArray("[Joined]\xC7\xE0\xC1\xFA\r\n"));

        QSignalSpy joinerArrivals(link.joiner.get(), &Socket::dataArrival);
        QVERIFY(link.host->Element(1).SendText(std::string("[Name]朱雀")));
        QTRY_VERIFY_WITH_TIMEOUT(!joinerArrivals.isEmpty(), kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(link.joiner->BytesWaiting(), qint64(10), kWaitMs);
        QCOMPARE(link.joiner->ReadAllText(), QStringLiteral("[Name]朱雀"));
        QCOMPARE(link.joiner->BytesWaiting(), qint64(0));
    }

    void successiveSendsArriveInOrder() {
        Link link;
        QVERIFY(Open(link));
        QByteArray expected;
        for (int i = 0; i < 300; ++i) {
            const QString message = QStringLiteral("[Chat]玄武%1\r\n").arg(i);
            QVERIFY(link.joiner->SendText(message));
            expected += QByteArray("[Chat]\xD0\xFE\xCE\xE4") + QByteArray::number(i) + "\r\n";
        }
        QByteArray received;
        Socket& slot = link.host->Element(1);
        connect(&slot, &Socket::dataArrival, this, [&] { received += slot.ReadAll(); });
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), expected.size(), kWaitMs);
        QCOMPARE(received, expected);
    }

    // A peer that sends far more than is read at once: the bytes come in
    // pieces of at most kMaxHeldBytes, all of them in order, and its close
    // only after the last one.
    void aFloodArrivesInBoundedPiecesThenTheClose() {
        Link link;
        QVERIFY(Open(link));
        Socket& slot = link.host->Element(1);
        QByteArray expected;
        for (int i = 0; expected.size() < 4 * 1024 * 1024; ++i)
            expected += "[Message]J1: " + QByteArray::number(i) + "\r\n";
        QByteArray received;
        qint64 largest = 0;
        qsizetype receivedAtClose = -1;
        connect(&slot, &Socket::dataArrival, this, [&] {
            largest = std::max(largest, slot.BytesWaiting());
            received += slot.ReadAll();
        });
        connect(link.host.get(), &SocketFamily::closed, this, [&] { receivedAtClose = received.size(); });
        QVERIFY(link.joiner->SendBytes(expected));
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), expected.size(), kWaitMs);
        QVERIFY(received == expected);
        QVERIFY2(largest <= Socket::kMaxHeldBytes, qPrintable(QString::number(largest)));
        link.joiner.reset();
        QTRY_COMPARE_WITH_TIMEOUT(receivedAtClose, expected.size(), kWaitMs);
    }

    void peerCloseArrivesAfterItsLastData() {
        Link link;
        QVERIFY(Open(link));
        Socket& slot = link.host->Element(1);
        QSignalSpy closes(link.host.get(), &SocketFamily::closed);
        QSignalSpy errors(link.host.get(), &SocketFamily::error);
        QVERIFY(link.joiner->SendText("[Exit]01\r\n"));
        link.joiner->Close();
        QCOMPARE(link.joiner->State(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(closes.size(), 1, kWaitMs);
        QCOMPARE(closes.first().at(0).toInt(), 1);
        QCOMPARE(slot.ReadAll(), QByteArray("[Exit]01\r\n"));
        QVERIFY(errors.isEmpty());
        QVERIFY(slot.State() != 0 && slot.State() != 7);
        slot.Close();
        QCOMPARE(slot.State(), 0);
    }

    void closedSlotIsReusedWithoutOldEvents() {
        Link link;
        QVERIFY(Open(link));
        Socket& slot = link.host->Element(1);
        QSignalSpy closes(link.host.get(), &SocketFamily::closed);
        QSignalSpy requests(link.host.get(), &SocketFamily::connectionRequest);
        link.joiner->Close();
        QTRY_COMPARE_WITH_TIMEOUT(closes.size(), 1, kWaitMs);
        slot.Close();

        Socket second;
        second.SetRemotePort(link.port);
        QVERIFY(second.Connect(QStringLiteral("127.0.0.1")));
        QTRY_COMPARE_WITH_TIMEOUT(requests.size(), 1, kWaitMs);
        QVERIFY(slot.Accept(requests.first().at(1).toInt()));
        QTRY_COMPARE_WITH_TIMEOUT(second.State(), 7, kWaitMs);
        QSignalSpy arrivals(link.host.get(), &SocketFamily::dataArrival);
        QVERIFY(second.SendText(QStringLiteral("[Joined]白虎\r\n")));
        QByteArray received;
        connect(&slot, &Socket::dataArrival, this, [&] { received += slot.ReadAll(); });
        QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("[Joined]\xB0\xD7\xBB\xA2\r\n"), kWaitMs);
        QCOMPARE(arrivals.first().at(0).toInt(), 1);
        QCOMPARE(closes.size(), 1);
        QCOMPARE(slot.State(), 7);
        QVERIFY(!link.host->Exists(2));
    }

    void connectingToAClosedPortRaisesError() {
        const int port = ClosedPort();
        QVERIFY(port > 0);
        Socket socket;
        QSignalSpy errors(&socket, &Socket::error);
        QSignalSpy closes(&socket, &Socket::closed);
        socket.SetRemotePort(port);
        QVERIFY(socket.Connect(QStringLiteral("127.0.0.1")));
        QVERIFY(socket.State() != 0 && socket.State() != 7);
        QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, kWaitMs);
        QVERIFY(errors.first().at(0).toInt() != 0);
        QVERIFY(!errors.first().at(1).toString().isEmpty());
        QVERIFY(socket.State() != 0 && socket.State() != 7);
        QTest::qWait(50);
        QVERIFY(closes.isEmpty());
        socket.Close();
        QCOMPARE(socket.State(), 0);
    }

    void listeningOnATakenPortFailsAtOnce() {
        Socket first;
        first.SetLocalPort(0);
        QVERIFY(first.Listen());
        Socket second;
        second.SetLocalPort(first.LocalPort());
        QVERIFY(!second.Listen());
        QVERIFY(!second.LastErrorDescription().isEmpty());
        QCOMPARE(second.State(), 0);
        first.Close();
        QVERIFY(second.Listen());
    }

    void callsInTheWrongStateFail_data() {
        QTest::addColumn<int>("remotePort");
        QTest::addColumn<QString>("host");
        QTest::newRow("port 0") << 0 << QStringLiteral("127.0.0.1");
        QTest::newRow("port 65536") << 65536 << QStringLiteral("127.0.0.1");
        QTest::newRow("no host") << 1005 << QStringLiteral("  ");
    }
    void callsInTheWrongStateFail() {
        QFETCH(int, remotePort);
        QFETCH(QString, host);
        Socket socket;
        socket.SetRemotePort(remotePort);
        QVERIFY(!socket.Connect(host));
        QVERIFY(!socket.LastErrorDescription().isEmpty());
        QCOMPARE(socket.State(), 0);
        QVERIFY(!socket.SendText(QStringLiteral("[Turn]1")));
        QVERIFY(!socket.Accept(123456));
    }

    void acceptNeedsAClosedSocketAndALiveRequest() {
        Link link;
        QVERIFY(Open(link));
        Socket late;
        late.SetRemotePort(link.port);
        QSignalSpy requests(link.host.get(), &SocketFamily::connectionRequest);
        QVERIFY(late.Connect(QStringLiteral("127.0.0.1")));
        QTRY_COMPARE_WITH_TIMEOUT(requests.size(), 1, kWaitMs);
        const int id = requests.first().at(1).toInt();
        QVERIFY(!link.host->Element(1).Accept(id));  // busy with the first joiner
        QCOMPARE(link.host->Element(1).State(), 7);
        QVERIFY(link.host->Element(2).Accept(id));
        QVERIFY(!link.host->Element(3).Accept(id));  // taken already
        QTRY_COMPARE_WITH_TIMEOUT(late.State(), 7, kWaitMs);
    }

    void closeIsHarmlessInAnyState_data() {
        QTest::addColumn<QString>("stage");
        for (const char* stage : {"fresh", "listening", "connecting", "connected", "peer closed", "failed"})
            QTest::newRow(stage) << QString::fromLatin1(stage);
    }
    void closeIsHarmlessInAnyState() {
        QFETCH(QString, stage);
        Link link;
        Socket* subject = link.joiner.get();
        if (stage == "listening") {
            subject = &link.host->Element(0);
            subject->SetLocalPort(0);
            QVERIFY(subject->Listen());
        } else if (stage == "connecting") {
            Socket& listener = link.host->Element(0);
            listener.SetLocalPort(0);
            QVERIFY(listener.Listen());
            subject->SetRemotePort(listener.LocalPort());
            QVERIFY(subject->Connect(QStringLiteral("127.0.0.1")));
        } else if (stage == "connected") {
            QVERIFY(Open(link));
        } else if (stage == "peer closed") {
            QVERIFY(Open(link));
            QSignalSpy closes(link.joiner.get(), &Socket::closed);
            link.host->CloseAll();
            QCOMPARE(link.host->Element(0).State(), 0);
            QCOMPARE(link.host->Element(1).State(), 0);
            QTRY_COMPARE_WITH_TIMEOUT(closes.size(), 1, kWaitMs);
        } else if (stage == "failed") {
            QSignalSpy errors(subject, &Socket::error);
            subject->SetRemotePort(ClosedPort());
            QVERIFY(subject->Connect(QStringLiteral("127.0.0.1")));
            QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, kWaitMs);
        }
        QSignalSpy closes(subject, &Socket::closed);
        QSignalSpy errors(subject, &Socket::error);
        QSignalSpy arrivals(subject, &Socket::dataArrival);
        QSignalSpy requests(subject, &Socket::connectionRequest);
        subject->Close();
        QCOMPARE(subject->State(), 0);
        subject->Close();
        QCOMPARE(subject->State(), 0);
        QTest::qWait(100);
        // A closed socket tells nothing more about its old link.
        QVERIFY(closes.isEmpty());
        QVERIFY(errors.isEmpty());
        QVERIFY(arrivals.isEmpty());
        QVERIFY(requests.isEmpty());
        QCOMPARE(subject->ReadAll(), QByteArray());
        // And it is ready for a new start.
        subject->SetLocalPort(0);
        QVERIFY(subject->Listen());
    }

    void handlerMayCloseOnArrival() {
        Link link;
        QVERIFY(Open(link));
        Socket& slot = link.host->Element(1);
        QByteArray got;
        connect(&slot, &Socket::dataArrival, this, [&] {
            got = slot.ReadAll();
            slot.Close();
        });
        QSignalSpy joinerCloses(link.joiner.get(), &Socket::closed);
        QVERIFY(link.joiner->SendText("[Joined]x\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(joinerCloses.size(), 1, kWaitMs);
        QCOMPARE(got, QByteArray("[Joined]x\r\n"));
        QCOMPARE(slot.State(), 0);
    }

    void localHostIsKnown() {
        QVERIFY(!Socket::LocalHostName().isEmpty());
        QHostAddress address;
        QVERIFY(address.setAddress(Socket::LocalHostAddress()));
        QCOMPARE(address.protocol(), QAbstractSocket::IPv4Protocol);
    }
};

}  // namespace

VORN_TEST(TestSocket)

#include "socket_test.moc"
