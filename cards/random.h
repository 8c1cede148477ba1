#pragma once

#include <cstdint>
#include <random>

namespace vorn {

// The one source of randomness of a table: stock draws and the computer
// player's gambles. Seeded once; a seeded generator replays a game exactly,
// which the self-play tool, the game record and the tests rely on.
class Random {
  public:
    virtual ~Random() = default;
    // A uniform number in [0, 1).
    virtual double Uniform() = 0;
};

// 64-bit Mersenne Twister with 53-bit uniform doubles.
class SeededRandom : public Random {
  public:
    explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}
    // Seeded from the operating system's non-deterministic source.
    static std::uint64_t FreshSeed();
    double Uniform() override { return double(engine_() >> 11) * 0x1.0p-53; }
    // Starts the sequence of seed again, in place.
    void Reseed(std::uint64_t seed) { engine_.seed(seed); }

  private:
    std::mt19937_64 engine_;
};

// floor(r x count) for a draw r, clamped so that a draw that rounds up to 1
// still lands on the last entry. count must be at least 1.
inline int UniformIndex(double r, int count) {
    // Truncation is the floor for every product the clamp lets through.
    int index = int(r * count);
    if (index < 0) index = 0;
    if (index > count - 1) index = count - 1;
    return index;
}

}  // namespace vorn
