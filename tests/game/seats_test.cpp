// The person's card clicks and the arrangement of the seats around the table.

#include <QObject>
#include <QTest>

#include "tests/game/enginerig.h"
#include "tests/testing.h"

namespace vorn::gametest {

class EngineSeatsTest : public QObject {
    Q_OBJECT

  private slots:
    void cardClick_data() {
        QTest::addColumn<QString>("target");  // own, other, played, stock
        QTest::addColumn<bool>("buttonShown");
        QTest::addColumn<bool>("personsTurn");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<bool>("raised");
        QTest::newRow("own card") << "own" << true << true << 1 << true;
        QTest::newRow("own card twice") << "own" << true << true << 2 << false;
        QTest::newRow("own card three times") << "own" << true << true << 3 << true;
        QTest::newRow("another seat's card") << "other" << true << true << 1 << false;
        QTest::newRow("a played card") << "played" << true << true << 1 << false;
        QTest::newRow("a stock card") << "stock" << true << true << 1 << false;
        QTest::newRow("before the button shows") << "own" << false << true << 1 << false;
        QTest::newRow("while a computer seat moves") << "own" << false << false << 1 << false;
        QTest::newRow("button shown on another turn") << "own" << true << false << 1 << false;
    }

    void cardClick() {
        QFETCH(QString, target);
        QFETCH(bool, buttonShown);
        QFETCH(bool, personsTurn);
        QFETCH(int, clicks);
        QFETCH(bool, raised);
        Rig rig(21);
        GameState& t = rig.table;
        Setup setup;
        setup.hands = {"3 4 5", "6 7", "8 9", "10 J"};
        setup.onTable = "K";
        setup.lastThrower = 3;
        setup.current = personsTurn ? 0 : 1;
        Arrange(rig, setup);
        if (!buttonShown && personsTurn) rig.engine.HideThrowButton();
        if (buttonShown && !personsTurn) rig.engine.ShowThrowButton();
        QCOMPARE(rig.view.throwVisible, buttonShown);

        Card card;
        if (target == "own") card = t.lstDirection[0][1];
        if (target == "other") card = t.lstDirection[1][0];
        if (target == "played") card = t.TablePlay[0];
        if (target == "stock") card = t.lstCardsBox[0];
        const CardImage before = rig.pictures.Image(card);
        const std::array<CardSet, 4> hands = t.lstDirection;
        const std::string caption = rig.view.throwCaption;

        for (int k = 0; k < clicks; ++k) rig.engine.CardClick(card);

        const CardImage& shown = rig.view.cards[FaceCell(card)];
        if (raised) {
            QCOMPARE(t.lstSelected.Count(), 1);
            QVERIFY(t.lstSelected[0] == card);
            QVERIFY(!t.lstDirection[0].Contains(card));
            QVERIFY(rig.pictures.Image(card).raised);
            QCOMPARE(shown.y, before.y - 300);
            QCOMPARE(shown.x, before.x);
            QCOMPARE(t.Location(card), 0);
            QCOMPARE(Q(rig.view.throwCaption), QString("OK"));
            QCOMPARE(Q(CheckConservation(t, 0)), QString());
            return;
        }
        QVERIFY(t.lstSelected.Empty());
        QCOMPARE(t.lstDirection, hands);
        QVERIFY(!rig.pictures.Image(card).raised);
        QCOMPARE(rig.pictures.Image(card).y, before.y);
        QCOMPARE(rig.pictures.Image(card).x, before.x);
        if (clicks == 2) {
            QCOMPARE(shown.y, before.y);
            QCOMPARE(Q(rig.view.throwCaption), QString("PASS"));
        } else {
            QCOMPARE(Q(rig.view.throwCaption), Q(caption));
        }
        QCOMPARE(Q(CheckConservation(t)), QString());
    }

    void captionFollowsChoice() {
        Rig rig(22);
        GameState& t = rig.table;
        Setup setup;
        setup.hands = {"3 3 5", "6 7", "8 9", "10 J"};
        setup.mustLead = true;
        Arrange(rig, setup);
        rig.engine.Tick();
        QCOMPARE(Q(rig.view.throwCaption), QString("PASS"));
        const Card a = CardOf(t.lstDirection[0][0]), b = CardOf(t.lstDirection[0][1]);
        rig.engine.CardClick(a);
        rig.engine.CardClick(b);
        QCOMPARE(Q(rig.view.throwCaption), QString("OK"));
        rig.engine.CardClick(a);
        QCOMPARE(Q(rig.view.throwCaption), QString("OK"));
        QCOMPARE(Text(t.lstSelected), Q(CardCode(b)));
        rig.engine.CardClick(b);
        QCOMPARE(Q(rig.view.throwCaption), QString("PASS"));
        QCOMPARE(t.HandSize(0), 3);
    }

    void adjustDirection_data() {
        QTest::addColumn<int>("localSeat");
        QTest::addColumn<QList<int>>("around");  // the seats at bottom, right, top, left
        QTest::newRow("South at home") << 0 << QList<int>{0, 1, 2, 3};
        QTest::newRow("East joins") << 1 << QList<int>{1, 2, 3, 0};
        QTest::newRow("North joins") << 2 << QList<int>{2, 3, 0, 1};
        QTest::newRow("West joins") << 3 << QList<int>{3, 0, 1, 2};
    }

    void adjustDirection() {
        QFETCH(int, localSeat);
        QFETCH(QList<int>, around);
        Rig rig(23);
        rig.session.PlayerNames = {"朱雀", "青龙", "玄武星", "Bo"};
        rig.session.LocalSeat = localSeat;
        rig.table.TheLastThrower = 1;
        rig.engine.AdjustDirection();

        struct Place {
            int x, y, labelX, labelY, markerX, markerY;
            bool vertical;
        };
        const Place places[4] = {
            {7200, 6400, 7200, 7880, 6900, 7880, false},    // bottom
            {10900, 3000, 12000, 3500, 12000, 3200, true},  // right
            {7200, 300, 7200, 50, 6900, 50, false},         // top
            {3700, 3000, 3440, 3500, 3440, 3200, true},     // left
        };
        for (int pos = 0; pos < 4; ++pos) {
            const int seat = around[pos];
            const Place& p = places[pos];
            QCOMPARE(rig.pictures.SeatX[seat], p.x);
            QCOMPARE(rig.pictures.SeatY[seat], p.y);
            const auto& label = rig.view.names[seat];
            QCOMPARE(label.x, p.labelX);
            QCOMPARE(label.y, p.labelY);
            QCOMPARE(label.vertical, p.vertical);
            QCOMPARE(rig.view.markerPlaces[seat], std::make_pair(p.markerX, p.markerY));
            const QString name = Q(rig.session.PlayerNames[seat]);
            QStringList letters;
            for (QChar c : name) letters << QString(c);
            QCOMPARE(Q(label.caption), p.vertical ? letters.join("\r\n") : name);
        }
        QCOMPARE(Q(rig.view.hint), QString("牌局：本局由青龙先出牌"));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(Q(rig.view.scores[i].scorer), Q(rig.session.PlayerNames[i]) + " 失分");
    }

    // The person at North: his own hand lies along the bottom, face up.
    void northAtTheBottom() {
        Rig rig(24);
        rig.session.LocalSeat = 2;
        rig.engine.AdjustDirection();
        rig.table.TheLastThrower = 2;
        rig.engine.NewGame();
        rig.engine.Deal();
        for (const auto& code : rig.table.lstDirection[2]) {
            const CardImage& image = rig.view.cards[FaceCell(CardOf(code))];
            QCOMPARE(image.y, 6400);
            QVERIFY(image.face);
        }
        const int n = rig.table.HandSize(2);
        QCOMPARE(rig.view.cards[FaceCell(CardOf(rig.table.lstDirection[0][0]))].y, 300);
        QCOMPARE(n, 7);
        for (const auto& code : rig.table.lstDirection[0])
            QVERIFY(!rig.view.cards[FaceCell(CardOf(code))].face);
        // Seated again mid-hand (a name changed, the language switched), the
        // hint line names the play to beat, not its thrower as the game's leader.
        Setup setup;
        setup.hands = {"3 4", "5 6", "7 8", "9 10"};
        setup.onTable = "J";
        setup.lastThrower = 3;
        Arrange(rig, setup);
        rig.engine.AdjustDirection();
        QVERIFY2(Q(rig.view.hint).startsWith("牌局：白虎出牌"), rig.view.hint.c_str());
    }
};

VORN_TEST(EngineSeatsTest)

}  // namespace vorn::gametest

#include "seats_test.moc"
