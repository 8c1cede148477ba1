#include "net/chatrate.h"

#include <algorithm>

namespace vorn {

bool ChatRate::Allow(std::int64_t nowMs) {
    if (started_ && nowMs > lastMs_)
        tokens_ = std::min(kBurst * kLine, tokens_ + (nowMs - lastMs_) * kPerSecond * kLine / 1000);
    // A clock that goes back is taken as standing still.
    if (!started_ || nowMs > lastMs_) lastMs_ = nowMs;
    started_ = true;
    if (tokens_ < kLine) return false;
    tokens_ -= kLine;
    return true;
}

}  // namespace vorn
