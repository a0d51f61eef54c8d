#pragma once
// The raw-axis noise test: how much a raw HID axis moves while left alone, how much of its
// logical range it covered when moved, and whether it is stuck at an end of that range.
#include <optional>
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo {

struct Thresholds;

struct RawAxisReport {
    int count = 0;           // readings at rest
    int minSeen = 0;         // smallest of the rest readings and the moved minimum
    int maxSeen = 0;         // largest of the rest readings and the moved maximum
    double mean = 0;         // of the rest readings, counts
    double std = 0;          // population standard deviation of the rest readings, counts
    long long jitter = 0;    // largest minus smallest rest reading, counts (wider than a reading,
                             // because the distance between two extreme readings overflows one)
    int logicalMin = 0;
    int logicalMax = 0;
    double jitterShare = 0;  // jitter / span, fraction
    std::optional<double> coverage; // share of the span covered; only with both moved extremes
    bool stuckAtLimit = false;      // every rest reading at the logical minimum, or at the maximum

    friend bool operator==(const RawAxisReport&, const RawAxisReport&) = default;
};

namespace AxisNoiseAnalysis {

// Absent without rest readings. movedMin and movedMax are the extremes seen while the axis was
// moved.
std::optional<RawAxisReport> analyze(const std::vector<int>& rest, int logicalMin, int logicalMax,
                                     std::optional<int> movedMin, std::optional<int> movedMax);

// Reads jitterWarn, jitterFail, rangeWarn and rangeFail. An axis stuck at an end fails whatever
// its measures say.
TestResult result(const std::vector<int>& rest, int logicalMin, int logicalMax, std::optional<int> movedMin,
                  std::optional<int> movedMax, const std::string& element, const Thresholds& thresholds, Date date);

} // namespace AxisNoiseAnalysis
} // namespace RorozErurEvo
