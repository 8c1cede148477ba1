// Four table windows in one process over 127.0.0.1: seating, chat, and players
// coming and going before and during a game.

#include <algorithm>

#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QTest>

#include "app/tablemenus.h"
#include "display/seatcues.h"
#include "tests/integration/nettable.h"
#include "tests/testing.h"

namespace vorn::itest {
namespace {

const QString kAllSeated = "进程：人已到齐，游戏开始";
const QString kLocalGame = "进程：单机游戏";

bool SendIdle(NetParty& party) {
    for (NetTable* t : party.All())
        if (t->net().tmrSendData().isActive()) return false;
    return true;
}

// The rows of a player leaving a full table: who, after how many moves (-1:
// before the deal), and whether the host gives the link up as overfed.
void LeaverColumns() {
    Columns<int, int, bool>("leaver", "moves", "overfed");
    Row("slot 1 before the deal", 1, -1, false);
    Row("slot 3 during a game", 3, 5, false);
    Row("slot 2 overfed during a game", 2, 3, true);
}

// A full table, dealt and moves moves played unless moves is -1.
bool PlayTo(NetParty& party, int moves) {
    if (!party.Fill()) return false;
    if (moves < 0) return true;
    party.host->w().mnuDeal_Click();
    return party.Play(moves);
}

// The seat's player goes: the host's link to it overfed until the host gives
// it up, or its own window disconnected (the host's through the menu).
void Leave(NetParty& party, int leaver, bool overfed) {
    NetTable& host = *party.host;
    if (overfed) {
        const std::string line = "[Message]H: " + std::string(4000, 'x');
        for (size_t sent = 0; sent <= SendQueue::kMaxWaitingBytes &&
                              host.net().sckConnection().Element(leaver).State() != Socket::kClosed;
             sent += line.size())
            host.net().queue().SendToSlot(line, leaver);
    } else if (leaver == 0) {
        host.w().menus().mnuDisconnect_Click();
    } else {
        NetTable* gone = party.AtSeat(leaver);
        gone->net().CloseAllConnections();
        gone->w().ResetToLocalGame();
    }
}

// Plays the hand to its end, the host's computer player moving for the seats
// it holds; every table of tables agrees with the host's after each move and
// on the score.
void PlayHandOut(NetParty& party, const std::vector<NetTable*>& tables) {
    NetTable& host = *party.host;
    for (int moves = 0;; ++moves) {
        QVERIFY2(party.WaitSettled(), party.Why());
        for (NetTable* t : tables)
            QCOMPARE(Difference(host.table(), t->table(), t->FairSeat()), std::string());
        if (host.engine().scores().won != std::array<int, 4>{}) break;
        QVERIFY2(moves < 400 && party.Move(), party.Why());
    }
    for (NetTable* t : tables) {
        VORN_TRY_COMPARE(t->engine().scores().won, host.engine().scores().won);
        QCOMPARE(t->engine().scores().lost, host.engine().scores().lost);
    }
}

// The hand played out by those who stayed, then, between hands, a newcomer
// takes seat back from the computer.
void PlayHandAndRetake(NetParty& party, const std::vector<NetTable*>& stayed, int seat) {
    NetTable& host = *party.host;
    PlayHandOut(party, stayed);
    if (QTest::currentTestFailed()) return;
    VORN_TRY_COMPARE(host.questions.size(), qsizetype(1));
    for (NetTable* t : stayed)
        if (t != &host) VORN_TRY_COMPARE(t->infos.size(), qsizetype(1));  // who won

    // Between hands a newcomer takes the seat, and plays it as a person.
    NetTable& back = party.Connect("K");
    VORN_TRY_COMPARE(back.session().LocalSeat, seat);
    for (NetTable* t : party.All()) {
        if (!t->session().IsNet()) continue;
        VORN_TRY_COMPARE(Q(t->session().PlayerNames[size_t(seat)]), QString("K"));
        VORN_TRY_VERIFY(!t->session().StandIn[size_t(seat)]);
        VORN_TRY_VERIFY(t->w().seatCues().StandInMark(seat)->isHidden());
    }
    QCOMPARE(host.engine().server()->Seat(seat).kind, SeatKind::Remote);
}

class TestSeating : public QObject {
    Q_OBJECT

  private slots:
    void threeJoinersAreSeatedInOrder() {
        NetParty party;
        QVERIFY(party.Open());
        QCOMPARE(party.host->Progress(), QString("进程：主机建立"));
        for (int seat = 1; seat <= 3; ++seat) {
            const QString name = QString("J%1").arg(seat);
            QVERIFY2(party.Seat(name, seat), qPrintable(name));
            // Before the table fills nobody has been told to start, and each
            // table reads the seats as they stand: the names of those there
            // (its own at once), 空位 for the rest.
            if (seat == 3) break;
            for (NetTable* t : party.All()) {
                QVERIFY(t->Progress() != kAllSeated);
                VORN_TRY_COMPARE(t->w().HintPanel()->text(), QString("牌局：等待玩家 %1/3").arg(seat));
                for (int s = 0; s < 4; ++s)
                    VORN_TRY_COMPARE(t->w().lblName(s)->accessibleName(),
                                     s <= seat ? QString(s == 0 ? "H" : "J%1").arg(s) : QString("空位"));
            }
        }
        const QStringList all{"H", "J1", "J2", "J3"};
        for (NetTable* t : party.All()) {
            VORN_TRY_COMPARE(Names(t->session()), all);
            VORN_TRY_COMPARE(t->Progress(), kAllSeated);
            VORN_TRY_COMPARE(t->PlayerList(), all);
            // Each table is turned so that its own seat is at the bottom.
            QCOMPARE(t->w().pictures().SeatY[t->session().LocalSeat], 6400);
            QVERIFY2(t->infos.isEmpty(), qPrintable(t->infos.join("|")));
        }
        QCOMPARE(People(party.host->net().players()), (QStringList{"H@-1", "J1@1", "J2@2", "J3@3"}));
        QCOMPARE(party.host->session().SlotCount, 3);
        VORN_TRY_VERIFY(party.Quiet());
        VORN_TRY_VERIFY2(SendIdle(party), "a send timer runs with nothing to send");
    }

    void chatReachesEveryoneOnce_data() {
        Columns<int>("sender");
        Row("host", 0);
        Row("slot 1", 1);
        Row("slot 2", 2);
        Row("slot 3", 3);
    }
    void chatReachesEveryoneOnce() {
        QFETCH(int, sender);
        NetParty party;
        QVERIFY(party.Fill());
        NetTable* from = party.AtSeat(sender);
        QVERIFY(from);
        const QString text = QString("大家好 %1").arg(sender);
        from->w().txtMessage()->setText(text);
        from->w().chat().cmdSend_Click();
        const QString line = Q(from->session().PlayerNames[size_t(sender)]) + ": " + text;
        QVERIFY(from->w().txtMessage()->text().isEmpty());
        for (NetTable* t : party.All())
            VORN_TRY_VERIFY2(t->ChatLines().contains(line), qPrintable(t->ChatLines().join("|")));
        // A copy sent twice, or echoed back to its sender, would come in now.
        VORN_TRY_VERIFY(party.Quiet());
        Pause(50);
        for (NetTable* t : party.All()) QCOMPARE(t->ChatLines(), QStringList{line});
    }

    void leavingBeforeTheTableFillsFreesTheSlot_data() {
        Columns<int>("leaver");
        Row("slot 1 leaves", 1);
        Row("slot 2 leaves", 2);
    }
    void leavingBeforeTheTableFillsFreesTheSlot() {
        QFETCH(int, leaver);
        NetParty party;
        QVERIFY(party.Open());
        QVERIFY(party.Seat("J1", 1));
        QVERIFY(party.Seat("J2", 2));
        NetTable* gone = party.AtSeat(leaver);
        NetTable* stays = party.AtSeat(3 - leaver);
        const QString name = QString("J%1").arg(leaver);
        VORN_TRY_VERIFY(stays->PlayerList().contains(name));

        gone->net().CloseAllConnections();
        gone->w().ResetToLocalGame();

        VORN_TRY_COMPARE(party.host->Progress(), "进程：" + name + " 走了");
        VORN_TRY_VERIFY(!stays->PlayerList().contains(name));
        QVERIFY(!party.host->PlayerList().contains(name));
        QVERIFY(!NetParty::PersonListed(party.host->net().players(), name.toStdString()));
        // Before the table has filled a departure ends nothing.
        QVERIFY(party.host->session().IsNet());
        QVERIFY(stays->session().IsNet());
        QVERIFY(party.host->infos.isEmpty());
        QVERIFY(stays->infos.isEmpty());
        QVERIFY(gone->infos.isEmpty());

        QVERIFY2(party.Seat("K", leaver), "the next joiner takes the freed slot");
        QVERIFY2(party.Seat("L", 3), "and the one after it slot 3");
        QStringList expected{"H", "J1", "J2", "L"};
        expected[leaver] = "K";
        for (NetTable* t : party.All()) {
            if (t == gone) continue;
            VORN_TRY_COMPARE(Names(t->session()), expected);
            VORN_TRY_COMPARE(t->Progress(), kAllSeated);
        }
        QVERIFY(gone->Local());
        QCOMPARE(gone->Progress(), kLocalGame);
    }

    void leavingAFullTableEndsTheGame_data() {
        LeaverColumns();
        Row("slot 2 just dealt", 2, 0, false);
        Row("host before the deal", 0, -1, false);
        Row("host during a game", 0, 6, false);
    }
    void leavingAFullTableEndsTheGame() {
        QFETCH(int, leaver);
        QFETCH(int, moves);
        QFETCH(bool, overfed);
        NetParty party(7);
        QVERIFY2(PlayTo(party, moves), party.Why());
        party.host->session().EndOnDrop = true;
        NetTable* gone = party.AtSeat(leaver);
        QVERIFY(gone);
        const QString name = Q(gone->session().PlayerNames[size_t(leaver)]);
        const QString over = name + " 走了，游戏结束！";
        // Overfed, the host gives the link up as lost, and the one who sat
        // there hears that the host has gone.
        Leave(party, leaver, overfed);
        for (NetTable* t : party.All()) VORN_TRY_VERIFY(t->Local());
        // Late closes or a second copy of the news would show another box now.
        Pause(50);
        const QStringList goneHeard = overfed ? QStringList{"H 走了，游戏结束！"} : QStringList{};
        QCOMPARE(gone->infos, goneHeard);
        for (NetTable* t : party.All()) {
            QCOMPARE(t->Progress(), kLocalGame);
            QVERIFY(t->net().queue().Empty());
            QVERIFY(!t->net().tmrSendData().isActive());
            if (t == gone) continue;
            QCOMPARE(t->infos.size(), qsizetype(1));
            if (t == party.host.get() || leaver == 0) {
                QCOMPARE(t->infos[0], over);
            } else {
                // The host's "[Exit]" names the leaver; a joiner whose own link
                // closed first names the host.
                QVERIFY2(t->infos[0] == over || t->infos[0] == "H 走了，游戏结束！", qPrintable(t->infos[0]));
            }
            // Back to a fresh local table with its own names, no links left open.
            QCOMPARE(Names(t->session()), (QStringList{"朱雀", "青龙", "玄武", "白虎"}));
            QCOMPARE(t->table().lstCardsBox.Count(), 52);
            QCOMPARE(t->session().LocalSeat, 0);
            QCOMPARE(t->net().sckConnect().State(), Socket::kClosed);
            QCOMPARE(t->net().sckConnection().Element(0).State(), Socket::kClosed);
            QVERIFY(t->PlayerList().isEmpty());
        }
    }

    // Unless the host chose the old ending, a dropped joiner's seat goes to the
    // host's computer player: nobody gets a box, every table says so and marks
    // the seat, the hand plays to its end, and a newcomer between hands takes
    // the seat back.
    void aDroppedSeatIsPlayedOn_data() { LeaverColumns(); }
    void aDroppedSeatIsPlayedOn() {
        QFETCH(int, leaver);
        QFETCH(int, moves);
        QFETCH(bool, overfed);
        NetParty party(7);
        QVERIFY2(PlayTo(party, moves), party.Why());
        NetTable& host = *party.host;
        NetTable* gone = party.AtSeat(leaver);
        QVERIFY(gone);
        const QString name = QString("J%1").arg(leaver);
        Leave(party, leaver, overfed);
        // Its person has gone too; its window would take the seat back otherwise.
        if (overfed) gone->w().ResetToLocalGame();
        std::vector<NetTable*> stayed;
        for (NetTable* t : party.All())
            if (t != gone) stayed.push_back(t);
        for (NetTable* t : stayed) {
            VORN_TRY_VERIFY(t->session().StandIn[size_t(leaver)]);
            VORN_TRY_VERIFY(!t->w().seatCues().StandInMark(leaver)->isHidden());
            QCOMPARE(t->Progress(), "进程：" + name + " 掉线，电脑代打");
            QVERIFY(t->session().IsNet());
            QVERIFY2(t->infos.isEmpty(), qPrintable(t->infos.join("|")));
        }
        if (moves >= 0) {
            // Mid-hand the seat stays the computer's: a newcomer is turned away.
            NetTable& early = party.Connect("L");
            VORN_TRY_COMPARE(early.infos, QStringList{"人数已够，连线断开"});
        } else {
            host.w().mnuDeal_Click();
        }
        PlayHandAndRetake(party, stayed, leaver);
    }

    // A host that lets the computer fill the empty seats deals with one
    // joiner: the computer seats play under their own names, marked as such,
    // which a table reading English shows as its own default names.
    void computersFillTheEmptySeats() {
        NetParty party(5, /*englishSeats=*/0b10U);
        QVERIFY(party.Open());
        NetTable& host = *party.host;
        host.session().FillSeats = true;
        QVERIFY(party.Seat("J1", 1));
        host.w().mnuDeal_Click();
        for (NetTable* t : party.All()) {
            VORN_TRY_COMPARE(Names(t->session()), (QStringList{"H", "J1", "玄武", "白虎"}));
            for (int seat = 1; seat <= 3; ++seat)
                VORN_TRY_COMPARE(t->session().StandIn[size_t(seat)], seat > 1);
            // The host's own window says the table is full, as the joiners' do.
            if (t != party.AtSeat(1)) VORN_TRY_COMPARE(t->Progress(), kAllSeated);
        }
        MainWindow& english = party.AtSeat(1)->w();
        QCOMPARE(english.lblName(0)->text(), QString("H"));
        QCOMPARE(english.lblName(2)->text(), QString("Winter"));
        QCOMPARE(english.lblName(3)->text(), QString("Autumn"));
        VORN_TRY_COMPARE(english.lblScorer(2)->text(), QString("Winter lost"));
        // Switching the language keeps the play button by the person's own
        // hand and the score board where it was, whatever seat it holds.
        const auto places = [&english] {
            QList<QRect> rects{english.tableWidget().PlacedRect(english.labThrow())};
            for (int seat = 0; seat < 4; ++seat)
                rects << english.tableWidget().PlacedRect(english.lblScore(seat));
            return rects;
        };
        const QList<QRect> before = places();
        english.Action("mnuLanguage")->trigger();
        QCOMPARE(places(), before);
        // And the progress panel reads the language at once.
        VORN_TRY_COMPARE(party.AtSeat(1)->Progress(), kAllSeated);
        PlayHandAndRetake(party, party.All(), 2);
    }

    // A person whose link drops mid-hand gets the seat back, with what it may
    // see: by itself (its window reconnects with the seat's token), or by
    // logging on again under its name once its window was closed. The hand
    // goes on from where the computer left it.
    void aDroppedPersonTakesTheSeatBack_data() {
        Columns<bool>("windowClosed");
        Row("link cut, back by itself", false);
        Row("window closed, logs on again", true);
    }
    void aDroppedPersonTakesTheSeatBack() {
        QFETCH(bool, windowClosed);
        NetParty party(13);
        QVERIFY2(PlayTo(party, 5), party.Why());
        NetTable& host = *party.host;
        const int seat = 2;
        NetTable* gone = party.AtSeat(seat);
        Leave(party, seat, /*overfed=*/!windowClosed);
        VORN_TRY_VERIFY(host.session().StandIn[size_t(seat)]);
        // The computer plays a move or two meanwhile, until a seat has passed on the play to beat.
        auto passing = [&host] { return host.table().PassCount > 0 && host.table().PassCount < 3; };
        for (int i = 0; i < 2 || !passing(); ++i) {
            QVERIFY2(i < 40, "nobody passed");
            QVERIFY2(party.WaitSettled(), party.Why());
            QVERIFY(party.Move());
        }
        NetTable* back = windowClosed ? &party.Connect("J2") : gone;
        VORN_TRY_VERIFY(!host.session().StandIn[size_t(seat)]);
        VORN_TRY_COMPARE(back->session().LocalSeat, seat);
        QVERIFY2(party.WaitSettled(), party.Why());
        QCOMPARE(back->FairSeat(), seat);
        QCOMPARE(host.Progress(), QString("进程：J2 回来了，接着打"));
        // The play to beat lies face up on the returned table as on the host's.
        auto shown = [](NetTable& t) {
            std::vector<Card> play = t.w().tableWidget().PlayShown();
            std::sort(play.begin(), play.end());
            return play;
        };
        QCOMPARE(shown(*back), shown(host));
        // And so do the marks of the seats that passed on it.
        auto passed = [](NetTable& t) {
            std::array<bool, 4> marks{};
            for (int s = 0; s < 4; ++s) marks[size_t(s)] = !t.w().seatCues().PassMark(s)->isHidden();
            return marks;
        };
        QCOMPARE(passed(*back), passed(host));
        std::vector<NetTable*> seated;
        for (NetTable* t : party.All())
            if (t->session().IsNet()) {
                VORN_TRY_VERIFY(!t->session().StandIn[size_t(seat)]);
                seated.push_back(t);
            }
        // The hand to its end, the person moving for itself again.
        PlayHandOut(party, seated);
    }

    // A person out of time: the computer makes that one move for them, and
    // their table shows it; a table of an older build, which could not follow
    // a move made for it, is never timed.
    void aPersonOutOfTimeIsMovedFor_data() {
        Columns<bool>("older");
        Row("second version", false);
        Row("an older build", true);
    }
    void aPersonOutOfTimeIsMovedFor() {
        QFETCH(bool, older);
        NetParty party(17, 0, older ? 0b0100U : 0U);
        QVERIFY(party.Fill());
        NetTable& host = *party.host;
        host.session().TurnLimit = 1;
        host.w().mnuDeal_Click();
        for (int moves = 0; !(host.table().CurrentSeat == 2 && party.AtSeat(2)->engine().ThrowVisible());
             ++moves) {
            QVERIFY2(moves < 40 && party.WaitSettled(), party.Why());
            if (host.table().CurrentSeat != 2) QVERIFY(party.Move());
        }
        NetTable& late = *party.AtSeat(2);
        const int held = host.table().HandSize(2);
        if (older) {
            Pause(1500);
            QCOMPARE(host.table().CurrentSeat, 2);
            return;
        }
        QVERIFY(WaitUntil([&] { return host.table().CurrentSeat != 2; }, 3000));
        QVERIFY2(party.WaitSettled(), party.Why());
        QVERIFY(host.table().HandSize(2) <= held);
        QCOMPARE(late.Progress(), QString("进程：J2 时间到，电脑代出一手"));
        QCOMPARE(host.Progress(), QString("进程：J2 时间到，电脑代出一手"));
        QVERIFY(!late.engine().ThrowVisible());
    }

    // A join that cannot be: the reason, then the logon dialog again. A table
    // with a password takes the joiner that proves it (without sending it).
    void aRefusedJoinReturnsToTheLogonDialog_data() {
        // tablePassword: none when nobody listens; older: the joiner speaks
        // only the first version; told: the end of its box, empty when seated.
        Columns<QString, QString, bool, QString>("tablePassword", "given", "older", "told");
        const QString pw = "秘密 word", wrong = "密码不对，不能加入这一桌";
        Row("nobody listens", QString(), "", false, "检查主机地址和连接端口，重新尝试连接!");
        Row("the right password", pw, pw, false, "");
        Row("a wrong password", pw, "秘密", false, wrong);
        Row("no password", pw, "", false, wrong);
        Row("an older build at a closed table", "pw", "pw", true, "人数已够，连线断开");
    }
    void aRefusedJoinReturnsToTheLogonDialog() {
        QFETCH(QString, tablePassword);
        QFETCH(QString, given);
        QFETCH(bool, older);
        QFETCH(QString, told);
        NetParty party(3, 0, older ? 0b0010U : 0U);
        QVERIFY(party.Open());
        party.host->session().Password = tablePassword.toStdString();
        if (tablePassword.isNull()) party.port = FreePort();
        NetTable& t = party.Connect("X", given);
        if (told.isEmpty()) {
            VORN_TRY_COMPARE(t.session().LocalSeat, 1);
            VORN_TRY_COMPARE(party.host->PlayerList(), (QStringList{"H", "X"}));
            QCOMPARE(t.logons, 0);
            return;
        }
        // The box and the dialog both open once the running action is over, in either order.
        VORN_TRY_COMPARE(t.logons, 1);
        VORN_TRY_COMPARE(t.infos.size(), qsizetype(1));
        QVERIFY2(t.infos[0].endsWith(told), qPrintable(t.infos[0]));
        QVERIFY(t.Local());
        if (!tablePassword.isNull()) QCOMPARE(party.host->PlayerList(), QStringList{"H"});
    }

    void aFourthJoinerIsTurnedAwayAndTheGameGoesOn() {
        NetParty party(11);
        QVERIFY(party.Fill());
        party.host->w().mnuDeal_Click();
        QVERIFY2(party.Play(3), party.Why());
        NetTable& late = party.Connect("J4");
        VORN_TRY_COMPARE(late.logons, 1);
        VORN_TRY_COMPARE(late.infos, QStringList{"人数已够，连线断开"});
        QVERIFY(late.Local());
        QCOMPARE(late.Progress(), kLocalGame);
        QCOMPARE(late.net().sckConnect().State(), Socket::kClosed);

        // The late-comer's brief listing, if any, is withdrawn everywhere.
        const QStringList all{"H", "J1", "J2", "J3"};
        for (NetTable* t : party.All())
            if (t != &late) VORN_TRY_COMPARE(t->PlayerList(), all);
        for (int i = 0; i < 8; ++i) {
            QVERIFY2(party.WaitSettled(), party.Why());
            if (party.host->table().lstCardsBox.Count() == 52) break;  // the game has ended
            QVERIFY(party.Move());
        }
        QVERIFY2(party.WaitSettled(), party.Why());
        for (NetTable* t : party.All()) {
            if (t == &late) continue;
            QVERIFY(t->session().IsNet());
            QVERIFY2(t->infos.isEmpty() || t->infos.last().contains("赢得本局"),
                     qPrintable(t->infos.join("|")));
            QCOMPARE(Names(t->session()), all);
        }
        QCOMPARE(late.logons, 1);
    }

    void hostingAgainAfterDisconnectReusesTheSlots() {
        NetParty first(13);
        QVERIFY(first.Fill());
        NetTable& host = *first.host;
        host.w().menus().mnuDisconnect_Click();
        for (NetTable* t : first.All()) VORN_TRY_VERIFY(t->Local());
        QVERIFY(host.net().sckConnection().UpperBound() >= 3);

        NetParty second(17);
        second.host = std::move(first.host);
        second.port = 0;
        for (int attempt = 0; attempt < 5 && second.port == 0; ++attempt) {
            const int port = FreePort();
            if (port != 0 && port != first.port && Host(second.host->w(), port)) second.port = port;
        }
        QVERIFY(second.port != 0);
        for (int seat = 1; seat <= 3; ++seat)
            QVERIFY2(second.Seat(QString("N%1").arg(seat), seat), "new joiner");
        for (NetTable* t : second.All()) {
            VORN_TRY_COMPARE(Names(t->session()), (QStringList{"H", "N1", "N2", "N3"}));
            VORN_TRY_COMPARE(t->Progress(), kAllSeated);
        }
        // The reused slots carry a whole deal.
        second.host->w().mnuDeal_Click();
        QVERIFY2(second.WaitSettled(), second.Why());
        for (NetTable* t : second.All()) QCOMPARE(t->table().lstCardsBox.Count(), 52 - 25);
        // The players of the first game, now local, heard nothing of the second.
        for (auto& j : first.joiners) {
            QVERIFY(j->Local());
            QCOMPARE(j->table().lstCardsBox.Count(), 52);
        }
    }
};

}  // namespace
}  // namespace vorn::itest

using vorn::itest::TestSeating;
VORN_TEST(TestSeating)
#include "seating_test.moc"
