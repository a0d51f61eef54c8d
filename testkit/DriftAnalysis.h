#pragma once
// How far a stick left alone rests from centre and how much it wanders.
#include <optional>
#include <span>
#include <string>

#include "testkit/Date.h"
#include "testkit/StickGeometry.h"
#include "testkit/TestResult.h"
#include "testkit/Thresholds.h"

namespace RorozErurEvo {

struct DriftReport {
    int count = 0;                    // readings analysed
    double meanX = 0;                 // stick units
    double meanY = 0;                 // stick units
    double offset = 0;                // distance of the mean point from centre, stick units
    double maxOffset = 0;             // largest radius of a single reading, stick units
    double noise = 0;                 // sqrt(var x + var y), population variances, stick units
    std::optional<PlotPoint> rawMean; // mean raw counts over the readings that carry them

    friend bool operator==(const DriftReport&, const DriftReport&) = default;
};

namespace DriftAnalysis {

// Absent when there is no usable reading. Readings need not be sorted or evenly spaced; a
// reading with a non-finite time or coordinate is skipped.
std::optional<DriftReport> analyze(std::span<const StickSample> samples);

TestResult result(std::span<const StickSample> samples, const std::string& element, ValueSource source,
                  const Thresholds& thresholds, Date date);

} // namespace DriftAnalysis
} // namespace RorozErurEvo
