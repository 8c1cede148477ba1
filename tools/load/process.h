#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vorn::load {

// The server under load, seen from outside through /proc.
struct ProcessFigures {
    long cpuTicks = -1;  // user and system time, in clock ticks
    long rssKiB = -1;    // resident memory
    // Time it was ready to run but waited for a processor, in microseconds:
    // what a machine busy with other work adds to every figure.
    long waitedUs = -1;
};
ProcessFigures ReadFigures(pid_t pid);
// Clock ticks a second, for cpuTicks.
long TicksPerSecond();
// The steady clock, in microseconds.
std::int64_t NowUs();

// Starts program with arguments, its standard output and error going to logPath;
// pinned to cpu when that is 0 or more. -1 when it cannot start.
pid_t Spawn(const std::string& program, const std::vector<std::string>& arguments, const std::string& logPath,
            int cpu);
// Ends a process this program started: asked first, killed after a while.
void Stop(pid_t pid);
// Whether the process is still there (not exited and reaped).
bool Running(pid_t pid);

// A TCP port on 127.0.0.1 that nobody listens on just now; 0 when none is found.
int FreePort();
// Whether something listens on the TCP port of this machine (by /proc/net).
bool Listening(int port);
// Whether program's --help names the option.
bool KnowsOption(const std::string& program, const std::string& option);

// Lets this process hold at least files open files where the hard limit allows.
void RaiseFileLimit(long files);

}  // namespace vorn::load
