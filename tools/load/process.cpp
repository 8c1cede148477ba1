#include "tools/load/process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace vorn::load {

ProcessFigures ReadFigures(pid_t pid) {
    ProcessFigures figures;
    const std::string base = "/proc/" + std::to_string(pid);
    std::ifstream stat(base + "/stat");
    std::string line;
    if (std::getline(stat, line)) {
        // The name in brackets may hold blanks: the fields are counted after its end.
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string field;
        long utime = -1, stime = -1;
        // utime and stime are the 14th and 15th fields, the 12th and 13th after the name.
        for (int n = 3; n <= 15 && fields >> field; ++n) {
            if (n == 14) utime = std::stol(field);
            if (n == 15) stime = std::stol(field);
        }
        if (utime >= 0 && stime >= 0) figures.cpuTicks = utime + stime;
    }
    // The second field of schedstat is the time spent waiting on a run queue, in nanoseconds.
    std::ifstream schedstat(base + "/schedstat");
    long long ran = 0, waited = -1000;
    if (schedstat >> ran >> waited) figures.waitedUs = long(waited / 1000);
    std::ifstream status(base + "/status");
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) figures.rssKiB = std::stol(line.substr(6));
    return figures;
}

std::int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

long TicksPerSecond() {
    return sysconf(_SC_CLK_TCK);
}

pid_t Spawn(const std::string& program, const std::vector<std::string>& arguments, const std::string& logPath,
            int cpu) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid != 0) {
        if (pid > 0 && cpu >= 0) {
            cpu_set_t set;
            CPU_ZERO(&set);
            CPU_SET(cpu, &set);
            if (sched_setaffinity(pid, sizeof set, &set) != 0) std::perror("vorn-load: pinning the server");
        }
        return pid;
    }
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (log >= 0) {
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
    }
    execv(program.c_str(), argv.data());
    std::perror("vorn-load: starting the server");
    _exit(127);
}

bool Running(pid_t pid) {
    return waitpid(pid, nullptr, WNOHANG) == 0;
}

void Stop(pid_t pid) {
    if (pid <= 0 || !Running(pid)) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (!Running(pid)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

bool Listening(int port) {
    char wanted[8];
    std::snprintf(wanted, sizeof wanted, ":%04X", port);
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream in(table);
        std::string line;
        std::getline(in, line);  // the heading
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state;
            fields >> slot >> local >> remote >> state;
            // State 0A is LISTEN.
            if (state == "0A" && local.size() > 5 && local.compare(local.size() - 5, 5, wanted) == 0)
                return true;
        }
    }
    return false;
}

bool KnowsOption(const std::string& program, const std::string& option) {
    const std::string command = "'" + program + "' --help 2>/dev/null";
    FILE* help = popen(command.c_str(), "r");
    if (!help) return false;
    std::string text;
    char buffer[512];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, help)) > 0;) text.append(buffer, got);
    pclose(help);
    return text.find(option) != std::string::npos;
}

void RaiseFileLimit(long files) {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || rlim_t(files) <= limit.rlim_cur) return;
    limit.rlim_cur =
        limit.rlim_max == RLIM_INFINITY ? rlim_t(files) : std::min(rlim_t(files), limit.rlim_max);
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) std::perror("vorn-load: raising the open file limit");
}

}  // namespace vorn::load
