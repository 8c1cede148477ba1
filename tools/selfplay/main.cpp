// vorn-selfplay: seeded games of four computer seats with every move checked,
// a checksum that fingerprints the rules and the computer player, and the game
// record (--log) with its replay (--replay).

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "cards/options.h"
#include "tools/selfplay/selfplay.h"

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage: vorn-selfplay --games N --seed S [--level high|medium|low|expert]\n"
        "                     [--seat-levels A,B,C,D (each a level or oracle)] [--expert-playouts N]\n"
        "                     [--expert-tree-visits N (0: no tree)]\n"
        "                     [--oracle-when always|early|late (the stock lasting or empty)]\n"
        "                     [--tables N [--sequential]] [--log FILE]\n"
        "                     [--rotate-leaders] [--outcomes FILE] [--pair-with FILE]\n"
        "       vorn-selfplay --replay FILE\n");
    return 2;
}

// The files named on the command line.
struct Paths {
    std::string log, replay, outcomes, pairWith;
};

bool ParseLevel(const std::string& text, int& level, bool oracle = false) {
    if (oracle && text == "oracle") {
        level = vorn::selfplay::kOracleLevel;
        return true;
    }
    level = vorn::LevelItemOfName(text);
    if (level < 0 && text.size() == 1 && text[0] >= '0' && text[0] < char('0' + vorn::kLevelItems))
        level = text[0] - '0';
    return level >= 0;
}

// The levels of the four seats, comma-separated.
bool ParseSeatLevels(const std::string& value, vorn::selfplay::Config& config) {
    size_t from = 0;
    for (int seat = 0; seat < 4; ++seat) {
        const size_t comma = value.find(',', from);
        if ((seat < 3) != (comma != std::string::npos)) return false;
        if (!ParseLevel(value.substr(from, comma - from), config.seatLevels[seat], true)) return false;
        from = comma + 1;
    }
    return true;
}

bool ParseOracleWhen(const std::string& value, vorn::selfplay::Config& config) {
    using When = vorn::selfplay::Config::OracleWhen;
    if (value == "always")
        config.oracleWhen = When::Always;
    else if (value == "early")
        config.oracleWhen = When::Early;
    else if (value == "late")
        config.oracleWhen = When::Late;
    else
        return false;
    return true;
}

// One option that takes a value; false on a bad one. Numbers that do not
// read throw.
bool ParseOption(const std::string& arg, const std::string& value, vorn::selfplay::Config& config,
                 Paths& paths) {
    if (arg == "--games")
        config.games = std::stoi(value);
    else if (arg == "--seed")
        config.seed = std::stoull(value);
    else if (arg == "--level")
        return ParseLevel(value, config.level);
    else if (arg == "--seat-levels")
        return ParseSeatLevels(value, config);
    else if (arg == "--oracle-when")
        return ParseOracleWhen(value, config);
    else if (arg == "--expert-playouts")
        config.expertPlayouts = std::stoi(value);
    else if (arg == "--expert-tree-visits")
        config.expertTreeVisits = std::stoi(value);
    else if (arg == "--tables")
        config.tables = std::stoi(value);
    else if (arg == "--log")
        paths.log = value;
    else if (arg == "--replay")
        paths.replay = value;
    else if (arg == "--outcomes")
        paths.outcomes = value;
    else if (arg == "--pair-with")
        paths.pairWith = value;
    else
        return false;
    return true;
}

// The command line into config and the paths; false on a bad one.
bool ParseArgs(int argc, char** argv, vorn::selfplay::Config& config, Paths& paths) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sequential") {
            config.sequential = true;
            continue;
        }
        if (arg == "--rotate-leaders") {
            config.rotateLeaders = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        try {
            if (!ParseOption(arg, argv[++i], config, paths)) return false;
        } catch (...) {
            return false;
        }
    }
    // A record is written of one table's games only, and replays only games
    // that the last winner led.
    if (config.tables < 0 || (config.tables > 0 && !paths.log.empty())) return false;
    if (config.rotateLeaders && !paths.log.empty()) return false;
    return !config.sequential || config.tables > 0;
}

int RunReplay(const std::string& replayPath) {
    std::ifstream in(replayPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", replayPath.c_str());
        return 1;
    }
    const auto result = vorn::selfplay::Replay(in);
    if (!result.ok) {
        std::fprintf(stderr, "replay failed: %s\n", result.error.c_str());
        return 1;
    }
    std::printf("replay ok %d\n", result.games);
    return 0;
}

void PrintSummary(const vorn::selfplay::Config& config, const vorn::selfplay::Result& result,
                  double seconds) {
    const double games = result.games > 0 ? result.games : 1;
    std::printf("games %d\nseed %llu\nlevel %d\n", result.games, static_cast<unsigned long long>(config.seed),
                config.level);
    std::printf("seconds %.3f\ngames_per_second %.0f\n", seconds, seconds > 0 ? result.games / seconds : 0.0);
    std::printf("moves_per_game %.2f\nplays_per_game %.2f\ndraws_per_game %.2f\n", result.moves / games,
                result.plays / games, result.draws / games);
    static const char* const kLevelNames[5] = {"high", "medium", "low", "expert", "oracle"};
    for (int seat = 0; seat < 4; ++seat) {
        const int level = config.seatLevels[seat] >= 0 ? config.seatLevels[seat] : config.level;
        std::printf("seat %d wins %d lost %d\n", seat, result.wins[seat], result.lost[seat]);
        std::printf("seat %d level %s win_share %.3f lost_per_game %.3f\n", seat, kLevelNames[level],
                    result.wins[seat] / games, result.lost[seat] / games);
    }
    if (!result.expertMs.empty()) {
        std::vector<double> ms = result.expertMs;
        std::sort(ms.begin(), ms.end());
        std::printf("expert_decisions %zu\nexpert_ms_median %.2f\nexpert_ms_max %.2f\n", ms.size(),
                    ms[ms.size() / 2], ms.back());
        // Most decisions offer one move only; the searched ones apart.
        std::vector<double> searched = result.searchedMs;
        std::sort(searched.begin(), searched.end());
        if (!searched.empty())
            std::printf("expert_searched_decisions %zu\nexpert_searched_ms_median %.2f\n", searched.size(),
                        searched[searched.size() / 2]);
    }
    std::printf("checksum %016llx\n", static_cast<unsigned long long>(result.checksum));
}

// One line a game: the winner, then the points each seat lost in it.
bool WriteOutcomes(const std::string& path, const std::vector<vorn::selfplay::GameOutcome>& outcomes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& game : outcomes)
        out << game.winner << ' ' << game.lost[0] << ' ' << game.lost[1] << ' ' << game.lost[2] << ' '
            << game.lost[3] << '\n';
    return bool(out);
}

bool ReadOutcomes(const std::string& path, std::vector<vorn::selfplay::GameOutcome>& outcomes) {
    std::ifstream in(path, std::ios::binary);
    vorn::selfplay::GameOutcome game;
    while (in >> game.winner >> game.lost[0] >> game.lost[1] >> game.lost[2] >> game.lost[3])
        outcomes.push_back(game);
    return in.eof() && !outcomes.empty();
}

// The mean of xs and its standard error.
std::pair<double, double> MeanAndError(const std::vector<double>& xs) {
    const double n = double(xs.size());
    double sum = 0, squares = 0;
    for (const double x : xs) sum += x;
    const double mean = sum / n;
    for (const double x : xs) squares += (x - mean) * (x - mean);
    return {mean, xs.size() > 1 ? std::sqrt(squares / (n - 1) / n) : 0.0};
}

// This run less the other, game by game: two runs of one seed with rotating
// leaders deal the same hands, so the differences are less noisy than the
// two runs' figures apart (about half as many games for the same certainty).
void PrintPairs(const std::vector<vorn::selfplay::GameOutcome>& mine,
                const std::vector<vorn::selfplay::GameOutcome>& other) {
    const size_t n = std::min(mine.size(), other.size());
    size_t alike = 0;
    for (size_t g = 0; g < n; ++g)
        if (mine[g].winner == other[g].winner && mine[g].lost == other[g].lost) ++alike;
    std::printf("paired_games %zu\npaired_alike %zu\n", n, alike);
    if (n == 0) return;  // no games to tell apart
    for (int seat = 0; seat < 4; ++seat) {
        std::vector<double> won(n), lost(n);
        for (size_t g = 0; g < n; ++g) {
            won[g] = (mine[g].winner == seat) - (other[g].winner == seat);
            lost[g] = mine[g].lost[size_t(seat)] - other[g].lost[size_t(seat)];
        }
        const auto [w, we] = MeanAndError(won);
        const auto [l, le] = MeanAndError(lost);
        std::printf("seat %d paired win_share %+.4f +- %.4f lost_per_game %+.3f +- %.3f\n", seat, w, we, l,
                    le);
    }
}

}  // namespace

int main(int argc, char** argv) {
    vorn::selfplay::Config config;
    Paths paths;
    if (!ParseArgs(argc, argv, config, paths)) return Usage();
    if (!paths.replay.empty()) return RunReplay(paths.replay);
    std::vector<vorn::selfplay::GameOutcome> other;
    if (!paths.pairWith.empty() && !ReadOutcomes(paths.pairWith, other)) {
        std::fprintf(stderr, "cannot read the outcomes in %s\n", paths.pairWith.c_str());
        return 1;
    }

    std::ofstream log;
    vorn::selfplay::Sink sink;
    if (!paths.log.empty()) {
        log.open(paths.log, std::ios::binary | std::ios::trunc);
        if (!log) {
            std::fprintf(stderr, "cannot write %s\n", paths.log.c_str());
            return 1;
        }
        sink = [&log](const std::string& line) {
            log << line << '\n';
            return bool(log);
        };
    }

    const auto start = std::chrono::steady_clock::now();
    const auto result = vorn::selfplay::Run(config, sink);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (log.is_open()) log.close();
    if (!result.ok) {
        std::fprintf(stderr, "violation: %s\n",
                     result.error.empty() ? "could not write the log" : result.error.c_str());
        return 1;
    }
    PrintSummary(config, result, seconds);
    if (!other.empty()) PrintPairs(result.outcomes, other);
    if (!paths.outcomes.empty() && !WriteOutcomes(paths.outcomes, result.outcomes)) {
        std::fprintf(stderr, "cannot write %s\n", paths.outcomes.c_str());
        return 1;
    }
    return 0;
}
