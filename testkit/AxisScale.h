#pragma once
// Scaling of a HID element's logical integer range onto unit and centred values, and the repair
// of signed fields that arrive as unsigned bit patterns.
#include <cstdint>

namespace RorozErurEvo::AxisScale {

// (value − min) / (max − min) clamped to 0...1; 0 when the range is empty or inverted.
double unit(std::int64_t value, std::int64_t min, std::int64_t max);
// The midpoint of min...max maps to 0, min to −1 and max to +1, clamped to −1...1; 0 for an empty
// or inverted range.
double centered(std::int64_t value, std::int64_t min, std::int64_t max);
// For a signed field (logicalMin < 0) of 1 to 63 bits, a value above logicalMax is the unsigned
// pattern of a negative number: value − 2^bits. Every other value is returned unchanged.
std::int64_t signExtend(std::int64_t value, int bits, std::int64_t logicalMin, std::int64_t logicalMax);

} // namespace RorozErurEvo::AxisScale
