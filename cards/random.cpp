#include "cards/random.h"

namespace vorn {

std::uint64_t SeededRandom::FreshSeed() {
    std::random_device device;
    return (std::uint64_t(device()) << 32) ^ device();
}

}  // namespace vorn
