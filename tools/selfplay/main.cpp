// vorn-selfplay: seeded games of four computer seats with every move checked,
// a checksum that fingerprints the rules and the computer player, and the game
// record (--log) with its replay (--replay).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/selfplay/selfplay.h"

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage: vorn-selfplay --games N --seed S [--level high|medium|low|expert]\n"
        "                     [--seat-levels A,B,C,D (each a level or oracle)] [--expert-playouts N]\n"
        "                     [--oracle-when always|early|late (the stock lasting or empty)]\n"
        "                     [--tables N [--sequential]] [--log FILE]\n"
        "       vorn-selfplay --replay FILE\n");
    return 2;
}

bool ParseLevel(const std::string& text, int& level, bool oracle = false) {
    if (oracle && text == "oracle")
        level = vorn::selfplay::kOracleLevel;
    else if (text == "high" || text == "0")
        level = 0;
    else if (text == "medium" || text == "1")
        level = 1;
    else if (text == "low" || text == "2")
        level = 2;
    else if (text == "expert" || text == "3")
        level = 3;
    else
        return false;
    return true;
}

// The command line into config and the two paths; false on a bad one.
bool ParseArgs(int argc, char** argv, vorn::selfplay::Config& config, std::string& logPath,
               std::string& replayPath) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sequential") {
            config.sequential = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const std::string value = argv[++i];
        try {
            if (arg == "--games")
                config.games = std::stoi(value);
            else if (arg == "--seed")
                config.seed = std::stoull(value);
            else if (arg == "--level") {
                if (!ParseLevel(value, config.level)) return false;
            } else if (arg == "--seat-levels") {
                size_t from = 0;
                for (int seat = 0; seat < 4; ++seat) {
                    const size_t comma = value.find(',', from);
                    if ((seat < 3) != (comma != std::string::npos)) return false;
                    if (!ParseLevel(value.substr(from, comma - from), config.seatLevels[seat], true))
                        return false;
                    from = comma + 1;
                }
            } else if (arg == "--oracle-when") {
                using When = vorn::selfplay::Config::OracleWhen;
                if (value == "always")
                    config.oracleWhen = When::Always;
                else if (value == "early")
                    config.oracleWhen = When::Early;
                else if (value == "late")
                    config.oracleWhen = When::Late;
                else
                    return false;
            } else if (arg == "--expert-playouts")
                config.expertPlayouts = std::stoi(value);
            else if (arg == "--tables")
                config.tables = std::stoi(value);
            else if (arg == "--log")
                logPath = value;
            else if (arg == "--replay")
                replayPath = value;
            else
                return false;
        } catch (...) {
            return false;
        }
    }
    // A record is written of one table's games only.
    if (config.tables < 0 || (config.tables > 0 && !logPath.empty())) return false;
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

}  // namespace

int main(int argc, char** argv) {
    vorn::selfplay::Config config;
    std::string logPath, replayPath;
    if (!ParseArgs(argc, argv, config, logPath, replayPath)) return Usage();
    if (!replayPath.empty()) return RunReplay(replayPath);

    std::ofstream log;
    vorn::selfplay::Sink sink;
    if (!logPath.empty()) {
        log.open(logPath, std::ios::binary | std::ios::trunc);
        if (!log) {
            std::fprintf(stderr, "cannot write %s\n", logPath.c_str());
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
    return 0;
}
