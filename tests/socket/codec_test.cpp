#include "net/socket/codec.h"

#include "tests/support/rows.h"
#include "tests/testing.h"

#include <QObject>
#include <QTest>

namespace {

using vorn::testing::Columns;
using vorn::testing::Row;

class TestCodec : public QObject {
    Q_OBJECT

  private slots:
    void encodesAsCodePage936_data() {
        Columns<QString, QByteArray>("text", "bytes");
        Row("east", QStringLiteral("青龙"), QByteArray("\xC7\xE0\xC1\xFA"));
        Row("south", QStringLiteral("朱雀"), QByteArray("\xD6\xEC\xC8\xB8"));
        Row("west", QStringLiteral("白虎"), QByteArray("\xB0\xD7\xBB\xA2"));
        Row("north", QStringLiteral("玄武"), QByteArray("\xD0\xFE\xCE\xE4"));
        Row("ascii", QStringLiteral("[Seat]1\r\n"), QByteArray("[Seat]1\r\n"));
        Row("mixed", QStringLiteral("[Joined]Li青龙"), QByteArray("[Joined]Li\xC7\xE0\xC1\xFA"));
        Row("full-width punctuation", QStringLiteral("！，"), QByteArray("\xA3\xA1\xA3\xAC"));
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
        Columns<QByteArray, QString>("bytes", "mustContain");
        Row("lead byte at the end", QByteArray("ab\xC7"), QStringLiteral("ab"));
        Row("lead byte before a control", QByteArray("\xC7\n[Turn]"), QStringLiteral("[Turn]"));
        Row("half a name", QByteArray("\xC7\xE0\xC1"), QStringLiteral("青"));
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
        Columns<QByteArray, int, int>("bytes", "limit", "expected");
        const QByteArray eight = vorn::ToCp936(QStringLiteral("青龙朱雀白虎玄武"));  // 16 bytes
        Row("eight characters at 15", eight, 15, 14);
        Row("eight characters at 16", eight, 16, 16);
        Row("odd start", QByteArray("a") + eight, 15, 15);
        Row("ascii", QByteArray("abcdefghijklmnopqrst"), 15, 15);
        Row("short", QByteArray("ab"), 15, 2);
        Row("trail byte in ASCII range", QByteArray("\x81\x40\x81\x40"), 3, 2);
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
