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
        QTest::addColumn<QString>("scene");
        QTest::addColumn<QString>("draws");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("rule");

        QTest::newRow("two 2s") << "hand=H_13,S_13"
                                << ""
                                << "H_13 S_13" << 1;
        QTest::newRow("four 2s") << "hand=C_13,D_13,H_13,S_13"
                                 << ""
                                 << "C_13 D_13 H_13 S_13" << 1;
        QTest::newRow("2 before a finishing straight") << "hand=C_05,D_06,H_07,S_13 stock=empty"
                                                       << ""
                                                       << "S_13" << 2;
        QTest::newRow("2s before a finishing group") << "hand=C_05,D_05,H_13,S_13 stock=empty"
                                                     << ""
                                                     << "H_13 S_13" << 2;
        QTest::newRow("finishing straight while the stock lasts") << "hand=C_05,D_06,H_07,S_13"
                                                                  << "0"
                                                                  << "C_05 D_06 H_07" << 4;
        QTest::newRow("spare 2, gamble won") << "hand=C_09,D_13,S_13"
                                             << "0.4"
                                             << "S_13" << 3;
        QTest::newRow("spare 2, gamble lost") << "hand=C_09,D_13,S_13"
                                              << "0.6"
                                              << "C_09" << 8;
        QTest::newRow("spare 2 at high level") << "hand=C_09,D_13,S_13 rate=0.1"
                                               << "0.1"
                                               << "S_13" << 3;
        QTest::newRow("spare 2 at high level, lost") << "hand=C_09,D_13,S_13 rate=0.1"
                                                     << "0.2"
                                                     << "C_09" << 8;
        QTest::newRow("spare-2 draw taken with the stock empty") << "hand=C_01,C_07,S_10,S_13 stock=empty"
                                                                 << "0"
                                                                 << "C_01" << 6;

        QTest::newRow("seat 1 double run first") << "seat=1 hand=C_01,C_02,C_03,D_01,D_02"
                                                 << "0.9"
                                                 << "C_01 C_02 D_01 D_02" << 4;
        QTest::newRow("seat 2 straight first") << "seat=2 hand=C_01,C_02,C_03,D_01,D_02"
                                               << "0.9"
                                               << "C_03 D_01 D_02" << 4;
        QTest::newRow("seat 3 double run first") << "seat=3 hand=C_01,C_02,C_03,D_01,D_02"
                                                 << "0.9"
                                                 << "C_01 C_02 D_01 D_02" << 4;
        QTest::newRow("straight taken whole") << "hand=C_01,D_02,H_04,S_05,C_06,D_07"
                                              << "0.9"
                                              << "C_06 D_07 H_04 S_05" << 4;
        QTest::newRow("7 7 7 8 8 leads 7 7 8 8") << "hand=C_05,C_06,D_05,H_05,S_06"
                                                 << "0.9"
                                                 << "C_06 D_05 H_05 S_06" << 4;
        QTest::newRow("group of three") << "seat=1 hand=C_01,C_05,D_05,H_05,S_08"
                                        << "0.9"
                                        << "C_05 D_05 H_05" << 4;
        QTest::newRow("lowest double run past a lone pair") << "hand=C_01,D_01,C_03,D_03,C_04,D_04,H_09"
                                                            << "0.9"
                                                            << "C_03 C_04 D_03 D_04" << 4;
        QTest::newRow("double run as often as its rarest number")
            << "hand=C_05,D_05,H_05,C_06,D_06,H_06,C_07,D_07"
            << "0.9"
            << "C_07 D_05 D_06 D_07 H_05 H_06" << 4;
        QTest::newRow("straight stops before the 2") << "seat=2 hand=C_10,D_11,H_12,S_13,C_13"
                                                     << "0.9"
                                                     << "C_10 D_11 H_12" << 4;
        QTest::newRow("2s make no group") << "hand=C_13,D_13,C_05,D_07"
                                          << "0.9"
                                          << "D_07" << 7;

        QTest::newRow("A when no 2 is out") << "hand=C_03,D_12,S_13 played=C_13,D_13,H_13"
                                            << "0.9"
                                            << "D_12" << 5;
        QTest::newRow("A beside a K when no 2 is out") << "hand=C_11,D_12,H_03,S_13 played=C_13,D_13,H_13"
                                                       << "0.9"
                                                       << "D_12" << 5;
        QTest::newRow("A beside a K with 2s out") << "hand=C_11,D_12,H_03,S_13"
                                                  << "0.9"
                                                  << "H_03" << 7;
        QTest::newRow("no A to lead safely") << "hand=C_01,C_07,S_13 played=C_13,D_13,H_13 stock=empty"
                                             << "0.9"
                                             << "C_01" << 6;
        QTest::newRow("3 once the stock is empty") << "hand=C_01,D_07,S_10 stock=empty"
                                                   << "0.9"
                                                   << "C_01" << 6;
        QTest::newRow("lone card while the stock lasts") << "hand=C_01,D_07,S_10"
                                                         << "0.9"
                                                         << "S_10" << 7;
        QTest::newRow("greater code when nothing is lone") << "hand=C_05,D_04"
                                                           << "0.9"
                                                           << "D_04" << 8;
        QTest::newRow("a 3 at the last rung") << "hand=C_01,D_02"
                                              << "0.9"
                                              << "C_01" << 8;
        QTest::newRow("one card") << "hand=H_09"
                                  << "0.9"
                                  << "H_09" << 7;
        QTest::newRow("seat 0 leads nothing") << "seat=0 hand=C_01,D_02"
                                              << ""
                                              << "" << 0;
    }
    void lead() {
        QFETCH(QString, scene);
        QFETCH(QString, draws);
        QFETCH(QString, chosen);
        QFETCH(int, rule);
        Scene s = MakeScene(scene);
        const int holder = s.seat >= 0 && s.seat <= 3 ? s.seat : 1;
        const CardSet before = s.table.lstDirection[holder];
        ScriptedRandom random(draws);

        LeadRule used = ChooseLead(s.table, s.seat, s.rate, random);

        QCOMPARE(Text(s.table.lstSelected), chosen);
        QCOMPARE(int(used), rule);
        QVERIFY2(!random.Overdrawn(), "more draws than scripted");
        QCOMPARE(random.Left(), 0);
        const CardSet hand = s.table.lstDirection[holder];
        QVERIFY((hand & s.table.lstSelected).Empty());
        QCOMPARE(Text(hand | s.table.lstSelected), Text(before));
    }

    void searches_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("found");

        QTest::newRow("straight from 6") << "arrange"
                                         << "01 02 04 05 06 07"
                                         << "04 05 06 07";
        QTest::newRow("straight through pairs") << "arrange"
                                                << "01 01 02 02 03"
                                                << "01 02 03";
        QTest::newRow("straight through four copies") << "arrange"
                                                      << "05 05 05 05 06 07"
                                                      << "05 06 07";
        QTest::newRow("straight ends at the A") << "arrange"
                                                << "10 11 12 13 13"
                                                << "10 11 12";
        QTest::newRow("K A 2 is no straight") << "arrange"
                                              << "11 12 13"
                                              << "";
        QTest::newRow("two numbers") << "arrange"
                                     << "01 02"
                                     << "";

        QTest::newRow("lowest pair") << "bank"
                                     << "03 05 05 06 06 06"
                                     << "05 05";
        QTest::newRow("2s are no group") << "bank"
                                         << "04 13 13"
                                         << "";
        QTest::newRow("four of a kind") << "bank"
                                        << "06 06 06 06"
                                        << "06 06 06 06";
        QTest::newRow("no group") << "bank"
                                  << "01 02 03"
                                  << "";

        QTest::newRow("7 7 7 8 8") << "dblbank"
                                   << "05 05 05 06 06"
                                   << "05 05 06 06";
        QTest::newRow("run past a lone pair") << "dblbank"
                                              << "01 01 03 03 04 04"
                                              << "03 03 04 04";
        QTest::newRow("lowest of two runs") << "dblbank"
                                            << "03 03 04 04 06 06 07 07"
                                            << "03 03 04 04";
        QTest::newRow("three groups") << "dblbank"
                                      << "05 05 05 06 06 06 07 07"
                                      << "05 05 06 06 07 07";
        QTest::newRow("triples") << "dblbank"
                                 << "08 08 08 09 09 09"
                                 << "08 08 08 09 09 09";
        QTest::newRow("A and 2") << "dblbank"
                                 << "12 12 13 13"
                                 << "";
        QTest::newRow("four of a kind is no run") << "dblbank"
                                                  << "03 03 03 03"
                                                  << "";
        QTest::newRow("groups apart") << "dblbank"
                                      << "03 03 04 05 05"
                                      << "";
    }
    void searches() {
        QFETCH(QString, search);
        QFETCH(QString, source);
        QFETCH(QString, found);
        const NumberCounts from = Numbers(source);
        NumberCounts into;
        if (search == "arrange") into = LowestArrange(from);
        if (search == "bank") into = LowestBank(from);
        if (search == "dblbank") into = LowestDblBank(from);
        QCOMPARE(Text(into), found);
    }

    // The finders accept a shape only from its smallest size on, and take of
    // each number the cards of the highest suits.
    void finders_data() {
        QTest::addColumn<QString>("finder");
        QTest::addColumn<QString>("hand");
        QTest::addColumn<QString>("cards");
        QTest::newRow("straight") << "arrange"
                                  << "C_05 D_06 H_07"
                                  << "C_05 D_06 H_07";
        QTest::newRow("two in a row") << "arrange"
                                      << "C_05 D_06"
                                      << "";
        QTest::newRow("pair") << "bank"
                              << "C_05 D_05 H_09"
                              << "C_05 D_05";
        QTest::newRow("no pair") << "bank"
                                 << "C_05 D_06"
                                 << "";
        QTest::newRow("double run") << "dblbank"
                                    << "C_05 D_05 C_06 D_06 H_06"
                                    << "C_05 D_05 D_06 H_06";
        QTest::newRow("pair and a card") << "dblbank"
                                         << "C_05 D_05 C_06"
                                         << "";
    }
    void finders() {
        QFETCH(QString, finder);
        QFETCH(QString, hand);
        QFETCH(QString, cards);
        CardSet found;
        if (finder == "arrange") found = FindArrange(Cards(hand));
        if (finder == "bank") found = FindBank(Cards(hand));
        if (finder == "dblbank") found = FindDblBank(Cards(hand));
        QCOMPARE(Text(found), cards);
    }
};

VORN_TEST(TestChooseLead)
#include "lead_test.moc"
