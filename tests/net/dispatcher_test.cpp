#include <QObject>
#include <QRegularExpression>
#include <QTest>

#include <string>
#include <vector>

#include "cards/gamestate.h"
#include "net/dispatcher.h"
#include "net/protocol.h"
#include "net/socket/keys.h"
#include "net/texts.h"
#include "tests/net/netrig.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

namespace vorn::test {

namespace {

using vorn::testing::Columns;
using vorn::testing::Row;

QString Hand(const GameState& t, int seat) {
    QStringList codes;
    for (const auto& code : t.lstDirection[seat]) codes << Q(code);
    return codes.join(' ');
}

QString People(const std::vector<Person>& players) {
    QStringList entries;
    for (const auto& p : players) entries << Q(p.name) + "@" + QString::number(p.slot);
    return entries.join(' ');
}

void Arrive(NetRig& rig, const QString& messages, int source) {
    std::string text = messages.toStdString();
    rig.dispatcher.DispatchMessages(text, source);
}

// The host's name list as it goes to slot to: the list's start, then each
// person's padded slot and name.
QStringList ListTo(int to, const QStringList& people) {
    const QString link = QString::number(to) + " ";
    QStringList lines{link + "[New Name List]"};
    for (const QString& person : people) lines << link + "[People]" + person;
    return lines;
}

// What a peer can see on a computer besides its table, one entry a line, so
// that any change to any list shows.
QStringList Seen(NetRig& rig) {
    QStringList seen{
        QString("seat %1, %2").arg(rig.session_.LocalSeat).arg(rig.session_.IsNet() ? "net" : "local"),
        "people: " + People(rig.players_)};
    const auto add = [&seen](const QString& what, const auto& texts) {
        for (const std::string& text : texts) seen << what + Q(text);
    };
    add("name: ", rig.session_.PlayerNames);
    for (const QString& line : Lines(rig.Queued())) seen << "queued: " + line;
    add("box: ", rig.boxes);
    add("box shown: ", rig.view.infoBoxes);
    add("chat: ", rig.chat);
    add("progress: ", rig.progress);
    seen << QString("closes %1, resets %2, logons %3, play button %4")
                .arg(rig.closes)
                .arg(rig.resets)
                .arg(rig.logons)
                .arg(rig.engine_.ThrowVisible());
    return seen;
}

}  // namespace

// What each message does on arrival, at the host and at a joiner, and that
// nothing a peer sends wrongly changes anything at all.
class DispatcherTest : public QObject {
    Q_OBJECT

  private slots:
    // Three joiners arrive at a host named H, one after the other.
    void fourArrivals() {
        NetRig rig(true);
        rig.session_.SlotCount = 0;
        rig.slotUp.fill(false);
        rig.session_.PlayerNames = {"H", "青龙", "玄武", "白虎"};
        rig.dispatcher.AddPerson(-1, "H");

        // A link accepted into the slot says who joins; what the host sends then.
        auto join = [&rig](int slot, const QString& name) {
            rig.session_.SlotCount = slot;
            rig.slotUp[slot] = true;
            rig.queue.SendToSlot(SeatMessage(slot), slot);
            Arrive(rig, "[Joined]" + name + "\r\n", slot);
            const QStringList sent = Lines(rig.Queued());
            rig.queue.Discard();
            return sent;
        };
        const QStringList people{"-000000001H", "0000000001J1", "0000000002J2", "0000000003J1 2"};
        QCOMPARE(join(1, "J1"), QStringList({"1 [Seat]1", "1 [Joined]J1"}) + ListTo(1, people.mid(0, 2)));
        QCOMPARE(Q(rig.progress.back()), QString("J1 来了"));
        QCOMPARE(join(2, "J2"), QStringList({"2 [Seat]2", "1 [Joined]J2", "2 [Joined]J2"}) +
                                    ListTo(1, people.mid(0, 3)) + ListTo(2, people.mid(0, 3)));
        // A name already at the table is numbered, for everybody.
        QStringList expected{"3 [Seat]3", "1 [Joined]J1 2", "2 [Joined]J1 2", "3 [Joined]J1 2"};
        for (int to = 1; to <= 3; ++to) expected << ListTo(to, people);
        expected += {"1 [Prepare]H|J1|J2|J1 2", "2 [Prepare]H|J1|J2|J1 2", "3 [Prepare]H|J1|J2|J1 2"};
        QCOMPARE(join(3, "J1"), expected);
        QCOMPARE(rig.session_.PlayerNames, (std::array<std::string, 4>{"H", "J1", "J2", "J1 2"}));
        QCOMPARE(People(rig.players_), QString("H@-1 J1@1 J2@2 J1 2@3"));
        QCOMPARE(Q(rig.progress.back()), QString(texts::kAllSeated));
        QCOMPARE(Q(rig.progress[rig.progress.size() - 2]), QString("J1 2 来了"));
    }

    void joinedAndChatInOneArrival() {
        NetRig rig(true);
        rig.session_.SlotCount = 2;
        rig.slotUp = {false, true, true};
        std::string text = "[Joined]J1\r\n[Message]J1: hi\r\n[Turn]1|Tr";
        rig.dispatcher.DispatchMessages(text, 1);
        QCOMPARE(Q(text), QString("[Turn]1|Tr"));
        QCOMPARE(rig.progress, std::vector<std::string>{"J1 来了"});
        QCOMPARE(rig.chat, std::vector<std::string>{"J1: hi"});
        const QStringList lines = Lines(rig.Queued());
        QCOMPARE(lines.first(), QString("1 [Joined]J1"));
        QCOMPARE(lines.last(), QString("2 [Message]J1: hi"));
    }

    // A table's password is not to be guessed quickly: after ten wrong proofs
    // within a minute every proof is refused, the right one too, until the
    // oldest wrong one is a minute old.
    void passwordGuessingIsSlowed() {
        NetRig rig(true);
        rig.session_.Password = "pw";
        std::int64_t clock = 0;
        rig.dispatcher.now = [&clock] { return clock; };
        // A fresh link in slot 1 answers its challenge with the proof of password.
        auto refused = [&rig](const std::string& password) {
            rig.queue.Discard();
            rig.slotUp[1] = true;
            rig.dispatcher.Accepted(1);
            const std::string hello = rig.Queued().front().second;
            const auto challenge = ParseHostHello(std::string_view(hello).substr(hello.find(']') + 1));
            if (!challenge) return false;
            Arrive(rig, Q(JoinerHelloMessage("", PasswordProof(password, challenge->nonce)) + "\r\n"), 1);
            return Lines(rig.Queued()).contains("1 " + Q(RefusedMessage(Refusal2::Password)));
        };
        QVERIFY(!refused("pw"));
        for (int k = 0; k < 10; ++k, clock += 1000) QVERIFY(refused("guess" + std::to_string(k)));
        QVERIFY(refused("pw"));
        clock = 60'500;
        QVERIFY(!refused("pw"));
    }

    void chat_data() {
        Columns<bool, int, QString, QString, QStringList>("host", "source", "line", "shown", "relayed");
        const QString hello = "J2: 你好";
        Row("host, from slot 2", true, 2, hello, hello,
            QStringList{"1 [Message]J2: 你好", "3 [Message]J2: 你好"});
        Row("host, from slot 1", true, 1, hello, hello,
            QStringList{"2 [Message]J2: 你好", "3 [Message]J2: 你好"});
        Row("joiner", false, -1, hello, hello, QStringList{});
        Row("host, from a link that has not joined", true, 4, hello, QString(), QStringList{});
        const QString cut = "J2: " + QString(kMaxChatLineChars - 4, QChar(0x597D));
        Row("host, an over-long line is cut before it goes on", true, 3, cut + "好好", cut,
            QStringList{"1 [Message]" + cut, "2 [Message]" + cut});
        Row("joiner, an over-long line from the host is cut", false, -1, cut + "好", cut, QStringList{});
    }
    void chat() {
        QFETCH(bool, host);
        QFETCH(int, source);
        QFETCH(QString, line);
        QFETCH(QString, shown);
        QFETCH(QStringList, relayed);
        NetRig rig(host);
        rig.ListJoiners();
        Arrive(rig, "[Message]" + line + "\r\n", source);
        QCOMPARE(rig.chat, shown.isEmpty() ? std::vector<std::string>{} : std::vector{shown.toStdString()});
        QCOMPARE(Lines(rig.Queued()), relayed);
    }

    // How much of a joiner's chat the host passes on. Each arrival is
    // "slot ms": a line from that slot at that time on the host's clock.
    void chatRate_data() {
        // passed: the indices of the arrivals shown and relayed
        Columns<bool, QStringList, QList<int>>("host", "arrivals", "passed");

        auto times = [](int slot, int count, int start, int step) {
            QStringList list;
            for (int i = 0; i < count; ++i) list << QString("%1 %2").arg(slot).arg(start + i * step);
            return list;
        };
        auto range = [](int from, int to) {
            QList<int> list;
            for (int i = from; i < to; ++i) list << i;
            return list;
        };
        Row("a person's pace, every line", true, times(1, 30, 0, 150), range(0, 30));
        Row("a burst of 20 at once", true, times(2, 20, 0, 0), range(0, 20));
        Row("a flood, cut after the burst", true, times(2, 500, 0, 0), range(0, 20));
        Row("ten a second after the burst", true,
            times(2, 20, 0, 0) + QStringList{"2 100", "2 150", "2 200", "2 250", "2 300"},
            range(0, 21) + QList<int>{22, 24});
        Row("the allowance stops at the burst", true, times(1, 20, 0, 0) + times(1, 25, 60000, 0),
            range(0, 40));
        Row("a clock that steps back gives nothing", true,
            times(1, 20, 5000, 0) + QStringList{"1 0", "1 5000", "1 5100"}, range(0, 20) + QList<int>{22});
        Row("each joiner has its own allowance", true, times(1, 25, 0, 0) + times(3, 20, 0, 0),
            range(0, 20) + range(25, 45));
        Row("a joiner holds back nothing from the host", false, times(-1, 50, 0, 0), range(0, 50));
    }
    void chatRate() {
        QFETCH(bool, host);
        QFETCH(QStringList, arrivals);
        QFETCH(QList<int>, passed);
        NetRig rig(host);
        rig.ListJoiners();
        std::int64_t clock = 0;
        rig.dispatcher.now = [&clock] { return clock; };
        std::vector<std::string> shown;
        QStringList relayed;
        for (int i : passed) {
            const int slot = arrivals[i].section(' ', 0, 0).toInt();
            const QString line = QString("J%1: %2").arg(slot).arg(i);
            shown.push_back(line.toStdString());
            if (host)
                for (int to = 1; to <= 3; ++to)
                    if (to != slot) relayed << QString("%1 [Message]").arg(to) + line;
        }
        for (int i = 0; i < arrivals.size(); ++i) {
            const int slot = arrivals[i].section(' ', 0, 0).toInt();
            clock = arrivals[i].section(' ', 1, 1).toLongLong();
            Arrive(rig, QString("[Message]J%1: %2\r\n").arg(slot).arg(i), slot);
        }
        QCOMPARE(rig.chat, shown);
        QCOMPARE(Lines(rig.Queued()), relayed);
    }

    void playerList() {
        NetRig rig(false);
        rig.players_ = {{"old", 1}, {"older", 2}};
        Arrive(rig,
               "[New Name List]\r\n[People]-000000001H\r\n[People]0000000002J2\r\n[People]0000000001朱雀\r\n",
               -1);
        QCOMPARE(People(rig.players_), QString("H@-1 J2@2 朱雀@1"));
        QVERIFY(rig.listChanges >= 4);
        Arrive(rig, "[Disconnected]0000000002\r\n", -1);
        QCOMPARE(Q(rig.progress.back()), QString("J2 走了"));
        QCOMPARE(People(rig.players_), QString("H@-1 朱雀@1"));
    }

    void addPersonNumbersTheFirstUnnumbered() {
        std::vector<Person> list{{"a", 0}};
        AddPerson(list, 3, "b");
        // The entry still at 0 takes the number; the new one waits at 0.
        QCOMPARE(People(list), QString("a@3 b@0"));
        QCOMPARE(Q(PersonName(list, 0)), QString("b"));
        QCOMPARE(Q(PersonName(list, 7)), QString());
        QVERIFY(!RemovePerson(list, 7));
        QVERIFY(RemovePerson(list, 3));
        QCOMPARE(People(list), QString("b@0"));
    }

    void seat_data() {
        Columns<QString, int, bool>("message", "localSeat", "turnedAway");
        Row("seat 1", "[Seat]1", 1, false);
        Row("seat 3", "[Seat]3", 3, false);
        Row("slot 4: table full", "[Seat]4", 0, true);
        Row("slot 12: table full", "[Seat]12", 0, true);
    }
    void seat() {
        QFETCH(QString, message);
        QFETCH(int, localSeat);
        QFETCH(bool, turnedAway);
        NetRig rig(false, 2);
        Arrive(rig, message + "\r\n", -1);
        QCOMPARE(rig.session_.LocalSeat, localSeat);
        QCOMPARE(rig.boxes,
                 turnedAway ? std::vector<std::string>{texts::kTableFull} : std::vector<std::string>{});
        // The links closed, the table made local and the logon shown again, once each.
        QCOMPARE(QList<int>({rig.closes, rig.resets, rig.logons}), QList<int>(3, turnedAway ? 1 : 0));
    }

    void prepare() {
        NetRig rig(false, 1);
        Arrive(rig, "[Prepare]南家|东家|北家|西家\r\n", -1);
        QCOMPARE(rig.session_.PlayerNames, (std::array<std::string, 4>{"南家", "东家", "北家", "西家"}));
        QCOMPARE(Q(rig.progress.back()), QString(texts::kAllSeated));
        // The seats turned: this joiner's seat 1 is now at the bottom.
        QCOMPARE(rig.pictures.SeatY[1], 6400);
    }

    // A joiner applies the host's moves; the host carries out a joiner's
    // legal move and tells the others. A pass never moves a card, a play
    // moves exactly the named ones.
    void throwApplied_data() {
        Columns<bool, QString, QString, QString, int, int, QStringList>(
            "host", "message", "hand1", "tablePlay", "lastThrower", "passCount", "sent");
        const QStringList none;  // a joiner sends nothing for a move it was told about
        Row("joiner, play", false, "[Throw]1|H_06S_06|1", "C_03 D_13 S_09", "H_06S_06", 1, 0, none);
        Row("joiner, pass", false, "[Throw]0|C_05D_05|1", "C_03 D_13 H_06 S_06 S_09", "C_05D_05", 0, 1, none);
        Row("joiner, pass naming the seat's own cards", false, "[Throw]0|H_06S_06|1",
            "C_03 D_13 H_06 S_06 S_09", "H_06S_06", 0, 1, none);
        Row("host, play", true, "[Throw]1|H_06S_06|1", "C_03 D_13 S_09", "H_06S_06", 1, 0,
            QStringList{"2 [Throw]1|H_06S_06|1", "3 [Throw]1|H_06S_06|1", "1 [Turn]2|False",
                        "2 [Turn]2|False", "3 [Turn]2|False"});
        Row("host, pass", true, "[Throw]0|C_05D_05|1", "C_03 D_13 H_06 S_06 S_09", "C_05D_05", 0, 1,
            QStringList{"2 [Throw]0|C_05D_05|1", "3 [Throw]0|C_05D_05|1", "1 [Turn]2|False",
                        "2 [Turn]2|False", "3 [Turn]2|False"});
    }
    void throwApplied() {
        QFETCH(bool, host);
        QFETCH(QString, message);
        QFETCH(QString, hand1);
        QFETCH(QString, tablePlay);
        QFETCH(int, lastThrower);
        QFETCH(int, passCount);
        QFETCH(QStringList, sent);
        Following rig(host);
        Arrive(rig, message + "\r\n", host ? 1 : -1);
        QCOMPARE(Hand(rig.table, 1), hand1);
        QCOMPARE(Q(rig.table.TablePlay), tablePlay);
        QCOMPARE(rig.table.TheLastThrower, lastThrower);
        QCOMPARE(rig.table.PassCount, passCount);
        QCOMPARE(rig.table.CurrentSeat, 2);
        QCOMPARE(Hand(rig.table, 0), QString("C_04 H_07 S_07"));
        QCOMPARE(Q(CheckConservation(rig.table)), QString());
        QCOMPARE(Lines(rig.Queued()), sent);
        QCOMPARE(rig.queue.Count(), int(sent.size()));
    }

    // While the host's table is held up (a box open), a link's moves wait;
    // beyond the few a seat could make, more are ignored, not kept.
    void throwsWaitingAreCapped() {
        Following rig(true);
        rig.session().Wire[1] = 2;  // each move the host cannot take is answered with a snapshot
        rig.engine().RunAction([&rig] {
            for (int k = 0; k < 50; ++k) Arrive(rig, "[Throw]0|C_05D_05|1\r\n", 1);
        });
        QCOMPARE(rig.table.CurrentSeat, 2);
        QCOMPARE(Lines(rig.Queued()).filter(QRegularExpression("^1 \\[Snapshot\\]")).size(), 3);
        // Once the table runs again, the link is heard as before.
        rig.queue.Discard();
        Arrive(rig, "[Throw]0|C_05D_05|1\r\n", 1);
        QCOMPARE(Lines(rig.Queued()).filter(QRegularExpression("^1 \\[Snapshot\\]")).size(), 1);
    }

    void turn_data() {
        Columns<QString, int, bool, bool>("message", "seat", "mustLead", "button");
        Row("another seat", "[Turn]3|True", 3, true, false);
        Row("this seat", "[Turn]2|False", 2, false, true);
        Row("upper case", "[Turn]2|TRUE", 2, true, true);
        Row("not true is false", "[Turn]0|yes", 0, false, false);
        Row("blanks around", "[Turn]  1|true ", 1, true, false);
    }
    void turn() {
        QFETCH(QString, message);
        QFETCH(int, seat);
        QFETCH(bool, mustLead);
        QFETCH(bool, button);
        Following rig(false);
        Arrive(rig, message + "\r\n", -1);
        QCOMPARE(rig.table.CurrentSeat, seat);
        QCOMPARE(rig.table.MustLead, mustLead);
        QCOMPARE(rig.view.throwVisible, button);
        for (int s = 0; s < 4; ++s) QCOMPARE(rig.view.markers[s], s == seat);
    }

    void snatch_data() {
        Columns<int, int>("seat", "index");
        Row("first card to seat 1", 1, 0);
        Row("last card to seat 3", 3, 35);
        Row("to this seat", 2, 17);
    }
    void snatch() {
        QFETCH(int, seat);
        QFETCH(int, index);
        Following rig(false);
        QCOMPARE(rig.table.lstCardsBox.Count(), 36);
        const Card card = rig.table.lstCardsBox[index];
        const int before = rig.table.HandSize(seat);
        Arrive(rig, QString("[Snatch Card]%1|%2\r\n").arg(seat).arg(index), -1);
        QCOMPARE(rig.table.HandSize(seat), before + 1);
        QVERIFY(rig.table.lstDirection[seat].Contains(card));
        QVERIFY(!rig.table.lstCardsBox.Contains(card));
        QCOMPARE(rig.table.CurrentSeat, seat);
        QCOMPARE(Q(CheckConservation(rig.table)), QString());
    }

    void gameOver() {
        Following rig(false);
        Arrive(rig, "[Game Over]1\r\n", -1);
        QCOMPARE(rig.engine_.scores().won[1], 1);
        QCOMPARE(rig.engine_.scores().lost[0], 3);
        QCOMPARE(rig.engine_.scores().lost[3], 3);
        QCOMPARE(rig.table.TheLastThrower, 1);
        QCOMPARE(rig.table.lstCardsBox.Count(), 52);
        QCOMPARE(rig.view.infoBoxes.size(), size_t(1));
        QVERIFY(rig.view.infoBoxes[0].rfind("J1 赢得本局", 0) == 0);
    }

    void exitEndsTheNetworkGame() {
        Following rig(false);
        rig.players_ = {{"H", -1}, {"J1", 1}, {"J2", 2}};
        // Game messages behind the "[Exit]" belong to the game that ended.
        Arrive(rig, "[Exit]0000000001\r\n[Turn]2|True\r\n[Snatch Card]2|0\r\n", -1);
        QCOMPARE(rig.boxes, std::vector<std::string>{"J1 走了，游戏结束！"});
        QCOMPARE(rig.closes, 1);
        QCOMPARE(rig.resets, 1);
        QVERIFY(!rig.session_.IsNet());
        QCOMPARE(rig.table.lstCardsBox.Count(), 52);
        QCOMPARE(rig.table.CurrentSeat, 1);
        QVERIFY(!rig.view.throwVisible);
    }

    // Messages that arrive while an action runs (a card moving, a box open)
    // wait and are applied in order when it ends; chat shows at once.
    void arrivalsWaitForTheRunningAction() {
        Following rig(false);
        const Card first = rig.table.lstCardsBox[0];
        const Card second = rig.table.lstCardsBox[1];
        rig.engine_.RunAction([&rig] {
            Arrive(rig, "[Snatch Card]1|0\r\n[Message]H: wait\r\n[Snatch Card]3|0\r\n[Turn]3|True\r\n", -1);
            QCOMPARE(rig.table.lstCardsBox.Count(), 36);
            QCOMPARE(rig.table.CurrentSeat, 1);
            QCOMPARE(rig.chat.size(), size_t(1));
        });
        QVERIFY(rig.table.lstDirection[1].Contains(first));
        QVERIFY(rig.table.lstDirection[3].Contains(second));
        QCOMPARE(rig.table.lstCardsBox.Count(), 34);
        QCOMPARE(rig.table.CurrentSeat, 3);
        QVERIFY(rig.table.MustLead);
    }

    // The stock index is checked when the draw runs, against the stock then.
    void stockIndexCheckedWhenApplied() {
        Following rig(false);
        rig.engine_.RunAction([&rig] {
            Arrive(rig, "[Snatch Card]1|35\r\n", -1);
            rig.engine_.ReceiveSnatch(2, 0);
        });
        QCOMPARE(rig.table.lstCardsBox.Count(), 35);
        QCOMPARE(rig.table.HandSize(1), 5);
        QCOMPARE(rig.table.CurrentSeat, 2);
        QCOMPARE(Q(CheckConservation(rig.table)), QString());
    }

    // Nothing a peer sends wrongly changes anything: not the table, not the
    // seats, the names, the list, the queue or the screen. A joiner told of
    // an arrival only tells it on.
    void refusedWhole_data() {
        Columns<bool, int, bool, QString, QStringList>("host", "source", "mustLead", "message", "told");
        auto joiner = [](const char* name, const char* message, const QStringList& told = {}) {
            Row(name, false, -1, false, QString(message), told);
        };
        joiner("joined on a joiner only tells", "[Joined]J3", {"J3 来了"});
        joiner("throw empty", "[Throw]");
        joiner("throw missing field", "[Throw]1|H_06S_06");
        joiner("throw non-number", "[Throw]a|H_06S_06|1");
        joiner("throw fraction", "[Throw]1.5|H_06|1");
        joiner("throw seat 4", "[Throw]1|H_06S_06|4");
        joiner("throw seat -1", "[Throw]-1|H_06S_06|-1");
        joiner("throw card list cut", "[Throw]1|H_06S_0|1");
        joiner("throw bad card code", "[Throw]1|H_06X_06|1");
        joiner("throw own seat echoed", "[Throw]2|D_08H_08|2");
        joiner("turn empty", "[Turn]");
        joiner("turn missing field", "[Turn]2");
        joiner("turn seat 4", "[Turn]4|True");
        joiner("turn seat -1", "[Turn]-1|True");
        joiner("turn non-number", "[Turn]x|True");
        joiner("snatch missing field", "[Snatch Card]1");
        joiner("snatch index -1", "[Snatch Card]1|-1");
        joiner("snatch index = stock size", "[Snatch Card]1|36");
        joiner("snatch huge index", "[Snatch Card]1|99999999999");
        joiner("snatch seat 4", "[Snatch Card]4|0");
        joiner("snatch blank inside", "[Snatch Card]1|1 0");
        joiner("game over empty", "[Game Over]");
        joiner("game over seat 4", "[Game Over]4");
        joiner("game over seat -1", "[Game Over]-1");
        joiner("game over non-number", "[Game Over]one");
        joiner("seat 0", "[Seat]0");
        joiner("seat negative", "[Seat]-3");
        joiner("seat non-number", "[Seat]abc");
        joiner("seat empty", "[Seat]");
        joiner("prepare three names", "[Prepare]A|B|C");
        joiner("prepare empty name", "[Prepare]A||C|D");
        joiner("people short", "[People]12");
        joiner("people no number", "[People]xxxxxxxxxxBob");
        joiner("disconnected unpadded", "[Disconnected]2");
        joiner("exit empty", "[Exit]");
        joiner("exit non-number", "[Exit]abcdefghij");
        joiner("unknown tag", "[Bogus]1");
        joiner("no tag", "hello");
        joiner("tag in other case", "[turn]2|True");
        joiner("empty message", "");
        joiner("bracket only", "]");

        auto host = [](const char* name, int source, const char* message, bool mustLead = false) {
            Row(name, true, source, mustLead, QString(message), QStringList{});
        };
        host("throw from the wrong link", 2, "[Throw]1|H_06S_06|1");
        host("throw not from a joiner link", -1, "[Throw]1|H_06S_06|1");
        host("pass out of turn", 2, "[Throw]0|C_05D_05|2");
        host("play out of turn", 3, "[Throw]3|C_11D_11|3");
        host("cards not in the hand", 1, "[Throw]1|H_07S_07|1");
        host("cards already played", 1, "[Throw]1|C_05D_05|1");
        host("single on a pair", 1, "[Throw]1|S_09|1");
        host("no shape", 1, "[Throw]1|C_03S_09|1");
        host("2 with another card", 1, "[Throw]1|D_13S_09|1");
        host("empty play", 1, "[Throw]1||1");
        host("same card twice", 1, "[Throw]1|H_06H_06|1");
        host("pass not repeating the play", 1, "[Throw]0|C_05|1");
        host("pass naming another thrower", 1, "[Throw]2|C_05D_05|1");
        host("pass while leading", 1, "[Throw]0|C_05D_05|1", true);
        host("malformed throw", 1, "[Throw]1|H_06S_06|");
        host("turn from a joiner", 1, "[Turn]1|True");
        host("snatch from a joiner", 1, "[Snatch Card]1|0");
        host("game over from a joiner", 1, "[Game Over]1");
        host("seat from a joiner", 1, "[Seat]2");
        host("prepare from a joiner", 1, "[Prepare]a|b|c|d");
        host("name list from a joiner", 1, "[New Name List]");
        host("people from a joiner", 1, "[People]0000000002X");
        host("disconnected from a joiner", 1, "[Disconnected]0000000002");
        host("exit from a joiner", 1, "[Exit]0000000001");
        host("joined without a name", 1, "[Joined]   ");
        host("second joined from a seated link", 1, "[Joined]Imposter");
    }
    void refusedWhole() {
        QFETCH(bool, host);
        QFETCH(int, source);
        QFETCH(bool, mustLead);
        QFETCH(QString, message);
        QFETCH(QStringList, told);
        Following rig(host);
        rig.table.MustLead = mustLead;
        rig.players_ = {{"H", -1}, {"J1", 1}, {"J2", 2}};
        QCOMPARE(rig.table.lstCardsBox.Count(), 36);
        const GameState before = rig.table;
        const QStringList seen = Seen(rig);
        std::vector<std::string> progress = rig.progress;
        for (const QString& line : told) progress.push_back(line.toStdString());

        Arrive(rig, message + "\r\n", source);

        QCOMPARE(Q(StateDifference(before, rig.table)), QString());
        QVERIFY(rig.queue.Empty());
        QCOMPARE(rig.progress, progress);
        rig.progress.resize(rig.progress.size() - size_t(told.size()));  // checked; nothing else may change
        QCOMPARE(Seen(rig), seen);
    }
};

VORN_TEST(DispatcherTest)

}  // namespace vorn::test

#include "dispatcher_test.moc"
