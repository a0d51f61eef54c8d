#pragma once
// Return to centre: each push to the edge that is let go, where the stick came to rest, how
// long it took to settle and how far it swung past the centre.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/Json.h"
#include "testkit/StickGeometry.h"
#include "testkit/TestResult.h"
#include "testkit/Thresholds.h"

namespace RorozErurEvo {

struct Release {
    double t = 0;                             // seconds: the last pushed reading before the release
    Direction8 direction = Direction8::right; // push direction
    PlotPoint settle;                         // resting point, stick units
    double offset = 0;                        // resting point's distance from centre, stick units
    double settleMs = 0;  // milliseconds from the push to the last reading outside the band
    double overshoot = 0; // swing past centre against the push, stick units

    json toJson() const;
    static Release fromJson(const json& object);
    friend bool operator==(const Release&, const Release&) = default;
};

struct SnapbackReport {
    std::vector<Release> releases; // accepted releases in time order
    std::optional<Release> worst;  // largest offset, first of equal ones
    std::optional<double> medianSettleMs;
    std::optional<double> maxSettleMs;
    std::vector<Direction8> directions; // distinct directions, ascending

    friend bool operator==(const SnapbackReport&, const SnapbackReport&) = default;
};

namespace SnapbackAnalysis {

inline constexpr double edge = 0.7; // stick units: a reading this far out counts as pushed
inline constexpr double middle =
    0.3; // stick units: the first reading inside this after a push is the release
inline constexpr double maxDrop = 0.1; // seconds allowed from the last pushed reading to the release
inline constexpr double quiet = 0.35;  // seconds the stick must stay inside `middle` after the release
inline constexpr double band = 0.02;   // stick units around the resting point that count as settled

// Accepted releases in time order. The recording ends at recordedUntil, or at its last reading
// when that is absent. Readings need not be sorted; non-finite ones are skipped.
std::vector<Release> releases(std::span<const StickSample> samples, std::optional<double> recordedUntil);

SnapbackReport analyze(std::span<const StickSample> samples, std::optional<double> recordedUntil);

TestResult result(std::span<const StickSample> samples, const std::string& element, ValueSource source,
                  std::optional<double> recordedUntil, const Thresholds& thresholds, Date date);

} // namespace SnapbackAnalysis
} // namespace RorozErurEvo
