#include "app/inifile.h"

#include "tests/testing.h"

#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <QTest>

using vorn::IniFile;

namespace {

class TestIniFile : public QObject {
    Q_OBJECT

  private slots:
    void readsValues_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QByteArray>("value");
        const QByteArray file =
            "top=level\r\n"
            "; comment=line\r\n"
            "[Option]\r\n"
            "Rate=2\r\n"
            "  Level = 0 \r\n"
            "Empty=\r\n"
            "Rate=9\r\n"
            "[ Set ] trailing words\r\n"
            "South=\xD6\xEC\xC8\xB8\r\n"
            "\xE0\x52=dragon\r\n"
            "[option]\r\n"
            "Sound=0\n"
            "Score=1";
        QTest::newRow("plain") << file << QByteArray("Option") << QByteArray("Rate") << true
                               << QByteArray("2");
        QTest::newRow("case of names")
            << file << QByteArray("OPTION") << QByteArray("rate") << true << QByteArray("2");
        QTest::newRow("blanks around the key, value kept")
            << file << QByteArray("Option") << QByteArray("Level") << true << QByteArray(" 0 ");
        QTest::newRow("empty value") << file << QByteArray("Option") << QByteArray("Empty") << true
                                     << QByteArray();
        QTest::newRow("header with blanks")
            << file << QByteArray("Set") << QByteArray("South") << true << QByteArray("\xD6\xEC\xC8\xB8");
        QTest::newRow("Chinese key") << file << QByteArray("Set") << QByteArray("\xE0\x52") << true
                                     << QByteArray("dragon");
        // 0xE0 0x52 is one character: its trail byte 'R' must not match 'r'.
        QTest::newRow("trail byte is no letter")
            << file << QByteArray("Set") << QByteArray("\xE0\x72") << false << QByteArray();
        QTest::newRow("only the first section of a name")
            << file << QByteArray("Option") << QByteArray("Sound") << false << QByteArray();
        QTest::newRow("key in another section")
            << file << QByteArray("Set") << QByteArray("Rate") << false << QByteArray();
        QTest::newRow("key before any section")
            << file << QByteArray("") << QByteArray("top") << false << QByteArray();
        QTest::newRow("comment is no key")
            << file << QByteArray("Option") << QByteArray("; comment") << false << QByteArray();
        QTest::newRow("missing section")
            << file << QByteArray("Net") << QByteArray("Port") << false << QByteArray();
        // A carriage return without its line feed ends the value too (a fuzz find).
        const QByteArray bareCr = "[Net]\r\nServer=host\rname\r\nPort=1005\r\n";
        QTest::newRow("value cut at a bare carriage return")
            << bareCr << QByteArray("Net") << QByteArray("Server") << true << QByteArray("host");
        QTest::newRow("key after a bare carriage return")
            << bareCr << QByteArray("Net") << QByteArray("Port") << true << QByteArray("1005");
    }
    void readsValues() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(bool, found);
        QFETCH(QByteArray, value);
        const std::optional<QByteArray> got = IniFile::FromBytes(file).Value(section, key);
        QCOMPARE(got.has_value(), found);
        if (found) QCOMPARE(*got, value);
    }

    void writesOneValueKeepingTheRest_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("after");
        const QByteArray file =
            "; my notes\r\n"
            "[Option]\r\n"
            "Rate = 1\r\n"
            "Sound=1\r\n"
            "\r\n"
            "; about the names\r\n"
            "[Set]\r\n"
            "South=x\r\n";
        QTest::newRow("replace, spelling and spacing kept")
            << file << QByteArray("option") << QByteArray("RATE") << QByteArray("2")
            << QByteArray(
                   "; my notes\r\n[Option]\r\nRate =2\r\nSound=1\r\n\r\n; about the "
                   "names\r\n[Set]\r\nSouth=x\r\n");
        QTest::newRow("new key after the section's last key")
            << file << QByteArray("Option") << QByteArray("Level") << QByteArray("0")
            << QByteArray(
                   "; my notes\r\n[Option]\r\nRate = 1\r\nSound=1\r\nLevel=0\r\n\r\n; about the "
                   "names\r\n[Set]\r\n"
                   "South=x\r\n");
        QTest::newRow("new section at the end") << file << QByteArray("Net") << QByteArray("Port")
                                                << QByteArray("1005") << file + "[Net]\r\nPort=1005\r\n";
        QTest::newRow("unterminated last line gets an ending")
            << QByteArray("[Set]\nSouth=x") << QByteArray("Set") << QByteArray("East") << QByteArray("y")
            << QByteArray("[Set]\nSouth=x\nEast=y\n");
        QTest::newRow("empty file") << QByteArray() << QByteArray("Set") << QByteArray("South")
                                    << QByteArray("\xD6\xEC\xC8\xB8")
                                    << QByteArray("[Set]\r\nSouth=\xD6\xEC\xC8\xB8\r\n");
        QTest::newRow("line break in the value is dropped")
            << QByteArray("[Set]\r\n") << QByteArray("Set") << QByteArray("South") << QByteArray("a\r\n[Net]")
            << QByteArray("[Set]\r\nSouth=a\r\n");
        QTest::newRow("header only") << QByteArray("[Set]") << QByteArray("Set") << QByteArray("Desk")
                                     << QByteArray("3") << QByteArray("[Set]\r\nDesk=3\r\n");
    }
    void writesOneValueKeepingTheRest() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, after);
        IniFile file = IniFile::FromBytes(before);
        file.SetValue(section, key, value);
        QCOMPARE(file.ToBytes(), after);
    }

    void savesThroughTheFileSystem() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("Vorn.ini");
        QVERIFY(!vorn::ReadIniValue(path, "Set", "South").has_value());
        QVERIFY(vorn::WriteIniValue(path, "Set", "South", "\xD6\xEC\xC8\xB8"));
        QVERIFY(vorn::WriteIniValue(path, "Option", "Rate", "0"));
        QCOMPARE(vorn::ReadIniValue(path, "set", "south").value_or(""), QByteArray("\xD6\xEC\xC8\xB8"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[Set]\r\nSouth=\xD6\xEC\xC8\xB8\r\n[Option]\r\nRate=0\r\n"));
        // A folder that does not exist cannot take the file; nothing is thrown.
        QVERIFY(!vorn::WriteIniValue(dir.filePath("missing/Vorn.ini"), "Set", "South", "x"));
    }
};

}  // namespace

VORN_TEST(TestIniFile)

#include "inifile_test.moc"
