#pragma once

#include <QAbstractEventDispatcher>

#include <cstdint>
#include <map>

namespace vorn::fuzz {

// An event loop whose time passes only when its owner says so, for a fuzzer
// that runs a Qt program's timers without waiting: a timer falls due when
// Advance reaches its deadline, and everything posted is delivered at once.
// It watches no descriptors (the program's links are FakeNet's). Install it
// with QCoreApplication::setEventDispatcher before the application is made.
class VirtualLoop final : public QAbstractEventDispatcher {
  public:
    VirtualLoop();

    // Milliseconds since the loop was made.
    std::int64_t Now() const { return now_; }
    // Delivers what was posted and fires the timers due now, again and again
    // until nothing more happens; false when that does not end.
    bool Settle();
    // Lets ms pass, each timer firing at its deadline; false as Settle.
    bool Advance(std::int64_t ms);

    bool processEvents(QEventLoop::ProcessEventsFlags flags) override;
    void registerSocketNotifier(QSocketNotifier*) override {}
    void unregisterSocketNotifier(QSocketNotifier*) override {}
    using QAbstractEventDispatcher::registerTimer;
    void registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(QObject* object) override;
    QList<TimerInfo> registeredTimers(QObject* object) const override;
    int remainingTime(int timerId) override;
    void wakeUp() override {}
    void interrupt() override {}

  private:
    struct Timer {
        QObject* object;
        qint64 interval;
        Qt::TimerType type;
        std::int64_t deadline;
    };
    // One pass: the posted events, then each timer due now once; whether anything happened.
    bool Pass();

    std::map<int, Timer> timers_;
    std::int64_t now_ = 0;
    QObject* counter_ = nullptr;   // the application's filter of events
    std::uint64_t delivered_ = 0;  // events it has seen
};

}  // namespace vorn::fuzz
