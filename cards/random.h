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

// The 64-bit Mersenne Twister, number for number std::mt19937_64, but each
// word of the state is seeded and twisted only when it is first needed. A
// game is played on its own seed and takes about a hundred numbers, so most
// of the 312 words are never worked out.
class LazyMt64 {
  public:
    explicit LazyMt64(std::uint64_t seed) { Seed(seed); }
    void Seed(std::uint64_t seed) {
        x_[0] = seed;
        seeded_ = 1;
        next_ = 0;
        twisted_ = false;
    }
    std::uint64_t operator()() {
        if (next_ == kWords) {
            next_ = 0;
            twisted_ = true;
        }
        const int k = next_++;
        // Word k of the new round takes the old k and k + 1 and, below the
        // middle, the old k + 156; past it, the new k - 156 (already made).
        SeedTo(k < kWords - kShift ? k + kShift : kWords - 1);
        const std::uint64_t y = (x_[k] & kUpper) | (x_[(k + 1) % kWords] & kLower);
        x_[k] = x_[(k + kShift) % kWords] ^ (y >> 1) ^ ((y & 1) ? kMatrix : 0);
        std::uint64_t z = x_[k];
        z ^= (z >> 29) & 0x5555555555555555ull;
        z ^= (z << 17) & 0x71D67FFFEDA60000ull;
        z ^= (z << 37) & 0xFFF7EEE000000000ull;
        z ^= z >> 43;
        return z;
    }

  private:
    static constexpr int kWords = 312, kShift = 156;
    static constexpr std::uint64_t kMatrix = 0xB5026F5AA96619E9ull;
    static constexpr std::uint64_t kUpper = ~std::uint64_t(0) << 31, kLower = ~kUpper;
    // The seeding recurrence, carried on as far as word last.
    void SeedTo(int last) {
        if (twisted_) return;
        for (; seeded_ <= last; ++seeded_)
            x_[seeded_] = 6364136223846793005ull * (x_[seeded_ - 1] ^ (x_[seeded_ - 1] >> 62)) + seeded_;
    }
    std::uint64_t x_[kWords];
    int seeded_ = 1;        // words below this one are seeded
    int next_ = 0;          // the next word of the round to hand out
    bool twisted_ = false;  // a whole round has been made: every word is seeded
};

// 64-bit Mersenne Twister with 53-bit uniform doubles.
class SeededRandom : public Random {
  public:
    explicit SeededRandom(std::uint64_t seed) : engine_(seed), seed_(seed) {}
    // Seeded from the operating system's non-deterministic source.
    static std::uint64_t FreshSeed();
    double Uniform() override {
        ++drawn_;
        return double(engine_() >> 11) * 0x1.0p-53;
    }
    // Starts the sequence of seed again, in place.
    void Reseed(std::uint64_t seed) {
        engine_.Seed(seed);
        seed_ = seed;
        drawn_ = 0;
    }
    // Where the sequence stands: its seed and the numbers drawn from it. A
    // saved game carries them, and Restore goes back to that very place.
    std::uint64_t seed() const { return seed_; }
    std::uint64_t drawn() const { return drawn_; }
    void Restore(std::uint64_t seed, std::uint64_t drawn) {
        Reseed(seed);
        for (; drawn_ < drawn; ++drawn_) engine_();
    }

  private:
    LazyMt64 engine_;
    std::uint64_t seed_;
    std::uint64_t drawn_ = 0;
};

// A small, fast generator (splitmix64) for the expert's search: it never
// touches the table's, so asking the expert changes no number the game draws.
// Final, so that code written for it draws without a virtual call.
class SearchRandom final : public Random {
  public:
    explicit SearchRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform() override { return double(Next() >> 11) * 0x1.0p-53; }

  private:
    std::uint64_t state_;
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
