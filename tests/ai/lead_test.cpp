#include <QObject>
#include <QTest>

#include "ai/lead.h"
#include "tests/ai/aitesting.h"
#include "tests/testing.h"

using namespace vorn;
using namespace vorn::testing;

// What a computer seat leads, and the shape searches behind it.
class TestChooseLead : public QObject {
    Q_OBJECT

  private slots:
    void lead_data() {
        Columns<QString, QString, QString, int>("scene", "draws", "chosen", "rule");

        Row("two 2s", "hand=H_13,S_13", "", "H_13 S_13", 1);
        Row("four 2s", "hand=C_13,D_13,H_13,S_13", "", "C_13 D_13 H_13 S_13", 1);
        Row("2 before a finishing straight", "hand=C_05,D_06,H_07,S_13 stock=empty", "", "S_13", 2);
        Row("2s before a finishing group", "hand=C_05,D_05,H_13,S_13 stock=empty", "", "H_13 S_13", 2);
        Row("finishing straight while the stock lasts", "hand=C_05,D_06,H_07,S_13", "0", "C_05 D_06 H_07", 4);
        Row("spare 2, gamble won", "hand=C_09,D_13,S_13", "0.4", "S_13", 3);
        Row("spare 2, gamble lost", "hand=C_09,D_13,S_13", "0.6", "C_09", 8);
        Row("spare 2 at high level", "hand=C_09,D_13,S_13 rate=0.1", "0.1", "S_13", 3);
        Row("spare 2 at high level, lost", "hand=C_09,D_13,S_13 rate=0.1", "0.2", "C_09", 8);
        Row("spare-2 draw taken with the stock empty", "hand=C_01,C_07,S_10,S_13 stock=empty", "0", "C_01",
            6);

        Row("seat 1 double run first", "seat=1 hand=C_01,C_02,C_03,D_01,D_02", "0.9", "C_01 C_02 D_01 D_02",
            4);
        Row("seat 2 straight first", "seat=2 hand=C_01,C_02,C_03,D_01,D_02", "0.9", "C_03 D_01 D_02", 4);
        Row("seat 3 double run first", "seat=3 hand=C_01,C_02,C_03,D_01,D_02", "0.9", "C_01 C_02 D_01 D_02",
            4);
        Row("straight taken whole", "hand=C_01,D_02,H_04,S_05,C_06,D_07", "0.9", "C_06 D_07 H_04 S_05", 4);
        Row("7 7 7 8 8 leads 7 7 8 8", "hand=C_05,C_06,D_05,H_05,S_06", "0.9", "C_06 D_05 H_05 S_06", 4);
        Row("group of three", "seat=1 hand=C_01,C_05,D_05,H_05,S_08", "0.9", "C_05 D_05 H_05", 4);
        Row("lowest double run past a lone pair", "hand=C_01,D_01,C_03,D_03,C_04,D_04,H_09", "0.9",
            "C_03 C_04 D_03 D_04", 4);
        Row("double run as often as its rarest number", "hand=C_05,D_05,H_05,C_06,D_06,H_06,C_07,D_07", "0.9",
            "C_07 D_05 D_06 D_07 H_05 H_06", 4);
        Row("straight stops before the 2", "seat=2 hand=C_10,D_11,H_12,S_13,C_13", "0.9", "C_10 D_11 H_12",
            4);
        Row("2s make no group", "hand=C_13,D_13,C_05,D_07", "0.9", "D_07", 7);

        Row("A when no 2 is out", "hand=C_03,D_12,S_13 played=C_13,D_13,H_13", "0.9", "D_12", 5);
        Row("A beside a K when no 2 is out", "hand=C_11,D_12,H_03,S_13 played=C_13,D_13,H_13", "0.9", "D_12",
            5);
        Row("A beside a K with 2s out", "hand=C_11,D_12,H_03,S_13", "0.9", "H_03", 7);
        Row("no A to lead safely", "hand=C_01,C_07,S_13 played=C_13,D_13,H_13 stock=empty", "0.9", "C_01", 6);
        Row("3 once the stock is empty", "hand=C_01,D_07,S_10 stock=empty", "0.9", "C_01", 6);
        Row("lone card while the stock lasts", "hand=C_01,D_07,S_10", "0.9", "S_10", 7);
        Row("greater code when nothing is lone", "hand=C_05,D_04", "0.9", "D_04", 8);
        Row("a 3 at the last rung", "hand=C_01,D_02", "0.9", "C_01", 8);
        Row("one card", "hand=H_09", "0.9", "H_09", 7);
        Row("seat 0 leads nothing", "seat=0 hand=C_01,D_02", "", "", 0);
    }
    void lead() {
        QFETCH(QString, scene);
        QFETCH(QString, draws);
        QFETCH(QString, chosen);
        QFETCH(int, rule);
        Scene s = MakeScene(scene);
        const CardSet before = s.table.lstDirection[Holder(s)];
        ScriptedRandom random(draws);
        const LeadRule used = ChooseLead(s.table, s.seat, s.rate, random);
        QCOMPARE(Text(s.table.lstSelected), chosen);
        QCOMPARE(int(used), rule);
        CheckDecided(s, before, random);
    }

    void searches_data() {
        Columns<QString, QString, QString>("search", "source", "found");

        Row("straight from 6", "arrange", "01 02 04 05 06 07", "04 05 06 07");
        Row("straight through pairs", "arrange", "01 01 02 02 03", "01 02 03");
        Row("straight through four copies", "arrange", "05 05 05 05 06 07", "05 06 07");
        Row("straight ends at the A", "arrange", "10 11 12 13 13", "10 11 12");
        Row("K A 2 is no straight", "arrange", "11 12 13", "");
        Row("two numbers", "arrange", "01 02", "");

        Row("lowest pair", "bank", "03 05 05 06 06 06", "05 05");
        Row("2s are no group", "bank", "04 13 13", "");
        Row("four of a kind", "bank", "06 06 06 06", "06 06 06 06");
        Row("no group", "bank", "01 02 03", "");

        Row("7 7 7 8 8", "dblbank", "05 05 05 06 06", "05 05 06 06");
        Row("run past a lone pair", "dblbank", "01 01 03 03 04 04", "03 03 04 04");
        Row("lowest of two runs", "dblbank", "03 03 04 04 06 06 07 07", "03 03 04 04");
        Row("three groups", "dblbank", "05 05 05 06 06 06 07 07", "05 05 06 06 07 07");
        Row("triples", "dblbank", "08 08 08 09 09 09", "08 08 08 09 09 09");
        Row("A and 2", "dblbank", "12 12 13 13", "");
        Row("four of a kind is no run", "dblbank", "03 03 03 03", "");
        Row("groups apart", "dblbank", "03 03 04 05 05", "");
    }
    void searches() {
        QFETCH(QString, search);
        QFETCH(QString, source);
        QFETCH(QString, found);
        const QHash<QString, NumberCounts (*)(const NumberCounts&)> searches{
            {"arrange", LowestArrange}, {"bank", LowestBank}, {"dblbank", LowestDblBank}};
        QVERIFY(searches.contains(search));
        QCOMPARE(Text(searches[search](Numbers(source))), found);
    }

    // The finders accept a shape only from its smallest size on, and take of
    // each number the cards of the highest suits.
    void finders_data() {
        Columns<QString, QString, QString>("finder", "hand", "cards");
        Row("straight", "arrange", "C_05 D_06 H_07", "C_05 D_06 H_07");
        Row("two in a row", "arrange", "C_05 D_06", "");
        Row("pair", "bank", "C_05 D_05 H_09", "C_05 D_05");
        Row("no pair", "bank", "C_05 D_06", "");
        Row("double run", "dblbank", "C_05 D_05 C_06 D_06 H_06", "C_05 D_05 D_06 H_06");
        Row("pair and a card", "dblbank", "C_05 D_05 C_06", "");
    }
    void finders() {
        QFETCH(QString, finder);
        QFETCH(QString, hand);
        QFETCH(QString, cards);
        const QHash<QString, CardSet (*)(CardSet)> finders{
            {"arrange", FindArrange}, {"bank", FindBank}, {"dblbank", FindDblBank}};
        QVERIFY(finders.contains(finder));
        QCOMPARE(Text(finders[finder](Cards(hand))), cards);
    }
};

VORN_TEST(TestChooseLead)
#include "lead_test.moc"
