// Whole network games between four real table windows over 127.0.0.1: after
// every move all four copies of the table agree, and the score boards agree
// with the hands that were left. And windows at a table of vorn-server, which
// deals and plays the other seats by itself, in plain TCP or encrypted.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "app/lobbydialog.h"
#include "net/protocol.h"
#include "tests/integration/nettable.h"
#include "tests/testing.h"

namespace vorn::itest {
namespace {

// Cards cross the wire as their codes.
const QRegularExpression kCardCode("[CDHS]_(0[1-9]|1[0-3])");

// The first message sent to seat's link that names a card the seat could not
// see at a real table at that moment, or "" when there is none: its own
// draws, plays as they are made, and at the end of a game the hands left.
std::string FirstHiddenCard(const std::vector<std::string>& sent, int seat) {
    CardSet known;
    bool over = false;
    for (size_t i = 0; i < sent.size(); ++i) {
        std::string_view tag, body;
        SplitMessage(sent[i], tag, body);
        if (tag == tags::kSnatchCard) return sent[i];
        if (tag == tags::kGameOver) over = true;
        if (auto draw = tag == tags2::kDraw ? ParseDraw(body) : std::nullopt) {
            // A new deal: what was known of the last one says nothing now.
            if (over) known.Clear();
            over = false;
            if (!draw->card.IsNone()) known.Add(draw->card);
        }
        if (auto play = tag == tags::kThrow ? ParseThrow(body) : std::nullopt) known |= play->cards;
        // The hands are shown as the game ends, and only then.
        if (auto hand = tag == tags2::kHand ? ParseHand(body) : std::nullopt) {
            size_t next = i + 1;
            while (next < sent.size() && sent[next].rfind(tags2::kHand, 0) == 0) ++next;
            if (next == sent.size() || sent[next].rfind(tags::kGameOver, 0) != 0) return sent[i];
            known |= hand->cards;
        }
        for (const auto& m : kCardCode.globalMatch(QString::fromStdString(sent[i]))) {
            auto card = ParseCardList(m.captured().toStdString());
            if (!card || (*card & known) != *card) return sent[i] + " (seat " + std::to_string(seat) + ")";
        }
    }
    return {};
}

int GamesWon(const ScoreBoard& board) {
    int sum = 0;
    for (int won : board.won) sum += won;
    return sum;
}

// The test certificate vorn-server encrypts with, and its key.
const QString kCertificate = VORN_TEST_DATA "/server-cert.pem";
const QString kKey = VORN_TEST_DATA "/server-key.pem";

QString Fingerprint(const QString& certificateFile) {
    const auto certificates = QSslCertificate::fromPath(certificateFile);
    return certificates.isEmpty() ? QString()
                                  : QString(certificates.front().digest(QCryptographicHash::Sha256).toHex());
}

// vorn-server from the build, its computer players moving every few
// milliseconds, and what it logs.
class Server {
  public:
    // Listening on a free port of its own choosing; the port, or 0 when it
    // would not listen.
    int Start(const QStringList& options) {
        const QString program = QCoreApplication::applicationDirPath() + "/vorn-server";
        for (int attempt = 0; attempt < 5; ++attempt) {
            const QString port = QString::number(FreePort());
            process_.start(program, QStringList{"--port", port, "--move-ms", "5"} + options);
            unread_.clear();
            if (Logs("listening on port " + port.toUtf8()) && process_.state() == QProcess::Running)
                return port.toInt();
            process_.waitForFinished(kWaitMs);
        }
        return 0;
    }

    // Waits until the server logs text after what the last wait found; false
    // when it does not in time or has ended.
    bool Logs(const QByteArray& text) {
        qsizetype at = -1;
        WaitUntil([&] {
            unread_ += process_.readAllStandardError();
            at = unread_.indexOf(text);
            return at >= 0 || process_.state() == QProcess::NotRunning;
        });
        if (at < 0) return false;
        unread_.remove(0, at + text.size());
        return true;
    }

    // Asks it to end; whether it did in time. unread() has the rest of its log.
    bool Stop() {
        process_.terminate();
        const bool ended = process_.waitForFinished(kWaitMs);
        unread_ += process_.readAllStandardError();
        return ended;
    }
    const QByteArray& unread() const { return unread_; }

  private:
    QProcess process_;
    QByteArray unread_;
};

// Passes every link made to its port on to the server's, keeping what the
// server sent: the bytes on the wire as anybody on the way would see them.
class Relay {
  public:
    QByteArray fromServer;

    int Start(int serverPort) {
        if (!listener_.listen(QHostAddress::LocalHost, 0)) return 0;
        QObject::connect(&listener_, &QTcpServer::newConnection, &listener_, [this, serverPort] {
            while (QTcpSocket* in = listener_.nextPendingConnection()) {
                links_.push_back(in);
                auto* out = new QTcpSocket(in);
                QObject::connect(in, &QTcpSocket::readyRead, out, [in, out] { out->write(in->readAll()); });
                QObject::connect(out, &QTcpSocket::readyRead, in, [this, in, out] {
                    const QByteArray bytes = out->readAll();
                    fromServer += bytes;
                    in->write(bytes);
                });
                QObject::connect(out, &QTcpSocket::disconnected, in, &QTcpSocket::disconnectFromHost);
                out->connectToHost(QHostAddress::LocalHost, quint16(serverPort));
                out->waitForConnected(kWaitMs);
            }
        });
        return listener_.serverPort();
    }

    // The k-th link relayed (from 0) breaks at both ends.
    void Cut(size_t k) {
        if (k >= links_.size() || !links_[k]) return;
        if (auto* out = links_[k]->findChild<QTcpSocket*>()) out->abort();
        links_[k]->abort();
    }

  private:
    QTcpServer listener_;
    std::vector<QPointer<QTcpSocket>> links_;
};

class TestNetGames : public QObject {
    Q_OBJECT

  private slots:
    void wholeGamesStayInStep_data() {
        // flood: chat lines seat 2 pours out as the host deals; bit s of english:
        // the table at seat s reads English, of older: it speaks only the first version.
        Columns<quint64, int, unsigned, unsigned>("seed", "flood", "english", "older");
        Row("seed 3", quint64(3), 0, 0U, 0U);
        Row("seed 29", quint64(29), 0, 0U, 0U);
        Row("seed 3, seat 2 floods the chat", quint64(3), 5000, 0U, 0U);
        Row("seed 29, host and seat 2 in English", quint64(29), 0, 0b0101U, 0U);
        Row("seed 11, the host of an older build", quint64(11), 0, 0U, 0b0001U);
        Row("seed 11, seat 2 of an older build", quint64(11), 0, 0U, 0b0100U);
    }
    void wholeGamesStayInStep() {
        QFETCH(quint64, seed);
        QFETCH(int, flood);
        QFETCH(unsigned, english);
        QFETCH(unsigned, older);
        NetParty party(seed, english, older);
        QVERIFY(party.Fill());
        // A fair host deals fair to the links that speak its version; the
        // others, and everybody at an older host, hear every draw.
        for (int seat = 1; seat <= 3; ++seat) {
            const bool fair = !(older & 1U) && !((older >> seat) & 1U);
            QCOMPARE(party.AtSeat(seat)->FairSeat(), fair ? seat : -1);
            // The host and the fair tables see who plays on the old wire.
            for (NetTable* t : party.All())
                if (t->session().LocalSeat != seat && (t == party.host.get() || t->FairSeat() >= 0)) {
                    const bool marked = !fair && !(older & 1U);
                    VORN_TRY_COMPARE(t->session().OldWire[size_t(seat)], marked);
                    QCOMPARE(t->PlayerList().contains(QString("J%1（旧版本，看得到各家的牌）").arg(seat)),
                             marked);
                }
        }
        NetTable& host = *party.host;
        host.answers = {true, false};
        if (flood > 0) {
            // Straight onto the link, as a broken client or a pasted file would.
            QByteArray lines;
            for (int i = 0; i < flood; ++i) lines += QString("[Message]J2: %1\r\n").arg(i).toUtf8();
            QVERIFY(party.AtSeat(2)->net().sckConnect().SendBytes(lines));
        }

        ScoreBoard expected;
        std::array<int, 4> handsBefore{};
        int lastMover = -1;
        int games = 0;
        int moves = 0;
        std::array<QStringList, 4> joinerBoxes;
        // The seated news in each table's words, from the same messages.
        for (int seat = 0; seat < 4; ++seat)
            QVERIFY2(party.AtSeat(seat)->Progress().endsWith(
                         (english >> seat) & 1U ? "Everyone is here. The game begins" : "人已到齐，游戏开始"),
                     qPrintable(party.AtSeat(seat)->Progress()));
        host.w().mnuDeal_Click();
        QCOMPARE(host.table().CurrentSeat, 0);

        while (games < 2) {
            QVERIFY2(moves < 2000, "a game that never ends");
            QVERIFY2(party.WaitSettled(), party.Why());
            for (NetTable* t : party.All()) {
                QCOMPARE(Difference(host.table(), t->table(), t->FairSeat()), std::string());
                QCOMPARE(CheckConservation(t->table()), std::string());
                QVERIFY2(!t->net().tmrSendData().isActive(), "the send timer runs with nothing to send");
            }
            if (GamesWon(host.engine().scores()) != games) {
                // The last move emptied the mover's hand.
                ++games;
                const int winner = lastMover;
                for (int seat = 0; seat < 4; ++seat)
                    if (seat != winner) expected.lost[size_t(seat)] += handsBefore[size_t(seat)];
                expected.won[size_t(winner)] += 1;
                // Each table says it in its own words; the game under them is one.
                const auto wins = [&](int seat) {
                    return Q(host.session().PlayerNames[size_t(winner)]) +
                           ((english >> seat) & 1U ? " wins this game and leads the next one!"
                                                   : " 赢得本局，并赢得下局的先出牌权！");
                };
                QCOMPARE(host.questions.size(), qsizetype(games));
                QCOMPARE(host.questions.last(),
                         wins(0) + (english & 1U ? " Start the next game?" : "开始下一局吗？"));
                for (int seat = 1; seat <= 3; ++seat) joinerBoxes[seat] << wins(seat);
                for (NetTable* t : party.All()) {
                    QCOMPARE(t->engine().scores().lost, expected.lost);
                    QCOMPARE(t->engine().scores().won, expected.won);
                    for (int seat = 0; seat < 4; ++seat)
                        QCOMPARE(t->w().lblScore(seat)->text(), QString::number(expected.lost[size_t(seat)]));
                    if (t != &host) QCOMPARE(t->infos, joinerBoxes[size_t(t->session().LocalSeat)]);
                }
                QCOMPARE(host.table().TheLastThrower, winner);
                if (games == 1) {
                    // Yes: the winner leads the next deal.
                    QCOMPARE(host.table().lstCardsBox.Count(), 52 - 25);
                    QCOMPARE(host.table().CurrentSeat, winner);
                    QCOMPARE(host.table().HandSize(winner), 7);
                } else {
                    // No: nothing is dealt until the host asks for it.
                    Pause(20);
                    for (NetTable* t : party.All()) QCOMPARE(t->table().lstCardsBox.Count(), 52);
                }
                continue;
            }
            for (int seat = 0; seat < 4; ++seat) handsBefore[size_t(seat)] = host.table().HandSize(seat);
            NetTable* mover = party.AtSeat(host.table().CurrentSeat);
            QVERIFY(mover);
            const qsizetype boxes = mover->infos.size();
            QVERIFY2(mover->PlayAsComputer(), party.Why());
            // A refused choice would leave the turn where it was, with a box.
            QCOMPARE(mover->infos.size(), boxes);
            lastMover = mover->session().LocalSeat;
            ++moves;
        }
        for (NetTable* t : party.All()) {
            QVERIFY(t->session().IsNet());
            QCOMPARE(t->engine().scores().lost, expected.lost);
            // A network game is never saved to be taken up alone.
            QVERIFY(!QFile::exists(t->w().SaveFile()));
        }
        if (flood > 0) {
            // The host showed a human amount of the flood, its head whole and
            // all in order, passed on those same lines to the others, and
            // dropped the rest.
            const QStringList shown = host.ChatLines();
            QVERIFY2(shown.size() >= 20 && shown.size() < 200, qPrintable(QString::number(shown.size())));
            int last = -1;
            for (int i = 0; i < shown.size(); ++i) {
                QVERIFY(shown[i].startsWith("J2: "));
                const int n = shown[i].mid(4).toInt();
                QVERIFY2(n > last && (i >= 20 || n == i), qPrintable(shown[i]));
                last = n;
            }
            QCOMPARE(party.AtSeat(1)->ChatLines(), shown);
            QCOMPARE(party.AtSeat(3)->ChatLines(), shown);
            QVERIFY(party.AtSeat(2)->ChatLines().isEmpty());
        }
        // Every byte a fair link was sent: no card before its seat could see it.
        for (int seat = 1; seat <= 3; ++seat)
            if (party.AtSeat(seat)->FairSeat() == seat)
                QCOMPARE(FirstHiddenCard(party.sent[size_t(seat)], seat), std::string());
    }

    // People at a table of the server, seated from seat 1 on; the seats
    // nobody took filled with computer players a second after the first
    // arrival (three people are dealt to at once), and a game dealt and played
    // to its end with nobody at the server asked. A fourth person of this
    // build takes the server's own seat from its computer player, in the
    // middle of the hand, and has it back after its link broke. A server
    // with a certificate encrypts the links of this build, and no card code
    // crosses the wire readable; it keeps the first version's links plain.
    void aServerTableDealsAndPlays_data() {
        // second: the people's tables speak the second version; secure: the server has a certificate
        Columns<int, QString, bool, bool>("people", "botsAfter", "second", "secure");
        Row("one person, computer players after a second", 1, "1", false, false);
        Row("three people of this build, dealt at once", 3, "60", true, false);
        Row("three people of this build, encrypted", 3, "60", true, true);
        Row("four people of this build", 4, "60", true, false);
        Row("a person of the first version at a server with a certificate", 1, "1", false, true);
    }
    void aServerTableDealsAndPlays() {
        QFETCH(int, people);
        QFETCH(QString, botsAfter);
        QFETCH(bool, second);
        QFETCH(bool, secure);
        Server server;
        QStringList options{"--bots-after", botsAfter};
        if (secure) options << "--certificate" << kCertificate << "--key" << kKey;
        const int port = server.Start(options);
        QVERIFY2(port != 0, "vorn-server did not listen");
        Relay wire;
        const int relayed = wire.Start(port);
        QVERIFY(relayed != 0);
        const Session fresh;
        std::array<std::string, 4> names = fresh.PlayerNames;
        std::vector<std::unique_ptr<NetTable>> joiners;
        for (int n = 1; n <= people; ++n) {
            const int seat = n % 4;
            names[size_t(seat)] = "J" + std::to_string(n);
            auto& joiner = *joiners.emplace_back(std::make_unique<NetTable>(7 + n));
            joiner.net().dispatcher().secondVersion = second;
            joiner.Join(relayed, Q(names[size_t(seat)]));
            if (second) {
                // This build's person chooses at the lobby: a new table, then the same one.
                VORN_TRY_VERIFY(joiner.net().lobby());
                VORN_TRY_COMPARE(joiner.net().lobby()->lstLobby->count(), n == 1 ? 0 : 1);
                if (n == 1)
                    joiner.net().lobby()->cmdNewTable->click();
                else
                    joiner.net().lobby()->cmdSit->click();
            }
            VORN_TRY_COMPARE(joiner.session().PlayerNames[size_t(seat)], names[size_t(seat)]);
            QCOMPARE(joiner.session().LocalSeat, seat);
        }
        for (auto& joiner : joiners) {
            VORN_TRY_VERIFY(joiner->session().AllSeated);
            QCOMPARE(joiner->net().sckConnect().IsEncrypted(), second && secure);
            QCOMPARE(joiner->session().HostWire, second ? kWireVersion : 0);
            VORN_TRY_COMPARE(Names(joiner->session()), Names(names));
            // The seats that hold nobody's link: the host's computer plays them,
            // and the server's own seat, as the second version is told.
            for (int seat = 1; seat <= 3; ++seat)
                VORN_TRY_COMPARE(joiner->session().StandIn[size_t(seat)], seat > people);
            VORN_TRY_COMPARE(joiner->session().StandIn[0], second && people < 4);
        }
        if (people == 4) {
            wire.Cut(3);
            VORN_TRY_VERIFY(joiners[0]->session().StandIn[0]);
            VORN_TRY_VERIFY(!joiners[0]->session().StandIn[0]);
            VORN_TRY_VERIFY(joiners[3]->session().AllSeated);
            QCOMPARE(joiners[3]->session().LocalSeat, 0);
            // The list names the person in the server's own seat, not its computer player.
            for (auto& joiner : joiners) {
                for (const std::string& name : names)
                    VORN_TRY_VERIFY(NetParty::PersonListed(joiner->net().players(), name));
                QVERIFY(!NetParty::PersonListed(joiner->net().players(), fresh.PlayerNames[0]));
            }
        }
        QElapsedTimer clock;
        clock.start();
        while (joiners[0]->infos.isEmpty()) {
            QVERIFY2(clock.elapsed() < 40000, "a game that never ends");
            QCOMPARE(CheckConservation(joiners[0]->table()), std::string());
            WaitUntil(
                [&] {
                    bool played = false;
                    for (auto& joiner : joiners) played = joiner->PlayAsComputer() || played;
                    return played || !joiners[0]->infos.isEmpty();
                },
                1000);
        }
        for (auto& joiner : joiners) {
            VORN_TRY_VERIFY(!joiner->infos.isEmpty());
            QVERIFY2(joiner->infos.last().endsWith(" 赢得本局，并赢得下局的先出牌权！"),
                     qPrintable(joiner->infos.last()));
            QCOMPARE(GamesWon(joiner->engine().scores()), 1);
        }
        QVERIFY(server.Stop());
        const QByteArray& log = server.unread();
        QVERIFY2(log.contains("table 1: game 1 over"), log.constData());
        QCOMPARE(log.count("link encrypted"), second && secure ? people : 0);
        // The card codes are readable on the way unless encrypted.
        QCOMPARE(kCardCode.match(QString::fromLatin1(wire.fromServer)).hasMatch(), !(second && secure));
    }

    // A host that offers encryption and then breaks its word: the joiner takes
    // the offer with nothing but "[Secure]", hears none of the plain greeting,
    // and never names itself in plain; a handshake that fails closes the link
    // with the reason in the progress panel and brings back the logon dialog.
    void aJoinerNeverFallsBackToPlain_data() {
        Columns<bool>("answered");  // the host answers the joiner's "[Secure]" (else greets again)
        Row("the host answers and speaks no TLS", true);
        Row("the host greets again in plain", false);
    }
    void aJoinerNeverFallsBackToPlain() {
        QFETCH(bool, answered);
        const QByteArray greeting = "[Hello]2|0123456789abcdef0123456789abcdef|\r\n[Seat]1\r\n";
        QTcpServer host;
        QVERIFY(host.listen(QHostAddress::LocalHost, 0));
        NetTable joiner(5);
        joiner.Join(host.serverPort(), "J1");
        VORN_TRY_VERIFY(host.hasPendingConnections());
        QTcpSocket* link = host.nextPendingConnection();
        QByteArray heard;
        QObject::connect(link, &QTcpSocket::readyRead, link, [&] { heard += link->readAll(); });
        link->write("[Secure]\r\n" + greeting);
        VORN_TRY_VERIFY(heard.startsWith("[Secure]\r\n"));
        if (answered) {
            link->write("[Secure]\r\n");
            // The client's handshake record (type 22), then bytes that are no TLS.
            VORN_TRY_VERIFY(heard.size() > 10);
            QVERIFY2(heard[10] == 22 && !heard.contains("[Joined]"), heard.constData());
            link->write("no TLS here\r\n" + greeting);
            VORN_TRY_VERIFY(joiner.Progress().contains("加密连接失败："));
            QCOMPARE(joiner.logons, 1);
        } else {
            link->write(greeting);
            Pause(300);
            QVERIFY(joiner.session().IsNet());
            QCOMPARE(heard, QByteArray("[Secure]\r\n"));
        }
    }

    // The server's certificate as the joiner knows it, ssh's way: learnt the
    // first time (a line in the chat log), the same one taken silently, another
    // one asked about, the person going on (the new one remembered) or stopping
    // (back to the logon dialog, the old one kept).
    void aServerIsKnownByItsCertificate_data() {
        // known: in Vorn.known for the server before the join; goOn: the answer to the question, when asked
        Columns<QString, bool>("known", "goOn");
        Row("the first time", QString(), false);
        Row("the same certificate", Fingerprint(kCertificate), false);
        Row("another certificate, going on", QString(64, '0'), true);
        Row("another certificate, stopping", QString(64, '0'), false);
    }
    void aServerIsKnownByItsCertificate() {
        QFETCH(QString, known);
        QFETCH(bool, goOn);
        Server server;
        const int port = server.Start({"--bots-after", "60", "--certificate", kCertificate, "--key", kKey});
        QVERIFY2(port != 0, "vorn-server did not listen");
        const QString fingerprint = Fingerprint(kCertificate);
        const QString entry = QString("127.0.0.1:%1 ").arg(port);
        NetTable joiner(5);
        QFile file(joiner.dir.filePath("Vorn.known"));
        if (!known.isEmpty()) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write((entry + known + "\n").toUtf8());
            file.close();
        }
        const QByteArray settings = joiner.SettingsText();
        joiner.answers = {goOn};
        joiner.Join(port, "J1");
        const bool changed = !known.isEmpty() && known != fingerprint;
        const bool seated = !changed || goOn;
        if (seated) {
            // The lobby's list comes inside TLS, once the certificate is trusted.
            VORN_TRY_VERIFY(joiner.net().lobby());
            joiner.net().lobby()->cmdNewTable->click();
            VORN_TRY_COMPARE(joiner.session().LocalSeat, 1);
            QVERIFY(joiner.net().sckConnect().IsEncrypted());
        } else {
            VORN_TRY_COMPARE(joiner.logons, 1);
            QVERIFY(joiner.Local());
        }
        QCOMPARE(joiner.questions.size(), changed ? 1 : 0);
        if (changed) QVERIFY(joiner.questions[0].startsWith("服务器的证书变了！可能有人冒充它。"));
        const QString learnt = "第一次连接这台服务器，已记住它的证书指纹 " + fingerprint.left(16) + "…";
        QCOMPARE(joiner.ChatLines().contains(learnt), known.isEmpty());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString(file.readAll()), entry + (seated ? fingerprint : known) + "\n");
        // The settings file is never where they are kept.
        QCOMPARE(joiner.SettingsText(), settings);
        QVERIFY(server.Stop());
    }

    // A link that asks for the table list over and over and reads none of it
    // is turned away before the lists pile up in the server.
    void aLinkThatAsksFasterThanItReadsIsTurnedAway() {
        Server server;
        const int port = server.Start({});
        QVERIFY2(port != 0, "vorn-server did not listen");
        QTcpSocket link;
        link.setReadBufferSize(1);
        link.connectToHost("127.0.0.1", quint16(port));
        QVERIFY(link.waitForConnected(kWaitMs));
        QByteArray asks;
        for (int k = 0; k < 100000; ++k) asks += "[Browse]\r\n";
        for (int round = 0; round < 40 && link.state() == QAbstractSocket::ConnectedState; ++round) {
            link.write(asks);
            WaitUntil(
                [&] { return link.bytesToWrite() == 0 || link.state() != QAbstractSocket::ConnectedState; });
        }
        QVERIFY(server.Logs("asks for the list faster than it reads it"));
        QVERIFY(server.Stop());
    }

    // What the server's lobby answers a bare link: words sent one after the
    // other, each after the answer to the one before has come (a word ending
    // in ~ is sent without its ~ and its terminator), and the text
    // the link must have received by the end (or that it was closed).
    void theLobbyAnswers_data() {
        // before: links opened from the same address first, and kept; pauseMs:
        // after them, before the link opens; leave: the links opened first
        // each open a table and close.
        Columns<QStringList, QStringList, QString, bool, int, int, bool>(
            "options", "words", "expected", "closed", "before", "pauseMs", "leave");
        const QStringList none, shortHello{"--hello-seconds", "1"}, oneTable{"--tables", "1"};
        Row("a silent link is seated", none, none, "[Seat]1", false, 0, 0, false);
        Row("choosing keeps the link at the lobby", none, QStringList{"[Browse]"}, "[Lobby]\r\n[Lobby]\r\n",
            false, 0, 0, false);
        Row("a new table", none, QStringList{"[Pick]"}, "[Hello]2|", false, 0, 0, false);
        Row("a new table with a password", none, QStringList{"[Pick]|secret"}, "|password\r\n", false, 0, 0,
            false);
        Row("a word begun with the pick, finished at the table", none,
            QStringList{"[Pick]\r\n[Joined]An~", "n"}, "[People]0000000001Ann", false, 0, 0, false);
        Row("a table that is not there", none, QStringList{"[Pick]77"}, "[Refused]full", true, 0, 0, false);
        Row("a token no table keeps", none, QStringList{"[Back]" + QString(32, 'a')}, "[Refused]token", true,
            0, 0, false);
        Row("an older build that speaks first", none, QStringList{"[Joined]Old"}, "[People]0000000001Old",
            false, 0, 0, false);
        Row("no more links from one address", QStringList{"--links-per-address", "2"}, none, "", true, 2, 0,
            false);
        Row("a word never ended", shortHello, QStringList{"[Pick~"}, "[Lobby]", true, 0, 0, false);
        Row("no name given in time", shortHello, QStringList{"[Pick]"}, "[Seat]1", true, 0, 0, false);
        Row("a seat held by a link that gives no name", oneTable, none, "[Seat]1", false, 3, 2500, false);
        Row("a table left before anybody sat down closes", oneTable, QStringList{"[Pick]"}, "[Hello]2|",
            false, 2, 500, true);
    }
    void theLobbyAnswers() {
        QFETCH(QStringList, options);
        QFETCH(QStringList, words);
        QFETCH(QString, expected);
        QFETCH(bool, closed);
        QFETCH(int, before);
        QFETCH(int, pauseMs);
        QFETCH(bool, leave);
        Server server;
        const int port = server.Start(options);
        QVERIFY2(port != 0, "vorn-server did not listen");
        std::vector<std::unique_ptr<QTcpSocket>> others;
        while (int(others.size()) < before) {
            auto& other = *others.emplace_back(std::make_unique<QTcpSocket>());
            other.connectToHost("127.0.0.1", quint16(port));
            VORN_TRY_VERIFY(other.bytesAvailable() > 0);
            if (!leave) continue;
            other.write(others.size() == 1 ? "[Pick]|secret\r\n" : "[Pick]\r\n");
            QByteArray got;
            VORN_TRY_VERIFY((got += other.readAll()).contains("[Hello]"));
            other.close();
            QVERIFY(server.Logs("closed: nobody sat down"));
        }
        QTest::qWait(pauseMs);
        QTcpSocket link;
        link.connectToHost("127.0.0.1", quint16(port));
        QVERIFY(link.waitForConnected(kWaitMs));
        QByteArray heard;
        const auto hear = [&] { heard += link.readAll(); };
        // Each word goes once the answer to the one before (the list, at first) has begun.
        qsizetype answered = 0;
        for (const QString& word : words) {
            VORN_TRY_VERIFY(
                (hear(), heard.size() > answered || link.state() != QAbstractSocket::ConnectedState));
            answered = heard.size();
            link.write(word.endsWith('~') ? word.chopped(1).toUtf8() : word.toUtf8() + "\r\n");
        }
        VORN_TRY_VERIFY((hear(), heard.contains(expected.toUtf8())));
        if (closed) VORN_TRY_VERIFY((hear(), link.state() == QAbstractSocket::UnconnectedState));
        QVERIFY2(closed || link.state() == QAbstractSocket::ConnectedState, heard.constData());
        QVERIFY(server.Stop());
    }
};

}  // namespace
}  // namespace vorn::itest

using vorn::itest::TestNetGames;
VORN_TEST(TestNetGames)
#include "games_test.moc"
