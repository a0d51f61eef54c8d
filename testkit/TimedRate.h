#pragma once
// A report rate as far as the clock that stamped the reports can tell it.
//
// Some clocks stamp events in whole steps (the window system's in milliseconds, SDL's joystick
// events too). Reports that come faster than one a step share stamps; the median interval then
// reads as one step and would show a rate the device never had. Such a run is told as "at least
// one report per step" instead.
#include <optional>
#include <string>
#include <vector>

namespace RorozErurEvo {

struct TimedRate {
    double hz = 0;
    // The reports came faster than the stamps resolve: hz is the most the clock can tell.
    bool atLeast = false;
    double resolution = 0; // seconds per step of the stamps; 0 for a fine clock

    friend bool operator==(const TimedRate&, const TimedRate&) = default;
};

namespace ReportRateAnalysis {

// Millisecond stamps: the window system's and SDL's event clocks.
inline constexpr double millisecondStamps = 0.001;
// Share of intervals shorter than a step (two reports under one stamp) from which the rate is
// told as a floor; a few such pairs are the jitter of a slower device.
inline constexpr double sharedStampShare = 0.1;

// The rate of `times` (seconds, any order): with a fine clock (resolution 0) the median-interval
// estimate over intervals longer than minInterval; with a stepped clock, at least 1 / resolution
// when a tenth of the intervals or more fall within one step, else that same estimate. Absent
// with fewer than two times.
std::optional<TimedRate> timedEstimate(std::vector<double> times, double minInterval, double resolution);

// "≥ 1,000 reports/s (the system times events to the millisecond)".
std::string floorText(const TimedRate& rate);

} // namespace ReportRateAnalysis

} // namespace RorozErurEvo
