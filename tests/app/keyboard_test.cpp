// Playing a turn with the keyboard alone, and the hint menu item.

#include "tests/app/apptesting.h"

namespace vorn {
namespace {

using namespace apptest;

class KeyboardTest : public QObject {
    Q_OBJECT
  private slots:
    void wholeTurnByKeyboard() {
        WindowFixture q;
        QVERIFY(q.Open(11, false));
        q->options().sound = false;
        QVERIFY(q.DealToPersonsTurn());
        MainWindow& w = *q;
        TableWidget& table = w.tableWidget();
        QVERIFY(!table.HasFocusCard());

        // Right from nowhere lands on the leftmost card of the person's hand.
        q.Key(Qt::Key_Right);
        QVERIFY(table.HasFocusCard());
        Card first = table.FocusCard();
        QCOMPARE(w.table().Location(first), 0);
        for (Card card : HandCards(w, 0)) QVERIFY(w.pictures().Image(card).x >= w.pictures().Image(first).x);

        // Right then Left comes back; Left at the first card stays there.
        q.Key(Qt::Key_Right);
        QVERIFY(!(table.FocusCard() == first));
        q.Key(Qt::Key_Left);
        QCOMPARE(table.FocusCard(), first);
        q.Key(Qt::Key_Left);
        QCOMPARE(table.FocusCard(), first);

        // Space raises and lowers the focused card like a click.
        q.Key(Qt::Key_Space);
        QVERIFY(w.table().lstSelected.Contains(first));
        QCOMPARE(w.labThrow()->text(), QString("OK"));
        q.Key(Qt::Key_Space);
        QVERIFY(w.table().lstSelected.Empty());
        QCOMPARE(w.labThrow()->text(), QString("PASS"));

        // Enter presses the play button: the person leads the first game, and a
        // single card always may lead.
        QVERIFY(w.table().MustLead);
        q.Key(Qt::Key_Space);
        q.Key(Qt::Key_Return);
        QCOMPARE(Q(Codes(w.table().TablePlay)), Q(CardCode(first)));
        QVERIFY(!w.engine().ThrowVisible());
        QVERIFY(!table.HasFocusCard());
        QVERIFY(q.Quiet());

        // Now the turn is East's, and the keys do nothing.
        QCOMPARE(w.table().CurrentSeat, 1);
        const CardSet before = w.table().TablePlay;
        const CardSet hand = w.table().lstDirection[0];
        q.Key(Qt::Key_Right);
        QVERIFY(!table.HasFocusCard());
        q.Key(Qt::Key_Space);
        q.Key(Qt::Key_Return);
        QVERIFY(w.table().lstSelected.Empty());
        QCOMPARE(w.table().TablePlay, before);
        QCOMPARE(w.table().lstDirection[0], hand);
        QCOMPARE(w.table().CurrentSeat, 1);
    }

    void hintRaisesAPlayableChoiceAndCycles() {
        WindowFixture q;
        QVERIFY(q.Open(5, false));
        q->options().sound = false;
        MainWindow& w = *q;
        QAction* hint = w.Action("mnuHint");
        QVERIFY(hint);
        QVERIFY(!hint->isEnabled());
        QVERIFY(q.DealToPersonsTurn());
        QVERIFY(hint->isEnabled());
        hint->trigger();
        QVERIFY(Settle(*q));
        const CardSet first = w.table().lstSelected;
        if (first.Empty()) {
            QCOMPARE(w.HintPanel()->text(), QString("牌局：没有牌管得起"));
            return;
        }
        QCOMPARE(w.labThrow()->text(), QString("OK"));
        // The note by the play button rates it.
        QVERIFY2(w.seatCues().Note()->text().startsWith("胜率 "), qPrintable(w.seatCues().Note()->text()));
        // Pressing it again lowers the first choice before raising the next one.
        hint->trigger();
        QVERIFY(Settle(*q));
        const CardSet second = w.table().lstSelected;
        QVERIFY(!second.Empty());
        // A follow offers plays of the table's size; a lead other shapes.
        if (w.table().MustLead)
            QVERIFY(second != first);
        else
            QCOMPARE(second.Count(), first.Count());
        // The hint never plays by itself.
        QVERIFY(w.engine().ThrowVisible());
        w.labThrow()->pressed();
        QVERIFY(!w.engine().ThrowVisible());
        QVERIFY(q.Quiet());
        QVERIFY(!hint->isEnabled());
    }
};

}  // namespace

VORN_TEST(KeyboardTest)
}  // namespace vorn

#include "keyboard_test.moc"
