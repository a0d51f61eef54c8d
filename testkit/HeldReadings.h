#pragma once
// A capture log keeps a stick reading only when it differs from the one before, so a stick
// held still (pushed against its rim, say) leaves one reading at the start of the hold and
// nothing until it moves. Analyses that time how long after the last pushed reading the stick
// came back would then count the whole hold. This puts back, just before each reading, the
// previous reading as it still stood then.
#include <span>
#include <vector>

#include "testkit/StickGeometry.h"

namespace RorozErurEvo::HeldReadings {

// Seconds before the next reading at which a held reading is put back. Below the report
// interval of any controller, so a stream without gaps gets nothing added.
inline constexpr double lead = 0.001;

// The readings in time order with a copy of each one at (next reading's time − lead) wherever
// the next reading comes more than 2 × lead later. Readings with a time or coordinate that
// is not finite are left out.
std::vector<StickSample> restore(std::span<const StickSample> samples);

} // namespace RorozErurEvo::HeldReadings
