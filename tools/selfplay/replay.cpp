#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "cards/card.h"
#include "tools/selfplay/record.h"
#include "tools/selfplay/selfplay.h"

// Replaying a record: the games are played again from the record's seeds and
// every event is compared with the record's line for it.
namespace vorn::selfplay {

namespace {

// A record read back: its lines, the line number each stood on, each game's
// seed and the levels of the run.
struct Recorded {
    std::vector<record::Object> lines;
    std::vector<int> lineNumbers;
    std::vector<std::uint64_t> seeds;
    int level = -1;
    std::array<int, 4> levels{-1, -1, -1, -1};
};

// A game line: its seed and, from the first game, the levels. The error, or empty.
std::string ReadGameLine(const record::Object& object, int number, Recorded& rec) {
    const record::Value* seed = record::Find(object, "seed");
    const record::Value* lv = record::Find(object, "level");
    if (!seed || !lv || seed->kind != record::Value::Kind::Number || lv->kind != record::Value::Kind::Number)
        return "line " + std::to_string(number) + ": a game without a seed or level";
    try {
        rec.seeds.push_back(std::stoull(seed->text));
        if (rec.level < 0) {
            rec.level = std::stoi(lv->text);
            if (const record::Value* each = record::Find(object, "levels")) {
                if (each->kind != record::Value::Kind::Array || each->items.size() != 4)
                    throw std::invalid_argument("levels");
                for (int seat = 0; seat < 4; ++seat) rec.levels[seat] = std::stoi(each->items[seat].text);
            }
        }
    } catch (...) {
        return "line " + std::to_string(number) + ": seed or level is not a number";
    }
    return {};
}

// Reads every line of the record. The error, or empty.
std::string ReadRecord(std::istream& in, Recorded& rec) {
    std::string text, error;
    for (int number = 1; std::getline(in, text); ++number) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text.empty()) continue;
        record::Object object;
        if (!record::ParseLine(text, object, error)) return "line " + std::to_string(number) + ": " + error;
        const record::Value* ev = record::Find(object, "ev");
        if (ev && ev->text == "game") {
            error = ReadGameLine(object, number, rec);
            if (!error.empty()) return error;
        }
        rec.lines.push_back(std::move(object));
        rec.lineNumbers.push_back(number);
    }
    if (rec.seeds.empty()) return "the record holds no game";
    return {};
}

// The cards the record's line chose, for an expert seat's move.
CardSet RecordedChoice(const Recorded& rec, size_t next) {
    CardSet chosen;
    if (next >= rec.lines.size()) return chosen;
    const record::Value* cards = record::Find(rec.lines[next], "chosen");
    if (!cards || cards->kind != record::Value::Kind::Array) return chosen;
    for (const record::Value& code : cards->items) {
        CardSet one;
        if (ParseCodes(code.text, one)) chosen |= one;
    }
    return chosen;
}

}  // namespace

Result Replay(std::istream& in) {
    Recorded rec;
    const std::string error = ReadRecord(in, rec);
    if (!error.empty()) {
        Result failed;
        failed.ok = false;
        failed.error = error;
        return failed;
    }
    const std::vector<record::Object>& lines = rec.lines;
    size_t next = 0;
    std::string difference;
    const Sink compare = [&](const std::string& produced) {
        if (next >= lines.size()) {
            difference = "the replay goes on past the record's last line: " + produced;
            return false;
        }
        record::Object actual;
        std::string parseError;
        record::ParseLine(produced, actual, parseError);
        const record::Value* ev = record::Find(lines[next], "ev");
        const std::string diff = record::FirstDifference(lines[next], actual);
        if (!diff.empty()) {
            difference = "line " + std::to_string(rec.lineNumbers[next]) + " (" + (ev ? ev->text : "?") +
                         " event) differs: " + diff;
            return false;
        }
        ++next;
        return true;
    };
    const SeedOf seedOf = [&](int game) { return rec.seeds[size_t(game - 1)]; };
    Config config;
    config.games = int(rec.seeds.size());
    config.level = rec.level;
    config.seatLevels = rec.levels;
    // The search is not run again: an expert seat's move is the record's, and
    // the checks of every move and the comparison of the events that follow
    // still hold it to the rules.
    config.expertMove = [&](const GameState&, int) { return RecordedChoice(rec, next); };
    Result result = Run(config, compare, seedOf);
    if (!difference.empty()) {
        result.ok = false;
        result.error = difference;
    } else if (result.ok && next < lines.size()) {
        result.ok = false;
        result.error =
            "line " + std::to_string(rec.lineNumbers[next]) + ": the record goes on after the replay ends";
    }
    return result;
}

}  // namespace vorn::selfplay
