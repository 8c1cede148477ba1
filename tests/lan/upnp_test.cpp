// The host's port forwarded by the router, against a small gateway of the
// test's own: it answers the search on the SSDP group, serves its
// description and the port-mapping calls, and keeps what it was asked. The
// search goes to the multicast group, so this runs only inside the network
// namespace tests/lan/in_netns.sh makes, and skips anywhere else.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "app/logondialog.h"
#include "app/mainwindow.h"
#include "app/networkgame.h"
#include "app/portmapper.h"
#include "net/socket/lanlisting.h"
#include "tests/lan/netns.h"
#include "tests/support/rows.h"
#include "tests/support/window.h"
#include "tests/testing.h"

namespace vorn::test {

namespace {
using testing::Columns;
using testing::Row;

constexpr int kPort = 11005;
const QString kExternal = QStringLiteral("203.0.113.5");
const QString kService = QStringLiteral("urn:schemas-upnp-org:service:WANIPConnection:1");

QByteArray Description() {
    return QStringLiteral(
               "<?xml version=\"1.0\"?><root xmlns=\"urn:schemas-upnp-org:device-1-0\">"
               "<specVersion><major>1</major><minor>0</minor></specVersion><device>"
               "<deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1</deviceType>"
               "<friendlyName>Test gateway</friendlyName><deviceList><device>"
               "<deviceType>urn:schemas-upnp-org:device:WANDevice:1</deviceType><serviceList><service>"
               "<serviceType>urn:schemas-upnp-org:service:WANCommonInterfaceConfig:1</serviceType>"
               "<serviceId>urn:upnp-org:serviceId:WANCommonIFC1</serviceId><controlURL>/ctl/CmnIfCfg</"
               "controlURL>"
               "<eventSubURL>/evt/CmnIfCfg</eventSubURL><SCPDURL>/WANCfg.xml</SCPDURL></service></"
               "serviceList>"
               "<deviceList><device>"
               "<deviceType>urn:schemas-upnp-org:device:WANConnectionDevice:1</deviceType>"
               "<serviceList><service><serviceType>%1</serviceType>"
               "<serviceId>urn:upnp-org:serviceId:WANIPConn1</serviceId><controlURL>/ctl/IPConn</controlURL>"
               "<eventSubURL>/evt/IPConn</eventSubURL><SCPDURL>/WANIPCn.xml</SCPDURL></service></serviceList>"
               "</device></deviceList></device></deviceList></device></root>")
        .arg(kService)
        .toUtf8();
}

QByteArray Envelope(const QString& body) {
    return QStringLiteral(
               "<?xml version=\"1.0\"?><s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
               "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>%1</s:Body></"
               "s:Envelope>")
        .arg(body)
        .toUtf8();
}

QByteArray HttpReply(int status, const QByteArray& body) {
    return QByteArray("HTTP/1.1 ") + (status == 200 ? "200 OK" : "500 Internal Server Error") +
           "\r\nContent-Type: text/xml; charset=\"utf-8\"\r\nConnection: close\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// A gateway that forwards whatever it is asked to, or refuses every mapping
// with the error code `refuseWith`.
class FakeGateway : public QObject {
  public:
    struct Call {
        QString action;
        std::map<QString, QString> args;
        QString from;  // the address the call came from
    };

    explicit FakeGateway(int refuseWith = 0) : refuseWith_(refuseWith) {}

    bool Start() {
        if (!http_.listen(QHostAddress(QStringLiteral("10.77.0.1")), 0)) return false;
        connect(&http_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* link = http_.nextPendingConnection()) {
                connect(link, &QTcpSocket::readyRead, this, [this, link] { Serve(*link); });
                connect(link, &QTcpSocket::disconnected, link, &QObject::deleteLater);
            }
        });
        if (!ssdp_.bind(QHostAddress::AnyIPv4, 1900, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint))
            return false;
        connect(&ssdp_, &QUdpSocket::readyRead, this, [this] { AnswerSearch(); });
        return ssdp_.joinMulticastGroup(QHostAddress(QStringLiteral("239.255.255.250")),
                                        QNetworkInterface::interfaceFromName("v0"));
    }

    const Call* Last(const QString& action) const {
        for (auto c = calls.rbegin(); c != calls.rend(); ++c)
            if (c->action == action) return &*c;
        return nullptr;
    }

    std::vector<Call> calls;

  private:
    void AnswerSearch() {
        while (ssdp_.hasPendingDatagrams()) {
            const QNetworkDatagram search = ssdp_.receiveDatagram();
            const QString text = QString::fromLatin1(search.data());
            const auto kind =
                QRegularExpression("\r\nST: *([^\r]*)", QRegularExpression::CaseInsensitiveOption)
                    .match(text);
            if (!text.startsWith("M-SEARCH") || !kind.hasMatch()) continue;
            const QString answer = QStringLiteral(
                                       "HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=120\r\nST: %1\r\n"
                                       "USN: uuid:7e57-0000::%1\r\nEXT:\r\nSERVER: Linux UPnP/1.1 Test/1\r\n"
                                       "LOCATION: http://10.77.0.1:%2/rootDesc.xml\r\n\r\n")
                                       .arg(kind.captured(1))
                                       .arg(http_.serverPort());
            ssdp_.writeDatagram(answer.toLatin1(), search.senderAddress(), quint16(search.senderPort()));
        }
    }

    void Serve(QTcpSocket& link) {
        QByteArray& request = pending_[&link];
        request += link.readAll();
        const qsizetype end = request.indexOf("\r\n\r\n");
        if (end < 0) return;
        const auto length =
            QRegularExpression("Content-Length: *(\\d+)", QRegularExpression::CaseInsensitiveOption)
                .match(QString::fromLatin1(request.left(end)));
        if (length.hasMatch() && request.size() < end + 4 + length.captured(1).toInt()) return;
        link.write(request.startsWith("GET") ? HttpReply(200, Description())
                                             : Control(request, link.peerAddress().toString()));
        pending_.erase(&link);
        link.disconnectFromHost();
    }

    QByteArray Control(const QByteArray& request, const QString& from) {
        const QString text = QString::fromUtf8(request);
        Call call{QRegularExpression("#(\\w+)\"").match(text).captured(1), {}, from};
        auto args = QRegularExpression("<(New\\w+)>([^<]*)</\\1>").globalMatch(text);
        while (args.hasNext()) {
            const auto arg = args.next();
            call.args[arg.captured(1)] = arg.captured(2);
        }
        calls.push_back(call);
        QString out;
        if (call.action == "GetStatusInfo")
            out =
                "<NewConnectionStatus>Connected</NewConnectionStatus>"
                "<NewLastConnectionError>ERROR_NONE</NewLastConnectionError><NewUptime>7</NewUptime>";
        else if (call.action == "GetExternalIPAddress")
            out = "<NewExternalIPAddress>" + kExternal + "</NewExternalIPAddress>";
        const int error = call.action == "AddPortMapping"                       ? refuseWith_
                          : out.isEmpty() && call.action != "DeletePortMapping" ? 401
                                                                                : 0;
        if (error != 0)
            return HttpReply(500,
                             Envelope(QStringLiteral("<s:Fault><faultcode>s:Client</faultcode><faultstring>"
                                                     "UPnPError</faultstring><detail><UPnPError><errorCode>"
                                                     "%1</errorCode></UPnPError></detail></s:Fault>")
                                          .arg(error)));
        return HttpReply(200, Envelope(QStringLiteral("<u:%1Response xmlns:u=\"%2\">%3</u:%1Response>")
                                           .arg(call.action, kService, out)));
    }

    int refuseWith_;
    QUdpSocket ssdp_;
    QTcpServer http_;
    std::map<QTcpSocket*, QByteArray> pending_;
};

// The mapping asked for forwards the port to the address this machine
// reached the gateway from, and that address is the one reported.
void CheckAsked(const FakeGateway& router, const std::optional<PortMapping>& got) {
    const FakeGateway::Call* add = router.Last("AddPortMapping");
    QVERIFY(add);
    auto arg = [add](const char* name) { return add->args.count(name) ? add->args.at(name) : QString(); };
    QCOMPARE(arg("NewExternalPort"), QString::number(kPort));
    QCOMPARE(arg("NewInternalPort"), QString::number(kPort));
    QCOMPARE(arg("NewProtocol"), QStringLiteral("TCP"));
    QCOMPARE(arg("NewPortMappingDescription"), QStringLiteral("Vorn"));
    QCOMPARE(arg("NewInternalClient"), add->from);
    if (got) QCOMPARE(got->internalAddress, add->from);
}

void CheckTakenBack(const FakeGateway& router) {
    QTRY_VERIFY_WITH_TIMEOUT(router.Last("DeletePortMapping"), 5000);
    const FakeGateway::Call& gone = *router.Last("DeletePortMapping");
    QCOMPARE(gone.args.at("NewExternalPort"), QString::number(kPort));
    QCOMPARE(gone.args.at("NewProtocol"), QStringLiteral("TCP"));
}

enum class End { Close, MapperGone, CloseAtOnce };

// The namespace's nftables rules, where a router on this machine forwards.
QString Ruleset() {
    QProcess nft;
    nft.start("nft", {"list", "ruleset"});
    nft.waitForFinished(3000);
    return QString::fromLatin1(nft.readAllStandardOutput());
}

QString ChatLog(MainWindow& w) {
    return w.findChild<QPlainTextEdit*>("txtDialog")->toPlainText();
}
}  // namespace

class UpnpTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (!InOwnNamespace()) QSKIP("only inside a network namespace of its own");
        qputenv("VORN_LAN", "on");
        QVERIFY(LanListingAllowed());
    }

    void mapping_data() {
        Columns<int, int>("refuse", "endRow");
        Row("forwarded, the table closes", 0, int(End::Close));
        // The window quits: the mapper waits for the router no longer than it may.
        Row("forwarded, the mapper is gone", 0, int(End::MapperGone));
        Row("closed before the router answered", 0, int(End::CloseAtOnce));
        Row("ConflictInMappingEntry", 718, int(End::Close));
    }
    void mapping() {
        QFETCH(int, refuse);
        QFETCH(int, endRow);
        const auto end = End(endRow);
        FakeGateway router(refuse);
        QVERIFY(router.Start());
        auto mapper = std::make_unique<PortMapper>();
        std::vector<PortMapping> opened;
        connect(mapper.get(), &PortMapper::Opened, this, [&](const PortMapping& m) { opened.push_back(m); });
        mapper->Open(kPort);
        if (end == End::CloseAtOnce) {
            mapper->Close();
            CheckTakenBack(router);
            CheckAsked(router, std::nullopt);
            QTest::qWait(100);
            QVERIFY(opened.empty());
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), size_t(1), 5000);
        const PortMapping& got = opened.front();
        CheckAsked(router, got);
        QCOMPARE(got.port, kPort);
        QCOMPARE(got.outcome, refuse ? PortMapping::Outcome::Refused : PortMapping::Outcome::Mapped);
        QCOMPARE(got.error, refuse);
        QCOMPARE(got.externalAddress, refuse ? QString() : kExternal);
        if (end == End::Close) mapper->Close();
        QElapsedTimer clock;
        clock.start();
        // The gateway answers on this thread, so the wait runs its full length here.
        if (end == End::MapperGone) mapper.reset();
        QVERIFY(clock.elapsed() < PortMapper::kCloseWaitMs + 500);
        if (refuse) {
            QTest::qWait(300);
            QVERIFY(!router.Last("DeletePortMapping"));
        } else {
            CheckTakenBack(router);
        }
    }

    // Nobody answers the search: the host hears so after the two seconds
    // it waits, not after one wait for each kind of gateway asked for.
    void noRouter() {
        PortMapper mapper;
        std::vector<PortMapping> opened;
        connect(&mapper, &PortMapper::Opened, this, [&](const PortMapping& m) { opened.push_back(m); });
        QElapsedTimer clock;
        clock.start();
        mapper.Open(kPort);
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), size_t(1), 6000);
        QVERIFY2(
            clock.elapsed() >= PortMapper::kAnswerMs - 100 && clock.elapsed() < PortMapper::kAnswerMs + 800,
            qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(opened.front().outcome, PortMapping::Outcome::NoRouter);
    }

    // Debian's miniupnpd, where it is installed, as the router: the rule
    // that forwards the port to this machine lasts as long as the mapping.
    void debianRouter() {
        if (!QFile::exists("/usr/sbin/miniupnpd") || QStandardPaths::findExecutable("nft").isEmpty())
            QSKIP("miniupnpd-nftables or nftables is not installed");
        QTemporaryDir dir;
        QProcess router;
        QByteArray log;
        router.setProcessChannelMode(QProcess::MergedChannels);
        connect(&router, &QProcess::readyRead, this, [&] { log += router.readAll(); });
        router.start("bash", {QFINDTESTDATA("lan/miniupnpd.sh"), dir.path()});
        QTRY_VERIFY2_WITH_TIMEOUT(log.contains("HTTP listening on port"), log.constData(), 5000);
        PortMapper mapper;
        std::vector<PortMapping> opened;
        connect(&mapper, &PortMapper::Opened, this, [&](const PortMapping& m) { opened.push_back(m); });
        mapper.Open(kPort);
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), size_t(1), 8000);
        const PortMapping& got = opened.front();
        QVERIFY2(got.outcome == PortMapping::Outcome::Mapped, log.constData());
        QCOMPARE(got.externalAddress, QStringLiteral("100.128.0.5"));
        const QString forward = QStringLiteral("%1:%2").arg(got.internalAddress).arg(kPort);
        QVERIFY2(Ruleset().contains(forward), qPrintable(Ruleset()));
        mapper.Close();
        QTRY_VERIFY_WITH_TIMEOUT(!Ruleset().contains(forward), 3000);
        router.terminate();
        QVERIFY(router.waitForFinished(3000));
    }

    // The person hosts with the box ticked: the chat log gives the address
    // for friends, the next logon remembers the box, and disconnecting
    // takes the mapping back.
    void hostingWindow() {
        FakeGateway router;
        QVERIFY(router.Start());
        testing::WindowFixture w;
        QVERIFY(w.Open(1, false));
        {
            LogonDialog dialog(*w);
            QVERIFY(!dialog.chkForwardPort->isChecked());
            dialog.optNet->setChecked(true);
            dialog.optHost->setChecked(true);
            QVERIFY(dialog.chkForwardPort->isEnabled());
            dialog.txtID->setText("Host");
            dialog.txtPort->setText(QString::number(kPort));
            dialog.chkForwardPort->setChecked(true);
            dialog.cmdOK->click();
        }
        const QString line = QStringLiteral("请把这个地址告诉朋友：%1:%2").arg(kExternal).arg(kPort);
        QTRY_VERIFY_WITH_TIMEOUT(ChatLog(*w).contains(line), 5000);
        QVERIFY(
            w->ProgressPanel()->text().endsWith(QStringLiteral("外网地址 %1:%2").arg(kExternal).arg(kPort)));
        CheckAsked(router, std::nullopt);
        QVERIFY(LogonDialog(*w).chkForwardPort->isChecked());
        w->Action("mnuDisconnect")->trigger();
        CheckTakenBack(router);
    }
};

VORN_TEST(UpnpTest)

}  // namespace vorn::test

#include "upnp_test.moc"
