#include "tools/load/loadrun.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "net/protocol.h"
#include "tools/load/process.h"

namespace vorn::load {

namespace {

// Links the server has not answered yet: below the 50 links its listener
// holds unanswered, so none is dropped and retried.
constexpr int kMostUnheard = 48;
// Links waiting for their seat at one time (an older build waits a moment
// at the lobby for it): well within the lobby's room, a table and more for
// each table the tool lets the server open.
int MostPending(int tables) {
    return std::clamp(tables + kMostUnheard, kMostUnheard, 600);
}
constexpr std::int64_t kSecondUs = 1000000;

long OwnCpuUs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000L + usage.ru_utime.tv_usec +
           usage.ru_stime.tv_usec;
}

// A joiner's name is "L" and its link's index, which finds it again in a "[Prepare]".
int IndexOfName(const std::string& name) {
    if (name.size() < 2 || name[0] != 'L') return -1;
    const std::optional<int> index = ParseDecimal(std::string_view(name).substr(1));
    return index ? *index : -1;
}

}  // namespace

double Latencies::Quantile(double q) {
    if (samples_.empty()) return 0;
    const size_t k = std::min(samples_.size() - 1, size_t(q * double(samples_.size())));
    std::nth_element(samples_.begin(), samples_.begin() + std::ptrdiff_t(k), samples_.end());
    return samples_[k] / 1000.0;
}

LoadRun::LoadRun(const LoadChoices& choices) : choices_(choices), epoll_(epoll_create1(EPOLL_CLOEXEC)) {
    const int count = choices.tables * choices.joinersPerTable;
    // A fourth joiner a table speaks the second version, for the server's own
    // seat: it comes once the first three of every table are seated.
    firstSecond_ = choices.joinersPerTable > 3 ? choices.tables * 3 : count;
    for (int i = 0; i < count; ++i) {
        links_.push_back(std::make_unique<Link>("L" + std::to_string(i), std::uint64_t(1 + i),
                                                i >= firstSecond_, i - firstSecond_));
        links_.back()->index = i;
    }
}

LoadRun::~LoadRun() {
    for (auto& link : links_)
        if (link->fd >= 0) close(link->fd);
    if (epoll_ >= 0) close(epoll_);
}

Tally LoadRun::Now() const {
    Tally t;
    t.games = games_;
    t.moves = moves_;
    if (choices_.server > 0) {
        const ProcessFigures server = ReadFigures(choices_.server);
        t.serverTicks = server.cpuTicks;
        t.serverWaitedUs = server.waitedUs;
    }
    return t;
}

// ---------------------------------------------------------------------------
// Links

bool LoadRun::Connect(Link& link) {
    link.fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (link.fd < 0) {
        std::perror("vorn-load: socket");
        return false;
    }
    const int one = 1;
    setsockopt(link.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(choices_.port));
    if (connect(link.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 &&
        errno != EINPROGRESS) {
        std::perror("vorn-load: connect");
        close(link.fd);
        link.fd = -1;
        return false;
    }
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP;
    event.data.u32 = std::uint32_t(link.index);
    epoll_ctl(epoll_, EPOLL_CTL_ADD, link.fd, &event);
    return true;
}

void LoadRun::OpenLinks() {
    const int count = int(links_.size());
    const int perTable = choices_.joinersPerTable;
    const int mostPending = MostPending(choices_.tables);
    for (int i = batchStart_; i < count && pending_ < mostPending && unheard_ < kMostUnheard; ++i) {
        Link& link = *links_[size_t(i)];
        if (link.fd >= 0 || link.closed) continue;
        // Below three a table, a table is seated before the next one's links
        // open, so that the server's computer fills its other seats first.
        if (perTable < 3 && i >= batchStart_ + perTable) break;
        if (i >= firstSecond_ && settled_ < firstSecond_) break;
        if (!Connect(link)) {
            link.closed = true;
            ++settled_;
            continue;
        }
        ++pending_;
        ++unheard_;
    }
}

void LoadRun::JoinBatch() {
    const int perTable = choices_.joinersPerTable;
    const int end = std::min(int(links_.size()), batchStart_ + perTable);
    bool seated = true, prepared = true;
    for (int i = batchStart_; i < end; ++i) {
        const Link& link = *links_[size_t(i)];
        seated = seated && (link.seated || link.closed);
        prepared = prepared && (link.prepared || link.closed);
    }
    // Every link of the table names itself at once, before the computer
    // player may fill a seat.
    if (seated)
        for (int i = batchStart_; i < end; ++i)
            if (Link& link = *links_[size_t(i)]; link.seated && !link.named) {
                link.named = true;
                Send(link, link.joiner.JoinedText());
            }
    if (prepared) batchStart_ = end;
}

void LoadRun::Send(Link& link, const std::string& text) {
    if (link.closed) return;
    link.out += text;
    link.out += "\r\n";
    Flush(link);
}

void LoadRun::Flush(Link& link) {
    const bool waited = !link.out.empty();
    while (!link.out.empty()) {
        const ssize_t sent = send(link.fd, link.out.data(), link.out.size(), MSG_NOSIGNAL);
        if (sent <= 0) break;
        link.out.erase(0, size_t(sent));
    }
    if (!waited && link.out.empty()) return;
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP | (link.out.empty() ? 0u : std::uint32_t(EPOLLOUT));
    event.data.u32 = std::uint32_t(link.index);
    epoll_ctl(epoll_, EPOLL_CTL_MOD, link.fd, &event);
}

void LoadRun::Close(Link& link) {
    if (link.closed) return;
    link.closed = true;
    if (!link.seated) --pending_;
    if (!link.heard) --unheard_;
    if (!link.prepared) ++settled_;
    epoll_ctl(epoll_, EPOLL_CTL_DEL, link.fd, nullptr);
    close(link.fd);
    link.fd = -1;
}

// ---------------------------------------------------------------------------
// What the links hear

void LoadRun::OnEvent(int index, std::uint32_t events, std::int64_t now) {
    Link& link = *links_[size_t(index)];
    if (link.closed) return;
    if (events & EPOLLOUT) Flush(link);
    if (events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) Read(index, now);
}

void LoadRun::Read(int index, std::int64_t now) {
    Link& link = *links_[size_t(index)];
    char buffer[16384];
    for (;;) {
        const ssize_t got = recv(link.fd, buffer, sizeof buffer, 0);
        if (got > 0) {
            if (!link.heard) --unheard_;
            link.heard = true;
            link.framer.Append(std::string_view(buffer, size_t(got)));
            std::string message;
            while (!link.closed && link.framer.Pop(message)) OnMessage(index, message, now);
            if (got < ssize_t(sizeof buffer)) return;
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (got < 0 && errno == EINTR) continue;
        // The server closed the link (or it failed).
        ++closedByServer_;
        Close(link);
        return;
    }
}

void LoadRun::OnMessage(int index, const std::string& message, std::int64_t now) {
    Link& link = *links_[size_t(index)];
    switch (link.joiner.Hear(message)) {
        case WireJoiner::Heard::Seated:
            link.seated = true;
            --pending_;
            if (choices_.joinersPerTable >= 3 && !link.joiner.Second()) {
                link.named = true;
                Send(link, link.joiner.JoinedText());
            }
            return;
        case WireJoiner::Heard::Picked:
            Send(link, link.joiner.PickText());
            return;
        case WireJoiner::Heard::Greeted:
            link.named = true;
            Send(link, link.joiner.GreetingText());
            return;
        case WireJoiner::Heard::TurnedAway:
            ++turnedAway_;
            return;
        case WireJoiner::Heard::Prepared:
            if (!link.prepared && !link.closed) ++settled_;
            link.prepared = true;
            Group(link);
            return;
        case WireJoiner::Heard::Turn:
            if (link.joiner.MyTurn()) due_.emplace(now + std::int64_t(choices_.thinkMs) * 1000, index);
            return;
        case WireJoiner::Heard::Moved:
            Relayed(link, now);
            return;
        case WireJoiner::Heard::GameOver:
            if (link.counts) ++games_;
            return;
        case WireJoiner::Heard::Fault:
            if (++faults_ <= 10)
                std::fprintf(stderr, "vorn-load: %s: %s\n", link.joiner.Name().c_str(),
                             link.joiner.Fault().c_str());
            return;
        default:
            return;
    }
}

// Which of this run's links sit at the link's table, from the names the table
// was dealt with.
void LoadRun::Group(Link& link) {
    const std::array<std::string, 4>& names = link.joiner.Names();
    int first = -1;
    for (int seat = 0; seat < 4; ++seat) {
        const int other = IndexOfName(names[size_t(seat)]);
        const bool ours = other >= 0 && other < int(links_.size()) &&
                          links_[size_t(other)]->joiner.Name() == names[size_t(seat)];
        link.peers[size_t(seat)] = ours ? other : -1;
        if (ours && first < 0) first = seat;
    }
    link.counts = first == link.joiner.Seat();
}

void LoadRun::Relayed(Link& link, std::int64_t now) {
    if (link.counts) ++moves_;
    const int mover = link.peers[size_t(link.joiner.Mover())];
    if (mover < 0) return;
    Link& from = *links_[size_t(mover)];
    if (from.waiting > 0 && --from.waiting == 0) {
        all_.Add(now - from.sentAt);
        second_.Add(now - from.sentAt);
    }
}

void LoadRun::MakeMove(int index) {
    Link& link = *links_[size_t(index)];
    if (link.closed || !link.joiner.MyTurn()) return;
    const std::string text = link.joiner.Move();
    if (text.empty()) {
        if (++faults_ <= 10)
            std::fprintf(stderr, "vorn-load: %s: %s\n", link.joiner.Name().c_str(),
                         link.joiner.Fault().c_str());
        return;
    }
    Send(link, text);
    link.sentAt = NowUs();
    link.waiting = 0;
    for (int seat = 0; seat < 4; ++seat)
        link.waiting += link.peers[size_t(seat)] >= 0 && seat != link.joiner.Seat() ? 1 : 0;
    if (link.counts) ++moves_;
}

// ---------------------------------------------------------------------------
// The run

bool LoadRun::Run() {
    start_ = NowUs();
    if (choices_.server > 0) emptyRssKiB_ = ReadFigures(choices_.server).rssKiB;
    const std::int64_t end = start_ + std::int64_t(choices_.seconds * 1e6);
    std::int64_t nextSecond = start_ + kSecondUs;
    begin_ = Now();
    lastSecond_ = begin_;
    long ownCpu = OwnCpuUs();
    std::vector<epoll_event> events(1024);
    for (std::int64_t now = start_; now < end; now = NowUs()) {
        OpenLinks();
        if (choices_.joinersPerTable < 3) JoinBatch();
        std::int64_t wake = std::min(end, nextSecond);
        if (!due_.empty()) wake = std::min(wake, due_.top().first);
        const int timeoutMs = int(std::max<std::int64_t>(0, (wake - now + 999) / 1000));
        const int n = epoll_wait(epoll_, events.data(), int(events.size()), timeoutMs);
        now = NowUs();
        for (int i = 0; i < n; ++i) OnEvent(int(events[size_t(i)].data.u32), events[size_t(i)].events, now);
        while (!due_.empty() && due_.top().first <= now) {
            const int index = due_.top().second;
            due_.pop();
            MakeMove(index);
        }
        if (steadyAt_ < 0 && settled_ == int(links_.size())) {
            steadyAt_ = now;
            steady_ = Now();
            all_.Clear();  // the latencies too count from then: seating many tables is a burst of its own
        }
        if (now >= nextSecond) {
            const long cpu = OwnCpuUs();
            Second(now);
            std::printf("  load_cpu %.0f%%\n", double(cpu - ownCpu) / 1e4);
            std::fflush(stdout);
            ownCpu = cpu;
            nextSecond += kSecondUs;
        }
    }
    Report(NowUs());
    return faults_ == 0 && games_ >= choices_.minGames;
}

void LoadRun::Second(std::int64_t now) {
    const Tally t = Now();
    long seated = 0, tables = 0;
    for (const auto& link : links_) {
        seated += link->seated && !link->closed ? 1 : 0;
        tables += link->counts && !link->closed ? 1 : 0;
    }
    const double cpu = double(t.serverTicks - lastSecond_.serverTicks) * 100.0 / double(TicksPerSecond());
    const long rss = choices_.server > 0 ? ReadFigures(choices_.server).rssKiB : -1;
    std::printf(
        "%5.0fs links %ld tables %ld games %ld moves/s %ld latency_ms p50 %.2f p99 %.2f max %.2f "
        "server_cpu %.0f%% server_waited %.0f%% server_rss_kib %ld",
        double(now - start_) / 1e6, seated, tables, t.games, t.moves - lastSecond_.moves,
        second_.Quantile(0.5), second_.Quantile(0.99), second_.Quantile(1.0), cpu,
        double(t.serverWaitedUs - lastSecond_.serverWaitedUs) / 1e4, rss);
    second_.Clear();
    lastSecond_ = t;
}

void LoadRun::Report(std::int64_t now) {
    const Tally t = Now();
    // The figures count from when every table was playing, else from the start.
    const Tally from = steadyAt_ >= 0 ? steady_ : begin_;
    const long moves = t.moves - from.moves;
    const double cpuUs = double(t.serverTicks - from.serverTicks) * 1e6 / double(TicksPerSecond());
    const long rss = choices_.server > 0 ? ReadFigures(choices_.server).rssKiB : -1;
    long tables = 0;
    for (const auto& link : links_) tables += link->counts && !link->closed ? 1 : 0;
    std::printf("tables %ld of %d (%d joiners each, think %d ms) for %.1f s, ", tables, choices_.tables,
                choices_.joinersPerTable, choices_.thinkMs, double(now - start_) / 1e6);
    if (steadyAt_ >= 0)
        std::printf("all seated after %.2f s\n", double(steadyAt_ - start_) / 1e6);
    else
        std::printf("not all seated: the figures below count from the start\n");
    std::printf("games %ld  moves %ld  (%ld in the figures)\n", t.games, t.moves, moves);
    std::printf("move_latency_ms p50 %.3f  p99 %.3f  max %.3f  (%zu moves timed)\n", all_.Quantile(0.5),
                all_.Quantile(0.99), all_.Quantile(1.0), all_.Count());
    if (choices_.server > 0) {
        std::printf("server_cpu_us_per_move %.1f  (%.1f s of CPU for %ld moves; %.1f s waiting for a CPU)\n",
                    moves > 0 ? cpuUs / double(moves) : 0.0, cpuUs / 1e6, moves,
                    double(t.serverWaitedUs - from.serverWaitedUs) / 1e6);
        std::printf("server_rss_kib empty %ld  loaded %ld  per_table %.1f\n", emptyRssKiB_, rss,
                    tables > 0 ? double(rss - emptyRssKiB_) / double(tables) : 0.0);
    }
    std::printf("protocol_faults %ld  turned_away %ld  closed_by_server %ld\n", faults_, turnedAway_,
                closedByServer_);
    std::fflush(stdout);
}

}  // namespace vorn::load
