#pragma once
// What the user sees of a soak run and what a saved session keeps: the soak test's result with
// its measures and event lines, the binned timeline strip, and the clock and duration texts of
// the live soak view.
#include <string>

#include "testkit/Date.h"
#include "testkit/SoakAnalysis.h"
#include "testkit/SoakStrip.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo {

namespace SoakAnalysis {

// The run cut into max(count, 1) equal bins; each shows the worst thing that happened in it
// (disconnected, then dropout, then pause, then ok).
SoakStrip strip(const SoakReport& report, int count);

// The soak test's result, with the 120-bin strip of the run as its timeline.
TestResult result(const SoakTimeline& timeline, const std::string& element, ValueSource source,
                  const Thresholds& thresholds, Date date);
// The same for a run already analysed with these thresholds.
TestResult result(const SoakReport& report, const std::string& element, ValueSource source,
                  const Thresholds& thresholds, Date date);

// Minutes, a colon and two-digit seconds: 75.9 → "1:15".
std::string clock(double seconds);
// A duration as spoken: 90 → "1 min 30 s", 600 → "10 min", 42 → "42 s".
std::string minutes(double seconds);

} // namespace SoakAnalysis
} // namespace RorozErurEvo
