#pragma once
// The wireless soak timeline: the times of a device's input reports and its disconnects over a
// run of several minutes, classified into connected stretches, dropouts (short silences while
// input was arriving) and pauses (long silences: the user stopped moving), with the time that
// had input and the report rate.
#include <optional>
#include <vector>

#include "testkit/Json.h"

namespace RorozErurEvo {

struct Thresholds;

// What the soak runner recorded. Times are seconds on the runner's monotonic clock.
struct SoakTimeline {
    struct Outage {
        double from = 0;              // seconds: the device went away
        std::optional<double> to;     // seconds: it came back; absent while still away

        friend bool operator==(const Outage&, const Outage&) = default;
    };

    double start = 0;                 // seconds
    double end = 0;                   // seconds (now, for a live analysis)
    std::vector<double> reports;      // seconds, in any order
    std::vector<Outage> outages;

    friend bool operator==(const SoakTimeline&, const SoakTimeline&) = default;
};

// One stretch of a run, relative to its start.
struct SoakSpan {
    double start = 0;   // seconds from the start of the run
    double length = 0;  // seconds

    double end() const { return start + length; }

    json toJson() const;
    static SoakSpan fromJson(const json& value);

    friend bool operator==(const SoakSpan&, const SoakSpan&) = default;
};

struct SoakReport {
    double seconds = 0;                // length of the run
    std::vector<SoakSpan> gaps;        // dropouts
    std::vector<SoakSpan> pauses;      // silences longer than the pause threshold
    std::vector<SoakSpan> outages;     // disconnects, clipped to the run and merged
    double activeSeconds = 0;          // time with input
    double longestGap = 0;             // seconds; 0 without dropouts
    std::optional<double> reportRate;  // hertz while input was arriving
    int reports = 0;                   // report times inside the run

    int disconnects() const { return static_cast<int>(outages.size()); }
    double disconnectedSeconds() const;
    // Share of the run with input, at most 1; 0 for a run without length.
    double coverage() const;
    // Dropouts per minute of input; 0 without input.
    double gapsPerMinute() const;

    friend bool operator==(const SoakReport&, const SoakReport&) = default;
};

namespace SoakAnalysis {

// Reads soakGapMs and soakPauseSeconds of the thresholds.
SoakReport analyze(const SoakTimeline& timeline, const Thresholds& thresholds);

} // namespace SoakAnalysis
} // namespace RorozErurEvo
