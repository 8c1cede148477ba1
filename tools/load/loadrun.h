#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <memory>
#include <queue>
#include <string>
#include <utility>
#include <vector>

#include "net/framer.h"
#include "tools/load/wirejoiner.h"

namespace vorn::load {

struct LoadChoices {
    int port = 0;
    int tables = 10;
    int joinersPerTable = 3;
    int thinkMs = 500;
    double seconds = 10;
    pid_t server = -1;  // the server's process, for its CPU time and memory; -1: not known
    int minGames = 0;
};

// Move latencies in microseconds, and their quantiles.
class Latencies {
  public:
    void Add(std::int64_t us) { samples_.push_back(std::uint32_t(us)); }
    size_t Count() const { return samples_.size(); }
    // The q-quantile (0..1) in milliseconds; 0 without samples.
    double Quantile(double q);
    void Clear() { samples_.clear(); }

  private:
    std::vector<std::uint32_t> samples_;
};

// The figures of a stretch of the run.
struct Tally {
    long games = 0;
    long moves = 0;
    long serverTicks = 0;
    long serverWaitedUs = 0;
};

// The joiners' links of a whole run in this one process, non-blocking on one
// epoll set, each a WireJoiner on a TCP link to 127.0.0.1.
class LoadRun {
  public:
    explicit LoadRun(const LoadChoices& choices);
    ~LoadRun();
    LoadRun(const LoadRun&) = delete;
    LoadRun& operator=(const LoadRun&) = delete;

    // Runs for the chosen time and prints a line a second and the report;
    // false when a joiner heard something that did not fit its table, or fewer
    // games than asked were completed.
    bool Run();

  private:
    struct Link {
        Link(std::string name, std::uint64_t seed, bool second, int pick)
            : joiner(std::move(name), seed, second, pick) {}
        int index = 0;
        int fd = -1;
        bool heard = false;  // the server has sent it something
        bool named = false;
        bool seated = false;
        bool prepared = false;
        bool closed = false;
        bool counts = false;         // the first of this run's links at its table: it counts
        std::array<int, 4> peers{};  // this run's link at each seat of its table, or -1
        std::int64_t sentAt = 0;     // when its last move left
        int waiting = 0;             // the links of its table yet to hear that move
        std::string out;             // bytes the socket has not taken yet
        Framer framer;
        WireJoiner joiner;
    };

    void OpenLinks();
    bool Connect(Link& link);
    void OnEvent(int index, std::uint32_t events, std::int64_t now);
    void Read(int index, std::int64_t now);
    void OnMessage(int index, const std::string& message, std::int64_t now);
    void Group(Link& link);
    void Relayed(Link& link, std::int64_t now);
    void MakeMove(int index);
    void Send(Link& link, const std::string& text);
    void Flush(Link& link);
    void Close(Link& link);
    void JoinBatch();
    void Second(std::int64_t now);
    void Report(std::int64_t now);
    Tally Now() const;

    LoadChoices choices_;
    int epoll_ = -1;
    std::vector<std::unique_ptr<Link>> links_;
    // Moves falling due: when, and whose.
    std::priority_queue<std::pair<std::int64_t, int>, std::vector<std::pair<std::int64_t, int>>,
                        std::greater<>>
        due_;
    int batchStart_ = 0;   // the first link of the table being seated, a table at a time
    int firstSecond_ = 0;  // the first link of the second version
    int pending_ = 0;      // links not seated yet
    int unheard_ = 0;      // links the server has sent nothing yet
    int settled_ = 0;      // links whose table has dealt, or that closed

    std::int64_t start_ = 0;
    std::int64_t steadyAt_ = -1;  // every link seated and its table dealt
    long games_ = 0;
    long moves_ = 0;
    long faults_ = 0;
    long turnedAway_ = 0;
    long closedByServer_ = 0;
    long emptyRssKiB_ = -1;
    Tally begin_;
    Tally steady_;
    Tally lastSecond_;
    Latencies all_;
    Latencies second_;
};

}  // namespace vorn::load
