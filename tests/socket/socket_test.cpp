#include "net/socket/socket.h"

#include "tests/support/rows.h"
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
using vorn::testing::Columns;
using vorn::testing::Row;

namespace {

constexpr int kWaitMs = 5000;

// A host family listening on element 0 and one joiner link, accepted on element 1.
struct Link {
    std::unique_ptr<SocketFamily> host = std::make_unique<SocketFamily>();
    std::unique_ptr<Socket> joiner = std::make_unique<Socket>();
    int port = 0;
};

// The socket listening on a port of the system's choosing; whether it does.
bool ListenAnywhere(Socket& socket) {
    socket.SetLocalPort(0);
    return socket.Listen();
}

// The socket setting out for port on this machine; whether it did.
bool ConnectTo(Socket& socket, int port) {
    socket.SetRemotePort(port);
    return socket.Connect(QStringLiteral("127.0.0.1"));
}

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
        if (!ListenAnywhere(listener)) return false;
        link.port = listener.LocalPort();
        QSignalSpy requests(link.host.get(), &SocketFamily::connectionRequest);
        if (!ConnectTo(*link.joiner, link.port)) return false;
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
        QCOMPARE(family.Element(0).State(), Socket::kClosed);
    }

    void acceptedLinkCarriesChineseBothWays() {
        Link link;
        QVERIFY(Open(link));
        QCOMPARE(link.joiner->State(), Socket::kConnected);
        QCOMPARE(link.host->Element(1).State(), Socket::kConnected);
        QCOMPARE(link.host->Element(0).State(), Socket::kListening);

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
        QCOMPARE(link.joiner->State(), Socket::kClosed);
        QTRY_COMPARE_WITH_TIMEOUT(closes.size(), 1, kWaitMs);
        QCOMPARE(closes.first().at(0).toInt(), 1);
        QCOMPARE(slot.ReadAll(), QByteArray("[Exit]01\r\n"));
        QVERIFY(errors.isEmpty());
        QCOMPARE(slot.State(), Socket::kPeerClosed);
        slot.Close();
        QCOMPARE(slot.State(), Socket::kClosed);
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
        QVERIFY(ConnectTo(second, link.port));
        QTRY_COMPARE_WITH_TIMEOUT(requests.size(), 1, kWaitMs);
        QVERIFY(slot.Accept(requests.first().at(1).toInt()));
        QTRY_COMPARE_WITH_TIMEOUT(second.State(), Socket::kConnected, kWaitMs);
        QSignalSpy arrivals(link.host.get(), &SocketFamily::dataArrival);
        QVERIFY(second.SendText(QStringLiteral("[Joined]白虎\r\n")));
        QByteArray received;
        connect(&slot, &Socket::dataArrival, this, [&] { received += slot.ReadAll(); });
        QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("[Joined]\xB0\xD7\xBB\xA2\r\n"), kWaitMs);
        QCOMPARE(arrivals.first().at(0).toInt(), 1);
        QCOMPARE(closes.size(), 1);
        QCOMPARE(slot.State(), Socket::kConnected);
        QVERIFY(!link.host->Exists(2));
    }

    void connectingToAClosedPortRaisesError() {
        const int port = ClosedPort();
        QVERIFY(port > 0);
        Socket socket;
        QSignalSpy errors(&socket, &Socket::error);
        QSignalSpy closes(&socket, &Socket::closed);
        QVERIFY(ConnectTo(socket, port));
        QCOMPARE(socket.State(), Socket::kConnecting);
        QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, kWaitMs);
        QVERIFY(errors.first().at(0).toInt() != 0);
        QVERIFY(!errors.first().at(1).toString().isEmpty());
        QCOMPARE(socket.State(), Socket::kFailed);
        QTest::qWait(50);
        QVERIFY(closes.isEmpty());
        socket.Close();
        QCOMPARE(socket.State(), Socket::kClosed);
    }

    void listeningOnATakenPortFailsAtOnce() {
        Socket first;
        QVERIFY(ListenAnywhere(first));
        Socket second;
        second.SetLocalPort(first.LocalPort());
        QVERIFY(!second.Listen());
        QVERIFY(!second.LastErrorDescription().isEmpty());
        QCOMPARE(second.State(), Socket::kClosed);
        first.Close();
        QVERIFY(second.Listen());
    }

    void callsInTheWrongStateFail_data() {
        Columns<int, QString>("remotePort", "host");
        Row("port 0", 0, "127.0.0.1");
        Row("port 65536", 65536, "127.0.0.1");
        Row("no host", 1005, "  ");
    }
    void callsInTheWrongStateFail() {
        QFETCH(int, remotePort);
        QFETCH(QString, host);
        Socket socket;
        socket.SetRemotePort(remotePort);
        QVERIFY(!socket.Connect(host));
        QVERIFY(!socket.LastErrorDescription().isEmpty());
        QCOMPARE(socket.State(), Socket::kClosed);
        QVERIFY(!socket.SendText(QStringLiteral("[Turn]1")));
        QVERIFY(!socket.Accept(123456));
    }

    void acceptNeedsAClosedSocketAndALiveRequest() {
        Link link;
        QVERIFY(Open(link));
        Socket late;
        QSignalSpy requests(link.host.get(), &SocketFamily::connectionRequest);
        QVERIFY(ConnectTo(late, link.port));
        QTRY_COMPARE_WITH_TIMEOUT(requests.size(), 1, kWaitMs);
        const int id = requests.first().at(1).toInt();
        QVERIFY(!link.host->Element(1).Accept(id));  // busy with the first joiner
        QCOMPARE(link.host->Element(1).State(), Socket::kConnected);
        QVERIFY(link.host->Element(2).Accept(id));
        QVERIFY(!link.host->Element(3).Accept(id));  // taken already
        QTRY_COMPARE_WITH_TIMEOUT(late.State(), Socket::kConnected, kWaitMs);
    }

    void closeIsHarmlessInAnyState_data() {
        Columns<QString>("stage");
        for (const char* stage : {"fresh", "listening", "connecting", "connected", "peer closed", "failed"})
            Row(stage, stage);
    }
    void closeIsHarmlessInAnyState() {
        QFETCH(QString, stage);
        Link link;
        Socket* subject = link.joiner.get();
        if (stage == "listening") {
            subject = &link.host->Element(0);
            QVERIFY(ListenAnywhere(*subject));
        } else if (stage == "connecting") {
            QVERIFY(ListenAnywhere(link.host->Element(0)));
            QVERIFY(ConnectTo(*subject, link.host->Element(0).LocalPort()));
        } else if (stage == "connected") {
            QVERIFY(Open(link));
        } else if (stage == "peer closed") {
            QVERIFY(Open(link));
            QSignalSpy closes(link.joiner.get(), &Socket::closed);
            link.host->CloseAll();
            QCOMPARE(link.host->Element(0).State(), Socket::kClosed);
            QCOMPARE(link.host->Element(1).State(), Socket::kClosed);
            QTRY_COMPARE_WITH_TIMEOUT(closes.size(), 1, kWaitMs);
        } else if (stage == "failed") {
            QSignalSpy errors(subject, &Socket::error);
            QVERIFY(ConnectTo(*subject, ClosedPort()));
            QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, kWaitMs);
        }
        QSignalSpy closes(subject, &Socket::closed);
        QSignalSpy errors(subject, &Socket::error);
        QSignalSpy arrivals(subject, &Socket::dataArrival);
        QSignalSpy requests(subject, &Socket::connectionRequest);
        subject->Close();
        QCOMPARE(subject->State(), Socket::kClosed);
        subject->Close();
        QCOMPARE(subject->State(), Socket::kClosed);
        QTest::qWait(100);
        // A closed socket tells nothing more about its old link.
        QVERIFY(closes.isEmpty());
        QVERIFY(errors.isEmpty());
        QVERIFY(arrivals.isEmpty());
        QVERIFY(requests.isEmpty());
        QCOMPARE(subject->ReadAll(), QByteArray());
        // And it is ready for a new start.
        QVERIFY(ListenAnywhere(*subject));
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
        QCOMPARE(slot.State(), Socket::kClosed);
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
