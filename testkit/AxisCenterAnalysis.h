#pragma once
// The centre test of a self-centring raw axis (steering, twist): where it rests and how much it
// jitters there.
#include <optional>
#include <string>
#include <vector>

#include "testkit/AxisRole.h"
#include "testkit/Date.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo {

struct Thresholds;

struct AxisCenterReport {
    double offset = 0;         // magnitude of signedOffset
    double signedOffset = 0;   // (rest − middle) / half the range; negative below the middle
    double jitter = 0;         // (largest − smallest value) / span
    int rawRest = 0;           // the upper middle of the sorted values
    bool stuckAtLimit = false; // every value at the logical minimum, or every one at the maximum

    friend bool operator==(const AxisCenterReport&, const AxisCenterReport&) = default;
};

namespace AxisCenterAnalysis {

// Absent without values.
std::optional<AxisCenterReport> analyze(const std::vector<int>& values, int logicalMin, int logicalMax);
// Reads centerWarn, centerFail, jitterWarn and jitterFail. An axis stuck at an end fails.
TestResult result(const std::vector<int>& values, int logicalMin, int logicalMax, AxisRole role,
                  const std::string& element, const Thresholds& thresholds, Date date);

} // namespace AxisCenterAnalysis
} // namespace RorozErurEvo
