#pragma once
// Wheel steps of a mouse: steps per direction, runs of steps separated by pauses, and steps
// against the main direction of their run (the mark of a worn wheel encoder).
#include <vector>

#include "testkit/Json.h"

namespace RorozErurEvo {

// One wheel step.
struct ScrollEvent {
    double t = 0;     // seconds
    double delta = 0; // signed wheel movement: positive is up, any other non-zero value down

    json toJson() const;
    static ScrollEvent fromJson(const json& value);
    friend bool operator==(const ScrollEvent&, const ScrollEvent&) = default;
};

struct ScrollReport {
    int up = 0;        // steps counted up
    int down = 0;      // steps counted down
    int reversals = 0; // steps against their run's main direction, over runs of three or more steps
    int runs = 0;      // bursts of steps separated by pauses longer than the run gap

    friend bool operator==(const ScrollReport&, const ScrollReport&) = default;
};

namespace ScrollAnalysis {

// runGapSeconds: a pause strictly longer than this starts a new run. Steps with a delta of
// exactly 0 count nowhere. Never fails; no steps give all counts 0.
ScrollReport analyze(const std::vector<ScrollEvent>& events, double runGapSeconds);

} // namespace ScrollAnalysis
} // namespace RorozErurEvo
