#pragma once
// How often a device reports, from the times of its reports.
//
// The rate counts reports over the time they took: (N − 1) / (t_last − t_first). Over a second
// of reports that is exact to the clock's step at both ends, so millisecond stamps give it to
// about a tenth of a percent, where the middle interval of millisecond stamps can only read
// 1000 / k (a 400 Hz mouse, 2 or 3 ms apart, would read 333 or 500). Stretches without reports
// longer than a pause (the user stopped moving) are left out of both the count and the time,
// so a rate read "while moving" does not sink with every stop.
//
// Some clocks stamp events in whole steps (the window system's in milliseconds, SDL's joystick
// events too). When most reports share their step with another, the stamps cannot tell whether
// they are separate reports or the values of one report delivered one by one; such a run is
// told as "at least one report per step" instead. When nearly all reports lie exactly one step
// apart, the stamps cannot tell either whether more came within a step (a layer that keeps one
// stamp per time shows two reports of one step as one): what was counted is told as a floor.
// Reports slower than the step (800 a second, 1 or 2 ms apart) are counted as they are.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "testkit/Middle.h"

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
// An interval is a pause, not the device's pace, when it is longer than both of these:
inline constexpr double shortestPause = 0.1; // seconds
inline constexpr double pauseFactor = 8;     // times the median interval
// Share of a run's intervals that, each exactly one step of a stepped clock, make its rate a
// floor. Reports at 900 a second or slower leave more than a tenth of their intervals two steps
// long.
inline constexpr double mostlyOneStep = 0.9;

// Reports per second of a run of reports from its `count` intervals (consecutive reports'
// time differences) and the time `span` from its first report to its last: the intervals that
// are no pause, counted over the time they cover. `longOnes` are the intervals longer than
// shortestPause, in any order: no other can be a pause. `median()` gives the median interval;
// it is asked only when the run is slow enough for the median to set the pause, so a caller
// that keeps many intervals never has to order them. Absent without intervals or when they
// cover no time. The one rule behind every rate here and behind the raw view's live rates.
template <class Median>
std::optional<double> rateOfRun(std::size_t count, double span, std::vector<double> longOnes, Median median) {
    if (count == 0) return std::nullopt;
    double pause = shortestPause;
    if (!longOnes.empty()) {
        // The intervals add up to the span, so the upper half of them, from the median on, lies
        // within it: the median is at most span / (count − count / 2). Half the pause leaves room
        // for rounding.
        const double most = span / static_cast<double>(count - count / 2);
        if (!(pauseFactor * most < shortestPause / 2)) pause = std::max(shortestPause, pauseFactor * median());
    }
    std::sort(longOnes.begin(), longOnes.end(), [](double a, double b) { return a > b; });
    std::size_t kept = count;
    double paused = 0;
    for (double interval : longOnes) {
        if (!(interval > pause)) break;
        paused += interval;
        --kept;
    }
    const double moving = span - paused;
    if (kept == 0 || !(moving > 0)) return std::nullopt;
    return static_cast<double>(kept) / moving;
}

// The rate of `times` (seconds, any order; times that are not finite are left out). With a
// stepped clock (resolution above 0) a run in which most reports share their step with a
// neighbour is told as at least 1 / resolution, and one in which nearly all intervals are one
// step (mostlyOneStep) as at least the rate counted. Absent with fewer than two times.
std::optional<TimedRate> timedEstimate(std::vector<double> times, double resolution);

// "≥ 1,000 reports/s (the system times events to the millisecond)".
std::string floorText(const TimedRate& rate);
// Its figure alone, where a column has no room for the reason: "≥ 1,000 reports/s".
std::string floorFigure(const TimedRate& rate);

} // namespace ReportRateAnalysis

} // namespace RorozErurEvo
