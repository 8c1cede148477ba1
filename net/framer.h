#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace vorn {

// Cuts the bytes arriving on one link into messages. Each arrival is appended;
// every complete message (ending in "\r\n") can then be popped without its
// terminator, and an unterminated tail waits for the link's next arrival. The
// framing works on the raw bytes: the two terminator bytes never occur inside
// a code page 936 character, so each message can be decoded whole afterwards.
//
// The tail is capped at kMaxTail bytes. A line that grows past it is dropped
// together with the rest of it up to its own "\r\n", after which the link
// frames normally again; one peer sending an endless line costs no more than
// the cap.
class Framer {
  public:
    static constexpr size_t kMaxTail = size_t{64} * 1024;

    void Append(std::string_view bytes);
    // The oldest complete message not popped yet; false when there is none.
    bool Pop(std::string& message);

    // Bytes waiting for their terminator.
    size_t TailSize() const { return tail_.size(); }
    // The start of a message still to be finished, to be handed on with the
    // link to another framer (nothing while an over-long line is dropped).
    std::string_view Unfinished() const { return discarding_ ? std::string_view{} : tail_; }
    // Over-long lines dropped since the framer was made or reset.
    int Dropped() const { return dropped_; }
    void Reset();

  private:
    std::string tail_;
    // Where the next search for "\r\n" in tail_ starts: everything before it
    // is known to hold none.
    size_t searched_ = 0;
    // The tail was dropped; the bytes up to the next terminator belong to it.
    bool discarding_ = false;
    int dropped_ = 0;
    std::deque<std::string> ready_;
};

}  // namespace vorn
