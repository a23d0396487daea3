// SPDX-License-Identifier: MIT
#include "Rotation.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace engine {

double ClockSeededRandom::next() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = static_cast<unsigned long long>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    std::seed_seq seed{static_cast<unsigned>(ticks), static_cast<unsigned>(ticks >> 32)};
    std::mt19937_64 generator(seed);
    return std::generate_canonical<double, 53>(generator);
}

int pickIndex(int count, double r) {
    if (count <= 0)
        return -1;
    const int index = static_cast<int>(std::floor(count * r));
    return std::clamp(index, 0, count - 1);
}

} // namespace engine
