#include "cards/random.h"

#include <cmath>

namespace vorn {

std::uint64_t SeededRandom::FreshSeed() {
    std::random_device device;
    return (std::uint64_t(device()) << 32) ^ device();
}

int UniformIndex(double r, int count) {
    int index = int(std::floor(r * count));
    if (index < 0) index = 0;
    if (index > count - 1) index = count - 1;
    return index;
}

}  // namespace vorn
