#include "testkit/SeededRandom.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace RorozErurEvo {

std::uint64_t SeededRandom::next() {
    state += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double SeededRandom::unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

double SeededRandom::gaussian() {
    // A first draw of 0 would take the logarithm of 0.
    const double u1 = std::max(unit(), 1e-12);
    const double u2 = unit();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

} // namespace RorozErurEvo
