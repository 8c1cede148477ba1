// The game record: written, read back, replayed, and rejected at the first
// line that was changed.

#include <QObject>
#include <QTest>

#include <array>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tools/selfplay/record.h"
#include "tools/selfplay/selfplay.h"

namespace vorn::record {

namespace {

std::vector<std::string> Record(const selfplay::Config& config, selfplay::Result* result = nullptr) {
    std::vector<std::string> lines;
    auto r = selfplay::Run(config, [&](const std::string& line) {
        lines.push_back(line);
        return true;
    });
    if (result) *result = r;
    return lines;
}

selfplay::Result ReplayLines(const std::vector<std::string>& lines) {
    std::stringstream in;
    for (const auto& line : lines) in << line << '\n';
    return selfplay::Replay(in);
}

std::string Write(const Object& object) {
    std::string text = "{";
    for (size_t i = 0; i < object.size(); ++i) {
        if (i) text += ", ";
        text += "\"" + object[i].first + "\": " + ToText(object[i].second);
    }
    return text + "}";
}

Object Parse(const std::string& line) {
    Object object;
    std::string error;
    if (!ParseLine(line, object, error)) qFatal("unreadable record line: %s", error.c_str());
    return object;
}

// The index of the n-th line (from 0) whose event is ev and which satisfies ok.
int Nth(const std::vector<std::string>& lines, const std::string& ev, int n,
        const std::function<bool(const Object&)>& ok = {}) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const Object object = Parse(lines[i]);
        if (Find(object, "ev")->text == ev && (!ok || ok(object)) && n-- == 0) return int(i);
    }
    return -1;
}

// Lines whose array field key has items.
std::function<bool(const Object&)> NonEmpty(const char* key) {
    return [key](const Object& o) { return !Find(o, key)->items.empty(); };
}

Value* Field(Object& object, const std::string& key) {
    for (auto& [name, value] : object)
        if (name == key) return &value;
    return nullptr;
}

}  // namespace

class RecordTest : public QObject {
    Q_OBJECT

  private slots:
    void recordReplaysClean_data() {
        QTest::addColumn<quint64>("seed");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("games");
        QTest::newRow("medium") << quint64(1) << 1 << 6;
        QTest::newRow("high") << quint64(99) << 0 << 4;
        QTest::newRow("low") << quint64(12345678901234ull) << 2 << 4;
    }

    void recordReplaysClean() {
        QFETCH(quint64, seed);
        QFETCH(int, level);
        QFETCH(int, games);
        const selfplay::Config config{games, seed, level};
        selfplay::Result logged;
        const auto lines = Record(config, &logged);
        QVERIFY(logged.ok);
        const selfplay::Result plain = selfplay::Run(config);
        QVERIFY(plain.ok);
        // Writing the record draws nothing and changes nothing.
        QCOMPARE(logged.checksum, plain.checksum);
        QCOMPARE(logged.wins, plain.wins);
        QCOMPARE(logged.lost, plain.lost);

        QCOMPARE(Nth(lines, "game", games - 1) >= 0, true);
        QCOMPARE(Nth(lines, "game", games), -1);
        QCOMPARE(Nth(lines, "won", games - 1), int(lines.size()) - 1);
        QCOMPARE(long(Nth(lines, "move", int(logged.moves) - 1)) >= 0, true);
        QCOMPARE(Nth(lines, "move", int(logged.moves)), -1);
        const Object first = Parse(lines[0]);
        QCOMPARE(Find(first, "level")->text, std::to_string(level));
        QCOMPARE(Find(first, "seed")->text, std::to_string(selfplay::GameSeed(seed, 1)));
        // The deal follows each game line: 25 cards, the leader first.
        for (int k = 1; k <= 25; ++k) QCOMPARE(Find(Parse(lines[k]), "ev")->text, std::string("draw"));
        QCOMPARE(Find(Parse(lines[25]), "stock")->text, std::string("27"));

        const selfplay::Result replayed = ReplayLines(lines);
        QVERIFY2(replayed.ok, replayed.error.c_str());
        QCOMPARE(replayed.games, games);
        QCOMPARE(replayed.checksum, plain.checksum);
    }

    void sameSeedSameGames() {
        const auto a = selfplay::Run({30, 5, 1});
        const auto b = selfplay::Run({30, 5, 1});
        const auto c = selfplay::Run({30, 6, 1});
        QCOMPARE(a.checksum, b.checksum);
        QVERIFY(a.checksum != c.checksum);
        int won = 0;
        for (int w : a.wins) won += w;
        QCOMPARE(won, 30);

        // Tables played a move at a time in turn play the games they would alone.
        selfplay::Config tables{30, 5, 1};
        tables.tables = 7;
        const auto interleaved = selfplay::Run(tables);
        tables.sequential = true;
        const auto sequential = selfplay::Run(tables);
        QVERIFY2(interleaved.ok, interleaved.error.c_str());
        QCOMPARE(interleaved.games, 30);
        QCOMPARE(interleaved.checksum, sequential.checksum);
        QCOMPARE(interleaved.wins, sequential.wins);
        QVERIFY(interleaved.checksum != a.checksum);
    }

    // Rotating leaders: game g is led by seat (g - 1) mod 4 and deals the same
    // hands whatever the seats play, so two runs pair game for game.
    void rotatingLeadersDealAlike() {
        constexpr int kGames = 12;
        selfplay::Config high{kGames, 5, 0}, low{kGames, 5, 2};
        high.rotateLeaders = low.rotateLeaders = true;
        selfplay::Result a, b;
        const auto linesA = Record(high, &a), linesB = Record(low, &b);
        QVERIFY(a.ok && b.ok);
        QVERIFY(a.checksum != b.checksum);
        QCOMPARE(int(a.outcomes.size()), kGames);
        std::array<int, 4> lost{};
        for (int g = 0; g < kGames; ++g) {
            const int at = Nth(linesA, "game", g), bt = Nth(linesB, "game", g);
            QCOMPARE(Find(Parse(linesA[size_t(at)]), "leader")->text, std::to_string(g % 4));
            for (int k = 1; k <= 25; ++k) QCOMPARE(linesA[size_t(at + k)], linesB[size_t(bt + k)]);
            const selfplay::GameOutcome& game = a.outcomes[size_t(g)];
            QCOMPARE(game.lost[size_t(game.winner)], 0);
            for (int seat = 0; seat < 4; ++seat) lost[size_t(seat)] += game.lost[size_t(seat)];
        }
        QCOMPARE(lost, a.lost);
    }

    // One line of a good record changed: the replay names that line.
    void alteredRecord_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("field");  // the field the message names, empty: any
        QTest::newRow("a chosen card") << "chosen"
                                       << "chosen";
        QTest::newRow("a pass made a play") << "pass-chosen"
                                            << "chosen";
        QTest::newRow("a computer draw") << "draws"
                                         << "draws";
        QTest::newRow("a dealt card") << "card"
                                      << "card";
        QTest::newRow("a stock index") << "index"
                                       << "index";
        QTest::newRow("the play on the table") << "table"
                                               << "table";
        QTest::newRow("a hand") << "hand"
                                << "hand";
        QTest::newRow("the winner") << "winner"
                                    << "winner";
        QTest::newRow("the lost points") << "lost"
                                         << "lost";
        QTest::newRow("the next leader") << "leader"
                                         << "leader";
        QTest::newRow("a move left out") << "drop"
                                         << "";
        QTest::newRow("a line too many") << "extra"
                                         << "";
    }

    void alteredRecord() {
        QFETCH(QString, change);
        QFETCH(QString, field);
        auto lines = Record({3, 21, 1});
        QVERIFY(!lines.empty());
        int at = -1;
        if (change == "chosen" || change == "hand") at = Nth(lines, "move", 12, NonEmpty("chosen"));
        if (change == "pass-chosen")
            at = Nth(lines, "move", 3, [](const Object& o) { return Find(o, "chosen")->items.empty(); });
        if (change == "draws") at = Nth(lines, "move", 5, NonEmpty("draws"));
        if (change == "card" || change == "index") at = Nth(lines, "draw", 30);
        if (change == "table")
            at = Nth(lines, "move", 20,
                     [](const Object& o) { return !Find(o, "lead")->text.starts_with("t"); });
        if (change == "winner" || change == "lost") at = Nth(lines, "won", 0);
        if (change == "leader") at = Nth(lines, "game", 1);
        if (change == "drop") at = Nth(lines, "move", 40);
        if (change == "extra") at = int(lines.size());
        QVERIFY(at >= 0);

        if (change == "drop") {
            lines.erase(lines.begin() + at);
        } else if (change == "extra") {
            lines.push_back(lines.back());
        } else {
            Object object = Parse(lines[at]);
            const std::string key = change == "pass-chosen" ? "chosen" : change.toStdString();
            Value* value = Field(object, key);
            QVERIFY(value);
            if (change == "chosen") value->items[0].text = value->items[0].text == "C_01" ? "C_02" : "C_01";
            if (change == "pass-chosen") value->items.push_back({Value::Kind::String, "S_13", {}});
            if (change == "hand") value->items.pop_back();
            if (change == "draws")
                value->items[0].text = value->items[0].text == "0.500000000" ? "0.5" : "0.500000000";
            if (change == "card") value->text = value->text == "S_13" ? "S_12" : "S_13";
            if (change == "index" || change == "winner" || change == "leader")
                value->text = std::to_string((std::stoi(value->text) + 1) % 4);
            if (change == "table") value->text += "H_09";
            if (change == "lost") value->items[1].text = std::to_string(std::stoi(value->items[1].text) + 1);
            lines[at] = Write(object);
        }
        const selfplay::Result result = ReplayLines(lines);
        QVERIFY(!result.ok);
        const std::string where = "line " + std::to_string(at + 1);
        QVERIFY2(result.error.starts_with(where), result.error.c_str());
        if (!field.isEmpty())
            QVERIFY2(result.error.find("\"" + field.toStdString() + "\"") != std::string::npos,
                     result.error.c_str());
    }

    void parse_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("same");  // empty: the line must be refused
        const QString base =
            "{\"ev\":\"won\",\"winner\":2,\"lost\":[4,1,0,5],\"ok\":true,\"who\":\"a\\\"b\"}";
        QTest::newRow("as written") << base << base;
        QTest::newRow("spaces")
            << " { \"ev\" : \"won\" , \"winner\":2, \"lost\":[ 4, 1,0 ,5 ],\"ok\":true,\"who\":\"a\\\"b\"} "
            << base;
        QTest::newRow("other order")
            << "{\"winner\":2,\"ok\":true,\"ev\":\"won\",\"who\":\"a\\\"b\",\"lost\":[4,1,0,5]}" << base;
        QTest::newRow("unterminated") << "{\"ev\":\"won\""
                                      << "";
        QTest::newRow("nested object") << "{\"ev\":{\"a\":1}}"
                                       << "";
        QTest::newRow("nested array") << "{\"a\":[1,[2]]}"
                                      << "";
        QTest::newRow("text after") << "{\"a\":1} x"
                                    << "";
        QTest::newRow("bare word") << "{\"a\":yes}"
                                   << "";
        QTest::newRow("missing comma") << "{\"a\":1 \"b\":2}"
                                       << "";
    }

    void parse() {
        QFETCH(QString, line);
        QFETCH(QString, same);
        Object object;
        std::string error;
        const bool read = ParseLine(line.toStdString(), object, error);
        if (same.isEmpty()) {
            QVERIFY(!read);
            QVERIFY(!error.empty());
            return;
        }
        QVERIFY2(read, error.c_str());
        QCOMPARE(FirstDifference(Parse(same.toStdString()), object), std::string());
        QCOMPARE(Find(object, "who")->text, std::string("a\"b"));
        QCOMPARE(Find(object, "lost")->items.size(), size_t(4));
    }

    void drawText_data() {
        QTest::addColumn<double>("draw");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0.000000000";
        QTest::newRow("half") << 0.5 << "0.500000000";
        QTest::newRow("long") << 0.123456789987 << "0.123456789";
        QTest::newRow("just below one") << 0.99999999999 << "0.999999999";
    }

    void drawText() {
        QFETCH(double, draw);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(DrawText(draw)), text);
    }
};

}  // namespace vorn::record

QTEST_APPLESS_MAIN(vorn::record::RecordTest)
#include "record_test.moc"
