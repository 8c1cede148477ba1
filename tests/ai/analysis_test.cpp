#include <QObject>
#include <QTest>

#include "ai/analysis.h"
#include "tests/ai/aitesting.h"
#include "tests/testing.h"

using namespace vorn;
using namespace vorn::testing;

// The questions the computer player asks about a hand and the table.
class TestHandAnalysis : public QObject {
    Q_OBJECT

  private slots:
    // The three questions about one card of a hand, side by side: whether it
    // is lone, pairs up, or can join a straight.
    void cardRoles_data() {
        Columns<QString, QString, bool, bool, bool>("hand", "card", "lone", "pairs", "joins");

        Row("a 2 is never lone", "C_05 D_06 S_13", "S_13", false, false, false);
        Row("two 2s pair up", "H_13 S_13", "S_13", false, true, false);
        Row("only card", "C_05", "C_05", true, false, false);
        Row("only card beside 2s", "C_05 H_13 S_13", "C_05", true, false, false);
        Row("7 beside 8", "C_05 D_06", "C_05", false, false, false);
        Row("7 beside 9", "C_05 D_07", "C_05", true, false, false);
        Row("7 8 9", "C_05 D_06 H_07", "C_05", false, false, true);
        Row("7 9 J", "C_05 D_07 H_09", "C_05", true, false, false);
        Row("pair beside a lone J", "C_05 D_05 H_09", "D_05", false, true, false);
        Row("pair inside a straight", "C_05 D_05 C_06 C_07", "D_05", false, true, true);
        Row("copies make no straight", "C_05 D_05 H_05 C_06", "C_06", false, false, false);
        Row("straight beyond reach", "C_04 C_05 C_07 C_08", "C_05", false, false, false);
        Row("lone card left out", "C_03 C_04 C_05 C_07", "C_05", false, false, true);
        Row("K A 2 is no straight", "C_11 C_12 S_13 H_13", "C_12", false, false, false);
        Row("number texts", "05 06 07", "06", false, false, true);
    }
    void cardRoles() {
        QFETCH(QString, hand);
        QFETCH(QString, card);
        QFETCH(bool, lone);
        QFETCH(bool, pairs);
        QFETCH(bool, joins);
        const CardSet cards = Cards(hand);
        const Card c = Cards(card).First();
        QVERIFY(cards.Contains(c));
        QCOMPARE(IsLoneCard(cards, c), lone);
        QCOMPARE(CanPairUp(cards, c), pairs);
        QCOMPARE(CanJoinRun(cards, c), joins);
    }

    // The questions about a whole hand: whether it holds a lone card, is a
    // good hand, goes out in one play, or is 2s and one other card.
    void handQuestions_data() {
        Columns<QString, QString, bool>("question", "hand", "expected");
        auto row = [](const char* question, const char* name, const char* hand, bool expected) {
            QTest::addRow("%s: %s", question, name) << QString(question) << QString(hand) << expected;
        };
        row("lone", "one card", "C_05", true);
        row("lone", "one 2", "S_13", false);
        row("lone", "one card beside a 2", "C_05 S_13", false);
        row("lone", "3 at the low end", "03 05 06", true);
        row("lone", "6 at the high end", "03 04 06", true);
        row("lone", "all joined", "03 03 04 05", false);
        row("lone", "a pair is not lone", "C_05 D_05 C_09", true);
        row("lone", "two pairs apart", "C_05 D_05 C_09 D_09", false);
        row("lone", "gap in the middle joined both sides", "C_05 C_06 C_08 C_09", false);
        row("lone", "lone in the middle", "C_02 C_03 C_06 C_09 C_10", true);
        row("lone", "only 2s", "H_13 S_13", false);

        row("good", "three 2s", "C_01 C_07 C_11 D_13 H_13 S_13", true);
        row("good", "two 2s of four", "C_01 C_09 D_13 S_13", true);
        row("good", "two 2s of five", "C_01 C_05 C_09 D_13 S_13", false);
        row("good", "eleven cards", "C_01 D_01 H_01 S_01 C_03 D_03 H_05 C_07 C_09 C_11 D_11", true);
        row("good", "ten spread cards", "C_01 D_01 C_03 D_03 C_05 D_05 C_07 D_07 C_10 D_12", false);
        row("good", "fewer than three non-2s", "C_01 C_11 S_13", true);
        row("good", "fills its span", "03 04 05", true);
        row("good", "spread", "03 07 11", false);
        row("good", "crowded", "05 05 05 06", true);
        row("good", "compact without the highest", "03 04 05 11", true);
        row("good", "crowded without the highest", "05 05 11", true);
        row("good", "compact without the lowest", "01 07 08 09", true);
        row("good", "crowded without the lowest", "01 09 09", true);
        row("good", "spread four", "01 04 08 12", false);

        row("finish", "7 8 9", "05 06 07", true);
        row("finish", "7 7 7", "C_05 D_05 H_05", true);
        row("finish", "only 2s", "H_13 S_13", true);
        row("finish", "one card", "C_05", true);
        row("finish", "one card and a 2", "C_05 S_13", true);
        row("finish", "straight and a 2", "C_05 D_06 H_07 S_13", true);
        row("finish", "7 8", "05 06", false);
        row("finish", "7 8 10", "05 06 08", false);
        row("finish", "7 7 8", "C_05 D_05 H_06", false);
        row("finish", "nothing", "", true);

        row("twos", "a card and a 2", "C_05 S_13", true);
        row("twos", "a card and four 2s", "C_05 C_13 D_13 H_13 S_13", true);
        row("twos", "one card", "C_05", false);
        row("twos", "only 2s", "H_13 S_13", false);
        row("twos", "two cards and a 2", "C_05 D_06 S_13", false);
    }
    void handQuestions() {
        QFETCH(QString, question);
        QFETCH(QString, hand);
        QFETCH(bool, expected);
        const QHash<QString, bool (*)(CardSet)> questions{
            {"lone", HasLoneCard}, {"good", IsGoodHand}, {"finish", CanFinishInOne}, {"twos", IsTwosPlusOne}};
        QVERIFY(questions.contains(question));
        QCOMPARE(questions[question](Cards(hand)), expected);
    }

    void countTwosPlayed_data() {
        Columns<QString, int>("scene", "expected");
        Row("none", "hand=S_13", 0);
        Row("one", "played=D_13", 1);
        Row("all four", "played=C_13,D_13,H_13,S_13", 4);
        Row("aces do not count", "played=C_12,D_12", 0);
        Row("on the table", "table=H_13,S_13 played=C_13", 3);
    }
    void countTwosPlayed() {
        QFETCH(QString, scene);
        QFETCH(int, expected);
        QCOMPARE(CountTwosPlayed(MakeScene(scene).table), expected);
    }

    // The questions about the other seats, asked by one seat.
    void seatQuestions_data() {
        Columns<QString, QString, bool>("question", "scene", "expected");

        Row("run: another seat", "run", "seat=1 runs=0,0,3,0", true);
        Row("run: own run", "run", "seat=1 runs=0,3,0,0", false);
        Row("run: two singles", "run", "seat=2 runs=2,2,0,2", false);
        Row("run: seat 0", "run", "seat=0 runs=3,3,3,3", false);

        Row("thrower: two cards", "thrower", "last=2 sizes=6,6,2,6", true);
        Row("thrower: three cards", "thrower", "last=2 sizes=6,6,3,6", false);
        Row("thrower: none", "thrower", "last=-1 sizes=0,0,0,0", false);
        Row("thrower: out of range", "thrower", "last=4 sizes=0,0,0,0", false);

        Row("next two: seat 2 short", "next", "seat=1 sizes=6,6,2,10", true);
        Row("next two: both three", "next", "seat=1 sizes=0,6,3,3", false);
        Row("next two of 3: seat 0", "next", "seat=3 sizes=2,6,6,6", true);
        Row("next two of 3: not seat 2", "next", "seat=3 sizes=6,6,2,6", false);
        Row("next two of 2: seat 3", "next", "seat=2 sizes=6,6,6,1", true);
        Row("next two: seat 0", "next", "seat=0 sizes=6,1,1,6", false);

        Row("size: third seat", "size", "seat=1 last=0 table=C_05,D_05 sizes=6,6,2,6", true);
        Row("size: fourth seat", "size", "seat=1 last=0 table=C_05,D_05 sizes=6,6,6,2", true);
        Row("size: the thrower", "size", "seat=1 last=0 table=C_05,D_05 sizes=2,6,6,6", false);
        Row("size: own hand", "size", "seat=1 last=0 hand=C_01,D_01 table=C_05,D_05", false);
        Row("size: own play", "size", "seat=1 last=1 table=C_05,D_05 sizes=2,6,2,6", false);
        Row("size: single", "size", "seat=2 last=3 table=C_05 sizes=1,6,6,6", true);
        Row("size: seat 0", "size", "seat=0 last=1 table=C_05 sizes=6,6,1,6", false);
    }
    void seatQuestions() {
        QFETCH(QString, question);
        QFETCH(QString, scene);
        QFETCH(bool, expected);
        const Scene s = MakeScene(scene);
        const QHash<QString, bool> answers{{"run", SomeoneOnRun(s.table, s.seat)},
                                           {"thrower", LastThrowerNearlyOut(s.table)},
                                           {"next", NextTwoNearlyOut(s.table, s.seat)},
                                           {"size", PlaySizeHolder(s.table, s.seat)}};
        QVERIFY(answers.contains(question));
        QCOMPARE(answers[question], expected);
    }

    // The draw is compared after rounding it to single precision.
    void chance_data() {
        Columns<float, double, bool>("p", "u", "expected");
        Row("at p", 0.1f, 0.1, true);
        Row("rounds down to p", 0.1f, 0.1000000015, true);
        Row("just above p", 0.1f, 0.10000002, false);
        Row("zero", 0.5f, 0.0, true);
        Row("above half", 0.5f, 0.5000001, false);
        Row("low level at p", 0.9f, 0.9, true);
        Row("low level above", 0.9f, 0.95, false);
    }
    void chance() {
        QFETCH(float, p);
        QFETCH(double, u);
        QFETCH(bool, expected);
        ScriptedRandom random(QString::number(u, 'g', 17));
        QCOMPARE(Chance(random, p), expected);
        QCOMPARE(random.Taken(), 1);
    }

    void chanceFrequency_data() {
        Columns<float>("p");
        Row("high", 0.1f);
        Row("medium", 0.5f);
        Row("low", 0.9f);
    }
    void chanceFrequency() {
        QFETCH(float, p);
        SeededRandom random(20240611);
        const int draws = 20000;
        int hits = 0;
        for (int i = 0; i < draws; ++i) hits += Chance(random, p) ? 1 : 0;
        QVERIFY2(std::abs(double(hits) / draws - p) < 0.015, qPrintable(QString::number(hits)));
    }
};

VORN_TEST(TestHandAnalysis)
#include "analysis_test.moc"
