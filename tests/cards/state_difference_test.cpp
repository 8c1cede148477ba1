// The comparison of two copies of one table that network play relies on.

#include <QObject>
#include <QTest>

#include <functional>

#include "cards/gamestate.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

using Change = std::function<void(vorn::GameState&)>;
Q_DECLARE_METATYPE(Change)

namespace vorn {

class StateDifferenceTest : public QObject {
    Q_OBJECT
  private slots:
    void seesEveryPartOfTheGameState_data() {
        testing::Columns<Change, bool>("change", "differs");
        // Each row changes one part of the table; all but the first must be seen.
        auto row = [](const char* name, const Change& change) { testing::Row(name, change, true); };
        testing::Row("nothing", Change([](GameState&) {}), false);
        row("stock", [](GameState& t) { t.lstCardsBox.RemoveAt(0); });
        row("a hand", [](GameState& t) { t.lstDirection[3].Add(Card{3, 13}); });
        row("chosen cards", [](GameState& t) { t.lstSelected.Add(Card{0, 1}); });
        row("a card's place", [](GameState& t) { t.CardLocation[2][5] = 4; });
        row("play on the table", [](GameState& t) { t.TablePlay.Add(Card{0, 5}); });
        row("play type", [](GameState& t) { t.PlayType = PlayType::Single; });
        row("last thrower", [](GameState& t) { t.TheLastThrower = 2; });
        row("seat to move", [](GameState& t) { t.CurrentSeat = 3; });
        row("passes", [](GameState& t) { t.PassCount = 2; });
        row("must lead", [](GameState& t) { t.MustLead = !t.MustLead; });
        row("stock empty", [](GameState& t) { t.StockEmpty = true; });
        row("runs of singles", [](GameState& t) { t.SingleRun[1] = 3; });
        row("last draw", [](GameState& t) { t.DrawnCard = Card{1, 2}; });
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
