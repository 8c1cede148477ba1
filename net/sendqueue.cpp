#include "net/sendqueue.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "net/nethost.h"
#include "net/protocol.h"

namespace vorn {

namespace {
constexpr std::string_view kSlotPrefix = "sckConnection(";
// Each message leaves with its "\r\n".
constexpr size_t kTerminatorBytes = 2;
}  // namespace

std::string SendQueue::SlotTarget(int slot) {
    return std::string(kSlotPrefix) + std::to_string(slot) + ")";
}

int SendQueue::TargetSlot(const std::string& target) {
    if (target.compare(0, kSlotPrefix.size(), kSlotPrefix) != 0) return -1;
    size_t close = target.find(')', kSlotPrefix.size());
    if (close == std::string::npos || close + 1 != target.size()) return -1;
    auto slot = ParseDecimal(std::string_view(target).substr(kSlotPrefix.size(), close - kSlotPrefix.size()));
    return slot && *slot >= 0 ? *slot : -1;
}

bool SendQueue::IsChat(const std::string& message) {
    return std::string_view(message).substr(0, tags::kMessage.size()) == tags::kMessage;
}

void SendQueue::Queue(const std::string& message, const std::string& target) {
    const size_t cost = message.size() + kTerminatorBytes;
    Link& link = links_[target];
    const size_t unsent = unsentBytes ? unsentBytes(target) : 0;
    if (link.bytes + unsent + cost > kMaxWaitingBytes) {
        count_ -= link.game.size() + link.chat.size();
        links_.erase(target);
        if (onOverflow) onOverflow(target);
        return;
    }
    (IsChat(message) ? link.chat : link.game).push_back(Entry{nextOrder_++, message});
    link.bytes += cost;
    ++count_;
    if (onQueued) onQueued();
}

void SendQueue::SendToSlot(const std::string& message, int slot) {
    Queue(message, SlotTarget(slot));
}

void SendQueue::SendToHost(const std::string& message) {
    Queue(message, kHostTarget);
}

void SendQueue::SendToAll(const std::string& message) {
    SendToOthers(message, -1);
}

void SendQueue::SendToOthers(const std::string& message, int exceptSlot) {
    SendToEach([&message](int) { return message; }, exceptSlot);
}

void SendQueue::SendToEach(const std::function<std::string(int slot)>& messageFor, int exceptSlot) {
    const Session& session = host_.session();
    const int last = std::min(session.SlotCount, 3);
    for (int slot = 0; slot <= last; ++slot) {
        // A link that has not joined yet hears nothing of the table: it may
        // never join, and the seat may be the computer's meanwhile.
        if (slot == exceptSlot || session.Wire[size_t(slot)] == 0 || !host_.SlotConnected(slot)) continue;
        const std::string message = messageFor(slot);
        if (!message.empty()) SendToSlot(message, slot);
    }
}

bool SendQueue::TakeNext(const std::function<bool(const std::string& target)>& connected, std::string& target,
                         std::string& text) {
    // The oldest head of a connected link's game messages, else of its chat:
    // the smallest (is chat, queued order).
    auto best = links_.end();
    std::pair<bool, std::uint64_t> bestKey;
    for (auto it = links_.begin(); it != links_.end(); ++it) {
        const Link& link = it->second;
        if (link.game.empty() && link.chat.empty()) continue;
        const bool chat = link.game.empty();
        const std::pair<bool, std::uint64_t> key{chat, (chat ? link.chat : link.game).front().order};
        if (best != links_.end() && !(key < bestKey)) continue;
        if (!connected(it->first)) continue;
        best = it;
        bestKey = key;
    }
    if (best == links_.end()) return false;
    std::deque<Entry>& from = bestKey.first ? best->second.chat : best->second.game;
    target = best->first;
    text = std::move(from.front().text);
    from.pop_front();
    best->second.bytes -= text.size() + kTerminatorBytes;
    --count_;
    if (best->second.game.empty() && best->second.chat.empty()) links_.erase(best);
    if (onTaken) onTaken(target, text);
    return true;
}

bool SendQueue::TakeNext(std::string& target, std::string& text) {
    return TakeNext(
        [this](const std::string& name) {
            if (name == kHostTarget) return host_.HostLinkConnected();
            int slot = TargetSlot(name);
            return slot >= 0 && host_.SlotConnected(slot);
        },
        target, text);
}

void SendQueue::Discard() {
    links_.clear();
    count_ = 0;
}

void SendQueue::DiscardFor(const std::string& target) {
    auto it = links_.find(target);
    if (it == links_.end()) return;
    count_ -= it->second.game.size() + it->second.chat.size();
    links_.erase(it);
}

size_t SendQueue::WaitingBytes(const std::string& target) const {
    auto it = links_.find(target);
    return it == links_.end() ? 0 : it->second.bytes;
}

std::vector<std::pair<std::string, std::string>> SendQueue::Waiting() const {
    std::vector<std::tuple<std::uint64_t, std::string, std::string>> all;
    for (const auto& [target, link] : links_) {
        for (const Entry& e : link.game) all.emplace_back(e.order, target, e.text);
        for (const Entry& e : link.chat) all.emplace_back(e.order, target, e.text);
    }
    std::sort(all.begin(), all.end());
    std::vector<std::pair<std::string, std::string>> waiting;
    waiting.reserve(all.size());
    for (auto& [order, target, text] : all) waiting.emplace_back(std::move(target), std::move(text));
    return waiting;
}

}  // namespace vorn
