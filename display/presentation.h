#pragma once

#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

namespace vorn {

// What the table shows, in the order the table told it and at the pace of its
// pauses. The table never waits for the screen: it changes at once and tells
// the window, and the window shows each change here in turn. A change runs at
// once when nothing is being shown; otherwise it waits behind the changes,
// pauses and boxes before it. A pause is a single-shot timer that starts what
// comes after it, never a nested event loop.
//
// A box is always opened from the event loop, once everything before it is
// shown, and never from inside the work that asked for it.
class Presentation : public QObject {
  public:
    explicit Presentation(QObject* parent = nullptr);

    // A change to the screen.
    void Run(std::function<void()> change);
    // Holds whatever comes next for ms milliseconds; nothing for ms <= 0.
    void Hold(int ms);
    // A box, opened by show; what comes after it waits until it is closed.
    void Box(std::function<void()> show);

    // Changes wait, a pause runs or a box is open or about to open.
    bool Busy() const { return Holding() || loose_ > 0; }
    // Shows every waiting change at once, without the pauses; the waiting
    // boxes still open, from the event loop, and hold nothing back.
    void Finish();

  private:
    enum class Kind { Change, Pause, Box };
    struct Step {
        Kind kind;
        std::function<void()> run;
        int ms = 0;
    };
    void Drain();
    void StartHold(int ms);
    // What comes next must wait.
    bool Holding() const { return holding_ || inBox_ || !queue_.empty(); }

    std::deque<Step> queue_;
    QTimer timer_;
    bool holding_ = false;
    bool inBox_ = false;
    int loose_ = 0;  // boxes Finish let go that have yet to open
};

}  // namespace vorn
