// Playing a turn with the keyboard alone, and the hint menu item.

#include <QAction>
#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/mainwindow.h"
#include "display/seatcues.h"
#include "display/tablewidget.h"
#include "tests/app/apptesting.h"
#include "tests/testing.h"

namespace vorn {

using apptest::Settle;
using apptest::WindowFixture;

class KeyboardTest : public QObject {
    Q_OBJECT
  private slots:
    void wholeTurnByKeyboard() {
        WindowFixture q;
        QVERIFY(q.Open(11, false));
        q->options().sound = false;
        QVERIFY(q.DealToPersonsTurn());
        TableWidget& table = q.window->tableWidget();
        QVERIFY(!table.HasFocusCard());

        // Right from nowhere lands on the leftmost card of the person's hand.
        q.Key(Qt::Key_Right);
        QVERIFY(table.HasFocusCard());
        Card first = table.FocusCard();
        QCOMPARE(q.window->table().Location(first), 0);
        for (int s = 0; s < kSuits; ++s)
            for (int n = 1; n <= kNumbers; ++n)
                if (q.window->table().Location(Card{s, n}) == 0)
                    QVERIFY(q.window->pictures().Image(Card{s, n}).x >= q.window->pictures().Image(first).x);

        // Right then Left comes back; Left at the first card stays there.
        q.Key(Qt::Key_Right);
        QVERIFY(!(table.FocusCard() == first));
        q.Key(Qt::Key_Left);
        QCOMPARE(table.FocusCard(), first);
        q.Key(Qt::Key_Left);
        QCOMPARE(table.FocusCard(), first);

        // Space raises and lowers the focused card like a click.
        q.Key(Qt::Key_Space);
        QVERIFY(q.window->table().lstSelected.Contains(first));
        QCOMPARE(q.window->labThrow()->text(), QString("OK"));
        q.Key(Qt::Key_Space);
        QVERIFY(q.window->table().lstSelected.Empty());
        QCOMPARE(q.window->labThrow()->text(), QString("PASS"));

        // Enter presses the play button: the person leads the first game, and a
        // single card always may lead.
        QVERIFY(q.window->table().MustLead);
        q.Key(Qt::Key_Space);
        q.Key(Qt::Key_Return);
        QCOMPARE(QString::fromStdString(Codes(q.window->table().TablePlay)),
                 QString::fromStdString(CardCode(first)));
        QVERIFY(!q.window->engine().ThrowVisible());
        QVERIFY(!table.HasFocusCard());
        QVERIFY(q.Quiet());

        // Now the turn is East's, and the keys do nothing.
        QCOMPARE(q.window->table().CurrentSeat, 1);
        const CardSet before = q.window->table().TablePlay;
        const CardSet hand = q.window->table().lstDirection[0];
        q.Key(Qt::Key_Right);
        QVERIFY(!q.window->tableWidget().HasFocusCard());
        q.Key(Qt::Key_Space);
        q.Key(Qt::Key_Return);
        QVERIFY(q.window->table().lstSelected.Empty());
        QCOMPARE(q.window->table().TablePlay, before);
        QCOMPARE(q.window->table().lstDirection[0], hand);
        QCOMPARE(q.window->table().CurrentSeat, 1);
    }

    void hintRaisesAPlayableChoiceAndCycles() {
        WindowFixture q;
        QVERIFY(q.Open(5, false));
        q->options().sound = false;
        QAction* hint = q.window->Action("mnuHint");
        QVERIFY(hint);
        QVERIFY(!hint->isEnabled());
        QVERIFY(q.DealToPersonsTurn());
        QVERIFY(hint->isEnabled());
        hint->trigger();
        QVERIFY(Settle(*q));
        const CardSet first = q.window->table().lstSelected;
        if (first.Empty()) {
            QCOMPARE(q.window->HintPanel()->text(), QString("牌局：没有牌管得起"));
            return;
        }
        QCOMPARE(q.window->labThrow()->text(), QString("OK"));
        // The note by the play button rates it.
        QVERIFY2(q.window->seatCues().Note()->text().startsWith("胜率 "),
                 qPrintable(q.window->seatCues().Note()->text()));
        // Pressing it again lowers the first choice before raising the next one.
        hint->trigger();
        QVERIFY(Settle(*q));
        const CardSet second = q.window->table().lstSelected;
        QVERIFY(!second.Empty());
        // A follow offers plays of the table's size; a lead other shapes.
        if (q.window->table().MustLead)
            QVERIFY(second != first);
        else
            QCOMPARE(second.Count(), first.Count());
        // The hint never plays by itself.
        QVERIFY(q.window->engine().ThrowVisible());
        q.window->labThrow()->pressed();
        QVERIFY(!q.window->engine().ThrowVisible());
        QVERIFY(q.Quiet());
        QVERIFY(!hint->isEnabled());
    }
};

VORN_TEST(KeyboardTest)
}  // namespace vorn

#include "keyboard_test.moc"
