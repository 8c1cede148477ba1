#include "tools/server/epolldispatcher.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimerEvent>
#include <QVarLengthArray>

#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>

namespace vorn::server {

namespace {

constexpr std::int64_t kNsPerMs = 1'000'000;
constexpr int kBatch = 256;  // ready descriptors taken per pass; the rest wait for the next

constexpr std::uint32_t kWants[3] = {EPOLLIN, EPOLLOUT, EPOLLPRI};
// A hang-up or an error is news for every notifier of the descriptor, as
// poll() reports it: the read or write that follows finds out which.
constexpr std::uint32_t kWakes[3] = {EPOLLIN | EPOLLHUP | EPOLLERR, EPOLLOUT | EPOLLHUP | EPOLLERR,
                                     EPOLLPRI | EPOLLHUP | EPOLLERR};

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

timespec Span(std::int64_t ns) {
    return timespec{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
}

// epoll_pwait2 waits to the nanosecond; a kernel without it (before 5.11)
// gets epoll_wait, the wait rounded up to whole milliseconds.
int WaitForEvents(int epoll, epoll_event* events, std::int64_t timeoutNs) {
    static bool precise = true;
    if (precise) {
        const timespec span = Span(timeoutNs);
        const int n = epoll_pwait2(epoll, events, kBatch, timeoutNs < 0 ? nullptr : &span, nullptr);
        if (n >= 0 || errno != ENOSYS) return n;
        precise = false;
    }
    const int ms = timeoutNs < 0 ? -1 : int((timeoutNs + kNsPerMs - 1) / kNsPerMs);
    return epoll_wait(epoll, events, kBatch, ms);
}

}  // namespace

EpollDispatcher::EpollDispatcher() {
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (epoll_ < 0 || wakeFd_ < 0) return;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = wakeFd_;
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, wakeFd_, &event) != 0) {
        close(wakeFd_);
        wakeFd_ = -1;
    }
}

EpollDispatcher::~EpollDispatcher() {
    if (wakeFd_ >= 0) close(wakeFd_);
    if (epoll_ >= 0) close(epoll_);
}

bool EpollDispatcher::processEvents(QEventLoop::ProcessEventsFlags flags) {
    interrupted_.storeRelaxed(0);
    emit awake();
    QCoreApplication::sendPostedEvents();

    const bool timers = !(flags & QEventLoop::X11ExcludeTimers);
    const bool notifiers = !(flags & QEventLoop::ExcludeSocketNotifiers);
    const bool canWait = (flags & QEventLoop::WaitForMoreEvents) && !interrupted_.loadRelaxed();
    if (canWait) emit aboutToBlock();
    if (interrupted_.loadRelaxed()) return false;

    int handled = Wait(canWait ? WaitNs(timers) : 0, notifiers);
    if (timers) handled += FireTimers();
    return handled > 0;
}

// Until the first deadline of a timer not already running, or for ever.
std::int64_t EpollDispatcher::WaitNs(bool timers) const {
    if (!timers) return -1;
    for (const auto& [deadline, id] : queue_) {
        if (timers_.at(id).running) continue;
        const std::int64_t left = deadline - Now();
        return left > 0 ? left : 0;
    }
    return -1;
}

// Waits, then hands each ready descriptor's news to its notifiers. Which
// notifiers were ready is settled before any of them runs: one unregistered
// meanwhile (its link closed by another's news) hears nothing, and one
// registered meanwhile on a reused descriptor is not told of the old one.
int EpollDispatcher::Wait(std::int64_t timeoutNs, bool notifiers) {
    if (!notifiers) {
        // Only a wake-up ends this wait: the descriptors stay unasked.
        pollfd wake{wakeFd_, POLLIN, 0};
        const timespec span = Span(timeoutNs);
        if (ppoll(&wake, 1, timeoutNs < 0 ? nullptr : &span, nullptr) <= 0) return 0;
        wakeUpPending_.storeRelease(0);
        eventfd_t count = 0;
        eventfd_read(wakeFd_, &count);
        return 1;
    }
    epoll_event events[kBatch];
    const int n = WaitForEvents(epoll_, events, timeoutNs);
    if (n < 0) {
        if (errno != EINTR) qErrnoWarning("EpollDispatcher: epoll_wait");
        return 0;
    }
    Ready ready[kBatch * 3];
    int readyCount = 0;
    int handled = 0;
    for (int i = 0; i < n; ++i) {
        const int fd = events[i].data.fd;
        if (fd == wakeFd_) {
            wakeUpPending_.storeRelease(0);
            eventfd_t count = 0;
            eventfd_read(wakeFd_, &count);
            ++handled;
            continue;
        }
        if (fd < 0 || std::size_t(fd) >= watches_.size()) continue;
        for (int kind = 0; kind < 3; ++kind) {
            const Watch& watch = watches_[std::size_t(fd)].kind[kind];
            if (watch.notifier && (events[i].events & kWakes[kind]))
                ready[readyCount++] = Ready{fd, kind, watch.serial};
        }
    }
    QEvent activated(QEvent::SockAct);
    for (int i = 0; i < readyCount; ++i) {
        const Ready& r = ready[i];
        const Watch& watch = watches_[std::size_t(r.fd)].kind[r.kind];
        if (watch.serial != r.serial || !watch.notifier) continue;
        QCoreApplication::sendEvent(watch.notifier, &activated);
        ++handled;
    }
    return handled;
}

std::uint32_t EpollDispatcher::Interest(const Watches& watches) {
    std::uint32_t interest = 0;
    for (int kind = 0; kind < 3; ++kind)
        if (watches.kind[kind].notifier) interest |= kWants[kind];
    return interest;
}

// One registration per descriptor: the first notifier adds it, the others
// change what it waits for, the last one's going removes it. A descriptor
// closed before its notifiers went is already out of the set.
void EpollDispatcher::Change(int fd, std::uint32_t before, std::uint32_t after) {
    if (before == after) return;
    epoll_event event{};
    event.events = after;
    event.data.fd = fd;
    int op = before == 0 ? EPOLL_CTL_ADD : after == 0 ? EPOLL_CTL_DEL : EPOLL_CTL_MOD;
    if (epoll_ctl(epoll_, op, fd, &event) == 0 || op == EPOLL_CTL_DEL) return;
    if (errno == EEXIST || errno == ENOENT) {
        op = errno == EEXIST ? EPOLL_CTL_MOD : EPOLL_CTL_ADD;
        if (epoll_ctl(epoll_, op, fd, &event) == 0) return;
    }
    qErrnoWarning("EpollDispatcher: cannot watch descriptor %d", fd);
}

void EpollDispatcher::registerSocketNotifier(QSocketNotifier* notifier) {
    const int fd = int(notifier->socket());
    const int kind = int(notifier->type());
    if (fd < 0 || kind < 0 || kind > 2) return;
    if (std::size_t(fd) >= watches_.size()) watches_.resize(std::size_t(fd) + 1);
    Watches& watches = watches_[std::size_t(fd)];
    if (watches.kind[kind].notifier && watches.kind[kind].notifier != notifier)
        qWarning("EpollDispatcher: descriptor %d has a notifier of this kind already", fd);
    const std::uint32_t before = Interest(watches);
    watches.kind[kind] = Watch{notifier, ++serial_};
    Change(fd, before, Interest(watches));
}

void EpollDispatcher::unregisterSocketNotifier(QSocketNotifier* notifier) {
    const int fd = int(notifier->socket());
    const int kind = int(notifier->type());
    if (fd < 0 || kind < 0 || kind > 2 || std::size_t(fd) >= watches_.size()) return;
    Watches& watches = watches_[std::size_t(fd)];
    if (watches.kind[kind].notifier != notifier) return;
    const std::uint32_t before = Interest(watches);
    watches.kind[kind] = Watch{};
    Change(fd, before, Interest(watches));
}

// A very coarse timer keeps whole seconds; a coarse one is kept as precise.
void EpollDispatcher::registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object) {
    unregisterTimer(timerId);
    qint64 kept = interval;
    if (timerType == Qt::VeryCoarseTimer) kept = (interval + 500) / 1000 * 1000;
    const std::int64_t period = kept * kNsPerMs;
    const auto place = queue_.emplace(Now() + period, timerId);
    timers_.emplace(timerId, Timer{object, interval, period, timerType, place, ++serial_, false});
    timersOf_.emplace(object, timerId);
}

void EpollDispatcher::DropTimer(std::unordered_map<int, Timer>::iterator timer) {
    queue_.erase(timer->second.place);
    auto [begin, end] = timersOf_.equal_range(timer->second.object);
    for (auto it = begin; it != end; ++it) {
        if (it->second != timer->first) continue;
        timersOf_.erase(it);
        break;
    }
    timers_.erase(timer);
}

bool EpollDispatcher::unregisterTimer(int timerId) {
    const auto timer = timers_.find(timerId);
    if (timer == timers_.end()) return false;
    DropTimer(timer);
    return true;
}

bool EpollDispatcher::unregisterTimers(QObject* object) {
    auto [begin, end] = timersOf_.equal_range(object);
    if (begin == end) return false;
    QVarLengthArray<int, 8> ids;
    for (auto it = begin; it != end; ++it) ids.append(it->second);
    for (const int id : ids) unregisterTimer(id);
    return true;
}

QList<QAbstractEventDispatcher::TimerInfo> EpollDispatcher::registeredTimers(QObject* object) const {
    QList<TimerInfo> infos;
    auto [begin, end] = timersOf_.equal_range(object);
    for (auto it = begin; it != end; ++it) {
        const Timer& timer = timers_.at(it->second);
        infos.append(TimerInfo(it->second, int(timer.requested), timer.type));
    }
    return infos;
}

int EpollDispatcher::remainingTime(int timerId) {
    const auto timer = timers_.find(timerId);
    if (timer == timers_.end()) return -1;
    const std::int64_t left = timer->second.place->first - Now();
    return left > 0 ? int((left + kNsPerMs - 1) / kNsPerMs) : 0;
}

// Each timer due now fires once, in the order of the deadlines, its next
// deadline set before its event so that it may stop or start itself (or
// others) from there. A timer started meanwhile waits for the next pass; one
// whose event is still running (a nested loop) is not fired again inside it.
int EpollDispatcher::FireTimers() {
    const std::int64_t now = Now();
    QVarLengthArray<int, 32> due;
    for (auto it = queue_.begin(); it != queue_.end() && it->first <= now; ++it) due.append(it->second);
    int fired = 0;
    for (const int id : due) {
        auto found = timers_.find(id);
        if (found == timers_.end()) continue;
        Timer& timer = found->second;
        if (timer.running || timer.place->first > now) continue;
        std::int64_t next = timer.place->first + timer.period;
        if (next < now) next = now + timer.period;
        queue_.erase(timer.place);
        timer.place = queue_.emplace(next, id);
        timer.running = true;
        const std::uint64_t serial = timer.serial;
        QTimerEvent event(id);
        QCoreApplication::sendEvent(timer.object, &event);
        ++fired;
        found = timers_.find(id);
        if (found != timers_.end() && found->second.serial == serial) found->second.running = false;
    }
    return fired;
}

void EpollDispatcher::wakeUp() {
    if (wakeUpPending_.testAndSetAcquire(0, 1)) eventfd_write(wakeFd_, 1);
}

void EpollDispatcher::interrupt() {
    interrupted_.storeRelaxed(1);
    wakeUp();
}

}  // namespace vorn::server
