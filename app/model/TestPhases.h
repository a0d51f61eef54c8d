#pragma once
// The phase machine of a running guided test: what one frame of the model's tick does to the
// test's live state (prompt, countdown, progress, status, stage, live sets and plot), and
// whether the test is complete, as the test kind's record (TestKinds.h) says. Reads the capture
// buffers; never changes them. Main thread.
#include <optional>
#include <string>
#include <vector>

#include "app/model/ActiveTest.h"
#include "testkit/CircularityAnalysis.h"
#include "testkit/SnapbackAnalysis.h"
#include "testkit/Thresholds.h"

namespace Tessarine {

class InputDevice;

namespace TestPhases {

// What the live circularity count and plot have taken in so far. The log only grows, so each
// frame feeds the readings that arrived since the last one instead of walking the whole window.
struct CircleFeed {
    std::string element;
    double from = 0;             // the window start it counts from
    double last = 0;             // time of the newest reading fed
    std::size_t atLast = 0;      // readings fed whose time is `last`
    bool started = false;
    RorozErurEvo::CircularityAnalysis::ProgressCounter counter;
    RorozErurEvo::CircularityAnalysis::ReachCounter reach; // the live plot's outline
};

// What the live snapback count has settled so far. A reading back near the centre that is old
// enough for every release before it to be judged is a point the scan can resume from: the
// releases before it are kept, and each frame scans only the readings from there on.
struct SnapFeed {
    std::string element;
    double from = 0;                           // the window start it counts from
    double resume = 0;                         // where the next scan begins
    std::vector<RorozErurEvo::Release> before; // the releases before `resume`
    bool started = false;
};

// Everything one step reads besides the test's own state.
struct Frame {
    double now = 0;                        // uptime seconds
    const InputDevice* device = nullptr;   // the test device (raw partner or the runner's own)
    const InputDevice* own = nullptr;      // the runner's device (touchpad)
    RorozErurEvo::Thresholds thresholds;   // in effect for the runner's device
    RorozErurEvo::GateShape gate = RorozErurEvo::GateShape::round; // the test's gate choice
    bool fit = false;                      // the test's fit choice
    double* lastPlot = nullptr;            // uptime seconds of the last live-plot refresh
    CircleFeed* circle = nullptr;          // the running circularity count; none: count afresh
    SnapFeed* snap = nullptr;              // the running snapback count; none: count afresh
};

// A logical range as the runner measures with it: the low end and a span of at least 1.
struct Range {
    double low = 0;
    double span = 1;
    friend bool operator==(const Range&, const Range&) = default;
};

// Advances the copy of the running test by one frame. True when the test is complete: its
// completion rule holds or its time limit has passed (strictly).
bool step(ActiveTest& active, const Frame& frame);

// The element's logical range on the device; absent when the device has no such element.
std::optional<Range> logicalRange(const std::string& element, const InputDevice& device);
// The pedal's resting raw count: the median of its values from the start to recordFrom, else
// the raw count noted at the start.
std::optional<int> restValue(const ActiveTest& active, const InputDevice& device, const std::string& element);

} // namespace TestPhases
} // namespace Tessarine
