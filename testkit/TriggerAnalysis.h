#pragma once
// Trigger travel: the user pulls one trigger slowly all the way in and lets go. The readings
// give the value at rest, how far the pull reaches, the largest jump and the stretches skipped
// on the way in, how often the value fell back, and where the trigger settles after release.
#include <optional>
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/Samples.h"
#include "testkit/SkipSearch.h"
#include "testkit/TestResult.h"
#include "testkit/Thresholds.h"

namespace RorozErurEvo {

struct TriggerReport {
    double rest = 0;                     // median of the rest window
    double restNoise = 0;                // population standard deviation of the rest window
    double reach = 0;                    // largest value seen; its first sample is the peak
    double largestJump = 0;              // largest rise between consecutive samples while pulling
    std::optional<double> jumpFrom;      // value the largest rise started from
    std::vector<ClosedRange> deadSpots;  // travel never visited while pulling
    int reversals = 0;                   // falls of more than 0.03 below the running peak
    double final = 0;                    // last sample's value
    double pullSeconds = 0;              // seconds from the pull start to the peak
    std::optional<long long> rawRest;    // median raw count at rest (upper middle)
    std::optional<long long> rawReach;   // raw count of the peak sample

    friend bool operator==(const TriggerReport&, const TriggerReport&) = default;
};

namespace TriggerAnalysis {

// Absent only when no sample with a finite time and value is given.
std::optional<TriggerReport> analyze(const std::vector<TriggerSample>& samples, bool analog);

TestResult result(const std::vector<TriggerSample>& samples, const std::string& element, ValueSource source,
                  bool analog, const Thresholds& thresholds, Date date);

} // namespace TriggerAnalysis
} // namespace RorozErurEvo
