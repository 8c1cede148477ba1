#include "display/presentation.h"

#include <utility>

namespace vorn {

Presentation::Presentation(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Presentation::Drain);
}

void Presentation::Run(std::function<void()> change) {
    if (Holding()) {
        queue_.push_back({Kind::Change, std::move(change)});
        return;
    }
    change();
}

void Presentation::Hold(int ms) {
    if (ms <= 0) return;
    if (Holding()) {
        queue_.push_back({Kind::Pause, {}, ms});
        return;
    }
    StartHold(ms);
}

void Presentation::Box(std::function<void()> show) {
    const bool idle = !Holding();
    queue_.push_back({Kind::Box, std::move(show)});
    // Opened from the event loop, after the work that asked for it returns.
    if (idle) StartHold(0);
}

void Presentation::StartHold(int ms) {
    holding_ = true;
    timer_.start(ms);
}

void Presentation::Drain() {
    holding_ = false;
    while (!queue_.empty() && !holding_) {
        Step step = std::move(queue_.front());
        queue_.pop_front();
        switch (step.kind) {
            case Kind::Change:
                step.run();
                break;
            case Kind::Pause:
                StartHold(step.ms);
                break;
            case Kind::Box: {
                // The box's own events may add steps; they wait behind it.
                const bool nested = inBox_;
                inBox_ = true;
                step.run();
                inBox_ = nested;
                break;
            }
        }
    }
}

void Presentation::Finish() {
    timer_.stop();
    holding_ = false;
    std::deque<Step> waiting = std::exchange(queue_, {});
    for (Step& step : waiting) {
        if (step.kind == Kind::Change) {
            step.run();
        } else if (step.kind == Kind::Box) {
            // The box still tells its news, from the event loop, but what
            // comes next no longer waits for it.
            ++loose_;
            QTimer::singleShot(0, this, [this, show = std::move(step.run)] {
                --loose_;
                const bool nested = inBox_;
                inBox_ = true;
                show();
                inBox_ = nested;
                // Changes that came while it was open go on.
                if (!inBox_ && !holding_ && !queue_.empty()) Drain();
            });
        }
    }
}

}  // namespace vorn
