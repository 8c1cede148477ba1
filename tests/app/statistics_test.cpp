// The record of games per level: counted, read back from a damaged file,
// saved beside the rest of the settings, and shown and cleared in its dialog.

#include <QTableWidget>

#include "app/inifile.h"
#include "app/statistics.h"
#include "app/statisticsdialog.h"
#include "tests/app/apptesting.h"

Q_DECLARE_METATYPE(vorn::GameRecord)

namespace vorn {
namespace {

using namespace apptest;

class TestStatistics : public QObject {
    Q_OBJECT

  private slots:
    // Games as won (W) or lost (L) with their lost points; the record after them.
    void counting_data() {
        QTest::addColumn<QString>("games");
        QTest::addColumn<QList<int>>("lost");
        QTest::addColumn<GameRecord>("expected");
        QTest::newRow("none") << "" << QList<int>{} << GameRecord{};
        QTest::newRow("one win") << "W" << QList<int>{0} << GameRecord{1, 1, 0, 1, 1};
        QTest::newRow("one loss") << "L" << QList<int>{7} << GameRecord{1, 0, 7, 0, 0};
        QTest::newRow("streak broken") << "WWLW" << QList<int>{0, 0, 5, 0} << GameRecord{4, 3, 5, 2, 1};
        QTest::newRow("longest kept")
            << "WWWLWW" << QList<int>{0, 0, 0, 13, 0, 0} << GameRecord{6, 5, 13, 3, 2};
    }
    void counting() {
        QFETCH(QString, games);
        QFETCH(QList<int>, lost);
        QFETCH(GameRecord, expected);
        Statistics s;
        for (int i = 0; i < games.size(); ++i) s.Record(2, games[i] == 'W', lost[i]);
        QCOMPARE(s.Get(2), expected);
        QCOMPARE(s.Get(1), GameRecord{});
        QCOMPARE(s.Get(Statistics::kNetwork), GameRecord{});
        // What is written reads back the same.
        IniFile file;
        s.ToIni(file);
        QCOMPARE(Statistics::FromIni(file).Get(2), expected);
    }

    // Values of the section as found in a file; a damaged one reads as zeros
    // and leaves the others as they are.
    void reading_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<GameRecord>("expected");
        QTest::newRow("sound") << QByteArray("9,4,31,3,1") << GameRecord{9, 4, 31, 3, 1};
        QTest::newRow("blanks") << QByteArray(" 9, 4 ,31,3,1 ") << GameRecord{9, 4, 31, 3, 1};
        QTest::newRow("too few") << QByteArray("9,4,31,3") << GameRecord{};
        QTest::newRow("too many") << QByteArray("9,4,31,3,1,0") << GameRecord{};
        QTest::newRow("not a number") << QByteArray("9,x,31,3,1") << GameRecord{};
        QTest::newRow("negative") << QByteArray("9,4,-31,3,1") << GameRecord{};
        QTest::newRow("more won than played") << QByteArray("3,4,31,3,1") << GameRecord{};
        QTest::newRow("streak above wins") << QByteArray("9,2,31,3,1") << GameRecord{};
        QTest::newRow("overflowing") << QByteArray("99999999999,4,31,3,1") << GameRecord{};
        QTest::newRow("binary") << QByteArray("\xff\xfe\x00,1", 5) << GameRecord{};
        QTest::newRow("empty") << QByteArray("") << GameRecord{};
    }
    void reading() {
        QFETCH(QByteArray, value);
        QFETCH(GameRecord, expected);
        const IniFile file =
            IniFile::FromBytes("[Statistics]\r\nLevel1=" + value + "\r\nNetwork=2,1,5,1,0\r\n");
        const Statistics s = Statistics::FromIni(file);
        QCOMPARE(s.Get(1), expected);
        QCOMPARE(s.Get(Statistics::kNetwork), (GameRecord{2, 1, 5, 1, 0}));
    }

    // Saving touches only the section's own keys; everything else in the file
    // stays byte for byte.
    void savingKeepsTheRest() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Vorn.ini");
        const QByteArray before =
            "; kept comment\r\n[Option]\r\nRate=2\r\n\r\n[Mine]\nx = y \n"
            "[Statistics]\r\n; mine too\r\nLevel0=1,1,0,1,1\r\nOther=keep\r\n[Set]\r\nSouth=a";
        QVERIFY(WriteFile(path, before));
        Statistics s = Statistics::Load(path);
        s.Record(0, false, 4);
        s.Record(Statistics::kNetwork, true, 0);
        QVERIFY(s.Save(path));
        QCOMPARE(ReadFile(path), QByteArray("; kept comment\r\n[Option]\r\nRate=2\r\n\r\n[Mine]\nx = y \n"
                                            "[Statistics]\r\n; mine too\r\nLevel0=2,1,4,1,0\r\nOther=keep\r\n"
                                            "Network=1,1,0,1,1\r\n[Set]\r\nSouth=a"));
        // Cleared records are written as zeros, not left behind.
        s.Clear();
        QVERIFY(s.Save(path));
        QCOMPARE(Statistics::Load(path).Get(0), GameRecord{});
        QCOMPARE(Statistics::Load(path).Get(Statistics::kNetwork), GameRecord{});
        // A missing file starts at zero and is created by the first save.
        const QString fresh = dir.filePath("none.ini");
        QCOMPARE(Statistics::Load(fresh).Get(1), GameRecord{});
    }

    // Two finished games and one abandoned by Reset: the record, across a
    // restart, and the dialog show the two; clearing asks first.
    void finishedGamesOnly() {
        WindowFixture f;
        QVERIFY(f.Open());
        MainWindow& w = *f;
        w.Action("mnuLevelItem2")->trigger();
        for (int game = 0; game < 2; ++game) {
            w.Action("mnuDeal")->trigger();
            w.engine().GameWon();
        }
        w.Action("mnuDeal")->trigger();
        f.answer = true;
        w.Action("mnuReset")->trigger();
        w.Action("mnuExit")->trigger();
        QVERIFY(f.Open());
        const QString path = f->SettingsFile();
        const GameRecord r = Statistics::Load(path).Get(2);
        QCOMPARE(r.played, 2);
        QCOMPARE(Statistics::Load(path).Get(1).played, 0);

        int asked = 0;
        bool answer = false;
        StatisticsDialog dialog(path, [&](const QString&) {
            ++asked;
            return answer;
        });
        QCOMPARE(dialog.table()->item(2, 0)->text(), QString("2"));
        QCOMPARE(dialog.table()->item(0, 0)->text(), QString("0"));
        QPushButton* clear = dialog.findChild<QPushButton*>("cmdClear");
        QVERIFY(clear);
        QCOMPARE(clear->text(), QString("清除"));
        clear->click();
        QCOMPARE(asked, 1);
        QCOMPARE(Statistics::Load(path).Get(2).played, 2);
        answer = true;
        clear->click();
        QCOMPARE(dialog.table()->item(2, 0)->text(), QString("0"));
        QCOMPARE(Statistics::Load(path).Get(2).played, 0);
    }
};

}  // namespace

VORN_TEST(TestStatistics)
}  // namespace vorn
#include "statistics_test.moc"
