#include "tools/load/slowlinks.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "net/protocol.h"
#include "tools/load/process.h"

namespace vorn::load {

namespace {

constexpr std::uint32_t kPerson = 0xffffffffu;
constexpr std::int64_t kSecondUs = 1000000;
constexpr int kLinksPerAddress = 4;

// 127.0.0.2 on: the person comes from 127.0.0.1.
std::uint32_t AddressOf(int index) {
    const int group = index / kLinksPerAddress;
    return 0x7f000000u | std::uint32_t(group / 250) << 8 | std::uint32_t(2 + group % 250);
}

// The word a slow link trickles: it looks like a joiner giving its name and never ends.
char ByteOfWord(long k) {
    return k < long(tags::kJoined.size()) ? tags::kJoined[size_t(k)] : 'z';
}

int ConnectFrom(std::uint32_t from, int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(from);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    remote.sin_port = htons(std::uint16_t(port));
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        (connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0 && errno != EINPROGRESS)) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

SlowLinks::SlowLinks(const SlowChoices& choices)
    : choices_(choices), epoll_(epoll_create1(EPOLL_CLOEXEC)), links_(size_t(choices.links)) {
    for (size_t i = 0; i < links_.size(); ++i) links_[i].address = AddressOf(int(i));
}

SlowLinks::~SlowLinks() {
    for (Link& link : links_)
        if (link.fd >= 0) close(link.fd);
    if (person_ >= 0) close(person_);
    if (epoll_ >= 0) close(epoll_);
}

void SlowLinks::Drop(Link& link) {
    if (link.fd < 0) return;
    epoll_ctl(epoll_, EPOLL_CTL_DEL, link.fd, nullptr);
    close(link.fd);
    link.fd = -1;
}

bool SlowLinks::Open(Link& link) {
    link.sent = 0;
    link.fd = ConnectFrom(link.address, choices_.port);
    if (link.fd < 0) {
        ++failedToOpen_;
        return false;
    }
    ++opened_;
    // Its first byte goes as soon as it is connected.
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP | EPOLLOUT;
    event.data.u32 = std::uint32_t(&link - links_.data());
    epoll_ctl(epoll_, EPOLL_CTL_ADD, link.fd, &event);
    return true;
}

bool SlowLinks::SendByte(Link& link) {
    const char byte = ByteOfWord(link.sent);
    if (send(link.fd, &byte, 1, MSG_NOSIGNAL) == 1) {
        ++link.sent;
        return true;
    }
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOTCONN;
}

void SlowLinks::Trickle() {
    // A link the server closed comes back at this pace too.
    for (Link& link : links_)
        if (link.fd < 0)
            Open(link);
        else if (!SendByte(link))
            Drop(link);
}

void SlowLinks::OnSlowEvent(int index, std::uint32_t events) {
    Link& link = links_[size_t(index)];
    if (events & EPOLLOUT) {
        epoll_event event{};
        event.events = EPOLLIN | EPOLLRDHUP;
        event.data.u32 = std::uint32_t(index);
        epoll_ctl(epoll_, EPOLL_CTL_MOD, link.fd, &event);
        if (!SendByte(link)) return Drop(link);
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = recv(link.fd, buffer, sizeof buffer, 0);
        if (got > 0) continue;  // the lobby's list, a seat: nothing a slow link answers
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (got < 0 && errno == EINTR) continue;
        // The server closed it: it opens again at the next second.
        ++closedByServer_;
        return Drop(link);
    }
}

bool SlowLinks::OpenPerson() {
    person_ = ConnectFrom(INADDR_LOOPBACK, choices_.port);
    if (person_ < 0) return false;
    const int one = 1;
    setsockopt(person_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP;
    event.data.u32 = kPerson;
    epoll_ctl(epoll_, EPOLL_CTL_ADD, person_, &event);
    return true;
}

void SlowLinks::OnPersonEvent(std::int64_t now) {
    char buffer[16384];
    for (;;) {
        const ssize_t got = recv(person_, buffer, sizeof buffer, 0);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            personLost_ = true;
            epoll_ctl(epoll_, EPOLL_CTL_DEL, person_, nullptr);
            return;
        }
        personFramer_.Append(std::string_view(buffer, size_t(got)));
        for (std::string message; personFramer_.Pop(message);) {
            const WireJoiner::Heard heard = joiner_.Hear(message);
            if (heard == WireJoiner::Heard::Seated && seatedAt_ < 0) {
                seatedAt_ = now;
                const std::string joined = joiner_.JoinedText() + "\r\n";
                [[maybe_unused]] const ssize_t sent =
                    send(person_, joined.data(), joined.size(), MSG_NOSIGNAL);
            }
            turnedAway_ = turnedAway_ || heard == WireJoiner::Heard::TurnedAway;
            if ((heard == WireJoiner::Heard::Prepared || heard == WireJoiner::Heard::Draw) && dealtAt_ < 0)
                dealtAt_ = now;
        }
    }
}

bool SlowLinks::Run() {
    const std::int64_t start = NowUs();
    const std::int64_t personDue = start + std::int64_t(choices_.warmupSeconds * 1e6);
    const std::int64_t end = personDue + std::int64_t(choices_.patienceSeconds * 1e6);
    std::int64_t nextSecond = start;
    std::vector<epoll_event> events(1024);
    std::int64_t now = start;
    for (; now < end && dealtAt_ < 0 && !personLost_ && !turnedAway_; now = NowUs()) {
        if (now >= nextSecond) {
            Trickle();
            std::printf("%5.0fs slow_links opened %ld closed_by_server %ld not_opened %ld\n",
                        double(now - start) / 1e6, opened_, closedByServer_, failedToOpen_);
            std::fflush(stdout);
            nextSecond += kSecondUs;
        }
        if (person_ < 0 && now >= personDue) {
            if (!OpenPerson()) break;
            personAt_ = now;
        }
        const std::int64_t wake = std::min(nextSecond, person_ < 0 ? personDue : end);
        const int n = epoll_wait(epoll_, events.data(), int(events.size()),
                                 int(std::max<std::int64_t>(0, (wake - now + 999) / 1000)));
        now = NowUs();
        for (int i = 0; i < n; ++i) {
            const std::uint32_t index = events[size_t(i)].data.u32;
            if (index == kPerson)
                OnPersonEvent(now);
            else
                OnSlowEvent(int(index), events[size_t(i)].events);
        }
    }
    Report(now);
    return dealtAt_ >= 0;
}

void SlowLinks::Report(std::int64_t now) {
    std::printf("slow_links %d (each a byte a second), opened %ld, closed_by_server %ld, not_opened %ld\n",
                choices_.links, opened_, closedByServer_, failedToOpen_);
    const auto since = [this](std::int64_t at) { return at >= 0 ? double(at - personAt_) / 1e6 : -1.0; };
    if (personAt_ < 0)
        std::printf("person: could not connect\n");
    else
        std::printf("person: seated after %.3f s, dealt after %.3f s (-1: not yet)%s%s; watched %.1f s\n",
                    since(seatedAt_), since(dealtAt_), turnedAway_ ? ", turned away" : "",
                    personLost_ ? ", closed by the server" : "", double(now - personAt_) / 1e6);
    std::fflush(stdout);
}

}  // namespace vorn::load
