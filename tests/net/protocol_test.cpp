#include <QObject>
#include <QTest>

#include <optional>
#include <string>
#include <vector>

#include "net/protocol.h"
#include "net/snapshot.h"
#include "tests/support/cards.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

namespace vorn::test {

namespace {
using vorn::testing::Columns;
using vorn::testing::Q;
using vorn::testing::Row;
std::string S(const QString& text) {
    return text.toStdString();
}

// What the named reader makes of a text, written out; "" for refused.
std::string Reading(const QString& reader, const std::string& b) {
    using std::to_string;
    std::string got;
    const auto is = [&reader](const char* name) { return reader == name; };
    if (is("boolean")) got = ParseBoolean(b) ? "true" : "false";
    if (is("split")) {
        std::string_view tag, body;
        SplitMessage(b, tag, body);
        got = std::string(tag) + " / " + std::string(body);
    }
    if (auto m = is("decimal") ? ParseDecimal(b) : std::nullopt) got = to_string(*m);
    if (auto m = is("cards") ? ParseCardList(b) : std::nullopt) got = to_string(m->Count());
    if (auto m = is("throw") ? ParseThrow(b) : std::nullopt)
        got = to_string(m->lastThrower) + " " + m->tablePlay + " " + to_string(m->seat) +
              (m->IsPass() ? " pass" : " play");
    if (auto m = is("turn") ? ParseTurn(b) : std::nullopt)
        got = to_string(m->seat) + (m->mustLead ? " true" : " false");
    if (auto m = is("snatch") ? ParseSnatch(b) : std::nullopt)
        got = to_string(m->seat) + " " + to_string(m->drawIndex);
    if (auto m = is("people") ? ParsePeople(b) : std::nullopt) got = to_string(m->slot) + " " + m->name;
    if (auto m = is("prepare") ? ParsePrepare(b) : std::nullopt)
        got = (*m)[0] + " " + (*m)[1] + " " + (*m)[2] + " " + (*m)[3];
    if (auto m = is("host hello") ? ParseHostHello(b) : std::nullopt)
        got = to_string(m->version) + " " + m->nonce + " " + (m->password ? "1" : "0");
    if (auto m = is("joiner hello") ? ParseJoinerHello(b) : std::nullopt)
        got = to_string(m->version) + " " + m->token + " " + m->proof;
    if (auto m = is("draw") ? ParseDraw(b) : std::nullopt)
        got = to_string(m->seat) + " " + (m->card.IsNone() ? "" : CardCode(m->card));
    if (auto m = is("hand") ? ParseHand(b) : std::nullopt) got = to_string(m->seat) + " " + Codes(m->cards);
    if (auto m = is("seats") ? ParseSeats(b) : std::nullopt) got = SeatsMessage(*m).substr(7);
    if (auto m = is("refused") ? ParseRefused(b) : std::nullopt) got = to_string(int(*m));
    // Read back whole: "same" when written again exactly as it came.
    if (auto m = is("snapshot") ? ParseSnapshot(b) : std::nullopt)
        got = SnapshotMessage(*m) == "[Snapshot]" + b ? "same" : SnapshotMessage(*m);
    if (auto m = is("table") ? ParseTableAd("[Table]" + b) : std::nullopt)
        got = TableAdMessage(*m) == "[Table]" + b ? "same" : TableAdMessage(*m);
    return got;
}
}  // namespace

// The field encodings and every message as it goes on the wire, and the
// strict reading of bodies that came from an untrusted peer.
class ProtocolTest : public QObject {
    Q_OBJECT

  private slots:
    void padNumber_data() {
        Columns<int, QString>("number", "padded");
        Row("zero", 0, "0000000000");
        Row("two", 2, "0000000002");
        Row("slot 3", 3, "0000000003");
        Row("host's -1", -1, "-000000001");
        Row("-12", -12, "-000000012");
        Row("ten digits", 1234567890, "1234567890");
        Row("nine-digit negative", -123456789, "-123456789");
        Row("lowest int, not cut", int(-2147483647 - 1), "-2147483648");
    }
    void padNumber() {
        QFETCH(int, number);
        QFETCH(QString, padded);
        QCOMPARE(Q(PadNumber(number)), padded);
        if (padded.size() == 10) QCOMPARE(ParsePadded(S(padded)).value_or(-999), number);
    }

    // A body's n-th field, and what is left from it on: fixed ten-character
    // fields, or fields between bars (trimmed, and as is).
    void fields_data() {
        Columns<bool, QString, int, QString, QString>("fixed", "text", "n", "field", "rest");
        Row("slot of a person", true, "0000000002Bob", 1, "0000000002", "0000000002Bob");
        Row("name of a person", true, "0000000002Bob", 2, "Bob", "Bob");
        Row("host entry", true, "-000000001H", 2, "H", "H");
        Row("Chinese name counts characters", true, "0000000001朱雀的名字很长很长很长啊", 2,
            "朱雀的名字很长很长很", "朱雀的名字很长很长很长啊");
        Row("short body", true, "00001", 1, "00001", "00001");
        Row("past the end", true, "0000000002", 2, "", "");
        Row("empty", true, "", 1, "", "");
        Row("first", false, "1|C_05D_05|1", 1, "1", "1");
        Row("second", false, "1|C_05D_05|1", 2, "C_05D_05", "C_05D_05");
        Row("third", false, "1|C_05D_05|1", 3, "1", "1");
        Row("missing", false, "1|C_05D_05|1", 4, "", "");
        Row("empty middle", false, "0||2", 2, "", "");
        Row("blanks at the ends", false, "  2|True  ", 2, "True", "True  ");
        Row("leading blank kept as is", false, " H|J1|J2|J3", 1, "H", " H");
        Row("no bar", false, "17", 1, "17", "17");
    }
    void fields() {
        QFETCH(bool, fixed);
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, field);
        QFETCH(QString, rest);
        QCOMPARE(Q(fixed ? FixedField(S(text), n) : SplitField(S(text), n)), field);
        QCOMPARE(Q(fixed ? FixedFieldTail(S(text), n) : SplitFieldAsIs(S(text), n)), rest);
    }

    void joinFields_data() {
        Columns<QStringList, QString>("fields", "joined");
        Row("four names", QStringList{"H", "J1", "J2", "J3"}, "H|J1|J2|J3");
        Row("one", QStringList{"x"}, "x");
        Row("none", QStringList{}, "");
        Row("empty inside", QStringList{"0", "", "2"}, "0||2");
    }
    void joinFields() {
        QFETCH(QStringList, fields);
        QFETCH(QString, joined);
        std::vector<std::string> list;
        for (const auto& f : fields) list.push_back(S(f));
        QCOMPARE(Q(JoinFields(list)), joined);
        if (!fields.isEmpty()) QCOMPARE(int(BarFields(S(joined)).size()), int(fields.size()));
    }

    // Characters are counted whole, so a line in any script keeps as many, and
    // a character outside the basic plane (a surrogate pair on screen) is kept
    // or dropped whole.
    void cutChatLine_data() {
        Columns<QString, QString>("line", "cut");
        const int max = kMaxChatLineChars;
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        Row("short", "J1: 你好", "J1: 你好");
        Row("empty", "", "");
        Row("exactly the cap", QString(max, 'a'), QString(max, 'a'));
        Row("one over", QString(max + 1, 'a'), QString(max, 'a'));
        Row("Chinese counts characters", QString(max + 50, QChar(0x597D)), QString(max, QChar(0x597D)));
        Row("a pair that ends the line", QString(max - 1, 'a') + emoji + "b", QString(max - 1, 'a') + emoji);
        Row("a pair just past it", QString(max, 'a') + emoji, QString(max, 'a'));
    }
    void cutChatLine() {
        QFETCH(QString, line);
        QFETCH(QString, cut);
        const std::string got = CutChatLine(S(line));
        QCOMPARE(Q(got), cut);
        // Whole characters only: the bytes are valid UTF-8 that round-trips.
        QCOMPARE(Q(got).toStdString(), got);
    }

    void builders_data() {
        Columns<QString, QString>("built", "wire");
        Row("seat", Q(SeatMessage(2)), "[Seat]2");
        Row("seat 4", Q(SeatMessage(4)), "[Seat]4");
        Row("joined", Q(JoinedMessage("玄武")), "[Joined]玄武");
        Row("new name list", Q(NewNameListMessage()), "[New Name List]");
        Row("people host", Q(PeopleMessage(-1, "H")), "[People]-000000001H");
        Row("people slot", Q(PeopleMessage(2, "J2")), "[People]0000000002J2");
        Row("prepare", Q(PrepareMessage({"H", "J1", "J2", "J3"})), "[Prepare]H|J1|J2|J3");
        Row("chat", Q(ChatMessage("J1: Hello,every body!")), "[Message]J1: Hello,every body!");
        Row("chat of an empty line", Q(ChatMessage("J1: ")), "[Message]J1: ");
        Row("throw play", Q(ThrowMessage(1, "C_05D_05", 1)), "[Throw]1|C_05D_05|1");
        Row("throw pass", Q(ThrowMessage(0, "C_05D_05", 3)), "[Throw]0|C_05D_05|3");
        Row("turn leads", Q(TurnMessage(2, true)), "[Turn]2|True");
        Row("turn follows", Q(TurnMessage(0, false)), "[Turn]0|False");
        Row("snatch", Q(SnatchMessage(1, 17)), "[Snatch Card]1|17");
        Row("game over", Q(GameOverMessage(3)), "[Game Over]3");
        Row("disconnected", Q(DisconnectedMessage(2)), "[Disconnected]0000000002");
        Row("exit", Q(ExitMessage(3)), "[Exit]0000000003");
        Row("host hello", Q(HostHelloMessage("00ff", true)), "[Hello]2|00ff|password");
        Row("joiner hello", Q(JoinerHelloMessage("", "")), "[Hello]2||");
        Row("refused", Q(RefusedMessage(Refusal2::Full)), "[Refused]full");
        Row("own draw", Q(DrawMessage(2, testing::SetOf("S_09").First())), "[Draw]2|S_09");
        Row("another's draw", Q(DrawMessage(1, Card::None())), "[Draw]1|");
        Row("hand", Q(HandMessage(3, testing::SetOf("H_13D_01"))), "[Hand]3|D_01H_13");
        Row("seats", Q(SeatsMessage({Holder::Person, Holder::OldPerson, Holder::Computer, Holder::Nobody})),
            "[Seats]POC-");
        Row("table, a bar in the name", Q(TableAdMessage(TableAd{"9f", 11005, 1, false, "Quil|lon"})),
            "[Table]2|9f|11005|1||Quil/lon");
        Row("table, a long name cut between characters",
            Q(TableAdMessage(TableAd{"9f", 11005, 1, false, QString("朱").repeated(22).toStdString()})),
            "[Table]2|9f|11005|1||" + QString("朱").repeated(21));
    }
    void builders() {
        QFETCH(QString, built);
        QFETCH(QString, wire);
        QCOMPARE(built, wire);
    }

    // Fields and bodies as the receiver reads them: malformed ones come back
    // as nothing. The second version's bodies are read exactly as written.
    void reading_data() {
        Columns<QString, QString, QString>("reader", "text", "reading");  // reading "" for refused
        Row("plain", "split", "[Turn]2|True", "[Turn] / 2|True");
        Row("empty body", "split", "[New Name List]", "[New Name List] / ");
        Row("bracket in body", "split", "[Message]a: [x] y", "[Message] / a: [x] y");
        Row("no bracket", "split", "hello", " / hello");
        Row("bracket first", "split", "]x", "] / x");

        Row("digit", "decimal", "3", "3");
        Row("negative", "decimal", "-1", "-1");
        Row("plus", "decimal", "+2", "2");
        Row("leading zeros", "decimal", "0000000002", "2");
        Row("padded negative", "decimal", "-000000001", "-1");
        Row("blanks at the ends", "decimal", " 7 ", "7");
        Row("int max", "decimal", "2147483647", "2147483647");
        Row("past int max", "decimal", "2147483648", "");
        Row("huge", "decimal", "99999999999999999999", "");
        Row("empty", "decimal", "", "");
        Row("blank", "decimal", "  ", "");
        Row("sign alone", "decimal", "-", "");
        Row("fraction", "decimal", "1.5", "");
        Row("letters", "decimal", "abc", "");
        Row("digits then letters", "decimal", "12a", "");
        Row("blank inside", "decimal", "1 2", "");
        Row("two signs", "decimal", "--1", "");
        Row("hex", "decimal", "0x10", "");
        Row("full-width digit", "decimal", "２", "");

        Row("True", "boolean", "True", "true");
        Row("true", "boolean", "true", "true");
        Row("TRUE", "boolean", "TRUE", "true");
        Row("tRuE", "boolean", "tRuE", "true");
        Row("False", "boolean", "False", "false");
        Row("1", "boolean", "1", "false");
        Row("not a boolean: empty", "boolean", "", "false");
        Row("truer", "boolean", "truer", "false");
        Row("Yes", "boolean", "Yes", "false");

        // How many cards a list holds.
        Row("no cards", "cards", "", "0");
        Row("one card", "cards", "S_13", "1");
        Row("two cards", "cards", "S_13H_03", "2");
        Row("four cards", "cards", "C_05D_05H_05S_05", "4");
        Row("short piece", "cards", "S_13H_0", "");
        Row("bad suit", "cards", "X_05", "");
        Row("number 14", "cards", "C_14", "");
        Row("number 00", "cards", "C_00", "");
        Row("no underscore", "cards", "C-05", "");
        Row("lower case suit", "cards", "c_05", "");
        Row("same card twice", "cards", "C_05C_05", "");
        Row("blank padded", "cards", "C_05 ", "");

        Row("throw play", "throw", "1|C_05D_05|1", "1 C_05D_05 1 play");
        Row("throw pass", "throw", "0|C_05D_05|3", "0 C_05D_05 3 pass");
        Row("throw blanks at ends", "throw", "  1|C_05|1 ", "1 C_05 1 play");
        Row("throw empty play", "throw", "2||3", "2  3 pass");
        Row("throw two fields", "throw", "1|C_05", "");
        Row("throw seat 4", "throw", "1|C_05|4", "");
        Row("throw thrower -1", "throw", "-1|C_05|1", "");
        Row("throw non-number", "throw", "x|C_05|1", "");
        Row("throw bad card", "throw", "1|C_5|1", "");
        Row("turn", "turn", "2|True", "2 true");
        Row("turn lower case", "turn", "3|false", "3 false");
        Row("turn missing field", "turn", "2", "");
        Row("turn seat 9", "turn", "9|True", "");
        Row("snatch", "snatch", "1|26", "1 26");
        Row("snatch negative index", "snatch", "1|-1", "");
        Row("snatch missing", "snatch", "1", "");
        Row("snatch seat -1", "snatch", "-1|0", "");
        Row("people host", "people", "-000000001H", "-1 H");
        Row("people slot 2", "people", "0000000002J2", "2 J2");
        Row("people short", "people", "00002J2", "");
        Row("people garbage", "people", "abcdefghijJ2", "");
        Row("prepare", "prepare", "H|J1|J2|J3", "H J1 J2 J3");
        Row("prepare three", "prepare", "H|J1|J2", "");
        Row("prepare empty name", "prepare", "H||J2|J3", "");

        Row("host hello", "host hello", "2|0a9f|password", "2 0a9f 1");
        Row("host hello, no password", "host hello", "2|0a9f|", "2 0a9f 0");
        Row("host hello, version 1", "host hello", "1|0a9f|", "");
        Row("host hello, no challenge", "host hello", "2||", "");
        Row("host hello, upper-case hex", "host hello", "2|0A9F|", "");
        Row("host hello, a feature unknown", "host hello", "2|0a|spectators", "");
        Row("joiner hello", "joiner hello", "2|beef|cafe", "2 beef cafe");
        Row("joiner hello, padded version", "joiner hello", "02||", "");
        Row("joiner hello, four fields", "joiner hello", "2|||", "");
        Row("own draw", "draw", "2|S_09", "2 S_09");
        Row("another's draw", "draw", "0|", "0 ");
        Row("draw of two cards", "draw", "2|S_09S_08", "");
        Row("draw, seat 4", "draw", "4|", "");
        Row("hand", "hand", "3|D_01H_13", "3 D_01H_13");
        Row("hand out of order", "hand", "3|H_13D_01", "");
        Row("seats", "seats", "PC-O", "PC-O");
        Row("seats, a letter unknown", "seats", "PCXO", "");
        Row("refused", "refused", "password", "0");
        Row("refused, unknown", "refused", "because", "");
        Row("snapshot", "snapshot", "2|C_05D_06|H_01|H_01|2|1|0|2|0|6,5,2,6|33|0|0,1,0,0|4,0,2,0|0,1,1,0",
            "same");
        Row("snapshot, a negative count", "snapshot",
            "2|C_05D_06|H_01|H_01|2|1|0|2|0|6,5,2,-6|33|0|0,1,0,0|4,0,2,0|0,1,1,0", "");
        Row("snapshot, seat 4", "snapshot",
            "4|C_05D_06|H_01|H_01|2|1|0|2|0|6,5,2,6|33|0|0,1,0,0|4,0,2,0|0,1,1,0", "");
        Row("snapshot, short", "snapshot", "2|C_05D_06|H_01|H_01|2|1|0|2|0|6,5,2,6|33|0|0,1,0,0|4,0,2,0", "");
        Row("table", "table", "2|9f|11005|2||Quillon", "same");
        Row("table with a password", "table", "2|9f|80|4|password|朱雀 2", "same");
        Row("table, version 1", "table", "1|9f|11005|2||Quillon", "");
        Row("table, no id", "table", "2||11005|2||Quillon", "");
        Row("table, port 0", "table", "2|9f|0|2||Quillon", "");
        Row("table, port past 65535", "table", "2|9f|65536|2||Quillon", "");
        Row("table, padded port", "table", "2|9f|011005|2||Quillon", "");
        Row("table, nobody seated", "table", "2|9f|11005|0||Quillon", "");
        Row("table, five seated", "table", "2|9f|11005|5||Quillon", "");
        Row("table, unnamed", "table", "2|9f|11005|2||", "");
        Row("table, a bar in the name", "table", "2|9f|11005|2||Quil|lon", "");
        Row("table, a line break in the name", "table", "2|9f|11005|2||Quil\nlon", "");
    }
    void reading() {
        QFETCH(QString, reader);
        QFETCH(QString, text);
        QFETCH(QString, reading);
        const QStringList readers{"split",  "decimal", "boolean", "cards",      "throw",        "turn",
                                  "snatch", "people",  "prepare", "host hello", "joiner hello", "draw",
                                  "hand",   "seats",   "refused", "snapshot",   "table"};
        QVERIFY2(readers.contains(reader), "no such reader");
        QCOMPARE(Q(Reading(reader, S(text))), reading);
    }
};

VORN_TEST(ProtocolTest)

}  // namespace vorn::test

#include "protocol_test.moc"
