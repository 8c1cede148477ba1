#include "net/framer.h"

#include <utility>

namespace vorn {

void Framer::Append(std::string_view bytes) {
    tail_.append(bytes);
    size_t start = 0;
    for (;;) {
        size_t end = tail_.find("\r\n", searched_);
        if (end == std::string::npos) break;
        if (discarding_) {
            discarding_ = false;
        } else if (end - start > kMaxTail) {
            // Past the cap, though its end came in the same arrival.
            ++dropped_;
        } else {
            ready_.push_back(tail_.substr(start, end - start));
        }
        start = end + 2;
        searched_ = start;
    }
    tail_.erase(0, start);
    // A "\r" at the very end may be the first half of a terminator.
    searched_ = tail_.empty() ? 0 : tail_.size() - 1;

    if (tail_.size() > kMaxTail) {
        if (!discarding_) ++dropped_;
        discarding_ = true;
        const bool carriageReturn = tail_.back() == '\r';
        tail_.clear();
        if (carriageReturn) tail_ = "\r";
        searched_ = 0;
    }
}

bool Framer::Pop(std::string& message) {
    if (ready_.empty()) return false;
    message = std::move(ready_.front());
    ready_.pop_front();
    return true;
}

void Framer::Reset() {
    tail_.clear();
    searched_ = 0;
    discarding_ = false;
    dropped_ = 0;
    ready_.clear();
}

}  // namespace vorn
