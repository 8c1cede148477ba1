#include "tools/fuzz/virtualloop.h"

#include <QCoreApplication>
#include <QTimerEvent>

#include <algorithm>
#include <vector>

namespace vorn::fuzz {

namespace {

// Passes of Settle before a program that keeps itself busy at one instant is
// taken to never rest: far more than any burst of the server's work takes.
constexpr int kMaxPasses = 20000;

// Counts every event the application delivers.
class Counter : public QObject {
  public:
    Counter(std::uint64_t& count, QObject* parent) : QObject(parent), count_(count) {}
    bool eventFilter(QObject*, QEvent*) override {
        ++count_;
        return false;
    }

  private:
    std::uint64_t& count_;
};

}  // namespace

VirtualLoop::VirtualLoop() = default;

bool VirtualLoop::Pass() {
    if (!counter_ && QCoreApplication::instance()) {
        counter_ = new Counter(delivered_, this);
        QCoreApplication::instance()->installEventFilter(counter_);
    }
    const std::uint64_t before = delivered_;
    QCoreApplication::sendPostedEvents();
    // Deleting later means at the loop's next pass, and this is one.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::vector<int> due;
    for (const auto& [id, timer] : timers_)
        if (timer.deadline <= now_) due.push_back(id);
    std::sort(due.begin(), due.end(),
              [this](int a, int b) { return timers_.at(a).deadline < timers_.at(b).deadline; });
    for (int id : due) {
        const auto it = timers_.find(id);
        if (it == timers_.end() || it->second.deadline > now_) continue;  // stopped or restarted meanwhile
        it->second.deadline = now_ + std::max<qint64>(it->second.interval, 0);
        QTimerEvent event(id);
        QCoreApplication::sendEvent(it->second.object, &event);
    }
    return delivered_ != before || !due.empty();
}

bool VirtualLoop::Settle() {
    for (int pass = 0; pass < kMaxPasses; ++pass)
        if (!Pass()) return true;
    return false;
}

bool VirtualLoop::Advance(std::int64_t ms) {
    const std::int64_t until = now_ + ms;
    for (;;) {
        if (!Settle()) return false;
        std::int64_t next = until;
        for (const auto& [id, timer] : timers_) next = std::min(next, timer.deadline);
        now_ = std::max(now_, next);
        if (next >= until) return Settle();
    }
}

bool VirtualLoop::processEvents(QEventLoop::ProcessEventsFlags) {
    return Pass();
}

void VirtualLoop::registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object) {
    timers_[timerId] = Timer{object, interval, timerType, now_ + std::max<qint64>(interval, 0)};
}

bool VirtualLoop::unregisterTimer(int timerId) {
    return timers_.erase(timerId) > 0;
}

bool VirtualLoop::unregisterTimers(QObject* object) {
    const auto before = timers_.size();
    std::erase_if(timers_, [object](const auto& entry) { return entry.second.object == object; });
    return timers_.size() != before;
}

QList<QAbstractEventDispatcher::TimerInfo> VirtualLoop::registeredTimers(QObject* object) const {
    QList<TimerInfo> list;
    for (const auto& [id, timer] : timers_)
        if (timer.object == object) list.append(TimerInfo(id, int(timer.interval), timer.type));
    return list;
}

int VirtualLoop::remainingTime(int timerId) {
    const auto it = timers_.find(timerId);
    return it == timers_.end() ? -1 : int(std::max<std::int64_t>(it->second.deadline - now_, 0));
}

}  // namespace vorn::fuzz
