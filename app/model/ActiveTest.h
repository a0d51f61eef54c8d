#pragma once
// The live state of a running guided test: what the phase machine advances frame by frame, what
// the running view shows, and what the finishing step analyses. A plain value; main thread.
#include <optional>
#include <set>
#include <string>

#include "app/model/GuidedTests.h"
#include "testkit/Samples.h"
#include "testkit/StickGeometry.h"

namespace Tessarine {

struct ActiveTest {
    GuidedTest test;
    double start = 0;      // uptime seconds when the test began
    double recordFrom = 0; // uptime seconds where the measuring window begins
    int stage = 0;         // 0, then 1 for the two-phase tests
    std::string prompt;    // the instruction line shown while running
    double progress = 0;   // 0 … 1
    std::string status;    // live counts and coverage
    std::optional<RorozErurEvo::StickPlot> plot;             // live circularity plot
    std::set<std::string> registered;                        // inputs seen so far (buttons test)
    std::set<RorozErurEvo::Direction8> directions;           // directions reached so far
    std::optional<RorozErurEvo::StickSample> initial;        // the stick at the start
    std::optional<RorozErurEvo::TriggerSample> initialAxis;  // the trigger at the start
    std::optional<RorozErurEvo::StickSample> partnerInitial; // the raw partner's stick at the start
    std::optional<int> initialRaw;                           // the axis's raw count at the start

    friend bool operator==(const ActiveTest&, const ActiveTest&) = default;
};

} // namespace Tessarine
