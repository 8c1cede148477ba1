#include "net/socket/codec.h"

#include "tests/testing.h"

#include <QObject>
#include <QTest>

namespace {

class TestCodec : public QObject {
    Q_OBJECT

  private slots:
    void encodesAsCodePage936_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("east") << QStringLiteral("青龙") << QByteArray("\xC7\xE0\xC1\xFA");
        QTest::newRow("south") << QStringLiteral("朱雀") << QByteArray("\xD6\xEC\xC8\xB8");
        QTest::newRow("west") << QStringLiteral("白虎") << QByteArray("\xB0\xD7\xBB\xA2");
        QTest::newRow("north") << QStringLiteral("玄武") << QByteArray("\xD0\xFE\xCE\xE4");
        QTest::newRow("ascii") << QStringLiteral("[Seat]1\r\n") << QByteArray("[Seat]1\r\n");
        QTest::newRow("mixed") << QStringLiteral("[Joined]Li青龙")
                               << QByteArray("[Joined]Li\xC7\xE0\xC1\xFA");
        QTest::newRow("full-width punctuation") << QStringLiteral("！，") << QByteArray("\xA3\xA1\xA3\xAC");
    }
    void encodesAsCodePage936() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(vorn::ToCp936(text), bytes);
        QCOMPARE(vorn::FromCp936(bytes), text);
        // Without a Qt codec the program takes the iconv path; it must agree.
        QCOMPARE(vorn::ToCp936Iconv(text), bytes);
        QCOMPARE(vorn::FromCp936Iconv(bytes), text);
        QCOMPARE(vorn::ToCp936(text.toStdString()), bytes.toStdString());
        QCOMPARE(vorn::FromCp936(bytes.toStdString()), text.toStdString());
    }

    void badBytesBecomeReplacementCharacters_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("mustContain");
        QTest::newRow("lead byte at the end") << QByteArray("ab\xC7") << QStringLiteral("ab");
        QTest::newRow("lead byte before a control") << QByteArray("\xC7\n[Turn]") << QStringLiteral("[Turn]");
        QTest::newRow("half a name") << QByteArray("\xC7\xE0\xC1") << QStringLiteral("青");
    }
    void badBytesBecomeReplacementCharacters() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, mustContain);
        for (const QString& text : {vorn::FromCp936(bytes), vorn::FromCp936Iconv(bytes)}) {
            QVERIFY2(text.contains(QChar::ReplacementCharacter), qPrintable(text));
            QVERIFY2(text.contains(mustContain), qPrintable(text));
        }
    }

    void unencodableCharacterBecomesQuestionMark() {
        const QString text = QStringLiteral("a") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("b");
        QCOMPARE(vorn::ToCp936Iconv(text), QByteArray("a?b"));
        const QByteArray viaQt = vorn::ToCp936(text);
        QVERIFY(viaQt.startsWith('a') && viaQt.endsWith('b'));
    }

    void wholePrefixNeverSplitsACharacter_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("expected");
        const QByteArray eight = vorn::ToCp936(QStringLiteral("青龙朱雀白虎玄武"));  // 16 bytes
        QTest::newRow("eight characters at 15") << eight << 15 << 14;
        QTest::newRow("eight characters at 16") << eight << 16 << 16;
        QTest::newRow("odd start") << QByteArray("a") + eight << 15 << 15;
        QTest::newRow("ascii") << QByteArray("abcdefghijklmnopqrst") << 15 << 15;
        QTest::newRow("short") << QByteArray("ab") << 15 << 2;
        QTest::newRow("trail byte in ASCII range") << QByteArray("\x81\x40\x81\x40") << 3 << 2;
    }
    void wholePrefixNeverSplitsACharacter() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, limit);
        QFETCH(int, expected);
        QCOMPARE(vorn::Cp936WholePrefix(bytes, limit), qsizetype(expected));
    }
};

}  // namespace

VORN_TEST(TestCodec)

#include "codec_test.moc"
