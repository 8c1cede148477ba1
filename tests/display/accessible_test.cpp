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
#include "tests/testing.h"

using vorn::Card;
using vorn::CardImage;
using vorn::TableAccessible;
using vorn::TableWidget;

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
        QCOMPARE(iface->childCount(), int(kOwn.size() + kPlayed.size() + kRight.size()) + 2);
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
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("names");
        const QStringList own = {"红桃3", "红桃4", "红桃5", "红桃6", "红桃7"};
        const QStringList backs = {"牌背", "牌背", "牌背", "余牌", "已出的牌"};
        QTest::newRow("laid") << "laid" << own + QStringList{"梅花9", "黑桃3", "梅花10", "黑桃4"} + backs;
        QTest::newRow("covered by the next play")
            << "laid next" << own + QStringList{"梅花9", "方块9", "梅花10"} + backs;
        QTest::newRow("kept off") << "off laid" << own + QStringList{"梅花9", "梅花10"} + backs;
        QTest::newRow("round over") << "laid clear" << own + QStringList{"梅花9", "梅花10"} + backs;
        QTest::newRow("hand shown") << "reveal" << own + QStringList{"梅花9", "梅花10", "梅花3",   "梅花4",
                                                                     "梅花5", "余牌",   "已出的牌"};
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
        QCOMPARE(iface->childCount(), 1 + int(kOwn.size() + kPlayed.size() + kRight.size()) + 2);
        QCOMPARE(iface->child(0)->object(), label);
        QCOMPARE(iface->child(1)->text(QAccessible::Name), QString("红桃3"));
    }

    void EachCardReads_data() {
        QTest::addColumn<Card>("card");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("checkable");
        QTest::addColumn<bool>("checked");
        QTest::newRow("own card") << Card{2, 1} << "红桃3" << int(QAccessible::CheckBox) << true << false;
        QTest::newRow("own card raised")
            << Card{2, 3} << "红桃5" << int(QAccessible::CheckBox) << true << true;
        QTest::newRow("other seat, face down")
            << Card{0, 2} << "牌背" << int(QAccessible::Graphic) << false << false;
        QTest::newRow("played, face up")
            << Card{0, 8} << "梅花10" << int(QAccessible::Graphic) << false << false;
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
        CardImage image = table->CardAt(Card{2, 5});
        image.raised = true;
        image.y -= 300;
        table->SetCard(Card{2, 5}, image);
        QVERIFY(item->state().checked);
        image.raised = false;
        table->SetCard(Card{2, 5}, image);
        QVERIFY(!item->state().checked);
    }

    void ActionsPressTheCard_data() {
        QTest::addColumn<Card>("card");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("pressed");
        QTest::newRow("toggle own") << Card{2, 2} << QAccessibleActionInterface::toggleAction() << true;
        QTest::newRow("press own") << Card{2, 4} << QAccessibleActionInterface::pressAction() << true;
        QTest::newRow("unknown action")
            << Card{2, 4} << QAccessibleActionInterface::increaseAction() << false;
        QTest::newRow("another seat's card")
            << Card{0, 1} << QAccessibleActionInterface::pressAction() << false;
        QTest::newRow("played card") << Card{0, 7} << QAccessibleActionInterface::pressAction() << false;
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
        const QPoint onFour =
            table->mapToGlobal(table->ToPixels(QRect(6900 + 100, 6400 + 700, 1, 1)).topLeft());
        const QPoint onSeven =
            table->mapToGlobal(table->ToPixels(QRect(7500 + 900, 6400 + 700, 1, 1)).topLeft());
        const QPoint onStock = table->mapToGlobal(table->ToPixels(QRect(400, 400, 1, 1)).topLeft());
        QCOMPARE(iface->childAt(onFour.x(), onFour.y()), iface->CardItem(Card{2, 2}));
        QCOMPARE(iface->childAt(onSeven.x(), onSeven.y()), iface->CardItem(Card{2, 5}));
        QCOMPARE(iface->childAt(onStock.x(), onStock.y()), iface->StockItem());
    }

    void FocusedCardIsTheKeyboardOne() {
        auto table = MakeTable();
        table->show();
        table->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(table.get()));
        table->setFocus();
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
        table->show();
        table->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(table.get()));
        table->setFocus();
        TableAccessible* iface = Accessible(*table);
        std::vector<Recorded> events;
        iface->eventSink = [&events](QAccessibleEvent* e) {
            QAccessible::State changed;
            if (e->type() == QAccessible::StateChanged)
                changed = static_cast<QAccessibleStateChangeEvent*>(e)->changedStates();
            events.push_back({e->type(), e->accessibleInterface(), changed});
        };

        // A picture moving without changing what it is raises nothing.
        CardImage image = table->CardAt(Card{0, 8});
        image.x += 50;
        table->SetCard(Card{0, 8}, image);
        iface->CardChanged();
        QCOMPARE(events.size(), size_t(0));

        // Raising a card of the hand: its checked state changed.
        image = table->CardAt(Card{2, 1});
        image.raised = true;
        table->SetCard(Card{2, 1}, image);
        iface->CardChanged();
        QCOMPARE(events.size(), size_t(1));
        QCOMPARE(events[0].type, QAccessible::StateChanged);
        QCOMPARE(events[0].target, iface->CardItem(Card{2, 1}));
        QVERIFY(events[0].changed.checked);
        events.clear();

        // A back turned face up keeps its place in the list but reads differently.
        image = table->CardAt(Card{0, 1});
        image.face = true;
        table->SetCard(Card{0, 1}, image);
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
        QTest::addColumn<QString>("accessibleName");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("named panel") << "提示"
                                     << "提示：请出牌"
                                     << "提示"
                                     << "提示：请出牌";
        QTest::newRow("unnamed label") << ""
                                       << "胜局"
                                       << "胜局"
                                       << "";
        QTest::newRow("vertical seat name") << "张三"
                                            << "张\n三"
                                            << "张三"
                                            << "";
        QTest::newRow("name differs from text") << "0"
                                                << "3"
                                                << "0"
                                                << "3";
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
