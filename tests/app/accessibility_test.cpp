// The table window as a screen reader finds it: the cards after a deal, the
// play button, the labels and the logon dialog's fields.

#include <QAccessible>

#include "app/logondialog.h"
#include "display/tableaccessible.h"
#include "tests/app/apptesting.h"

namespace vorn {
namespace {

using namespace apptest;

QAccessibleInterface* Iface(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

TableAccessible* TableIface(MainWindow& w) {
    return dynamic_cast<TableAccessible*>(Iface(&w.tableWidget()));
}

// The cards of the person's hand in the order the table lists them.
QStringList ListedOwnCards(TableAccessible* table) {
    QStringList names;
    for (int i = 0; i < table->childCount(); ++i)
        if (table->child(i)->role() == QAccessible::CheckBox)
            names << table->child(i)->text(QAccessible::Name);
    return names;
}

bool HasChinese(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff; });
}

// Every name, description and value under iface that holds Chinese, a name of allowed aside.
void CollectChinese(QAccessibleInterface* iface, const QStringList& allowed, QStringList& found, int depth) {
    if (!iface || depth > 12) return;
    for (QAccessible::Text t : {QAccessible::Name, QAccessible::Description, QAccessible::Value}) {
        const QString text = iface->text(t);
        if (!HasChinese(text)) continue;
        QString rest = text;
        for (const QString& name : allowed) rest.remove(name);
        if (HasChinese(rest)) found << text;
    }
    for (int i = 0; i < iface->childCount(); ++i) CollectChinese(iface->child(i), allowed, found, depth + 1);
}

class TestAccessibility : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InstallTableAccessibility(); }

    void DealtCardsReadAsThePersonSeesThem() {
        WindowFixture f;
        QVERIFY(f.Open(7));
        MainWindow& w = *f;
        w.mnuDeal_Click();
        TableAccessible* table = TableIface(w);
        QVERIFY(table);
        QCOMPARE(table->text(QAccessible::Name), QString("牌桌"));
        int own = 0, backs = 0;
        for (Card card : AllCards()) {
            const int where = w.table().Location(card);
            QAccessibleInterface* item = table->CardItem(card);
            const QByteArray what = QByteArray::fromStdString(CardCode(card));
            if (where == w.session().LocalSeat) {
                ++own;
                QVERIFY2(table->indexOfChild(item) >= 0, what);
                QCOMPARE(item->text(QAccessible::Name), Q(CardFaceName(card)));
                QCOMPARE(item->role(), QAccessible::CheckBox);
            } else if (where >= 0 && where < 4) {
                ++backs;
                QVERIFY2(table->indexOfChild(item) >= 0, what);
                QCOMPARE(item->text(QAccessible::Name), QString("牌背"));
            } else {
                QVERIFY2(table->indexOfChild(item) < 0, what);  // still in the stock pile
            }
        }
        QVERIFY(own > 0);
        QCOMPARE(own + backs, 6 * 4 + 1);  // six rounds and one more card for the leader
        QVERIFY(table->indexOfChild(table->StockItem()) >= 0);
        QCOMPARE(table->StockItem()->text(QAccessible::Name), QString("余牌"));
        // The hand reads left to right, as it lies.
        QStringList expected;
        for (Card c : HandCards(w, w.session().LocalSeat)) expected << Q(CardFaceName(c));
        QCOMPARE(ListedOwnCards(table), expected);
    }

    void ComputerPlayReadsByFace_data() {
        QTest::addColumn<bool>("keepPlay");
        QTest::addColumn<bool>("animation");
        QTest::newRow("kept, cards jump") << true << false;
        QTest::newRow("kept, cards move") << true << true;
        QTest::newRow("turned over the old way") << false << false;
    }
    void ComputerPlayReadsByFace() {
        QFETCH(bool, keepPlay);
        QFETCH(bool, animation);
        WindowFixture f;
        QVERIFY(f.Open(5));
        MainWindow& w = *f;
        if (animation) w.Action("mnuAnimal")->trigger();
        if (!keepPlay) w.Action("mnuKeepPlay")->trigger();
        w.mnuDeal_Click();
        // Up to the first play a computer seat lays.
        for (int i = 0; i < 50 && (w.table().TablePlay.Empty() || w.table().TheLastThrower == 0); ++i) {
            if (w.labThrow()->isHidden() || w.table().CurrentSeat != 0) {
                w.engine().Tick();
                continue;
            }
            // The person passes, or leads their lowest card.
            if (w.table().MustLead) PressCard(w, HandCards(w, 0).front());
            PressThrow(w);
        }
        QVERIFY(!w.table().TablePlay.Empty() && w.table().TheLastThrower != 0);
        TableAccessible* table = TableIface(w);
        QStringList names;
        for (int i = 0; i < table->childCount(); ++i) names << table->child(i)->text(QAccessible::Name);
        for (const Card card : w.table().TablePlay) {
            const bool listed = table->indexOfChild(table->CardItem(card)) >= 0;
            QCOMPARE(listed, keepPlay);
            if (keepPlay) QCOMPARE(table->CardItem(card)->text(QAccessible::Name), Q(CardFaceName(card)));
        }
        for (int seat = 1; seat < 4; ++seat) {
            const QString count =
                Q(w.session().PlayerNames[seat]) + " 剩 " + QString::number(w.table().HandSize(seat)) + " 张";
            QVERIFY2(names.contains(count), qPrintable(count + " not in " + names.join('|')));
        }
    }

    void ChoosingThroughTheScreenReader() {
        WindowFixture f;
        QVERIFY(f.Open(11));
        QVERIFY(f.DealToPersonsTurn());
        MainWindow& w = *f;
        QAccessibleInterface* button = Iface(w.labThrow());
        QCOMPARE(button->role(), QAccessible::PushButton);
        QCOMPARE(button->text(QAccessible::Name), QString("PASS"));
        QVERIFY(!button->state().invisible);

        // Toggling a card of the hand raises it, as a click would, and the
        // play button now reads OK.
        TableAccessible* table = TableIface(w);
        const Card card = HandCards(w, w.session().LocalSeat).front();
        QAccessibleInterface* item = table->CardItem(card);
        QVERIFY(!item->state().checked);
        item->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(w.pictures().Image(card).raised);
        QVERIFY(item->state().checked);
        QCOMPARE(button->text(QAccessible::Name), QString("OK"));
        item->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!item->state().checked);
        QCOMPARE(button->text(QAccessible::Name), QString("PASS"));
    }

    void KeyboardFocusIsTheFocusedCard() {
        WindowFixture f;
        QVERIFY(f.Open(11));
        MainWindow& w = *f;
        QVERIFY(ShowActive(w));
        QVERIFY(f.DealToPersonsTurn());
        w.tableWidget().setFocus();
        QTest::keyClick(&w.tableWidget(), Qt::Key_Right);
        QTest::keyClick(&w.tableWidget(), Qt::Key_Right);
        QVERIFY(w.tableWidget().HasFocusCard());
        TableAccessible* table = TableIface(w);
        const Card focus = w.tableWidget().FocusCard();
        QCOMPARE(focus, HandCards(w, w.session().LocalSeat).at(1));
        QCOMPARE(table->focusChild(), table->CardItem(focus));
        QVERIFY(table->CardItem(focus)->state().focused);
    }

    void LabelsReadTheirContent() {
        WindowFixture f;
        QVERIFY(f.Open(3));
        MainWindow& w = *f;
        w.mnuDeal_Click();
        for (int seat = 0; seat < 4; ++seat) {
            // Each seat's label reads its name whole.
            QAccessibleInterface* name = Iface(w.lblName(seat));
            QCOMPARE(name->text(QAccessible::Name), Q(w.session().PlayerNames[seat]));
            QCOMPARE(name->text(QAccessible::Description), QString());
        }
        QAccessibleInterface* hint = Iface(w.HintPanel());
        QAccessibleInterface* progress = Iface(w.ProgressPanel());
        QCOMPARE(hint->text(QAccessible::Name), QString("牌局"));
        QCOMPARE(progress->text(QAccessible::Name), QString("进程"));
        QCOMPARE(hint->text(QAccessible::Description), w.HintPanel()->text());
        QCOMPARE(progress->text(QAccessible::Description), QString("进程：单机游戏"));
        QCOMPARE(progress->textInterface()->text(0, -1), QString("进程：单机游戏"));

        w.SetScoreRow(1, "青龙", 7, 2);
        QCOMPARE(Iface(w.lblScorer(1))->text(QAccessible::Name), QString("青龙 失分"));
        QCOMPARE(Iface(w.lblScore(1))->textInterface()->text(0, -1), QString("7"));
        QCOMPARE(Iface(w.lblWin(1))->textInterface()->text(0, -1), QString("2"));
        QCOMPARE(Iface(w.lblScore(1))->text(QAccessible::Name), QString("7"));
    }

    void LogonFieldsAreNamedByTheirCaptions_data() {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("english");
        QTest::addColumn<int>("role");
        const struct {
            const char *tag, *object, *name, *english;
            QAccessible::Role role;
        } fields[] = {{"title", "frmLogon", "登录", "Log On", QAccessible::Dialog},
                      {"host", "txtIP", "主机名称", "Host name", QAccessible::EditableText},
                      {"name", "txtID", "阁下姓名", "Your name", QAccessible::EditableText},
                      {"port", "txtPort", "游戏端口", "Port", QAccessible::EditableText},
                      {"ok", "cmdOK", "确定", "OK", QAccessible::PushButton},
                      {"local game", "optLocal", "单机游戏", "Local game", QAccessible::RadioButton},
                      {"network game", "optNet", "连线游戏", "Network game", QAccessible::RadioButton},
                      {"host a game", "optHost", "我作主机", "Host a game", QAccessible::RadioButton},
                      {"join a game", "optConnect", "加入牌局", "Join a game", QAccessible::RadioButton}};
        for (const auto& f : fields)
            QTest::newRow(f.tag) << QString(f.object) << QString(f.name) << QString(f.english) << int(f.role);
    }
    void LogonFieldsAreNamedByTheirCaptions() {
        QFETCH(QString, objectName);
        QFETCH(QString, name);
        QFETCH(QString, english);
        QFETCH(int, role);
        for (bool inEnglish : {false, true}) {
            WindowFixture f;
            if (inEnglish) f.WriteSettings(kEnglish);
            QVERIFY(f.Open(1, false));
            LogonDialog dialog(*f);
            auto* widget =
                objectName == dialog.objectName() ? &dialog : dialog.findChild<QWidget*>(objectName);
            QVERIFY(widget);
            QAccessibleInterface* iface = Iface(widget);
            QCOMPARE(iface->text(QAccessible::Name), inEnglish ? english : name);
            QCOMPARE(int(iface->role()), role);
        }
    }

    // In English the person meets no Chinese but the seats' names and the
    // language item, which is written in both so either reader finds it.
    void EnglishTreeHasNoChinese_data() {
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<bool>("switched");  // through the menu item rather than the settings file
        QTest::newRow("table window") << false << false;
        QTest::newRow("logon dialog") << true << false;
        QTest::newRow("table window after the switch") << false << true;
    }
    void EnglishTreeHasNoChinese() {
        QFETCH(bool, dialog);
        QFETCH(bool, switched);
        WindowFixture f;
        if (!switched) f.WriteSettings(kEnglish);
        QVERIFY(f.Open(1));
        MainWindow& w = *f;
        if (switched) {
            w.Action("mnuLanguage")->trigger();
            QVERIFY(f.SettingsText().contains("Language=en"));
        }
        QVERIFY(f.DealToPersonsTurn());
        // The default names read in English too.
        const QStringList allowed = {"English / 中文"};
        std::unique_ptr<LogonDialog> logon;
        QObject* root = &w;
        if (dialog) {
            logon = std::make_unique<LogonDialog>(w);
            root = logon.get();
        }
        QStringList chinese;
        CollectChinese(Iface(root), allowed, chinese, 0);
        for (QAction* action : root->findChildren<QAction*>())
            if (HasChinese(action->text()) && !allowed.contains(action->text())) chinese << action->text();
        QVERIFY2(chinese.isEmpty(), qPrintable(chinese.join(" | ")));
        if (dialog) return;
        const std::pair<const char*, const char*> captions[] = {
            {"mnuGame", "&Game"}, {"mnuSet", "&Settings"}, {"mnuOption", "&Options"}, {"mnuIP", "&View"},
            {"mnuHelp", "&Help"}, {"mnuReset", "&Reset"},  {"mnuDeal", "&Deal"},      {"mnuExit", "E&xit"}};
        for (const auto& [object, caption] : captions) {
            QAction* action = w.Action(object);
            if (!action)
                if (auto* menu = w.findChild<QMenu*>(object)) action = menu->menuAction();
            QVERIFY2(action, object);
            QCOMPARE(action->text(), QString(caption));
        }
    }
};

}  // namespace

VORN_TEST(TestAccessibility)
}  // namespace vorn

#include "accessibility_test.moc"
