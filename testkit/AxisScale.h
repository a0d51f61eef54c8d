#pragma once
// Scaling of a HID element's logical integer range onto unit and centred values, and the repair
// of signed fields that arrive as unsigned bit patterns. Inline: the HID thread calls them for
// every value of every report.
//
// Differences are taken in double precision: the integer subtraction could overflow for ranges
// near the ends of 64 bits, and every range of a real HID field (at most 32 bits) is exact in a
// double anyway.
#include <algorithm>
#include <cstdint>
#include <limits>

namespace RorozErurEvo::AxisScale {

// (value − min) / (max − min) clamped to 0...1; 0 when the range is empty or inverted.
inline double unit(std::int64_t value, std::int64_t min, std::int64_t max) {
    if (max <= min) return 0;
    double span = static_cast<double>(max) - static_cast<double>(min);
    double fraction = (static_cast<double>(value) - static_cast<double>(min)) / span;
    return std::clamp(fraction, 0.0, 1.0);
}

// The midpoint of min...max maps to 0, min to −1 and max to +1, clamped to −1...1; 0 for an empty
// or inverted range.
inline double centered(std::int64_t value, std::int64_t min, std::int64_t max) {
    double half = (static_cast<double>(max) - static_cast<double>(min)) * 0.5;
    if (!(half > 0)) return 0;
    double offset = static_cast<double>(value) - static_cast<double>(min) - half;
    return std::clamp(offset / half, -1.0, 1.0);
}

// For a signed field (logicalMin < 0) of 1 to 63 bits, a value above logicalMax is the unsigned
// pattern of a negative number: value − 2^bits. Every other value is returned unchanged.
inline std::int64_t signExtend(std::int64_t value, int bits, std::int64_t logicalMin, std::int64_t logicalMax) {
    if (logicalMin >= 0 || bits < 1 || bits > 63 || value <= logicalMax) return value;
    // value − 2^bits in unsigned arithmetic: exact for every width up to 63, where the signed
    // subtraction of 2^63 would overflow. Below the smallest 64-bit integer there is no answer,
    // and such a value (negative already) is no unsigned pattern: it stays as it is.
    const auto power = std::uint64_t{1} << bits;
    const auto floor = static_cast<std::int64_t>(
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::min()) + power);
    if (value < floor) return value;
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(value) - power);
}

} // namespace RorozErurEvo::AxisScale
