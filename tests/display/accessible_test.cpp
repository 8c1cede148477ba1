#include <QAccessible>
#include <QLabel>
#include <QObject>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

#include "cards/gamestate.h"
#include "display/labelaccessible.h"
#include "display/tableaccessible.h"
#include "display/tablewidget.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

using vorn::Card;
using vorn::CardImage;
using vorn::TableAccessible;
using vorn::TableWidget;
using vorn::testing::Columns;
using vorn::testing::Row;

Q_DECLARE_METATYPE(vorn::Card)

namespace {

// A table in the middle of a game, as the window would paint it: the person
// holds hearts 3..7 along the bottom (hearts 5 raised), the right-hand seat
// holds three clubs face down, clubs 9 and 10 lie face up as the last play,
// two spades are face down on the heap and the rest is in the stock.
const std::vector<Card> kOwn = {{2, 1}, {2, 2}, {2, 3}, {2, 4}, {2, 5}};
const std::vector<Card> kRight = {{0, 1}, {0, 2}, {0, 3}};
const std::vector<Card> kPlayed = {{0, 7}, {0, 8}};
const std::vector<Card> kHeap = {{3, 1}, {3, 2}};

// The table's items: the cards one by one, then the stock and the heap.
const int kItems = int(kOwn.size() + kPlayed.size() + kRight.size()) + 2;

bool Contains(const std::vector<Card>& cards, Card card) {
    return std::find(cards.begin(), cards.end(), card) != cards.end();
}

std::unique_ptr<TableWidget> MakeTable() {
    auto table = std::make_unique<TableWidget>();
    table->resize(TableWidget::kSceneWidth / 15, TableWidget::kSceneHeight / 15);
    table->SetOwnCardTest([](Card c) { return Contains(kOwn, c); });
    int z = 0;
    for (size_t i = 0; i < kOwn.size(); ++i) {
        const bool raised = kOwn[i] == Card{2, 3};
        table->SetCard(kOwn[i], CardImage{6700 + 200 * int(i), raised ? 6100 : 6400, true, ++z, raised});
    }
    for (size_t i = 0; i < kRight.size(); ++i)
        table->SetCard(kRight[i], CardImage{10900, 2800 + 240 * int(i), false, ++z, false});
    for (size_t i = 0; i < kPlayed.size(); ++i)
        table->SetCard(kPlayed[i], CardImage{7000 + 200 * int(i), 5200, true, ++z, false});
    for (Card c : kHeap) table->SetCard(c, CardImage{vorn::kHeapX, vorn::kHeapY, false, ++z, false});
    return table;
}

TableAccessible* Accessible(TableWidget& table) {
    return dynamic_cast<TableAccessible*>(QAccessible::queryAccessibleInterface(&table));
}

// Changes the picture of one card on the table.
template <typename Edit>
void Change(TableWidget& table, Card card, Edit edit) {
    CardImage image = table.CardAt(card);
    edit(image);
    table.SetCard(card, image);
}

// The table shown in an active window, the keyboard on it.
bool Activate(TableWidget& table) {
    table.show();
    table.activateWindow();
    if (!QTest::qWaitForWindowActive(&table)) return false;
    table.setFocus();
    return true;
}

// What the pointer finds at a point of the scene, in twips.
QAccessibleInterface* ItemAt(TableWidget& table, int x, int y) {
    const QPoint at = table.mapToGlobal(table.ToPixels(QRect(x, y, 1, 1)).topLeft());
    return Accessible(table)->childAt(at.x(), at.y());
}

QStringList ChildNames(QAccessibleInterface* iface) {
    QStringList names;
    for (int i = 0; i < iface->childCount(); ++i) names << iface->child(i)->text(QAccessible::Name);
    return names;
}

struct Recorded {
    QAccessible::Event type;
    QAccessibleInterface* target;
    QAccessible::State changed;
};

class TestAccessible : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        qRegisterMetaType<vorn::Card>();
        vorn::InstallTableAccessibility();
    }

    void TableIsOnePaneOfCards() {
        auto table = MakeTable();
        TableAccessible* iface = Accessible(*table);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::Pane);
        QCOMPARE(iface->text(QAccessible::Name), QString("牌桌"));
        // Hand, play and backs one by one; stock and heap one item each.
        QCOMPARE(iface->childCount(), kItems);
        QStringList expected = {"红桃3",  "红桃4", "红桃5", "红桃6", "红桃7", "梅花9",
                                "梅花10", "牌背",  "牌背",  "牌背",  "余牌",  "已出的牌"};
        QCOMPARE(ChildNames(iface), expected);
        for (int i = 0; i < iface->childCount(); ++i) {
            QCOMPARE(iface->child(i)->parent(), static_cast<QAccessibleInterface*>(iface));
            QCOMPARE(iface->indexOfChild(iface->child(i)), i);
        }
    }

    // The play to beat is kept face up on the heap and read by its faces;
    // the play it covered is faded into the heap; a finished hand is read open.
    void PlaysOnTheHeapRead_data() {
        Columns<QString, QStringList>("steps", "names");
        const QStringList own = {"红桃3", "红桃4", "红桃5", "红桃6", "红桃7"};
        const QStringList backs = {"牌背", "牌背", "牌背", "余牌", "已出的牌"};
        Row("laid", "laid", own + QStringList{"梅花9", "黑桃3", "梅花10", "黑桃4"} + backs);
        Row("covered by the next play", "laid next", own + QStringList{"梅花9", "方块9", "梅花10"} + backs);
        Row("kept off", "off laid", own + QStringList{"梅花9", "梅花10"} + backs);
        Row("round over", "laid clear", own + QStringList{"梅花9", "梅花10"} + backs);
        Row("hand shown", "reveal",
            own + QStringList{"梅花9", "梅花10", "梅花3", "梅花4", "梅花5", "余牌", "已出的牌"});
    }
    void PlaysOnTheHeapRead() {
        QFETCH(QString, steps);
        QFETCH(QStringList, names);
        auto table = MakeTable();
        table->SetCard(Card{1, 7}, CardImage{vorn::kHeapX, vorn::kHeapY, false, 100, false});
        for (const QString& step : steps.split(' ')) {
            if (step == "off") table->SetKeepPlay(false);
            if (step == "laid") table->PlayLaid({kHeap[1], kHeap[0]});
            if (step == "next") table->PlayLaid({Card{1, 7}});
            if (step == "clear") table->ClearPlays();
            if (step == "reveal") table->Reveal(kRight);
        }
        QCOMPARE(ChildNames(Accessible(*table)), names);
        table->EndReveal();
        table->ClearPlays();
        // Whatever was shown, the model's pictures come back as they are.
        for (Card c : kHeap) QCOMPARE(table->CardAt(c).face, false);
        for (Card c : kRight) QCOMPARE(table->CardAt(c).face, false);
    }

    void ChildWidgetsStayInTheTree() {
        auto table = MakeTable();
        auto* label = new QLabel("0", table.get());
        label->setAccessibleName("提示");
        TableAccessible* iface = Accessible(*table);
        QCOMPARE(iface->childCount(), 1 + kItems);
        QCOMPARE(iface->child(0)->object(), label);
        QCOMPARE(iface->child(1)->text(QAccessible::Name), QString("红桃3"));
    }

    void EachCardReads_data() {
        Columns<Card, QString, int, bool, bool>("card", "name", "role", "checkable", "checked");
        Row("own card", Card{2, 1}, "红桃3", int(QAccessible::CheckBox), true, false);
        Row("own card raised", Card{2, 3}, "红桃5", int(QAccessible::CheckBox), true, true);
        Row("other seat, face down", Card{0, 2}, "牌背", int(QAccessible::Graphic), false, false);
        Row("played, face up", Card{0, 8}, "梅花10", int(QAccessible::Graphic), false, false);
    }
    void EachCardReads() {
        QFETCH(Card, card);
        QFETCH(QString, name);
        QFETCH(int, role);
        QFETCH(bool, checkable);
        QFETCH(bool, checked);
        auto table = MakeTable();
        QAccessibleInterface* item = Accessible(*table)->CardItem(card);
        QCOMPARE(item->text(QAccessible::Name), name);
        QCOMPARE(int(item->role()), role);
        QCOMPARE(bool(item->state().checkable), checkable);
        QCOMPARE(bool(item->state().checked), checked);
        QCOMPARE(!item->actionInterface()->actionNames().isEmpty(), checkable);
    }

    void CheckedFollowsRaised() {
        auto table = MakeTable();
        QAccessibleInterface* item = Accessible(*table)->CardItem(Card{2, 5});
        QVERIFY(!item->state().checked);
        Change(*table, Card{2, 5}, [](CardImage& image) {
            image.raised = true;
            image.y -= 300;
        });
        QVERIFY(item->state().checked);
        Change(*table, Card{2, 5}, [](CardImage& image) { image.raised = false; });
        QVERIFY(!item->state().checked);
    }

    void ActionsPressTheCard_data() {
        Columns<Card, QString, bool>("card", "action", "pressed");
        using Actions = QAccessibleActionInterface;
        Row("toggle own", Card{2, 2}, Actions::toggleAction(), true);
        Row("press own", Card{2, 4}, Actions::pressAction(), true);
        Row("unknown action", Card{2, 4}, Actions::increaseAction(), false);
        Row("another seat's card", Card{0, 1}, Actions::pressAction(), false);
        Row("played card", Card{0, 7}, Actions::pressAction(), false);
    }
    void ActionsPressTheCard() {
        QFETCH(Card, card);
        QFETCH(QString, action);
        QFETCH(bool, pressed);
        auto table = MakeTable();
        QSignalSpy spy(table.get(), &TableWidget::cardPressed);
        Accessible(*table)->CardItem(card)->actionInterface()->doAction(action);
        QCOMPARE(spy.count(), pressed ? 1 : 0);
        if (pressed) QCOMPARE(spy.at(0).at(0).value<Card>(), card);
    }

    void RectsAreWhereTheCardsArePainted() {
        auto table = MakeTable();
        table->resize(table->width() * 2, table->height() * 2);
        const Card card{0, 8};
        const CardImage& image = table->CardAt(card);
        const QRect pixels =
            table->ToPixels(QRect(image.x, image.y, TableWidget::kCardW, TableWidget::kCardH));
        QAccessibleInterface* item = Accessible(*table)->CardItem(card);
        QCOMPARE(item->rect(), QRect(table->mapToGlobal(pixels.topLeft()), pixels.size()));
    }

    void PointerFindsTheTopCard() {
        auto table = MakeTable();
        TableAccessible* iface = Accessible(*table);
        // The left edge of hearts 4 lies under hearts 5..7 except its first 200 twips.
        QCOMPARE(ItemAt(*table, 6900 + 100, 6400 + 700), iface->CardItem(Card{2, 2}));
        QCOMPARE(ItemAt(*table, 7500 + 900, 6400 + 700), iface->CardItem(Card{2, 5}));
        QCOMPARE(ItemAt(*table, 400, 400), iface->StockItem());
    }

    void FocusedCardIsTheKeyboardOne() {
        auto table = MakeTable();
        QVERIFY(Activate(*table));
        QVERIFY(table->hasFocus());
        TableAccessible* iface = Accessible(*table);
        QVERIFY(!iface->CardItem(Card{2, 4})->state().focused);
        table->SetFocusCard(true, Card{2, 4});
        QVERIFY(iface->CardItem(Card{2, 4})->state().focused);
        QVERIFY(iface->CardItem(Card{2, 4})->state().focusable);
        QVERIFY(!iface->CardItem(Card{2, 1})->state().focused);
        QCOMPARE(iface->focusChild(), iface->CardItem(Card{2, 4}));
        table->SetFocusCard(false);
        QVERIFY(!iface->CardItem(Card{2, 4})->state().focused);
        QVERIFY(iface->focusChild() != iface->CardItem(Card{2, 4}));
    }

    void EventsTellOnlyWhatChanged() {
        auto table = MakeTable();
        QVERIFY(Activate(*table));
        TableAccessible* iface = Accessible(*table);
        std::vector<Recorded> events;
        iface->eventSink = [&events](QAccessibleEvent* e) {
            QAccessible::State changed;
            if (e->type() == QAccessible::StateChanged)
                changed = static_cast<QAccessibleStateChangeEvent*>(e)->changedStates();
            events.push_back({e->type(), e->accessibleInterface(), changed});
        };

        // A picture moving without changing what it is raises nothing.
        Change(*table, Card{0, 8}, [](CardImage& image) { image.x += 50; });
        iface->CardChanged();
        QCOMPARE(events.size(), size_t(0));

        // Raising a card of the hand: its checked state changed.
        Change(*table, Card{2, 1}, [](CardImage& image) { image.raised = true; });
        iface->CardChanged();
        QCOMPARE(events.size(), size_t(1));
        QCOMPARE(events[0].type, QAccessible::StateChanged);
        QCOMPARE(events[0].target, iface->CardItem(Card{2, 1}));
        QVERIFY(events[0].changed.checked);
        events.clear();

        // A back turned face up keeps its place in the list but reads differently.
        Change(*table, Card{0, 1}, [](CardImage& image) { image.face = true; });
        iface->CardChanged();
        QCOMPARE(events.size(), size_t(2));
        QCOMPARE(events[0].type, QAccessible::ObjectReorder);
        QCOMPARE(events[1].type, QAccessible::NameChanged);
        QCOMPARE(events[1].target, iface->CardItem(Card{0, 1}));
        events.clear();

        // The last play swept to the heap leaves the list.
        const int before = iface->childCount();
        for (Card c : kPlayed) table->SetCard(c, CardImage{vorn::kHeapX, vorn::kHeapY, false, 99, false});
        iface->CardChanged();
        QCOMPARE(events.size(), size_t(1));
        QCOMPARE(events[0].type, QAccessible::ObjectReorder);
        QCOMPARE(iface->childCount(), before - int(kPlayed.size()));
        events.clear();

        // Focus is announced once per move, again after it left and came back.
        table->SetFocusCard(true, Card{2, 2});
        iface->FocusMoved(Card{2, 2});
        iface->FocusMoved(Card{2, 2});
        QCOMPARE(events.size(), size_t(1));
        QCOMPARE(events[0].type, QAccessible::Focus);
        QCOMPARE(events[0].target, iface->CardItem(Card{2, 2}));
        table->SetFocusCard(false);
        iface->CardChanged();
        table->SetFocusCard(true, Card{2, 2});
        iface->FocusMoved(Card{2, 2});
        QCOMPARE(events.size(), size_t(2));
        // Only the person's own cards take focus.
        table->SetFocusCard(true, Card{0, 2});
        iface->FocusMoved(Card{0, 2});
        QCOMPARE(events.size(), size_t(2));
    }

    void LabelsReadTheirText_data() {
        Columns<QString, QString, QString, QString>("accessibleName", "shown", "name", "description");
        Row("named panel", "提示", "提示：请出牌", "提示", "提示：请出牌");
        Row("unnamed label", "", "胜局", "胜局", "");
        Row("vertical seat name", "张三", "张\n三", "张三", "");
        Row("name differs from text", "0", "3", "0", "3");
    }
    void LabelsReadTheirText() {
        QFETCH(QString, accessibleName);
        QFETCH(QString, shown);
        QFETCH(QString, name);
        QFETCH(QString, description);
        TableWidget table;
        auto* label = new QLabel(shown, &table);
        label->setAccessibleName(accessibleName);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(label);
        QCOMPARE(iface->role(), QAccessible::StaticText);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(iface->text(QAccessible::Description), description);
        QVERIFY(iface->textInterface());
        QCOMPARE(iface->textInterface()->text(0, -1), QString(shown).remove('\n'));
    }
};

}  // namespace

VORN_TEST(TestAccessible)
#include "accessible_test.moc"
