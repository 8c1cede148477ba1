// The menus: which items are offered when, the choices and switches they
// set, the view and chat panels, and what survives an exit.

#include <QMap>
#include <QMenuBar>

#include "app/playerdialog.h"
#include "app/tablemenus.h"
#include "net/protocol.h"
#include "tests/app/apptesting.h"

namespace vorn {
namespace {

using namespace apptest;

// The widgets a view menu item shows and hides.
QList<QWidget*> Panel(MainWindow& w, const QString& item) {
    if (item == "mnuShowConnections") return {w.lstConnections(), w.findChild<QLabel*>("lblConnections")};
    if (item == "mnuShowMessage")
        return {w.txtDialog(), w.txtMessage(), w.findChild<QLabel*>("lblDialog"),
                w.findChild<QLabel*>("lblMessage")};
    QList<QWidget*> labels;
    for (int i = 0; i < 4; ++i) labels << w.lblScore(i) << w.lblScorer(i) << w.lblWin(i) << w.lblWinner(i);
    return labels;
}

// Which of the widgets are shown, one letter each.
QString Shown(const QList<QWidget*>& widgets) {
    QString text;
    for (QWidget* widget : widgets) text += widget->isVisible() ? 'v' : '-';
    return text;
}

QAction* Item(MainWindow& w, const QString& group, int item) {
    return w.Action((group + QString::number(item)).toLatin1());
}

QString CheckedItems(MainWindow& w, const QString& group, int count) {
    QString text;
    for (int i = 0; i < count; ++i) text += Item(w, group, i)->isChecked() ? 'x' : '-';
    return text;
}

// The access keys of the items side by side in menu that more than one item uses.
QStringList SharedKeys(const QList<QAction*>& items) {
    QMap<QChar, int> uses;
    for (QAction* item : items) {
        const qsizetype amp = item->text().indexOf('&');
        if (amp >= 0 && amp + 1 < item->text().size()) ++uses[item->text()[amp + 1].toUpper()];
    }
    QStringList shared;
    for (auto it = uses.begin(); it != uses.end(); ++it)
        if (it.value() > 1) shared << it.key();
    return shared;
}

class TestMenus : public QObject {
    Q_OBJECT

  private slots:
    // What the game, set and option menus offer as they open, whatever they
    // offered before.
    void menuOpening_data() {
        QTest::addColumn<bool>("network");
        QTest::addColumn<bool>("host");
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<bool>("dealtBefore");  // the deal command already used (disabled)
        QTest::addColumn<bool>("deal");
        QTest::addColumn<bool>("disconnect");
        QTest::newRow("local, deal enabled stays") << false << false << 0 << false << true << false;
        QTest::newRow("local, deal disabled stays") << false << false << 0 << true << false << false;
        QTest::newRow("host with 2 joiner slots") << true << true << 2 << false << false << true;
        QTest::newRow("host with 3 joiner slots") << true << true << 3 << true << true << true;
        QTest::newRow("joiner") << true << false << 3 << false << false << true;
    }
    void menuOpening() {
        QFETCH(bool, network);
        QFETCH(bool, host);
        QFETCH(int, slotCount);
        QFETCH(bool, dealtBefore);
        QFETCH(bool, deal);
        QFETCH(bool, disconnect);
        WindowFixture f;
        QVERIFY(f.Open(1, false));
        MainWindow& w = *f;
        w.Action("mnuDisconnect")->setEnabled(!disconnect);
        if (dealtBefore) w.Action("mnuDeal")->trigger();
        w.tmrCYC().stop();
        // The set and option menus opened once in the other mode first, so a stale state shows.
        w.session().mode = Session::ModeOf(!network, host);
        w.menus().mnuSet_Opening();
        w.menus().mnuOption_Opening();
        w.session().mode = Session::ModeOf(network, host);
        w.session().SlotCount = slotCount;
        w.menus().mnuGame_Opening();
        w.menus().mnuSet_Opening();
        w.menus().mnuOption_Opening();
        QCOMPARE(w.Action("mnuDeal")->isEnabled(), deal);
        QCOMPARE(w.Action("mnuDisconnect")->isEnabled(), disconnect);
        QCOMPARE(w.Action("mnuName")->isEnabled(), !network);
        QCOMPARE(w.Action("mnuLevel")->isEnabled(), !network);
        w.session().mode = Mode::Local;
    }

    // The speed, level and table items: one of a group checked at a time, and
    // choosing one sets what it stands for and nothing else.
    void choiceItems_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("playDelay");
        QTest::addColumn<int>("stepDelay");
        QTest::addColumn<float>("rate");
        QTest::addColumn<int>("shape");
        QTest::newRow("fast") << "mnuRateItem" << 0 << 300 << 500 << 5 << 0.5f << 0;
        QTest::newRow("medium speed") << "mnuRateItem" << 1 << 500 << 800 << 15 << 0.5f << 0;
        QTest::newRow("slow") << "mnuRateItem" << 2 << 800 << 1000 << 20 << 0.5f << 0;
        QTest::newRow("high level") << "mnuLevelItem" << 0 << 500 << 800 << 15 << 0.1f << 0;
        QTest::newRow("medium level") << "mnuLevelItem" << 1 << 500 << 800 << 15 << 0.5f << 0;
        QTest::newRow("low level") << "mnuLevelItem" << 2 << 500 << 800 << 15 << 0.9f << 0;
        QTest::newRow("square table") << "mnuDeskItem" << 0 << 500 << 800 << 15 << 0.5f << 0;
        QTest::newRow("round table") << "mnuDeskItem" << 1 << 500 << 800 << 15 << 0.5f << 3;
    }
    void choiceItems() {
        QFETCH(QString, group);
        QFETCH(int, item);
        QFETCH(int, interval);
        QFETCH(int, playDelay);
        QFETCH(int, stepDelay);
        QFETCH(float, rate);
        QFETCH(int, shape);
        WindowFixture f;
        QVERIFY(f.Open(1, false));
        MainWindow& w = *f;
        const int count = group == "mnuDeskItem" ? 2 : 3;
        QString checks(count, '-');
        checks[item] = 'x';
        // From another item first, so the item's own values have to be set.
        Item(w, group, (item + 1) % count)->trigger();
        Item(w, group, item)->trigger();
        QCOMPARE(w.tmrCYC().interval(), interval);
        QCOMPARE(w.options().playDelay, playDelay);
        QCOMPARE(w.options().stepDelay, stepDelay);
        QCOMPARE(w.options().gambleRate, rate);
        QCOMPARE(w.tableWidget().DeskShape(), shape);
        QCOMPARE(CheckedItems(w, group, count), checks);
        // Choosing the checked item again keeps it checked.
        Item(w, group, item)->trigger();
        QCOMPARE(CheckedItems(w, group, count), checks);
        // After the deal the cycle timer runs at the chosen speed while a computer seat is to move.
        w.Action("mnuDeal")->trigger();
        QVERIFY(Settle(w));
        QCOMPARE(w.tmrCYC().isActive(), w.table().CurrentSeat != w.session().LocalSeat);
        QCOMPARE(w.tmrCYC().interval(), interval);
        w.tmrCYC().stop();
    }

    // The view items show and hide their panels; the chat opens with its input
    // box focused and its text chosen.
    void viewItems_data() {
        QTest::addColumn<QString>("item");
        QTest::newRow("score board") << "mnuShowScore";
        QTest::newRow("connections") << "mnuShowConnections";
        QTest::newRow("chat") << "mnuShowMessage";
    }
    void viewItems() {
        QFETCH(QString, item);
        WindowFixture f;
        QVERIFY(f.Open());
        MainWindow& w = *f;
        QVERIFY(ShowActive(w));
        QAction* action = w.Action(item.toLatin1());
        const QList<QWidget*> panel = Panel(w, item);
        QVERIFY(!action->isChecked());
        QCOMPARE(Shown(panel), QString(panel.size(), '-'));
        action->trigger();
        QVERIFY(action->isChecked());
        QCOMPARE(Shown(panel), QString(panel.size(), 'v'));
        if (item == "mnuShowMessage") {
            QVERIFY(w.txtMessage()->hasFocus());
            QCOMPARE(w.txtMessage()->selectedText(), QString("Hello,every body!"));
        }
        action->trigger();
        QVERIFY(!action->isChecked());
        QCOMPARE(Shown(panel), QString(panel.size(), '-'));
    }

    // No two items of one menu share an access key, in either language; the
    // menu bar's 设置(&S) and 选项(&S) are the Chinese captions' own.
    void accessKeysDiffer_data() {
        QTest::addColumn<bool>("english");
        QTest::newRow("中文") << false;
        QTest::newRow("English") << true;
    }
    void accessKeysDiffer() {
        QFETCH(bool, english);
        WindowFixture f;
        if (english) f.WriteSettings(kEnglish);
        QVERIFY(f.Open());
        MainWindow& w = *f;
        QCOMPARE(SharedKeys(w.menuBar()->actions()), english ? QStringList() : QStringList{"S"});
        QList<QAction*> items = w.menuBar()->actions();
        for (qsizetype i = 0; i < items.size(); ++i)
            if (QMenu* menu = items[i]->menu()) {
                QVERIFY2(SharedKeys(menu->actions()).isEmpty(),
                         qPrintable(menu->title() + ": " + SharedKeys(menu->actions()).join(' ')));
                items << menu->actions();
            }
    }

    // Options chosen in the menus are written at exit and read by the next
    // start; without the exit they are gone.
    void optionsSurviveExit() {
        WindowFixture f;
        QVERIFY(f.Open(1, false));
        f->Action("mnuRateItem0")->trigger();
        f->Action("mnuShowScore")->trigger();
        QVERIFY(f.Open());
        QCOMPARE(CheckedItems(*f, "mnuRateItem", 3), QString("-x-"));
        QVERIFY(!f->Action("mnuShowScore")->isChecked());
        MainWindow& w = *f;
        // The fixture has switched card moves off already.
        QVERIFY(!w.Action("mnuAnimal")->isChecked());
        for (const char* name : {"mnuRateItem2", "mnuLevelItem0", "mnuSound", "mnuShowScore",
                                 "mnuShowMessage", "mnuShowConnections", "mnuDeskItem1"})
            w.Action(name)->trigger();
        {
            PlayerDialog names(w);
            names.txtName[1]->setText("东方");
            names.cmdOk->click();
        }
        QCOMPARE(f.exits, 0);
        w.Action("mnuExit")->trigger();
        QCOMPARE(f.exits, 1);

        QVERIFY(f.Open(1, true, true));
        MainWindow& again = *f;
        QCOMPARE(CheckedItems(again, "mnuRateItem", 3), QString("--x"));
        QCOMPARE(again.tmrCYC().interval(), 800);
        QCOMPARE(again.options().playDelay, 1000);
        QCOMPARE(CheckedItems(again, "mnuLevelItem", 3), QString("x--"));
        QCOMPARE(again.options().gambleRate, 0.1f);
        QVERIFY(!again.Action("mnuAnimal")->isChecked());
        QVERIFY(!again.Action("mnuSound")->isChecked());
        QVERIFY(again.Action("mnuShowScore")->isChecked());
        QCOMPARE(Shown(Panel(again, "mnuShowScore")), QString(16, 'v'));
        QVERIFY(again.Action("mnuShowMessage")->isChecked());
        QVERIFY(again.txtDialog()->isVisible());
        QVERIFY(again.Action("mnuShowConnections")->isChecked());
        QVERIFY(again.lstConnections()->isVisible());
        QCOMPARE(CheckedItems(again, "mnuDeskItem", 2), QString("-x"));
        QCOMPARE(again.tableWidget().DeskShape(), 3);
        QCOMPARE(again.lblScorer(1)->text(), QString("东方 失分"));
        QCOMPARE(again.lblName(1)->text(), QString("东方"));
    }

    // The deal by its menu item, by F5 and by a click on the stock: each deals
    // only where the menu would offer it, so a joiner never deals.
    void dealCommands_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("joiner");
        QTest::addColumn<bool>("dealt");
        for (const char* how : {"menu", "F5", "stock"}) {
            QTest::newRow(how) << how << false << true;
            QTest::newRow(QByteArray(how) + ", joiner") << how << true << false;
        }
    }
    void dealCommands() {
        QFETCH(QString, how);
        QFETCH(bool, joiner);
        QFETCH(bool, dealt);
        WindowFixture f;
        QVERIFY(f.Open());
        MainWindow& w = *f;
        QVERIFY(ShowActive(w));
        w.session().mode = joiner ? Mode::Joiner : Mode::Local;
        w.session().LocalSeat = joiner ? 2 : 0;
        QVERIFY(w.Action("mnuDeal")->isEnabled());
        QCOMPARE(w.Action("mnuDeal")->shortcut(), QKeySequence(Qt::Key_F5));
        if (how == "menu") {
            w.Action("mnuDeal")->trigger();
        } else if (how == "F5") {
            QTest::keyClick(&w, Qt::Key_F5);
        } else {
            ClickStock(w);
        }
        QCOMPARE(w.CardsLeft()->text(), QString(dealt ? "27" : "52"));
        w.tmrCYC().stop();
        w.session().mode = Mode::Local;
        if (!dealt) return;
        // Dealt once: F5 and the stock do nothing until the next game is set up.
        QTest::keyClick(&w, Qt::Key_F5);
        ClickStock(w);
        QCOMPARE(w.CardsLeft()->text(), QString("27"));
    }

    // 退出, or closing the window, during a hand asks first (No by default);
    // before a deal it just exits. No keeps the window open.
    void exitDuringAHand_data() {
        QTest::addColumn<bool>("dealt");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("close");  // the window's close rather than the menu
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("exits");
        QTest::newRow("no hand") << false << false << false << 0 << 1;
        QTest::newRow("hand, No") << true << false << false << 1 << 0;
        QTest::newRow("hand, Yes") << true << true << false << 1 << 1;
        QTest::newRow("closed, no hand") << false << false << true << 0 << 1;
        QTest::newRow("closed during a hand, No") << true << false << true << 1 << 0;
        QTest::newRow("closed during a hand, Yes") << true << true << true << 1 << 1;
    }
    void exitDuringAHand() {
        QFETCH(bool, dealt);
        QFETCH(bool, answer);
        QFETCH(bool, close);
        QFETCH(int, questions);
        QFETCH(int, exits);
        WindowFixture f;
        QVERIFY(f.Open(1));
        f.answer = answer;
        if (dealt) f->Action("mnuDeal")->trigger();
        f->tmrCYC().stop();
        if (close)
            QCOMPARE(f->close(), exits == 1);
        else
            f->Action("mnuExit")->trigger();
        QCOMPARE(f.questions.size(), questions);
        if (questions) QCOMPARE(f.questions.front(), QString("本局还没有结束，确定要退出吗？"));
        QCOMPARE(f.exits, exits);
    }

    void chat_data() {
        QTest::addColumn<QStringList>("typed");  // null: the text already in the box
        QTest::addColumn<QString>("log");
        QTest::addColumn<bool>("english");
        QTest::newRow("the initial text") << QStringList{QString()} << "朱雀: Hello,every body!" << false;
        QTest::newRow("two lines") << QStringList{QString(), "再见"} << "朱雀: Hello,every body!\n朱雀: 再见"
                                   << false;
        QTest::newRow("an empty line is not sent") << QStringList{""} << "" << false;
        QTest::newRow("nor one of blanks") << QStringList{"   "} << "" << false;
        QTest::newRow("an empty line between two")
            << QStringList{"a", "", "b"} << "朱雀: a\n朱雀: b" << false;
        QTest::newRow("three lines") << QStringList{"a", "b", "c"} << "朱雀: a\n朱雀: b\n朱雀: c" << false;
        QTest::newRow("more than the box takes")
            << QStringList{QString(kChatInputChars + 100, QChar(0x597D))}
            << "朱雀: " + QString(kChatInputChars, QChar(0x597D)) << false;
        // An English table signs a local game's line with the name it shows.
        QTest::newRow("in English") << QStringList{"hi"} << "Summer: hi" << true;
    }
    void chat() {
        QFETCH(QStringList, typed);
        QFETCH(QString, log);
        QFETCH(bool, english);
        WindowFixture f;
        if (english) f.WriteSettings(kEnglish);
        QVERIFY(f.Open());
        MainWindow& w = *f;
        w.Action("mnuShowMessage")->trigger();
        for (const QString& text : typed) {
            if (!text.isNull()) w.txtMessage()->setText(text);
            QTest::keyClick(w.txtMessage(), Qt::Key_Return);
            QCOMPARE(w.txtMessage()->text(), QString());
        }
        QCOMPARE(w.txtDialog()->toPlainText(), log);
        QVERIFY(f.infos.isEmpty());

        QTest::keyClick(w.txtDialog(), Qt::Key_Return);
        QCOMPARE(w.txtDialog()->toPlainText(), QString());
        // The log starts afresh without a leading line break.
        w.txtMessage()->setText("x");
        QTest::keyClick(w.txtMessage(), Qt::Key_Enter);
        QCOMPARE(w.txtDialog()->toPlainText(), QString(english ? "Summer: x" : "朱雀: x"));
    }

    // A long game's chat costs no more than the newest lines, and the log stays
    // scrolled to the last one.
    void chatLogKeepsTheNewestLines() {
        WindowFixture f;
        QVERIFY(f.Open());
        MainWindow& w = *f;
        const int lines = MainWindow::kChatLogLines + 5;
        for (int i = 0; i < lines; ++i) w.AppendChat(QString("青龙: %1").arg(i));
        const QStringList log = w.txtDialog()->toPlainText().split('\n');
        QCOMPARE(log.size(), qsizetype(MainWindow::kChatLogLines));
        QCOMPARE(log.first(), QString("青龙: 5"));
        QCOMPARE(log.last(), QString("青龙: %1").arg(lines - 1));
        QVERIFY(w.txtDialog()->textCursor().atEnd());
        // An over-long line is cut to the same whole characters everywhere.
        w.AppendChat(QString(kMaxChatLineChars + 1, 'a'));
        QCOMPARE(w.txtDialog()->toPlainText().split('\n').last(), QString(kMaxChatLineChars, 'a'));
    }
};

}  // namespace

VORN_TEST(TestMenus)
}  // namespace vorn

#include "menus_test.moc"
