#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vorn {

class NetHost;

// The one outgoing queue of a table. Nothing writes to a socket directly: every
// message is queued here with the name of its link, and the send timer takes
// the oldest entry whose link is connected, one per tick. OutTexts and
// OutTargets are always the same length, entry n of one belonging to entry n of
// the other; an entry leaves only when it is taken for sending or the whole
// queue is discarded, so messages for one link keep their order.
class SendQueue {
  public:
    // The link names: "sckConnect" for a joiner's link to the host,
    // "sckConnection(n)" for the host's slot n.
    static constexpr const char* kHostTarget = "sckConnect";
    static std::string SlotTarget(int slot);
    // The slot of a "sckConnection(n)" target, read from its 15th character up
    // to the ")"; -1 for "sckConnect" and for any text that names no slot.
    static int TargetSlot(const std::string& target);

    // host answers SlotCount and which slots are connected; it is only
    // remembered here, so it may still be under construction.
    explicit SendQueue(NetHost& host) : host_(host) {}

    void SendToSlot(const std::string& message, int slot);
    void SendToHost(const std::string& message);
    // To every slot 1 .. min(SlotCount, 3) that is connected at this moment.
    void SendToAll(const std::string& message);
    void SendToOthers(const std::string& message, int exceptSlot);

    // Removes the oldest entry whose link connected() accepts and gives it back;
    // false when no entry can leave. The caller adds "\r\n" and writes it.
    bool TakeNext(const std::function<bool(const std::string& target)>& connected, std::string& target,
                  std::string& text);
    // The same, asking the host which links are connected.
    bool TakeNext(std::string& target, std::string& text);

    // Drops every waiting message (a return to local play).
    void Discard();
    // Drops the messages waiting for one link, keeping the others in order.
    void DiscardFor(const std::string& target);
    bool Empty() const { return OutTexts.empty(); }
    int Count() const { return int(OutTexts.size()); }

    // Runs after every message queued, so that the send timer can run only
    // while something waits.
    std::function<void()> onQueued;

    const std::vector<std::string>& Texts() const { return OutTexts; }
    const std::vector<std::string>& Targets() const { return OutTargets; }

  private:
    void Queue(const std::string& message, std::string target);

    NetHost& host_;
    std::vector<std::string> OutTexts;
    std::vector<std::string> OutTargets;
};

}  // namespace vorn
