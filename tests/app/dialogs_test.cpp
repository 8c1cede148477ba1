// The dialogs: logon (its fields, refusals and the game it takes up), the
// seats' names, about and help.

#include <QDir>
#include <QTextBrowser>

#include "app/aboutdialog.h"
#include "app/helpviewer.h"
#include "app/logondialog.h"
#include "app/networkgame.h"
#include "app/playerdialog.h"
#include "net/socket/codec.h"
#include "net/socket/socket.h"
#include "tests/app/apptesting.h"

namespace vorn {
namespace {

using namespace apptest;

// Which of the logon dialog's network fields take input: IP, ID, port, host,
// join, the LAN's tables.
QString NetFieldsEnabled(const LogonDialog& d) {
    const QWidget* fields[] = {d.txtIP, d.txtID, d.txtPort, d.optHost, d.optConnect, d.lstTables};
    QString text;
    for (const QWidget* w : fields) text += w->isEnabled() ? 'e' : '-';
    return text;
}

class TestDialogs : public QObject {
    Q_OBJECT

  private slots:
    void logonOpensOnLocal_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("id");
        const QString local = "127.0.0.1";
        const QByteArray saved =
            "[Net]\r\nServer=10.1.2.3\r\nPort=2000\r\nID=" + ToCp936(QString("张三")) + "\r\n";
        QTest::newRow("no settings file") << QByteArray() << local << "11005" << QString("Quillon");
        QTest::newRow("empty values")
            << QByteArray("[Net]\r\nServer=\r\nPort=\r\nID=\r\n") << local << "11005" << QString("Quillon");
        QTest::newRow("the old default port is kept")
            << QByteArray("[Net]\r\nPort=1005\r\n") << local << "1005" << QString("Quillon");
        QTest::newRow("saved network choices") << saved << QString("10.1.2.3") << "2000" << QString("张三");
        // Given earlier in this run, and turned away (a wrong password, a lost link).
        QTest::newRow("choices of this run") << saved << local << "12001" << QString("Ann");
    }
    void logonOpensOnLocal() {
        QFETCH(QByteArray, file);
        QFETCH(QString, server);
        QFETCH(QString, port);
        QFETCH(QString, id);
        WindowFixture f;
        QVERIFY(f.Open(1, false));
        if (!file.isNull()) QVERIFY(WriteFile(f->SettingsFile(), file));
        if (QString(QTest::currentDataTag()) == "choices of this run") {
            LogonDialog first(*f);
            first.optNet->click();
            first.optConnect->click();
            first.txtIP->setText(server);
            first.txtPort->setText(port);
            first.txtID->setText(id);
            first.cmdOK->click();
            QVERIFY(f->lastNetFields.has_value());
            f->ResetToLocalGame();
        }
        LogonDialog dialog(*f);
        QCOMPARE(dialog.objectName(), QString("frmLogon"));
        QCOMPARE(dialog.windowTitle(), QString("登录"));
        QVERIFY(dialog.optLocal->isChecked());
        QVERIFY(!dialog.optNet->isChecked());
        QVERIFY(dialog.optHost->isChecked());
        QCOMPARE(NetFieldsEnabled(dialog), QString("------"));
        QVERIFY(dialog.cmdOK->isEnabled());
        QCOMPARE(dialog.txtIP->text(), server);
        QCOMPARE(dialog.txtPort->text(), port);
        QCOMPARE(dialog.txtID->text(), id);
    }

    // A screen reader's or voice control's toggle action checks a button
    // without clicking it; the dialog must follow either way.
    void logonModeSwitches_data() {
        QTest::addColumn<bool>("toggle");
        QTest::newRow("clicked") << false;
        QTest::newRow("toggled") << true;
    }
    void logonModeSwitches() {
        QFETCH(bool, toggle);
        WindowFixture f;
        QVERIFY(f.Open(1, false));
        LogonDialog dialog(*f);
        auto choose = [toggle](QRadioButton* button) { toggle ? button->setChecked(true) : button->click(); };
        choose(dialog.optNet);
        QCOMPARE(NetFieldsEnabled(dialog), QString("-eeee-"));
        choose(dialog.optConnect);
        QVERIFY(!dialog.optHost->isChecked());
        QCOMPARE(NetFieldsEnabled(dialog), QString("eeeeee"));
        choose(dialog.optHost);
        QCOMPARE(NetFieldsEnabled(dialog), QString("-eeee-"));
        choose(dialog.optConnect);
        choose(dialog.optLocal);
        QCOMPARE(NetFieldsEnabled(dialog), QString("------"));
        // Back to the network game as a joiner: the address is typed again.
        choose(dialog.optNet);
        QCOMPARE(NetFieldsEnabled(dialog), QString("eeeeee"));
    }

    // Tables heard on the LAN: one line each; choosing one fills in where it is,
    // and a table heard again keeps the choice without filling over a field
    // the person has edited since.
    void logonListsTables() {
        WindowFixture f;
        QVERIFY(f.Open(1, false));
        LogonDialog dialog(*f);
        dialog.optNet->click();
        dialog.optConnect->click();
        std::vector<LanSearch::Table> tables = {{TableAd{"a1", 11005, 2, false, "Quillon"}, "10.0.0.7", 0},
                                                {TableAd{"b2", 12000, 1, true, "朱雀"}, "fe80::1%eth0", 0}};
        dialog.ShowTables(tables);
        QCOMPARE(dialog.lstTables->count(), 2);
        QCOMPARE(dialog.lstTables->item(0)->text(), QString("Quillon（10.0.0.7:11005），空位 2"));
        QCOMPARE(dialog.lstTables->item(1)->text(), QString("朱雀（[fe80::1%eth0]:12000），空位 3，要密码"));
        dialog.lstTables->setCurrentRow(1);
        QCOMPARE(dialog.txtIP->text() + " " + dialog.txtPort->text(), QString("fe80::1%eth0 12000"));
        dialog.txtPort->setText("12001");
        std::swap(tables[0], tables[1]);
        tables[0].ad.persons = 3;
        dialog.ShowTables(tables);
        QCOMPARE(dialog.lstTables->currentRow(), 0);
        QVERIFY(dialog.lstTables->item(0)->text().contains("空位 1"));
        QCOMPARE(dialog.txtPort->text(), QString("12001"));
    }

    void logonRefusals_data() {
        QTest::addColumn<bool>("join");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        const QString badPort = "连接端口应为与对方相同的正整数！";
        const QString noName = "先输入姓名，再进入连线游戏！";
        QTest::newRow("port 0") << false << QString("Quillon") << "0" << badPort << "txtPort";
        QTest::newRow("port -5") << false << QString("Quillon") << "-5" << badPort << "txtPort";
        QTest::newRow("port 12.5") << false << QString("Quillon") << "12.5" << badPort << "txtPort";
        QTest::newRow("port abc") << true << QString("Quillon") << "abc" << badPort << "txtPort";
        QTest::newRow("port 65536") << false << QString("Quillon") << "65536" << badPort << "txtPort";
        QTest::newRow("port empty") << true << QString("Quillon") << "" << badPort << "txtPort";
        QTest::newRow("name of blanks") << false << QString("   ") << "1005" << noName << "txtID";
        QTest::newRow("empty name, bad port too") << true << QString("") << "abc" << noName << "txtID";
    }
    void logonRefusals() {
        QFETCH(bool, join);
        QFETCH(QString, name);
        QFETCH(QString, port);
        QFETCH(QString, message);
        QFETCH(QString, field);
        WindowFixture f;
        QVERIFY(f.Open());
        LogonDialog dialog(*f);
        dialog.optNet->click();
        if (join) dialog.optConnect->click();
        dialog.txtID->setText(name);
        dialog.txtPort->setText(port);
        QVERIFY(ShowActive(dialog));
        dialog.cmdOK->setFocus();
        dialog.cmdOK->click();

        QCOMPARE(f.infos, QStringList{message});
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.result() != QDialog::Accepted);
        QVERIFY(QApplication::focusWidget() != nullptr);
        QCOMPARE(QApplication::focusWidget()->objectName(), field);
        // Nothing was started: the table stays a local game.
        QVERIFY(!f->session().IsNet());
        QCOMPARE(f->ProgressPanel()->text(), QString("进程：单机游戏"));
        QVERIFY(dialog.optNet->isChecked());
        QCOMPARE(dialog.txtPort->text(), port);
        dialog.hide();
    }

    void parsePort_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");
        QTest::newRow("1005") << "1005" << 1005;
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("32767") << "32767" << 32767;
        QTest::newRow("32768") << "32768" << 32768;
        QTest::newRow("65535") << "65535" << 65535;
        QTest::newRow("blanks around") << " 2000 " << 2000;
        QTest::newRow("whole number with a point") << "80.0" << 80;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("-5") << "-5" << 0;
        QTest::newRow("12.5") << "12.5" << 0;
        QTest::newRow("abc") << "abc" << 0;
        QTest::newRow("65536") << "65536" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("blanks") << "   " << 0;
        QTest::newRow("digits then letters") << "10a" << 0;
        QTest::newRow("huge") << "1e400" << 0;
    }
    void parsePort() {
        QFETCH(QString, text);
        QFETCH(int, port);
        QCOMPARE(ParsePort(text), port);
    }

    // A refusal for lack of privilege tells what to do; other failures keep the system's words.
    void hostingRefusal_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("text");
        QTest::newRow("privileged port") << Socket::kAccessDenied << 1005
                                         << "端口 1005 需要管理员权限才能使用。请选择 1024 或以上的端口。";
        QTest::newRow("port in use") << 10000 + 8 << 11005 << "system words";
        QTest::newRow("bad port") << 10000 + 10 << 70000 << "system words";
    }
    void hostingRefusal() {
        QFETCH(int, number);
        QFETCH(int, port);
        QFETCH(QString, text);
        QCOMPARE(HostingRefusal(number, "system words", port), text);
    }

    void logonLocalOk() {
        WindowFixture f;
        QVERIFY(f.Open());
        MainWindow& w = *f;
        DealAfterFinishedGame(w);
        QCOMPARE(w.CardsLeft()->text(), QString("27"));
        QVERIFY(w.lblScore(1)->text() != "0");

        LogonDialog dialog(w);
        dialog.show();
        dialog.cmdOK->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QVERIFY(!w.session().IsNet());
        QVERIFY(f.infos.isEmpty());
        QCOMPARE(w.CardsLeft()->text(), QString("52"));
        QCOMPARE(w.table().lstCardsBox.Count(), 52);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(w.lblScore(i)->text(), QString("0"));
            QCOMPARE(w.lblWin(i)->text(), QString("0"));
            QCOMPARE(w.table().HandSize(i), 0);
        }
        QVERIFY(w.Action("mnuDeal")->isEnabled());
        QVERIFY(!w.tmrCYC().isActive());
        // A new game: the one saved is gone.
        QVERIFY(!QFile::exists(w.SaveFile()));
        QCOMPARE(w.ProgressPanel()->text(), QString("进程：单机游戏"));
        // Dealt before the logon: the line names the leader, not how to deal.
        QCOMPARE(w.HintPanel()->text(), QString("牌局：本局由朱雀先出牌"));
    }

    // How the last session ended decides what the next logon offers: a game
    // left or killed in the middle of a hand is taken up as it stood; one
    // played out and left is gone; a damaged save is set aside and told once.
    void logonResume_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("offered");
        QTest::newRow("left mid-hand") << "exit" << true;
        QTest::newRow("killed mid-hand") << "kill" << true;
        QTest::newRow("left between hands") << "played out" << false;
        QTest::newRow("a damaged save") << "damaged" << false;
    }
    void logonResume() {
        QFETCH(QString, ending);
        QFETCH(bool, offered);
        WindowFixture f;
        QVERIFY(f.Open(3));
        DealAfterFinishedGame(*f);
        QVERIFY(TickToPerson(*f));
        if (ending == "played out") f->engine().GameWon();
        QVERIFY(Settle(*f));
        const GameState table = f->table();
        const QString scores = f->lblScore(1)->text() + f->lblWin(1)->text();
        if (ending != "kill") f->Exit();
        if (ending == "damaged") QVERIFY(WriteFile(f->SaveFile(), "vorn-save 1\nplaying 2\n"));
        const QByteArray saved = ReadFile(f->SaveFile());
        QVERIFY(f.Open(4));
        LogonDialog dialog(*f);
        QCOMPARE(dialog.optResume != nullptr, offered);
        QCOMPARE(f.infos.size(), ending == "damaged" ? 1 : 0);
        QCOMPARE(QFile::exists(f->SaveFile() + ".bad"), ending == "damaged");
        if (!offered) {
            QVERIFY(!QFile::exists(f->SaveFile()));
            QVERIFY(dialog.optLocal->isChecked());
            return;
        }
        QVERIFY(dialog.optResume->isChecked());
        dialog.cmdOK->click();
        QVERIFY(Settle(*f));
        QCOMPARE(Q(StateDifference(f->table(), table)), QString());
        QCOMPARE(f->lblScore(1)->text() + f->lblWin(1)->text(), scores);
        QVERIFY(f->labThrow()->isVisible());
        // Saved again as it was taken up: random source and the hand's events included.
        QCOMPARE(ReadFile(f->SaveFile()), saved);
        // The game on the table is not offered again in this session.
        QVERIFY(!LogonDialog(*f).optResume);
    }

    void playerDialogLoads() {
        WindowFixture f;
        QVERIFY(f.Open(1, false));
        f->session().PlayerNames = {"甲", "乙", "丙", "丁"};
        PlayerDialog dialog(*f);
        QCOMPARE(dialog.objectName(), QString("frmPlayer"));
        QCOMPARE(dialog.windowTitle(), QString("单机对局者姓名"));
        const QStringList expected = {"甲", "乙", "丙", "丁"};
        for (int i = 0; i < 4; ++i) QCOMPARE(dialog.txtName[i]->text(), expected[i]);
        QCOMPARE(dialog.txtName[0]->selectedText(), QString("甲"));
    }

    void playerDialogOk_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("refusedField");  // -1: accepted
        QTest::newRow("four new names") << QStringList{"南", "东", "北", "西"} << -1;
        QTest::newRow("Latin names") << QStringList{"Quillon", "Passepartout", "Ann", "Bartholomew"} << -1;
        QTest::newRow("blanks only is a name") << QStringList{"   ", "东", "北", "西"} << -1;
        QTest::newRow("names kept untrimmed") << QStringList{" 南 ", "东 ", "北", "西"} << -1;
        QTest::newRow("south empty") << QStringList{"", "东", "北", "西"} << 0;
        QTest::newRow("west empty") << QStringList{"南", "东", "北", ""} << 3;
        QTest::newRow("two empty: the first named") << QStringList{"南", "", "北", ""} << 1;
    }
    void playerDialogOk() {
        QFETCH(QStringList, typed);
        QFETCH(int, refusedField);
        WindowFixture f;
        QVERIFY(f.Open());
        MainWindow& w = *f;
        const QStringList before = Names(w.session());
        PlayerDialog dialog(w);
        for (int i = 0; i < 4; ++i) dialog.txtName[i]->setText(typed[i]);
        QVERIFY(ShowActive(dialog));
        dialog.cmdOk->setFocus();
        dialog.cmdOk->click();
        if (refusedField >= 0) {
            QCOMPARE(f.infos, QStringList{"对局者姓名无效！"});
            QVERIFY(dialog.isVisible());
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.txtName[refusedField]));
            QCOMPARE(Names(w.session()), before);
            QCOMPARE(w.lblName(0)->text(), before[0]);
            QCOMPARE(w.lblScorer(3)->text(), before[3] + " 失分");
            dialog.hide();
            return;
        }
        QVERIFY(f.infos.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(Names(w.session()), typed);
        // The seats are labelled afresh, each on one line, its name and
        // count inside the table, the side seats' clear of their hands.
        const QRect scene(0, 0, TableWidget::kSceneWidth, TableWidget::kSceneHeight);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(w.lblName(i)->text(), typed[i]);
            QVERIFY(scene.contains(w.tableWidget().PlacedRect(w.lblName(i))));
            QVERIFY(scene.contains(w.tableWidget().PlacedRect(w.seatCues().Count(i))));
        }
        // The side seats' names face the middle: left of the east hand, right
        // of the west one, clear of the chat boxes left of the table.
        const QRect west = w.tableWidget().PlacedRect(w.lblName(3));
        QVERIFY(west.left() > w.pictures().SeatX[3] + TableWidget::kCardW);
        QVERIFY(w.tableWidget().PlacedRect(w.seatCues().StandInMark(3)).left() >= west.left());
        QVERIFY(w.tableWidget().PlacedRect(w.lblName(1)).right() < w.pictures().SeatX[1]);
        for (int i = 0; i < 4; ++i) QCOMPARE(w.lblScorer(i)->text(), typed[i] + " 失分");
        w.mnuDeal_Click();
        QCOMPARE(w.HintPanel()->text(), "牌局：本局由" + typed[0] + "先出牌");
    }

    // The default names read in the table's language; chosen ones stay as
    // they are, and a name left as shown keeps its bytes when the names
    // dialog is confirmed.
    void defaultNamesFollowTheLanguage_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("kept");
        const QStringList defaults = {"朱雀", "青龙", "玄武", "白虎"};
        QTest::newRow("中文, no names") << QByteArray() << defaults << defaults;
        QTest::newRow("English, no names")
            << kEnglish << QStringList{"Summer", "Spring", "Winter", "Autumn"} << defaults;
        QTest::newRow("English, two chosen")
            << kEnglish + "[Set]\r\nSouth=Ann\r\nEast=Bo\r\n"
            << QStringList{"Ann", "Bo", "Winter", "Autumn"} << QStringList{"Ann", "Bo", "玄武", "白虎"};
    }
    void defaultNamesFollowTheLanguage() {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, kept);
        WindowFixture f;
        f.WriteSettings(settings);
        QVERIFY(f.Open(1, false));
        MainWindow& w = *f;
        QCOMPARE(w.lblName(0)->text(), shown[0]);
        QCOMPARE(w.lblName(2)->text(), shown[2]);
        QVERIFY(w.lblScorer(3)->text().startsWith(shown[3]));
        w.mnuDeal_Click();
        QVERIFY(w.HintPanel()->text().contains(shown[0]));
        PlayerDialog dialog(w);
        for (int i = 0; i < 4; ++i) QCOMPARE(dialog.txtName[i]->text(), shown[i]);
        dialog.cmdOk->click();
        QCOMPARE(Names(w.session()), kept);
        QCOMPARE(w.lblName(0)->text(), shown[0]);
    }

    void playerDialogCancel() {
        WindowFixture f;
        QVERIFY(f.Open(1, false));
        MainWindow& w = *f;
        const QStringList before = Names(w.session());
        PlayerDialog dialog(w);
        for (int i = 0; i < 4; ++i) dialog.txtName[i]->setText("某");
        dialog.cmdCancel->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(Names(w.session()), before);
        for (int i = 0; i < 4; ++i) QCOMPARE(w.lblScorer(i)->text(), before[i] + " 失分");
        QVERIFY(f.infos.isEmpty());
    }

    // The about box, and its system information button where no program answers.
    void aboutBox_data() {
        QTest::addColumn<QString>("program");
        QTest::newRow("no program found") << QString();
        QTest::newRow("program that cannot start") << QString("/nonexistent/vorn-sysinfo");
    }
    void aboutBox() {
        QFETCH(QString, program);
        WindowFixture f;
        QVERIFY(f.Open(1, false));
        AboutDialog dialog(*f);
        QCOMPARE(dialog.objectName(), QString("frmAbout"));
        QCOMPARE(dialog.windowTitle(), QString("关于"));
        QCOMPARE(dialog.lblTitle->text(), QString("Vorn"));
        QCOMPARE(dialog.lblVersion->text(), QString("Version 1.0.0"));
        dialog.show();
        dialog.locate = [program] { return program; };
        dialog.cmdSysInfo->click();
        QCOMPARE(f.infos, QStringList{"System Information Is Unavailable At This Time"});
        dialog.cmdOK->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // The help pages opened straight, and no page at all when they are missing.
    void helpViewer_data() {
        QTest::addColumn<bool>("index");
        QTest::addColumn<QString>("file");  // empty: no pages in the folder
        QTest::newRow("contents") << false << "index.html";
        QTest::newRow("index") << true << "search.html";
        QTest::newRow("contents, no pages") << false << QString();
        QTest::newRow("index, no pages") << true << QString();
    }
    void helpViewer() {
        QFETCH(bool, index);
        QFETCH(QString, file);
        QTemporaryDir dir;
        if (!file.isEmpty()) {
            QVERIFY(WriteFile(dir.filePath("index.html"), "<html><body><h1>目录</h1></body></html>"));
            QVERIFY(WriteFile(dir.filePath("search.html"), "<html><body><h1>索引</h1></body></html>"));
        }
        HelpViewer viewer(dir.path(), nullptr);
        QCOMPARE(viewer.Open(index ? HelpViewer::Page::Index : HelpViewer::Page::Contents), !file.isEmpty());
        QCOMPARE(viewer.Browser()->source(),
                 file.isEmpty() ? QUrl() : QUrl::fromLocalFile(dir.filePath(file)));
        QCOMPARE(viewer.Browser()->toPlainText().contains(index ? "索引" : "目录"), !file.isEmpty());
    }

    // The help commands of the window: the pages from the help folder beside
    // the program, and nothing at all (no box either) when they are missing.
    void helpCommands_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("pages");
        QTest::addColumn<QString>("shown");
        QTest::newRow("contents") << "mnuContents" << true << "index.html";
        QTest::newRow("search") << "mnuSearch" << true << "search.html";
        QTest::newRow("contents, no pages") << "mnuContents" << false << QString();
        QTest::newRow("search, no pages") << "mnuSearch" << false << QString();
    }
    void helpCommands() {
        QFETCH(QString, command);
        QFETCH(bool, pages);
        QFETCH(QString, shown);
        WindowFixture f;
        if (pages) {
            QVERIFY(QDir(f.dir.path()).mkpath("help"));
            QVERIFY(WriteFile(f.dir.filePath("help/index.html"), "<html><body>目录</body></html>"));
            QVERIFY(WriteFile(f.dir.filePath("help/search.html"), "<html><body>索引</body></html>"));
        }
        QVERIFY(f.Open());
        f->Action(command.toLatin1())->trigger();
        auto* viewer = f->findChild<HelpViewer*>();
        if (shown.isEmpty()) {
            QVERIFY(viewer == nullptr || !viewer->isVisible());
        } else {
            QVERIFY(viewer != nullptr);
            QVERIFY(viewer->isVisible());
            QCOMPARE(viewer->Browser()->source(), QUrl::fromLocalFile(f.dir.filePath("help/" + shown)));
            viewer->hide();
        }
        QVERIFY(f.infos.isEmpty());
    }
};

}  // namespace

VORN_TEST(TestDialogs)
}  // namespace vorn

#include "dialogs_test.moc"
