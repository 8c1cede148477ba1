// Settings files the fuzz target found faults with: each one must load to
// what the file says and come back the same after the program saves it.

#include "app/inifile.h"
#include "app/settings.h"
#include "cards/options.h"
#include "cards/session.h"
#include "net/socket/codec.h"
#include "tests/testing.h"

#include <QFile>
#include <QObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <string>

namespace {

class TestSettingsFuzzFinds : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString FileWith(const QByteArray& bytes) {
        const QString path = dir_.filePath(QStringLiteral("Vorn.ini"));
        QFile::remove(path);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
        return path;
    }

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(dir_.isValid());
    }

    // A carriage return without its line feed used to stay in the value read,
    // while writing cut the value there: the name changed at every save.
    void bareCarriageReturnEndsTheValue_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("seat");
        QTest::addColumn<QString>("name");
        QTest::newRow("inside a name") << QByteArray("[Set]\r\nWest=ab\rcd\r\n") << 3 << QStringLiteral("ab");
        QTest::newRow("after a Chinese name")
            << QByteArray("[Set]\nEast=\xC7\xE0\xC1\xFA\r9\n") << 1 << QStringLiteral("青龙");
        QTest::newRow("first byte of the value")
            << QByteArray("[Set]\r\nNorth=\rX\r\n") << 2 << QStringLiteral("玄武");
        // The input the fuzzer found: a broken character, a bare CR, more bytes.
        QTest::newRow("after a broken character")
            << QByteArray(
                   "[Set]\r\nEast=abcdefghijklmn\xC7\xE0\xC1\xFA\r\nSbcdefghijklmn\xC7\xE0\xC1\xFA\r\n"
                   "South=\xFF\xFE\x80\x81\r\nWest=\x81\r9\r\nLevel=3.5\r\n")
            << 3 << QString(QChar::ReplacementCharacter);
    }
    void bareCarriageReturnEndsTheValue() {
        QFETCH(QByteArray, file);
        QFETCH(int, seat);
        QFETCH(QString, name);
        const QString path = FileWith(file);
        QVERIFY(!path.isEmpty());

        vorn::Options options;
        vorn::Session session;
        vorn::LoadSettings(path, options, session);
        QCOMPARE(QString::fromStdString(session.PlayerNames[size_t(seat)]), name);

        QVERIFY(vorn::SaveSettings(path, options, session));
        vorn::Options again;
        vorn::Session sessionAgain;
        vorn::LoadSettings(path, again, sessionAgain);
        for (int s = 0; s < 4; ++s) {
            // A character the code page lacks is stored as '?'.
            const std::string stored = vorn::FromCp936(vorn::ToCp936(session.PlayerNames[size_t(s)]));
            QCOMPARE(QString::fromStdString(sessionAgain.PlayerNames[size_t(s)]),
                     QString::fromStdString(stored));
        }
    }

    void valueReadStopsAtCarriageReturn() {
        const vorn::IniFile file = vorn::IniFile::FromBytes("[Net]\r\nServer=host\rname\r\nPort=1005\r\n");
        const std::optional<QByteArray> server = file.Value("Net", "Server");
        const std::optional<QByteArray> port = file.Value("Net", "Port");
        QVERIFY(server && port);
        QCOMPARE(*server, QByteArray("host"));
        QCOMPARE(*port, QByteArray("1005"));
    }
};

}  // namespace

VORN_TEST(TestSettingsFuzzFinds)

#include "fuzz_regression_test.moc"
