#pragma once
// The full-travel test of a raw axis with a role (steering, twist, throttle): did it reach both
// ends of its logical range, and did it skip any stretch on the way. Positions are fractions of
// the logical range (AxisSpan).
#include <optional>
#include <string>
#include <vector>

#include "testkit/AxisRole.h"
#include "testkit/Date.h"
#include "testkit/SkipSearch.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo {

struct Thresholds;

struct AxisSweepReport {
    double low = 0;                    // position of the smallest value seen
    double high = 0;                   // position of the largest value seen
    std::vector<ClosedRange> skipped;  // stretches between low and high that no value fell in
    int rawLow = 0;
    int rawHigh = 0;

    double coverage() const { return high - low; }
    double largestSkip() const { return SkipSearch::largestWidth(skipped); }

    friend bool operator==(const AxisSweepReport&, const AxisSweepReport&) = default;
};

namespace AxisSweepAnalysis {

// Absent without values.
std::optional<AxisSweepReport> analyze(const std::vector<int>& values, int logicalMin, int logicalMax);
// Reads rangeWarn, rangeFail, sweepSkipWarn and sweepSkipFail.
TestResult result(const std::vector<int>& values, int logicalMin, int logicalMax, AxisRole role,
                  const std::string& element, const Thresholds& thresholds, Date date);

} // namespace AxisSweepAnalysis
} // namespace RorozErurEvo
