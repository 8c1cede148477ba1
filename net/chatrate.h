#pragma once

#include <cstdint>

namespace vorn {

// How much chat the host passes on from one joiner: a token bucket that lets
// kBurst lines through at once and then kPerSecond lines a second, far above
// what a person types and far below what a broken or hostile client can send.
// Time is given by the caller in milliseconds of a monotonic clock, so that a
// test can run it without waiting.
class ChatRate {
  public:
    static constexpr int kPerSecond = 10;
    static constexpr int kBurst = 20;

    // May a line arriving at nowMs pass? Each line that passes spends a token.
    bool Allow(std::int64_t nowMs);

  private:
    // Tokens in thousandths of a line, so that refilling needs no fractions.
    static constexpr std::int64_t kLine = 1000;
    std::int64_t tokens_ = kBurst * kLine;
    std::int64_t lastMs_ = 0;
    bool started_ = false;
};

}  // namespace vorn
