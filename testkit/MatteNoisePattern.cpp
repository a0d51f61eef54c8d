#include "testkit/MatteNoisePattern.h"

namespace RorozErurEvo::MatteNoisePattern {

std::uint64_t advance(std::uint64_t state) { return state * multiplier + increment; }

double fraction(std::uint64_t state) { return double(state >> 33) / 2147483648.0; }

std::vector<Dot> dots(double width, double height) {
    std::vector<Dot> result;
    result.reserve(dotCount);
    std::uint64_t state = seed;
    for (int i = 0; i < dotCount; ++i) {
        state = advance(state);
        const double u = fraction(state);
        state = advance(state);
        const double v = fraction(state);
        result.push_back({width * u, height * v, i % 2 == 0});
    }
    return result;
}

} // namespace RorozErurEvo::MatteNoisePattern
