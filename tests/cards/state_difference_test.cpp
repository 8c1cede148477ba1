// The comparison of two copies of one table that network play relies on.

#include <QObject>
#include <QTest>

#include <functional>

#include "cards/gamestate.h"
#include "tests/testing.h"

using Change = std::function<void(vorn::GameState&)>;
Q_DECLARE_METATYPE(Change)

namespace vorn {

class StateDifferenceTest : public QObject {
    Q_OBJECT
  private slots:
    void seesEveryPartOfTheGameState_data() {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("differs");
        QTest::newRow("nothing") << Change([](GameState&) {}) << false;
        QTest::newRow("stock") << Change([](GameState& t) { t.lstCardsBox.RemoveAt(0); }) << true;
        QTest::newRow("a hand") << Change([](GameState& t) { t.lstDirection[3].Add(Card{3, 13}); }) << true;
        QTest::newRow("chosen cards") << Change([](GameState& t) { t.lstSelected.Add(Card{0, 1}); }) << true;
        QTest::newRow("a card's place") << Change([](GameState& t) { t.CardLocation[2][5] = 4; }) << true;
        QTest::newRow("play on the table") << Change([](GameState& t) {
            t.TablePlay.Add(Card{0, 5});
        }) << true;
        QTest::newRow("play type") << Change([](GameState& t) { t.PlayType = PlayType::Single; }) << true;
        QTest::newRow("last thrower") << Change([](GameState& t) { t.TheLastThrower = 2; }) << true;
        QTest::newRow("seat to move") << Change([](GameState& t) { t.CurrentSeat = 3; }) << true;
        QTest::newRow("passes") << Change([](GameState& t) { t.PassCount = 2; }) << true;
        QTest::newRow("must lead") << Change([](GameState& t) { t.MustLead = !t.MustLead; }) << true;
        QTest::newRow("stock empty") << Change([](GameState& t) { t.StockEmpty = true; }) << true;
        QTest::newRow("runs of singles") << Change([](GameState& t) { t.SingleRun[1] = 3; }) << true;
        QTest::newRow("last draw") << Change([](GameState& t) { t.DrawnCard = Card{1, 2}; }) << true;
    }
    void seesEveryPartOfTheGameState() {
        QFETCH(Change, change);
        QFETCH(bool, differs);
        GameState a;
        a.lstCardsBox = CardSet::Deck();
        GameState b = a;
        change(b);
        QCOMPARE(!StateDifference(a, b).empty(), differs);
        QCOMPARE(!StateDifference(b, a).empty(), differs);
    }
};

VORN_TEST(StateDifferenceTest)
}  // namespace vorn

#include "state_difference_test.moc"
