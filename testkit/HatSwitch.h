#pragma once
// Decoding of a HID hat switch into one of eight compass directions and a step on each axis.
#include <cstdint>
#include <optional>

#include "testkit/StickGeometry.h"

namespace RorozErurEvo::HatSwitch {

// The direction of a hat reading. HID hats count clockwise from up over their logical range
// (0…7 or 1…8; a four-way hat's four positions land on the cardinal directions). Absent for the
// centred (null) state, which hats report as a value outside their range, and for invalid ranges.
std::optional<Direction8> direction(std::int64_t value, std::int64_t logicalMin, std::int64_t logicalMax);
// A corner or edge of the unit square: diagonals give (±1, ±1); no direction gives (0, 0).
PlotPoint point(std::optional<Direction8> direction);

} // namespace RorozErurEvo::HatSwitch
