#include <QByteArray>
#include <QByteArrayList>
#include <QObject>
#include <QTest>

#include <string>

#include "net/framer.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

namespace vorn::test {

namespace {
using vorn::testing::Columns;
using vorn::testing::Row;

QByteArrayList Feed(Framer& framer, const QByteArrayList& arrivals) {
    QByteArrayList out;
    for (const auto& bytes : arrivals) {
        framer.Append(std::string_view(bytes.constData(), size_t(bytes.size())));
        std::string message;
        while (framer.Pop(message)) out << QByteArray::fromStdString(message);
    }
    return out;
}
}  // namespace

// Bytes arriving on one link in arbitrary pieces come out as whole messages.
class FramerTest : public QObject {
    Q_OBJECT

  private slots:
    void framing_data() {
        Columns<QByteArrayList, QByteArrayList, int>("arrivals", "messages", "tail");
        using L = QByteArrayList;
        L bytes;
        for (char c : QByteArray("[Turn]2|True\r\n")) bytes << QByteArray(1, c);
        Row("one byte at a time", bytes, L{"[Turn]2|True"}, 0);
        Row("two in one arrival", L{"[Joined]J1\r\n[Message]J1: hi\r\n"}, L{"[Joined]J1", "[Message]J1: hi"},
            0);
        Row("terminator split", L{"[Seat]1\r", "\n[Seat]2\r\n"}, L{"[Seat]1", "[Seat]2"}, 0);
        Row("tail kept", L{"[Turn]1|Tr", "ue\r\n[Snatch"}, L{"[Turn]1|True"}, 7);
        Row("lone CR and LF are data", L{"[Message]a\rb\nc\r\n"}, L{"[Message]a\rb\nc"}, 0);
        Row("empty message", L{"\r\n\r\n[Seat]3\r\n"}, L{"", "", "[Seat]3"}, 0);
        // "玄武" in code page 936 is D0 FE CE E4: no byte of it is CR or LF.
        Row("code page 936 split inside a character", L{"[Joined]\xD0\xFE\xCE", "\xE4\r\n"},
            L{"[Joined]\xD0\xFE\xCE\xE4"}, 0);
        Row("nothing complete", L{"[Game Over]"}, L{}, 11);
    }
    void framing() {
        QFETCH(QByteArrayList, arrivals);
        QFETCH(QByteArrayList, messages);
        QFETCH(int, tail);
        Framer framer;
        QCOMPARE(Feed(framer, arrivals), messages);
        QCOMPARE(int(framer.TailSize()), tail);
    }

    // A peer that never ends its line costs at most the cap, and the link
    // works again after that line's own terminator.
    void overlongLineDropped_data() {
        Columns<int, bool>("chunk", "splitTerminator");
        Row("1 MiB in one arrival", 1 << 20, false);
        Row("1 MiB in 4 KiB arrivals", 4096, false);
        Row("1 MiB in odd arrivals", 7001, false);
        Row("terminator split after the drop", 4096, true);
    }
    void overlongLineDropped() {
        QFETCH(int, chunk);
        QFETCH(bool, splitTerminator);
        Framer framer;
        QByteArrayList first = Feed(framer, {"[Seat]1\r\n"});
        QCOMPARE(first, QByteArrayList{"[Seat]1"});

        const QByteArray line(1 << 20, 'x');
        QByteArrayList out;
        for (int at = 0; at < line.size(); at += chunk) {
            out += Feed(framer,
                        {line.mid(at, chunk) + (splitTerminator && at + chunk >= line.size() ? "\r" : "")});
            QVERIFY(framer.TailSize() <= Framer::kMaxTail);
        }
        QVERIFY(out.isEmpty());
        out += Feed(framer, {QByteArray(splitTerminator ? "" : "\r") + "\n[Message]after\r\n"});
        QCOMPARE(out, QByteArrayList{"[Message]after"});
        QCOMPARE(framer.Dropped(), 1);
        QCOMPARE(int(framer.TailSize()), 0);
    }

    // A line of the cap's length passes; one longer is dropped, even when its
    // terminator comes in the arrival that carries it past the cap.
    void lineAroundTheCap_data() {
        // firstArrival: bytes of the line in the first arrival, the rest in the next
        Columns<int, int>("length", "firstArrival");
        const int cap = int(Framer::kMaxTail);
        Row("at the cap", cap, cap);
        Row("past the cap in one arrival", cap + 1, cap + 1);
        Row("past the cap with its terminator", cap + 4096, cap - 4096);
    }
    void lineAroundTheCap() {
        QFETCH(int, length);
        QFETCH(int, firstArrival);
        Framer framer;
        const QByteArray line(length, 'y');
        QByteArrayList out =
            Feed(framer, {line.left(firstArrival), line.mid(firstArrival) + "\r\n[Seat]1\r\n"});
        const bool passes = length <= int(Framer::kMaxTail);
        QByteArrayList expected{"[Seat]1"};
        if (passes) expected.prepend(line);
        QCOMPARE(out, expected);
        QCOMPARE(framer.Dropped(), passes ? 0 : 1);
    }
};

VORN_TEST(FramerTest)

}  // namespace vorn::test

#include "framer_test.moc"
