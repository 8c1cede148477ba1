#pragma once

#include <QAbstractEventDispatcher>
#include <QAtomicInt>

#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

namespace vorn::server {

// The server's event loop: the links' descriptors are watched by one epoll
// set, so a pass of the loop costs what is ready, not what is open. Qt's own
// loop asks the system about every descriptor at each pass, which with
// thousands of links is most of the server's work.
//
// A descriptor is added to the set once, with whatever its read, write and
// exception notifiers ask between them, and changed as they come and go. The
// timers wait in order of their deadlines. Another thread wakes the loop
// through an eventfd in the same set.
class EpollDispatcher final : public QAbstractEventDispatcher {
  public:
    EpollDispatcher();
    ~EpollDispatcher() override;
    EpollDispatcher(const EpollDispatcher&) = delete;
    EpollDispatcher& operator=(const EpollDispatcher&) = delete;

    // False when the system gave no epoll set or eventfd: use Qt's own loop.
    bool Usable() const { return epoll_ >= 0 && wakeFd_ >= 0; }

    bool processEvents(QEventLoop::ProcessEventsFlags flags) override;

    void registerSocketNotifier(QSocketNotifier* notifier) override;
    void unregisterSocketNotifier(QSocketNotifier* notifier) override;

    using QAbstractEventDispatcher::registerTimer;
    void registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(QObject* object) override;
    QList<TimerInfo> registeredTimers(QObject* object) const override;
    int remainingTime(int timerId) override;

    void wakeUp() override;
    void interrupt() override;

  private:
    // A notifier is known by the serial of its registration, so a ready
    // descriptor is never reported to a notifier that came after the wait.
    struct Watch {
        QSocketNotifier* notifier = nullptr;
        std::uint64_t serial = 0;
    };
    struct Watches {
        Watch kind[3];  // by QSocketNotifier::Type
    };
    struct Ready {
        int fd;
        int kind;
        std::uint64_t serial;
    };
    using Queue = std::multimap<std::int64_t, int>;  // deadline (ns) to timer id
    struct Timer {
        QObject* object;
        qint64 requested;     // ms, as asked
        std::int64_t period;  // ns, as kept
        Qt::TimerType type;
        Queue::iterator place;
        std::uint64_t serial;
        bool running;
    };

    static std::uint32_t Interest(const Watches& watches);
    void Change(int fd, std::uint32_t before, std::uint32_t after);
    std::int64_t WaitNs(bool timers) const;
    int Wait(std::int64_t timeoutNs, bool notifiers);
    int FireTimers();
    void DropTimer(std::unordered_map<int, Timer>::iterator timer);

    int epoll_ = -1;
    int wakeFd_ = -1;
    QAtomicInt wakeUpPending_;
    QAtomicInt interrupted_;
    std::vector<Watches> watches_;  // by descriptor
    std::uint64_t serial_ = 0;
    Queue queue_;
    std::unordered_map<int, Timer> timers_;
    std::unordered_multimap<QObject*, int> timersOf_;
};

}  // namespace vorn::server
