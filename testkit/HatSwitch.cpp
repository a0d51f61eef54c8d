#include "testkit/HatSwitch.h"

#include <cmath>
#include <numbers>

namespace RorozErurEvo::HatSwitch {

std::optional<Direction8> direction(std::int64_t value, std::int64_t logicalMin, std::int64_t logicalMax) {
    // Unsigned differences: exact for any 64-bit range, where max − min + 1 could overflow.
    if (logicalMax < logicalMin || value < logicalMin) return std::nullopt;
    const auto span = static_cast<std::uint64_t>(logicalMax) - static_cast<std::uint64_t>(logicalMin);
    auto offset = static_cast<std::uint64_t>(value) - static_cast<std::uint64_t>(logicalMin);
    if (span < 3 || offset > span) return std::nullopt; // fewer than 4 positions, or the null state
    if (span <= 6) offset *= 2;                         // a four-way hat: cardinal directions only
    if (offset > 7) return std::nullopt;
    // Clockwise from up → counter-clockwise from right, kept in 0…7 (C++'s % keeps the sign).
    const int raw = ((2 - static_cast<int>(offset)) % 8 + 8) % 8;
    return direction8(raw);
}

PlotPoint point(std::optional<Direction8> direction) {
    if (!direction) return PlotPoint{0, 0};
    const double theta = rawValue(*direction) * std::numbers::pi * 0.25;
    auto step = [](double component) {
        if (std::fabs(component) < 0.01) return 0.0;
        return component > 0 ? 1.0 : -1.0;
    };
    return PlotPoint{step(std::cos(theta)), step(std::sin(theta))};
}

} // namespace RorozErurEvo::HatSwitch
