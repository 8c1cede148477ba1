#include <QObject>
#include <QTest>

#include <string>
#include <vector>

#include "net/protocol.h"
#include "net/snapshot.h"
#include "tests/support/cards.h"
#include "tests/testing.h"

namespace vorn::test {

namespace {
using vorn::testing::Q;
std::string S(const QString& text) {
    return text.toStdString();
}
}  // namespace

// The field encodings and every message as it goes on the wire, and the
// strict reading of bodies that came from an untrusted peer.
class ProtocolTest : public QObject {
    Q_OBJECT

  private slots:
    void padNumber_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("padded");
        QTest::newRow("zero") << 0 << "0000000000";
        QTest::newRow("two") << 2 << "0000000002";
        QTest::newRow("slot 3") << 3 << "0000000003";
        QTest::newRow("host's -1") << -1 << "-000000001";
        QTest::newRow("-12") << -12 << "-000000012";
        QTest::newRow("ten digits") << 1234567890 << "1234567890";
        QTest::newRow("nine-digit negative") << -123456789 << "-123456789";
        QTest::newRow("lowest int, not cut") << int(-2147483647 - 1) << "-2147483648";
    }
    void padNumber() {
        QFETCH(int, number);
        QFETCH(QString, padded);
        QCOMPARE(Q(PadNumber(number)), padded);
        if (padded.size() == 10) QCOMPARE(ParsePadded(S(padded)).value_or(-999), number);
    }

    void fixedField_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("tail");
        QTest::newRow("slot of a person") << "0000000002Bob" << 1 << "0000000002"
                                          << "0000000002Bob";
        QTest::newRow("name of a person") << "0000000002Bob" << 2 << "Bob"
                                          << "Bob";
        QTest::newRow("host entry") << "-000000001H" << 2 << "H"
                                    << "H";
        QTest::newRow("Chinese name counts characters")
            << "0000000001朱雀的名字很长很长很长啊" << 2 << "朱雀的名字很长很长很"
            << "朱雀的名字很长很长很长啊";
        QTest::newRow("short body") << "00001" << 1 << "00001"
                                    << "00001";
        QTest::newRow("past the end") << "0000000002" << 2 << ""
                                      << "";
        QTest::newRow("empty") << "" << 1 << ""
                               << "";
    }
    void fixedField() {
        QFETCH(QString, body);
        QFETCH(int, n);
        QFETCH(QString, field);
        QFETCH(QString, tail);
        QCOMPARE(Q(FixedField(S(body), n)), field);
        QCOMPARE(Q(FixedFieldTail(S(body), n)), tail);
    }

    void splitField_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("trimmed");
        QTest::addColumn<QString>("asIs");
        QTest::newRow("first") << "1|C_05D_05|1" << 1 << "1"
                               << "1";
        QTest::newRow("second") << "1|C_05D_05|1" << 2 << "C_05D_05"
                                << "C_05D_05";
        QTest::newRow("third") << "1|C_05D_05|1" << 3 << "1"
                               << "1";
        QTest::newRow("missing") << "1|C_05D_05|1" << 4 << ""
                                 << "";
        QTest::newRow("empty middle") << "0||2" << 2 << ""
                                      << "";
        QTest::newRow("blanks at the ends") << "  2|True  " << 2 << "True"
                                            << "True  ";
        QTest::newRow("leading blank kept as is") << " H|J1|J2|J3" << 1 << "H"
                                                  << " H";
        QTest::newRow("no bar") << "17" << 1 << "17"
                                << "17";
    }
    void splitField() {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, trimmed);
        QFETCH(QString, asIs);
        QCOMPARE(Q(SplitField(S(text), n)), trimmed);
        QCOMPARE(Q(SplitFieldAsIs(S(text), n)), asIs);
    }

    void joinFields_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("joined");
        QTest::newRow("four names") << QStringList{"H", "J1", "J2", "J3"} << "H|J1|J2|J3";
        QTest::newRow("one") << QStringList{"x"} << "x";
        QTest::newRow("none") << QStringList{} << "";
        QTest::newRow("empty inside") << QStringList{"0", "", "2"} << "0||2";
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
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("cut");
        const int max = kMaxChatLineChars;
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("short") << "J1: 你好"
                               << "J1: 你好";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("exactly the cap") << QString(max, 'a') << QString(max, 'a');
        QTest::newRow("one over") << QString(max + 1, 'a') << QString(max, 'a');
        QTest::newRow("Chinese counts characters")
            << QString(max + 50, QChar(0x597D)) << QString(max, QChar(0x597D));
        QTest::newRow("a pair that ends the line")
            << QString(max - 1, 'a') + emoji + "b" << QString(max - 1, 'a') + emoji;
        QTest::newRow("a pair just past it") << QString(max, 'a') + emoji << QString(max, 'a');
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
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("wire");
        QTest::newRow("seat") << Q(SeatMessage(2)) << "[Seat]2";
        QTest::newRow("seat 4") << Q(SeatMessage(4)) << "[Seat]4";
        QTest::newRow("joined") << Q(JoinedMessage("玄武")) << "[Joined]玄武";
        QTest::newRow("new name list") << Q(NewNameListMessage()) << "[New Name List]";
        QTest::newRow("people host") << Q(PeopleMessage(-1, "H")) << "[People]-000000001H";
        QTest::newRow("people slot") << Q(PeopleMessage(2, "J2")) << "[People]0000000002J2";
        QTest::newRow("prepare") << Q(PrepareMessage({"H", "J1", "J2", "J3"})) << "[Prepare]H|J1|J2|J3";
        QTest::newRow("chat") << Q(ChatMessage("J1: Hello,every body!")) << "[Message]J1: Hello,every body!";
        QTest::newRow("chat of an empty line") << Q(ChatMessage("J1: ")) << "[Message]J1: ";
        QTest::newRow("throw play") << Q(ThrowMessage(1, "C_05D_05", 1)) << "[Throw]1|C_05D_05|1";
        QTest::newRow("throw pass") << Q(ThrowMessage(0, "C_05D_05", 3)) << "[Throw]0|C_05D_05|3";
        QTest::newRow("turn leads") << Q(TurnMessage(2, true)) << "[Turn]2|True";
        QTest::newRow("turn follows") << Q(TurnMessage(0, false)) << "[Turn]0|False";
        QTest::newRow("snatch") << Q(SnatchMessage(1, 17)) << "[Snatch Card]1|17";
        QTest::newRow("game over") << Q(GameOverMessage(3)) << "[Game Over]3";
        QTest::newRow("disconnected") << Q(DisconnectedMessage(2)) << "[Disconnected]0000000002";
        QTest::newRow("exit") << Q(ExitMessage(3)) << "[Exit]0000000003";
        QTest::newRow("host hello") << Q(HostHelloMessage("00ff", true)) << "[Hello]2|00ff|password";
        QTest::newRow("joiner hello") << Q(JoinerHelloMessage("", "")) << "[Hello]2||";
        QTest::newRow("refused") << Q(RefusedMessage(Refusal2::Full)) << "[Refused]full";
        QTest::newRow("own draw") << Q(DrawMessage(2, testing::SetOf("S_09").First())) << "[Draw]2|S_09";
        QTest::newRow("another's draw") << Q(DrawMessage(1, Card::None())) << "[Draw]1|";
        QTest::newRow("hand") << Q(HandMessage(3, testing::SetOf("H_13D_01"))) << "[Hand]3|D_01H_13";
        QTest::newRow("seats") << Q(SeatsMessage(
                                      {Holder::Person, Holder::OldPerson, Holder::Computer, Holder::Nobody}))
                               << "[Seats]POC-";
        QTest::newRow("table, a bar in the name")
            << Q(TableAdMessage(TableAd{"9f", 11005, 1, false, "Quil|lon"}))
            << "[Table]2|9f|11005|1||Quil/lon";
        QTest::newRow("table, a long name cut between characters")
            << Q(TableAdMessage(TableAd{"9f", 11005, 1, false, QString("朱").repeated(22).toStdString()}))
            << "[Table]2|9f|11005|1||" + QString("朱").repeated(21);
    }
    void builders() {
        QFETCH(QString, built);
        QFETCH(QString, wire);
        QCOMPARE(built, wire);
    }

    void splitMessage_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("body");
        QTest::newRow("plain") << "[Turn]2|True"
                               << "[Turn]"
                               << "2|True";
        QTest::newRow("empty body") << "[New Name List]"
                                    << "[New Name List]"
                                    << "";
        QTest::newRow("bracket in body") << "[Message]a: [x] y"
                                         << "[Message]"
                                         << "a: [x] y";
        QTest::newRow("no bracket") << "hello"
                                    << ""
                                    << "hello";
        QTest::newRow("bracket first") << "]x"
                                       << "]"
                                       << "x";
    }
    void splitMessage() {
        QFETCH(QString, message);
        QFETCH(QString, tag);
        QFETCH(QString, body);
        const std::string m = S(message);
        std::string_view t, b;
        SplitMessage(m, t, b);
        QCOMPARE(Q(std::string(t)), tag);
        QCOMPARE(Q(std::string(b)), body);
    }

    void parseDecimal_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("digit") << "3" << true << 3;
        QTest::newRow("negative") << "-1" << true << -1;
        QTest::newRow("plus") << "+2" << true << 2;
        QTest::newRow("leading zeros") << "0000000002" << true << 2;
        QTest::newRow("padded negative") << "-000000001" << true << -1;
        QTest::newRow("blanks at the ends") << " 7 " << true << 7;
        QTest::newRow("int max") << "2147483647" << true << 2147483647;
        QTest::newRow("past int max") << "2147483648" << false << 0;
        QTest::newRow("huge") << "99999999999999999999" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("blank") << "  " << false << 0;
        QTest::newRow("sign alone") << "-" << false << 0;
        QTest::newRow("fraction") << "1.5" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("digits then letters") << "12a" << false << 0;
        QTest::newRow("blank inside") << "1 2" << false << 0;
        QTest::newRow("two signs") << "--1" << false << 0;
        QTest::newRow("hex") << "0x10" << false << 0;
        QTest::newRow("full-width digit") << "２" << false << 0;
    }
    void parseDecimal() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        auto parsed = ParseDecimal(S(text));
        QCOMPARE(parsed.has_value(), valid);
        if (valid) QCOMPARE(*parsed, value);
    }

    void parseBoolean_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("value");
        QTest::newRow("True") << "True" << true;
        QTest::newRow("true") << "true" << true;
        QTest::newRow("TRUE") << "TRUE" << true;
        QTest::newRow("tRuE") << "tRuE" << true;
        QTest::newRow("False") << "False" << false;
        QTest::newRow("1") << "1" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("truer") << "truer" << false;
        QTest::newRow("Yes") << "Yes" << false;
    }
    void parseBoolean() {
        QFETCH(QString, text);
        QFETCH(bool, value);
        QCOMPARE(ParseBoolean(S(text)), value);
    }

    void parseCardList_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cards");  // -1: refused
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("one") << "S_13" << 1;
        QTest::newRow("two") << "S_13H_03" << 2;
        QTest::newRow("four") << "C_05D_05H_05S_05" << 4;
        QTest::newRow("short piece") << "S_13H_0" << -1;
        QTest::newRow("bad suit") << "X_05" << -1;
        QTest::newRow("number 14") << "C_14" << -1;
        QTest::newRow("number 00") << "C_00" << -1;
        QTest::newRow("no underscore") << "C-05" << -1;
        QTest::newRow("lower case suit") << "c_05" << -1;
        QTest::newRow("same card twice") << "C_05C_05" << -1;
        QTest::newRow("blank padded") << "C_05 " << -1;
    }
    void parseCardList() {
        QFETCH(QString, text);
        QFETCH(int, cards);
        auto parsed = ParseCardList(S(text));
        QCOMPARE(parsed ? parsed->Count() : -1, cards);
    }

    // Bodies as the receiver reads them: malformed ones come back as nothing.
    void parseBodies_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("reading");  // "" for refused
        QTest::newRow("throw play") << "throw"
                                    << "1|C_05D_05|1"
                                    << "1 C_05D_05 1 play";
        QTest::newRow("throw pass") << "throw"
                                    << "0|C_05D_05|3"
                                    << "0 C_05D_05 3 pass";
        QTest::newRow("throw blanks at ends") << "throw"
                                              << "  1|C_05|1 "
                                              << "1 C_05 1 play";
        QTest::newRow("throw empty play") << "throw"
                                          << "2||3"
                                          << "2  3 pass";
        QTest::newRow("throw two fields") << "throw"
                                          << "1|C_05"
                                          << "";
        QTest::newRow("throw seat 4") << "throw"
                                      << "1|C_05|4"
                                      << "";
        QTest::newRow("throw thrower -1") << "throw"
                                          << "-1|C_05|1"
                                          << "";
        QTest::newRow("throw non-number") << "throw"
                                          << "x|C_05|1"
                                          << "";
        QTest::newRow("throw bad card") << "throw"
                                        << "1|C_5|1"
                                        << "";
        QTest::newRow("turn") << "turn"
                              << "2|True"
                              << "2 true";
        QTest::newRow("turn lower case") << "turn"
                                         << "3|false"
                                         << "3 false";
        QTest::newRow("turn missing field") << "turn"
                                            << "2"
                                            << "";
        QTest::newRow("turn seat 9") << "turn"
                                     << "9|True"
                                     << "";
        QTest::newRow("snatch") << "snatch"
                                << "1|26"
                                << "1 26";
        QTest::newRow("snatch negative index") << "snatch"
                                               << "1|-1"
                                               << "";
        QTest::newRow("snatch missing") << "snatch"
                                        << "1"
                                        << "";
        QTest::newRow("snatch seat -1") << "snatch"
                                        << "-1|0"
                                        << "";
        QTest::newRow("people host") << "people"
                                     << "-000000001H"
                                     << "-1 H";
        QTest::newRow("people slot 2") << "people"
                                       << "0000000002J2"
                                       << "2 J2";
        QTest::newRow("people short") << "people"
                                      << "00002J2"
                                      << "";
        QTest::newRow("people garbage") << "people"
                                        << "abcdefghijJ2"
                                        << "";
        QTest::newRow("prepare") << "prepare"
                                 << "H|J1|J2|J3"
                                 << "H J1 J2 J3";
        QTest::newRow("prepare three") << "prepare"
                                       << "H|J1|J2"
                                       << "";
        QTest::newRow("prepare empty name") << "prepare"
                                            << "H||J2|J3"
                                            << "";
    }
    void parseBodies() {
        QFETCH(QString, tag);
        QFETCH(QString, body);
        QFETCH(QString, reading);
        const std::string b = S(body);
        std::string got;
        if (tag == "throw") {
            if (auto m = ParseThrow(b))
                got = std::to_string(m->lastThrower) + " " + m->tablePlay + " " + std::to_string(m->seat) +
                      (m->IsPass() ? " pass" : " play");
        } else if (tag == "turn") {
            if (auto m = ParseTurn(b)) got = std::to_string(m->seat) + (m->mustLead ? " true" : " false");
        } else if (tag == "snatch") {
            if (auto m = ParseSnatch(b)) got = std::to_string(m->seat) + " " + std::to_string(m->drawIndex);
        } else if (tag == "people") {
            if (auto m = ParsePeople(b)) got = std::to_string(m->slot) + " " + m->name;
        } else if (tag == "prepare") {
            if (auto m = ParsePrepare(b)) got = (*m)[0] + " " + (*m)[1] + " " + (*m)[2] + " " + (*m)[3];
        }
        QCOMPARE(Q(got), reading);
    }

    // The second version's bodies: exactly as written, or nothing.
    void parseSecondVersion_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("reading");  // "" for refused
        QTest::newRow("host hello") << "[Hello]h"
                                    << "2|0a9f|password"
                                    << "2 0a9f 1";
        QTest::newRow("host hello, no password") << "[Hello]h"
                                                 << "2|0a9f|"
                                                 << "2 0a9f 0";
        QTest::newRow("host hello, version 1") << "[Hello]h"
                                               << "1|0a9f|"
                                               << "";
        QTest::newRow("host hello, no challenge") << "[Hello]h"
                                                  << "2||"
                                                  << "";
        QTest::newRow("host hello, upper-case hex") << "[Hello]h"
                                                    << "2|0A9F|"
                                                    << "";
        QTest::newRow("host hello, a feature unknown") << "[Hello]h"
                                                       << "2|0a|spectators"
                                                       << "";
        QTest::newRow("joiner hello") << "[Hello]j"
                                      << "2|beef|cafe"
                                      << "2 beef cafe";
        QTest::newRow("joiner hello, padded version") << "[Hello]j"
                                                      << "02||"
                                                      << "";
        QTest::newRow("joiner hello, four fields") << "[Hello]j"
                                                   << "2|||"
                                                   << "";
        QTest::newRow("own draw") << "[Draw]"
                                  << "2|S_09"
                                  << "2 S_09";
        QTest::newRow("another's draw") << "[Draw]"
                                        << "0|"
                                        << "0 ";
        QTest::newRow("draw of two cards") << "[Draw]"
                                           << "2|S_09S_08"
                                           << "";
        QTest::newRow("draw, seat 4") << "[Draw]"
                                      << "4|"
                                      << "";
        QTest::newRow("hand") << "[Hand]"
                              << "3|D_01H_13"
                              << "3 D_01H_13";
        QTest::newRow("hand out of order") << "[Hand]"
                                           << "3|H_13D_01"
                                           << "";
        QTest::newRow("seats") << "[Seats]"
                               << "PC-O"
                               << "PC-O";
        QTest::newRow("seats, a letter unknown") << "[Seats]"
                                                 << "PCXO"
                                                 << "";
        QTest::newRow("refused") << "[Refused]"
                                 << "password"
                                 << "0";
        QTest::newRow("refused, unknown") << "[Refused]"
                                          << "because"
                                          << "";
        QTest::newRow("snapshot") << "[Snapshot]"
                                  << "2|C_05D_06|H_01|H_01|2|1|0|2|0|6,5,2,6|33|0|0,1,0,0|4,0,2,0|0,1,1,0"
                                  << "same";
        QTest::newRow("snapshot, a negative count")
            << "[Snapshot]"
            << "2|C_05D_06|H_01|H_01|2|1|0|2|0|6,5,2,-6|33|0|0,1,0,0|4,0,2,0|0,1,1,0"
            << "";
        QTest::newRow("snapshot, seat 4")
            << "[Snapshot]"
            << "4|C_05D_06|H_01|H_01|2|1|0|2|0|6,5,2,6|33|0|0,1,0,0|4,0,2,0|0,1,1,0"
            << "";
        QTest::newRow("snapshot, short") << "[Snapshot]"
                                         << "2|C_05D_06|H_01|H_01|2|1|0|2|0|6,5,2,6|33|0|0,1,0,0|4,0,2,0"
                                         << "";
        QTest::newRow("table") << "[Table]"
                               << "2|9f|11005|2||Quillon"
                               << "same";
        QTest::newRow("table with a password") << "[Table]"
                                               << "2|9f|80|4|password|朱雀 2"
                                               << "same";
        QTest::newRow("table, version 1") << "[Table]"
                                          << "1|9f|11005|2||Quillon"
                                          << "";
        QTest::newRow("table, no id") << "[Table]"
                                      << "2||11005|2||Quillon"
                                      << "";
        QTest::newRow("table, port 0") << "[Table]"
                                       << "2|9f|0|2||Quillon"
                                       << "";
        QTest::newRow("table, port past 65535") << "[Table]"
                                                << "2|9f|65536|2||Quillon"
                                                << "";
        QTest::newRow("table, padded port") << "[Table]"
                                            << "2|9f|011005|2||Quillon"
                                            << "";
        QTest::newRow("table, nobody seated") << "[Table]"
                                              << "2|9f|11005|0||Quillon"
                                              << "";
        QTest::newRow("table, five seated") << "[Table]"
                                            << "2|9f|11005|5||Quillon"
                                            << "";
        QTest::newRow("table, unnamed") << "[Table]"
                                        << "2|9f|11005|2||"
                                        << "";
        QTest::newRow("table, a bar in the name") << "[Table]"
                                                  << "2|9f|11005|2||Quil|lon"
                                                  << "";
        QTest::newRow("table, a line break in the name") << "[Table]"
                                                         << "2|9f|11005|2||Quil\nlon"
                                                         << "";
    }
    void parseSecondVersion() {
        QFETCH(QString, tag);
        QFETCH(QString, body);
        QFETCH(QString, reading);
        const std::string b = S(body);
        std::string got;
        if (auto m = tag == "[Hello]h" ? ParseHostHello(b) : std::nullopt)
            got = std::to_string(m->version) + " " + m->nonce + " " + (m->password ? "1" : "0");
        if (auto m = tag == "[Hello]j" ? ParseJoinerHello(b) : std::nullopt)
            got = std::to_string(m->version) + " " + m->token + " " + m->proof;
        if (auto m = tag == "[Draw]" ? ParseDraw(b) : std::nullopt)
            got = std::to_string(m->seat) + " " + (m->card.IsNone() ? "" : CardCode(m->card));
        if (auto m = tag == "[Hand]" ? ParseHand(b) : std::nullopt)
            got = std::to_string(m->seat) + " " + Codes(m->cards);
        if (auto m = tag == "[Seats]" ? ParseSeats(b) : std::nullopt) got = SeatsMessage(*m).substr(7);
        if (auto m = tag == "[Refused]" ? ParseRefused(b) : std::nullopt) got = std::to_string(int(*m));
        if (auto m = tag == "[Snapshot]" ? ParseSnapshot(b) : std::nullopt)
            got = SnapshotMessage(*m) == "[Snapshot]" + b ? "same" : SnapshotMessage(*m);
        if (auto m = tag == "[Table]" ? ParseTableAd("[Table]" + b) : std::nullopt)
            got = TableAdMessage(*m) == "[Table]" + b ? "same" : TableAdMessage(*m);
        QCOMPARE(Q(got), reading);
    }
};

VORN_TEST(ProtocolTest)

}  // namespace vorn::test

#include "protocol_test.moc"
