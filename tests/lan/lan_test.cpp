// Tables found on the LAN, over real sockets. Broadcasts leave a machine, so
// this runs only inside a network namespace of its own (tests/lan/in_netns.sh
// makes one with the linked interfaces v0 and v1) and skips anywhere else.
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>

#include <memory>

#include "net/socket/lanlisting.h"
#include "tests/lan/netns.h"
#include "tests/testing.h"

namespace vorn::test {

namespace {
const LanSearch::Table* Find(const LanSearch& search, const std::string& id) {
    for (const auto& t : search.Tables())
        if (t.ad.id == id) return &t;
    return nullptr;
}

// Every answer `socket` gets within `ms`.
std::vector<QByteArray> Answers(QUdpSocket& socket, int ms) {
    std::vector<QByteArray> answers;
    QTest::qWait(ms);
    while (socket.hasPendingDatagrams()) answers.push_back(socket.receiveDatagram().data());
    return answers;
}
}  // namespace

class LanTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (!InOwnNamespace()) QSKIP("only inside a network namespace of its own");
        qputenv("VORN_LAN", "on");
        QVERIFY(LanListingAllowed());
    }

    // Two hosts on one machine share the port; a search hears both, follows
    // their seats, and forgets the one that stopped answering.
    void twoHostsFoundAndForgotten() {
        int persons = 1;
        auto first = std::make_unique<LanAnswerer>([&] {
            return TableAd{"a1", 11005, persons, false, "Quillon"};
        });
        LanAnswerer second([] { return TableAd{"b2", 12000, 2, true, "朱雀"}; });
        QVERIFY(first->Start());
        QVERIFY(second.Start());
        LanSearch search;
        search.Start();
        QTRY_VERIFY_WITH_TIMEOUT(Find(search, "a1") && Find(search, "b2"), 3000);
        QCOMPARE(Find(search, "b2")->ad, (TableAd{"b2", 12000, 2, true, "朱雀"}));
        QCOMPARE(QHostAddress(Find(search, "a1")->address).protocol(), QAbstractSocket::IPv4Protocol);
        QCOMPARE(search.Tables().size(), size_t(2));
        persons = 3;
        QTRY_COMPARE_WITH_TIMEOUT(Find(search, "a1")->ad.persons, 3, LanSearch::kAskEveryMs + 1000);
        first.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!Find(search, "a1"),
                                 LanSearch::kForgetAfterMs + LanSearch::kAskEveryMs + 1000);
        QVERIFY(Find(search, "b2"));
    }

    // The IPv6 all-nodes group reaches a host too; a flood of queries gets no
    // more answers than the host's budget for a second.
    void ipv6AndFlood() {
        LanAnswerer host([] { return TableAd{"c3", 11005, 1, false, "Host"}; });
        QVERIFY(host.Start());
        const QByteArray query = QByteArray::fromStdString(std::string(lan::kQuery));
        QUdpSocket v6;
        QVERIFY(v6.bind(QHostAddress::AnyIPv6, 0));
        QHostAddress allNodes(QStringLiteral("ff02::1"));
        allNodes.setScopeId("v0");
        v6.writeDatagram(query, allNodes, lan::kPort);
        const auto heard = Answers(v6, 500);
        QVERIFY(!heard.empty());
        QCOMPARE(ParseTableAd(heard.front().toStdString())->id, std::string("c3"));

        QUdpSocket v4;
        QVERIFY(v4.bind(QHostAddress::AnyIPv4, 0));
        QTest::qWait(1000);  // a fresh second for the host's budget
        for (int i = 0; i < 3 * LanAnswerer::kAnswersPerSecond; ++i)
            v4.writeDatagram(query, QHostAddress("10.77.0.2"), lan::kPort);
        const auto answers = Answers(v4, 300);
        QVERIFY(!answers.empty());
        QVERIFY(int(answers.size()) <= LanAnswerer::kAnswersPerSecond);
        // Anything but the query goes unanswered.
        v4.writeDatagram(query + "x", QHostAddress("10.77.0.2"), lan::kPort);
        QTest::qWait(1100);
        v4.writeDatagram("[Tables?]1", QHostAddress("10.77.0.2"), lan::kPort);
        QVERIFY(Answers(v4, 300).empty());
    }
};

VORN_TEST(LanTest)

}  // namespace vorn::test

#include "lan_test.moc"
