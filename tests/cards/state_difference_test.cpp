// The comparison of two copies of one table that network play relies on.

#include <QObject>
#include <QTest>

#include <functional>

#include "cards/table.h"
#include "tests/testing.h"

using Change = std::function<void(vorn::Table&)>;
Q_DECLARE_METATYPE(Change)

namespace vorn {

class StateDifferenceTest : public QObject {
    Q_OBJECT
private slots:
    void seesEveryPartOfTheGameState_data() {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("differs");
        QTest::newRow("nothing") << Change([](Table&) {}) << false;
        QTest::newRow("stock") << Change([](Table& t) { t.lstCardsBox.RemoveAt(0); }) << true;
        QTest::newRow("a hand") << Change([](Table& t) { t.lstDirection[3].Add("S_13"); }) << true;
        QTest::newRow("chosen cards") << Change([](Table& t) { t.lstSelected.Add("C_01"); }) << true;
        QTest::newRow("a card's place") << Change([](Table& t) { t.CardLocation[2][5] = 4; }) << true;
        QTest::newRow("play on the table") << Change([](Table& t) { t.TablePlay = "C_05"; }) << true;
        QTest::newRow("play type") << Change([](Table& t) { t.PlayType = "Single"; }) << true;
        QTest::newRow("last thrower") << Change([](Table& t) { t.TheLastThrower = 2; }) << true;
        QTest::newRow("seat to move") << Change([](Table& t) { t.CurrentSeat = 3; }) << true;
        QTest::newRow("passes") << Change([](Table& t) { t.PassCount = 2; }) << true;
        QTest::newRow("must lead") << Change([](Table& t) { t.MustLead = !t.MustLead; }) << true;
        QTest::newRow("stock empty") << Change([](Table& t) { t.StockEmpty = true; }) << true;
        QTest::newRow("runs of singles") << Change([](Table& t) { t.SingleRun[1] = 3; }) << true;
        // Each computer draws the table turned to its own seat.
        QTest::newRow("card pictures") << Change([](Table& t) { t.Image(Card{0, 1}).x = 9999; }) << false;
        QTest::newRow("work lists") << Change([](Table& t) { t.lstJudge.Add("05"); }) << false;
    }
    void seesEveryPartOfTheGameState() {
        QFETCH(Change, change);
        QFETCH(bool, differs);
        Table a;
        for (int n = 1; n <= kNumbers; ++n)
            for (int s = 0; s < kSuits; ++s) a.lstCardsBox.Add(CardCode(s, n));
        Table b = a;
        change(b);
        QCOMPARE(!StateDifference(a, b).empty(), differs);
        QCOMPARE(!StateDifference(b, a).empty(), differs);
    }
};

VORN_TEST(StateDifferenceTest)
}  // namespace vorn

#include "state_difference_test.moc"
