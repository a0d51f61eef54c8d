#pragma once
// Positions of raw axis readings as fractions of the element's logical range. Unlike the
// clamped scaling of the device layer, a reading outside the range gives a position outside
// 0…1, so an analysis can see it.
#include <algorithm>

namespace RorozErurEvo::AxisSpan {

// logicalMax − logicalMin, never less than 1 count (an empty or inverted range makes shares
// plain counts). Worked out in double so that extreme 32-bit limits cannot overflow.
inline double span(int logicalMin, int logicalMax) {
    return std::max(static_cast<double>(logicalMax) - static_cast<double>(logicalMin), 1.0);
}

// (value − logicalMin) / span: 0 at the minimum, 1 at the maximum.
inline double position(int value, int logicalMin, int logicalMax) {
    return (static_cast<double>(value) - static_cast<double>(logicalMin)) / span(logicalMin, logicalMax);
}

} // namespace RorozErurEvo::AxisSpan
