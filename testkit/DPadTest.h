#pragma once
// The d-pad test: which of the eight directions a directional pad registered, and whether its
// four arms bounce. The pad is recorded as a two-axis stick trace (each axis -1, 0 or +1, or a
// hat switch mapped to such a point).
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/Samples.h"
#include "testkit/StickGeometry.h"
#include "testkit/TestResult.h"
#include "testkit/Thresholds.h"

namespace RorozErurEvo {
namespace DPadTest {

// The direction of a point; absent inside the square |x| <= threshold, |y| <= threshold.
// A point past the threshold on both axes is a diagonal only.
std::optional<Direction8> direction(double x, double y, double threshold);

// Every direction the trace reached, with a threshold of 0.5.
std::set<Direction8> directions(const std::vector<StickSample>& samples);

// Press and release events of the arms "Up", "Down", "Left" and "Right" (a diagonal holds two).
// At each sample, presses come before releases, each in ascending name order; arms still held
// at the end are not released.
std::vector<ButtonEvent> events(const std::vector<StickSample>& samples, double threshold);

// Any missing direction fails; one chatter event warns, two fail. An empty trace is a trace
// with all eight directions missing.
TestResult result(const std::vector<StickSample>& samples, const std::string& element, ValueSource source,
                  const Thresholds& thresholds, Date date);

} // namespace DPadTest
} // namespace RorozErurEvo
