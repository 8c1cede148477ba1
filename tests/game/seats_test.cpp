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
        Row("own card", "own", true, true, 1, true);
        Row("own card twice", "own", true, true, 2, false);
        Row("own card three times", "own", true, true, 3, true);
        Row("another seat's card", "other", true, true, 1, false);
        Row("a played card", "played", true, true, 1, false);
        Row("a stock card", "stock", true, true, 1, false);
        Row("before the button shows", "own", false, true, 1, false);
        Row("while a computer seat moves", "own", false, false, 1, false);
        Row("button shown on another turn", "own", true, false, 1, false);
    }

    void cardClick() {
        QFETCH(QString, target);
        QFETCH(bool, buttonShown);
        QFETCH(bool, personsTurn);
        QFETCH(int, clicks);
        QFETCH(bool, raised);
        Rig rig(21);
        GameState& t = rig.table;
        Arrange(rig,
                {.hands = {"3 4 5", "6 7", "8 9", "10 J"}, .onTable = "K", .current = personsTurn ? 0 : 1});
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
            ExpectRaised(rig, One(card));
            QCOMPARE(At(shown), std::make_pair(before.x, before.y - 300));
            QCOMPARE(Q(rig.view.throwCaption), QString("OK"));
            QCOMPARE(Q(CheckConservation(t, 0)), QString());
            return;
        }
        QVERIFY(t.lstSelected.Empty());
        QCOMPARE(t.lstDirection, hands);
        QVERIFY(!rig.pictures.Image(card).raised);
        QCOMPARE(At(rig.pictures.Image(card)), At(before));
        if (clicks == 2) QCOMPARE(shown.y, before.y);
        QCOMPARE(Q(rig.view.throwCaption), clicks == 2 ? QString("PASS") : Q(caption));
        QCOMPARE(Q(CheckConservation(t)), QString());
    }

    void captionFollowsChoice() {
        Rig rig(22);
        GameState& t = rig.table;
        Arrange(rig, {.hands = {"3 3 5", "6 7", "8 9", "10 J"}, .mustLead = true});
        rig.engine.Tick();
        QCOMPARE(Q(rig.view.throwCaption), QString("PASS"));
        const Card a = t.lstDirection[0][0], b = t.lstDirection[0][1];
        rig.engine.CardClick(a);
        rig.engine.CardClick(b);
        QCOMPARE(Q(rig.view.throwCaption), QString("OK"));
        rig.engine.CardClick(a);
        QCOMPARE(Q(rig.view.throwCaption), QString("OK"));
        QCOMPARE(Text(t.lstSelected), Q(b));
        rig.engine.CardClick(b);
        QCOMPARE(Q(rig.view.throwCaption), QString("PASS"));
        QCOMPARE(t.HandSize(0), 3);
    }

    // The person at any seat sits at the bottom, the others around him in
    // turn; his own hand is dealt along the bottom face up, the others face
    // down.
    void adjustDirection_data() {
        QTest::addColumn<int>("localSeat");
        QTest::addColumn<QList<int>>("around");  // the seats at bottom, right, top, left
        Row("South at home", 0, QList<int>{0, 1, 2, 3});
        Row("East joins", 1, QList<int>{1, 2, 3, 0});
        Row("North joins", 2, QList<int>{2, 3, 0, 1});
        Row("West joins", 3, QList<int>{3, 0, 1, 2});
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
            QCOMPARE(std::make_pair(rig.pictures.SeatX[seat], rig.pictures.SeatY[seat]),
                     std::make_pair(p.x, p.y));
            const auto& label = rig.view.names[seat];
            QCOMPARE(std::make_pair(label.x, label.y), std::make_pair(p.labelX, p.labelY));
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

        rig.table.TheLastThrower = localSeat;
        rig.engine.NewGame();
        rig.engine.Deal();
        QCOMPARE(rig.table.HandSize(localSeat), 7);
        for (int pos = 0; pos < 4; ++pos)
            for (const Card card : rig.table.lstDirection[around[pos]]) {
                const CardImage& image = rig.view.cards[FaceCell(card)];
                QCOMPARE(image.face, pos == 0);
                if (pos % 2 == 0) QCOMPARE(image.y, places[pos].y);
            }
        // Seated again mid-hand (a name changed, the language switched), the
        // hint line names the play to beat, not its thrower as the game's leader.
        Arrange(rig, {.hands = {"3 4", "5 6", "7 8", "9 10"}, .onTable = "J"});
        rig.engine.AdjustDirection();
        QVERIFY2(Q(rig.view.hint).startsWith("牌局：Bo出牌"), rig.view.hint.c_str());
    }
};

VORN_TEST(EngineSeatsTest)

}  // namespace vorn::gametest

#include "seats_test.moc"
