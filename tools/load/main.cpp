// vorn-load: many tables of the dedicated server played at once over
// 127.0.0.1, and what they cost it.
//
// It starts vorn-server (--server PATH) or uses one that listens already
// (--port P), opens the links of N tables' joiners in this one process and
// plays them at a computer's pace on the first version of the wire (a fourth
// joiner a table on the second, in the server's own seat). Each
// second it prints a line; at the end it reports the games completed, the
// moves, the move latency (from a joiner's "[Throw]" until every other joiner
// of its table has had it relayed), the server's CPU time per move and its
// resident memory per table beyond the empty server. The joiners think as
// long as the server's computer players take over a move, 500 ms.
//
// With --slow-links N it attacks instead: N links that each send a byte a
// second (tools/load/slowlinks.h), and a person who must get a game meanwhile;
// the server's tables are capped at --tables and its other limits are its own.
//
//   vorn-load (--server PATH | --port P) [--tables N] [--joiners-per-table 1..4]
//             [--think-ms T] [--move-ms M] [--bots-after S] [--seconds S]
//             [--server-cpu K] [--server-log FILE] [--min-games G] [--slow-links N]

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/load/loadrun.h"
#include "tools/load/process.h"
#include "tools/load/slowlinks.h"

namespace {

using namespace vorn::load;

struct Choices {
    LoadChoices run;
    std::string server;  // the program to start, or empty
    int moveMs = 500;
    int slowLinks = 0;
    int botsAfter = -1;  // -1: at once below three joiners a table, else a minute
    int serverCpu = -1;
    std::string serverLog = "/dev/null";
};

void Usage() {
    std::fprintf(stderr,
                 "usage: vorn-load (--server PATH | --port P) [--tables N] [--joiners-per-table 1..4]\n"
                 "                 [--think-ms T] [--move-ms M] [--bots-after S] [--seconds S]\n"
                 "                 [--server-cpu K] [--server-log FILE] [--min-games G] [--slow-links N]\n"
                 "The joiners think --think-ms (500) and the server's computer players --move-ms (500).\n"
                 "Joiners speak the first version of the wire; a fourth a table speaks the second and\n"
                 "takes the server's own seat once every table has its first three.\n"
                 "--slow-links N: N links from 127.0.0.2 on, each sending a byte a second, and a person\n"
                 "who must be seated and dealt within 10 s; --tables caps the server's tables.\n");
}

bool Parse(int argc, char** argv, Choices& c) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) return false;
        const std::string value = argv[++i];
        const int number = std::atoi(value.c_str());
        if (name == "--server")
            c.server = value;
        else if (name == "--port")
            c.run.port = number;
        else if (name == "--tables")
            c.run.tables = number;
        else if (name == "--joiners-per-table")
            c.run.joinersPerTable = number;
        else if (name == "--think-ms")
            c.run.thinkMs = number;
        else if (name == "--move-ms")
            c.moveMs = number;
        else if (name == "--bots-after")
            c.botsAfter = number;
        else if (name == "--seconds")
            c.run.seconds = std::atof(value.c_str());
        else if (name == "--server-cpu")
            c.serverCpu = number;
        else if (name == "--server-log")
            c.serverLog = value;
        else if (name == "--min-games")
            c.run.minGames = number;
        else if (name == "--slow-links")
            c.slowLinks = number;
        else
            return false;
    }
    const LoadChoices& r = c.run;
    return (c.server.empty() != (r.port == 0)) && r.tables >= 1 && r.joinersPerTable >= 1 &&
           r.joinersPerTable <= 4 && r.thinkMs >= 0 && c.moveMs >= 1 && r.seconds > 0 && c.slowLinks >= 0;
}

// The server's own settings where it reads a file: room for every link of
// the run from this one address, and no deadline that a slow start could meet.
std::string WriteConfig(const Choices& c, int links) {
    char path[] = "/tmp/vorn-load-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return {};
    close(fd);
    std::ofstream out(path);
    out << "[Server]\nLinksPerAddress=" << links + 16
        << "\nHelloSeconds=600\nIdleSeconds=3600\nTables=" << c.run.tables + 16 << "\n";
    return path;
}

// Starts the server on a free port and waits until it listens; its process, or -1.
pid_t StartServer(Choices& c, std::string& config) {
    c.run.port = FreePort();
    const int links = c.run.tables * c.run.joinersPerTable;
    const bool attack = c.slowLinks > 0;
    const int botsAfter = c.botsAfter >= 0 ? c.botsAfter : c.run.joinersPerTable < 3 || attack ? 0 : 60;
    std::vector<std::string> arguments{"--port",       std::to_string(c.run.port),
                                       "--bots-after", std::to_string(botsAfter),
                                       "--move-ms",    std::to_string(c.moveMs),
                                       "--tables",     std::to_string(c.run.tables + (attack ? 0 : 16))};
    if (!attack && KnowsOption(c.server, "--config")) {
        config = WriteConfig(c, links);
        if (!config.empty()) arguments.insert(arguments.end(), {"--config", config});
    }
    const pid_t pid = Spawn(c.server, arguments, c.serverLog, c.serverCpu);
    if (pid < 0) return -1;
    for (int i = 0; i < 500; ++i) {
        if (Listening(c.run.port)) {
            // A moment for it to settle before its empty memory is read.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            return pid;
        }
        if (!Running(pid)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::fprintf(stderr, "vorn-load: the server did not listen on port %d\n", c.run.port);
    Stop(pid);
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    Choices c;
    if (!Parse(argc, argv, c)) {
        Usage();
        return 2;
    }
    // Every link is a file here and another one in the server, which inherits the limit.
    RaiseFileLimit(long(c.run.tables) * c.run.joinersPerTable * 2 + 256);
    std::string config;
    pid_t pid = -1;
    if (!c.server.empty()) {
        pid = StartServer(c, config);
        if (pid < 0) return 1;
        c.run.server = pid;
    }
    bool ok = false;
    if (c.slowLinks > 0) {
        RaiseFileLimit(long(c.slowLinks) + 256);
        SlowChoices slow;
        slow.port = c.run.port;
        slow.links = c.slowLinks;
        ok = SlowLinks(slow).Run();
    } else {
        LoadRun run(c.run);
        ok = run.Run();
    }
    if (pid > 0) Stop(pid);
    if (!config.empty()) std::remove(config.c_str());
    return ok ? 0 : 1;
}
