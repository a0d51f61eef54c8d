#pragma once
// Inner deadzone: how far a stick travels from rest before its reported value changes.
#include <optional>
#include <span>
#include <string>

#include "testkit/Date.h"
#include "testkit/StickGeometry.h"
#include "testkit/TestResult.h"
#include "testkit/Thresholds.h"

namespace RorozErurEvo::DeadzoneAnalysis {

// From processed values alone: the distance from the resting point of the first reading after
// the rest period that leaves the resting noise (stick units); absent when none does.
std::optional<double> fromPush(std::span<const StickSample> samples, double restDuration);

// From a raw recording paired with the processed one: how far the raw value had moved (in the
// raw recording's units) when the processed value first moved; absent when it never moved or no
// raw value was held at that instant. Both are measured from the values held at the end of the
// rest period (restDuration seconds after the first processed reading), the stick at rest, not
// from the first readings, which may show a stick still on its way back from where it was
// left; only processed readings after the rest period count as a move.
std::optional<double> fromPaired(std::span<const StickSample> raw, std::span<const StickSample> processed,
                                 double restDuration = 0);

TestResult result(std::optional<double> travel, const std::string& element, ValueSource source, bool paired,
                  const Thresholds& thresholds, Date date);

} // namespace RorozErurEvo::DeadzoneAnalysis
