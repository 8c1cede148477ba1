#include "net/sendqueue.h"

#include <algorithm>
#include <utility>

#include "net/nethost.h"
#include "net/protocol.h"

namespace vorn {

namespace {
constexpr std::string_view kSlotPrefix = "sckConnection(";
}

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

void SendQueue::Queue(const std::string& message, std::string target) {
    OutTexts.push_back(message);
    OutTargets.push_back(std::move(target));
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
    const int last = std::min(host_.session().SlotCount, 3);
    for (int slot = 1; slot <= last; ++slot)
        if (slot != exceptSlot && host_.SlotConnected(slot)) SendToSlot(message, slot);
}

bool SendQueue::TakeNext(const std::function<bool(const std::string& target)>& connected, std::string& target,
                         std::string& text) {
    for (size_t i = 0; i < OutTargets.size(); ++i) {
        if (!connected(OutTargets[i])) continue;
        target = std::move(OutTargets[i]);
        text = std::move(OutTexts[i]);
        OutTargets.erase(OutTargets.begin() + std::ptrdiff_t(i));
        OutTexts.erase(OutTexts.begin() + std::ptrdiff_t(i));
        return true;
    }
    return false;
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
    OutTexts.clear();
    OutTargets.clear();
}

void SendQueue::DiscardFor(const std::string& target) {
    std::vector<std::string> texts, targets;
    for (size_t i = 0; i < OutTargets.size(); ++i) {
        if (OutTargets[i] == target) continue;
        texts.push_back(std::move(OutTexts[i]));
        targets.push_back(std::move(OutTargets[i]));
    }
    OutTexts = std::move(texts);
    OutTargets = std::move(targets);
}

}  // namespace vorn
