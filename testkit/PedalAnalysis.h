#pragma once
// The pedal test: where a pedal reads at rest, how far a full press reaches, whether it skips
// while pressing, whether it returns, and which dead zones to set in a game or the pedal's own
// software.
#include <optional>
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/SkipSearch.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo {

struct Thresholds;

// Positions run from 0 (released) to 1 (fully pressed), flipped for a pedal that reads high
// when released.
struct PedalReport {
    bool inverted = false;
    double rest = 0;
    double restJitter = 0;             // largest − smallest position at rest
    double reach = 0;                  // deepest press, never below rest
    std::vector<ClosedRange> skipped;  // stretches between rest and reach skipped while pressing
    std::optional<double> final;       // after letting go; absent without such readings
    double bottomDeadzone = 0;         // to set at the released end, whole percents rounded up
    double topDeadzone = 0;            // to set at the pressed end, whole percents rounded up

    double largestSkip() const { return SkipSearch::largestWidth(skipped); }

    friend bool operator==(const PedalReport&, const PedalReport&) = default;
};

namespace PedalAnalysis {

// rest: foot off; press: pressing slowly all the way down; after: after letting go. Without
// rest readings the first press reading serves as the rest; without either, absent.
std::optional<PedalReport> analyze(const std::vector<int>& rest, const std::vector<int>& press,
                                   const std::vector<int>& after, int logicalMin, int logicalMax);
// Reads pedalRestWarn/Fail, pedalReachWarn/Fail, sweepSkipWarn/Fail and jitterWarn/Fail.
TestResult result(const std::vector<int>& rest, const std::vector<int>& press, const std::vector<int>& after,
                  int logicalMin, int logicalMax, const std::string& element, const Thresholds& thresholds,
                  Date date);

} // namespace PedalAnalysis
} // namespace RorozErurEvo
