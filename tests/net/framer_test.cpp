#include <QByteArray>
#include <QByteArrayList>
#include <QObject>
#include <QTest>

#include <string>

#include "net/framer.h"
#include "tests/testing.h"

namespace vorn::test {

namespace {
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
        QTest::addColumn<QByteArrayList>("arrivals");
        QTest::addColumn<QByteArrayList>("messages");
        QTest::addColumn<int>("tail");

        QByteArrayList bytes;
        for (char c : QByteArray("[Turn]2|True\r\n")) bytes << QByteArray(1, c);
        QTest::newRow("one byte at a time") << bytes << QByteArrayList{"[Turn]2|True"} << 0;
        QTest::newRow("two in one arrival") << QByteArrayList{"[Joined]J1\r\n[Message]J1: hi\r\n"}
                                            << QByteArrayList{"[Joined]J1", "[Message]J1: hi"} << 0;
        QTest::newRow("terminator split")
            << QByteArrayList{"[Seat]1\r", "\n[Seat]2\r\n"} << QByteArrayList{"[Seat]1", "[Seat]2"} << 0;
        QTest::newRow("tail kept") << QByteArrayList{"[Turn]1|Tr", "ue\r\n[Snatch"}
                                   << QByteArrayList{"[Turn]1|True"} << 7;
        QTest::newRow("lone CR and LF are data")
            << QByteArrayList{"[Message]a\rb\nc\r\n"} << QByteArrayList{"[Message]a\rb\nc"} << 0;
        QTest::newRow("empty message")
            << QByteArrayList{"\r\n\r\n[Seat]3\r\n"} << QByteArrayList{"", "", "[Seat]3"} << 0;
        // "玄武" in code page 936 is D0 FE CE E4: no byte of it is CR or LF.
        QTest::newRow("code page 936 split inside a character")
            << QByteArrayList{"[Joined]\xD0\xFE\xCE", "\xE4\r\n"}
            << QByteArrayList{"[Joined]\xD0\xFE\xCE\xE4"} << 0;
        QTest::newRow("nothing complete") << QByteArrayList{"[Game Over]"} << QByteArrayList{} << 11;
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
        QTest::addColumn<int>("chunk");
        QTest::addColumn<bool>("splitTerminator");
        QTest::newRow("1 MiB in one arrival") << (1 << 20) << false;
        QTest::newRow("1 MiB in 4 KiB arrivals") << 4096 << false;
        QTest::newRow("1 MiB in odd arrivals") << 7001 << false;
        QTest::newRow("terminator split after the drop") << 4096 << true;
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
        QTest::addColumn<int>("length");
        QTest::addColumn<int>(
            "firstArrival");  // bytes of the line in the first arrival, the rest in the next
        const int cap = int(Framer::kMaxTail);
        QTest::newRow("at the cap") << cap << cap;
        QTest::newRow("past the cap in one arrival") << cap + 1 << cap + 1;
        QTest::newRow("past the cap with its terminator") << cap + 4096 << cap - 4096;
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
