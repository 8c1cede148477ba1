// The settings file's reader and writer: values found as the old program
// found them, and one value written leaving the rest of the file as it was.

#include "app/inifile.h"
#include "tests/app/apptesting.h"

namespace vorn {
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
        auto row = [](const char* tag, const QByteArray& file, const char* section, const char* key,
                      bool found, const QByteArray& value) {
            QTest::newRow(tag) << file << QByteArray(section) << QByteArray(key) << found << value;
        };
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
        row("plain", file, "Option", "Rate", true, "2");
        row("case of names", file, "OPTION", "rate", true, "2");
        row("blanks around the key, value kept", file, "Option", "Level", true, " 0 ");
        row("empty value", file, "Option", "Empty", true, "");
        row("header with blanks", file, "Set", "South", true, "\xD6\xEC\xC8\xB8");
        row("Chinese key", file, "Set", "\xE0\x52", true, "dragon");
        // 0xE0 0x52 is one character: its trail byte 'R' must not match 'r'.
        row("trail byte is no letter", file, "Set", "\xE0\x72", false, "");
        row("only the first section of a name", file, "Option", "Sound", false, "");
        row("key in another section", file, "Set", "Rate", false, "");
        row("key before any section", file, "", "top", false, "");
        row("comment is no key", file, "Option", "; comment", false, "");
        row("missing section", file, "Net", "Port", false, "");
        // A carriage return without its line feed ends the value too (a fuzz find).
        const QByteArray bareCr = "[Net]\r\nServer=host\rname\r\nPort=1005\r\n";
        row("value cut at a bare carriage return", bareCr, "Net", "Server", true, "host");
        row("key after a bare carriage return", bareCr, "Net", "Port", true, "1005");
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
        auto row = [](const char* tag, const QByteArray& before, const char* section, const char* key,
                      const char* value, const QByteArray& after) {
            QTest::newRow(tag) << before << QByteArray(section) << QByteArray(key) << QByteArray(value)
                               << after;
        };
        const QByteArray file =
            "; my notes\r\n"
            "[Option]\r\n"
            "Rate = 1\r\n"
            "Sound=1\r\n"
            "\r\n"
            "; about the names\r\n"
            "[Set]\r\n"
            "South=x\r\n";
        row("replace, spelling and spacing kept", file, "option", "RATE", "2",
            "; my notes\r\n[Option]\r\nRate =2\r\nSound=1\r\n\r\n; about the names\r\n[Set]\r\nSouth=x\r\n");
        row("new key after the section's last key", file, "Option", "Level", "0",
            "; my notes\r\n[Option]\r\nRate = 1\r\nSound=1\r\nLevel=0\r\n\r\n; about the names\r\n[Set]\r\n"
            "South=x\r\n");
        row("new section at the end", file, "Net", "Port", "1005", file + "[Net]\r\nPort=1005\r\n");
        row("unterminated last line gets an ending", "[Set]\nSouth=x", "Set", "East", "y",
            "[Set]\nSouth=x\nEast=y\n");
        row("empty file", QByteArray(), "Set", "South", "\xD6\xEC\xC8\xB8",
            "[Set]\r\nSouth=\xD6\xEC\xC8\xB8\r\n");
        row("line break in the value is dropped", "[Set]\r\n", "Set", "South", "a\r\n[Net]",
            "[Set]\r\nSouth=a\r\n");
        row("header only", "[Set]", "Set", "Desk", "3", "[Set]\r\nDesk=3\r\n");
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
        QVERIFY(!ReadIniValue(path, "Set", "South").has_value());
        QVERIFY(WriteIniValue(path, "Set", "South", "\xD6\xEC\xC8\xB8"));
        QVERIFY(WriteIniValue(path, "Option", "Rate", "0"));
        QCOMPARE(ReadIniValue(path, "set", "south").value_or(""), QByteArray("\xD6\xEC\xC8\xB8"));
        QCOMPARE(apptest::ReadFile(path),
                 QByteArray("[Set]\r\nSouth=\xD6\xEC\xC8\xB8\r\n[Option]\r\nRate=0\r\n"));
        // A folder that does not exist cannot take the file; nothing is thrown.
        QVERIFY(!WriteIniValue(dir.filePath("missing/Vorn.ini"), "Set", "South", "x"));
    }
};

}  // namespace

VORN_TEST(TestIniFile)
}  // namespace vorn

#include "inifile_test.moc"
