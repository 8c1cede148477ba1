#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vorn {

class NetHost;

// The one outgoing queue of a table. Nothing writes to a socket directly: every
// message is queued here with the name of its link, and the send timer takes
// one entry per tick. An entry leaves only when it is taken for sending or
// dropped with its link or the whole queue.
//
// Chat never holds up the game. The next entry to leave is the oldest game
// message (any tag but "[Message]") whose link is connected; only when none
// waits does the oldest chat line whose link is connected go. So a draw or a
// turn overtakes every chat line queued before it, while the game messages
// among themselves, and the chat lines among themselves, keep the order they
// were queued in on every link.
//
// A link may hold at most kMaxWaitingBytes, counting what its socket has not
// written yet (unsentBytes). A message that would pass that is not queued:
// everything waiting for the link is dropped and onOverflow names the link,
// which its owner then treats as lost. One peer that stops reading, or a table
// asked to send faster than the timer can, costs no more than the cap.
class SendQueue {
  public:
    static constexpr size_t kMaxWaitingBytes = 1 << 20;

    // The link names: "sckConnect" for a joiner's link to the host,
    // "sckConnection(n)" for the host's slot n.
    static constexpr const char* kHostTarget = "sckConnect";
    static std::string SlotTarget(int slot);
    // The slot of a "sckConnection(n)" target, read from its 15th character up
    // to the ")"; -1 for "sckConnect" and for any text that names no slot.
    static int TargetSlot(const std::string& target);
    // Chat, which waits behind everything else.
    static bool IsChat(const std::string& message);

    // host answers SlotCount and which slots are connected; it is only
    // remembered here, so it may still be under construction.
    explicit SendQueue(NetHost& host) : host_(host) {}

    void SendToSlot(const std::string& message, int slot);
    void SendToHost(const std::string& message);
    // To every slot 0 .. min(SlotCount, 3) whose link is connected at this
    // moment and has joined (Session::Wire; slot 0 only at a server's table,
    // whose own seat a link may hold).
    void SendToAll(const std::string& message);
    void SendToOthers(const std::string& message, int exceptSlot);
    // The same slots, each its own message (none when messageFor gives "").
    void SendToEach(const std::function<std::string(int slot)>& messageFor, int exceptSlot = -1);

    // Removes the next entry to leave among the links connected() accepts and
    // gives it back; false when no entry can leave. The caller adds "\r\n" and
    // writes it.
    bool TakeNext(const std::function<bool(const std::string& target)>& connected, std::string& target,
                  std::string& text);
    // The same, asking the host which links are connected.
    bool TakeNext(std::string& target, std::string& text);

    // Drops every waiting message (a return to local play).
    void Discard();
    // Drops the messages waiting for one link, keeping the others in order.
    void DiscardFor(const std::string& target);
    bool Empty() const { return count_ == 0; }
    int Count() const { return int(count_); }
    // Bytes waiting for target, each message with its terminator.
    size_t WaitingBytes(const std::string& target) const;

    // Runs after every message queued, so that the send timer can run only
    // while something waits.
    std::function<void()> onQueued;
    // Bytes the socket of target has taken and not written yet; none when unset.
    std::function<size_t(const std::string& target)> unsentBytes;
    // Each entry as it leaves (tests read what a link was told).
    std::function<void(const std::string& target, const std::string& text)> onTaken;
    // target passed the cap; its messages are gone. It may change the queue.
    std::function<void(const std::string& target)> onOverflow;

    // Every waiting (target, text), in the order queued.
    std::vector<std::pair<std::string, std::string>> Waiting() const;

  private:
    struct Entry {
        std::uint64_t order;
        std::string text;
    };
    struct Link {
        std::deque<Entry> game;
        std::deque<Entry> chat;
        size_t bytes = 0;
    };

    void Queue(const std::string& message, const std::string& target);

    NetHost& host_;
    std::map<std::string, Link> links_;
    std::uint64_t nextOrder_ = 0;
    size_t count_ = 0;
};

}  // namespace vorn
