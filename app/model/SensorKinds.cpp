// The kinds that read the controller's own sensors: motion, the touchpad and the battery. They
// read the runner's own device whatever the test's raw flag says.
//
// e = seconds since the test began. "Limit" ends the test on the first frame after it.
//
//   motion      0 ─ still: "Set the controller down… 4" … "1" ─ 3.2 ─ stage 1, moving ─
//               complete at 7.7. Progress e / 7.7 throughout. The rest window of the result
//               begins at 1.2, once setting it down has died away.
//   touchpad    one phase: coverage and fingers ─ complete at ≥ 70 %, ≥ 2 fingers, 0.5 s quiet.
//               Limit 40 s.
//   battery     no phases: it ends as it starts, with the level and state the device reports.
//
// Ended by Done or a limit short of its rule (moved for less than its time, a surface short of
// 70 % or touched by one finger), a result says so and is at best a warning.
#include <algorithm>
#include <set>

#include "app/devices/InputDevice.h"
#include "app/model/KindParts.h"
#include "testkit/BatteryCheck.h"
#include "testkit/MotionAnalysis.h"
#include "testkit/TouchpadAnalysis.h"

namespace Tessarine::TestKinds {

using namespace RorozErurEvo;
using TestPhases::Frame;

namespace {

// Time limit, seconds since the start.
constexpr double touchpadLimit = 40;

// ---- motion

bool motionStep(Active& a, const Frame&, double e) {
    if (e < PhaseTimings::motionStillSeconds) {
        a.prompt = "Set the controller down and don't touch it\u2026 " + countdown(PhaseTimings::motionStillSeconds, e);
    } else {
        a.stage = 1;
        a.prompt = "Now pick it up and turn it around in your hands.";
    }
    a.progress = std::clamp(e / PhaseTimings::motionSeconds, 0.0, 1.0);
    return e >= PhaseTimings::motionSeconds;
}

// Moved for less than the test's time; ended before the moving began, it has no result at all.
std::optional<std::string> motionShort(const Ending& x, const TestResult&) {
    const double moved = x.now - x.active.start - PhaseTimings::motionStillSeconds;
    const double asked = PhaseTimings::motionSeconds - PhaseTimings::motionStillSeconds;
    if (moved >= asked) return std::nullopt;
    return "turned for " + oneDecimal(std::max(moved, 0.0)) + " of " + oneDecimal(asked) + " s";
}

std::optional<TestResult> motionEnd(const Ending& x) {
    const double start = x.active.start;
    std::vector<MotionSample> rest, moving;
    for (const auto& m : x.own.buffer().motion(start, x.now)) {
        if (m.t >= start + PhaseTimings::motionStillSeconds) moving.push_back(m);
        else if (m.t >= start + PhaseTimings::motionStillFrom) rest.push_back(m);
    }
    return MotionAnalysis::result(rest, moving, "", ValueSource::processed, x.date);
}

// ---- touchpad

// How much of the surface a complete run covers, and with how many fingers.
constexpr double fullSurface = 0.7;
constexpr std::size_t bothFingers = 2;

// The surface covered since recordFrom, the fingers seen and the time of the newest touch.
struct Touched {
    double coverage = 0;
    std::size_t fingers = 0;
    std::optional<double> newest;
};

Touched touchedSoFar(const Active& a, const InputDevice& own) {
    const auto touches = own.buffer().touches(a.recordFrom, open);
    std::set<int> fingers;
    for (const auto& t : touches) fingers.insert(t.finger);
    return {TouchpadAnalysis::coverage(touches), fingers.size(),
            touches.empty() ? std::nullopt : std::optional(touches.back().t)};
}

bool touchpadStep(Active& a, const Frame& f, double e) {
    const Touched touched = touchedSoFar(a, *f.own);
    const auto n = touched.fingers;
    a.status = oneDecimal(touched.coverage * 100) + "% of the surface \u00B7 " + count(static_cast<double>(n)) +
               " finger" + (n == 1 ? "" : "s");
    a.progress = std::min(touched.coverage / fullSurface, 1.0);
    const bool quiet = !touched.newest || f.now - *touched.newest > 0.5;
    return (touched.coverage >= fullSurface && n >= bothFingers && quiet) || e > touchpadLimit;
}

// Short of the surface or of the second finger; the wait for quiet only ends the test by itself.
std::optional<std::string> touchpadShort(const Ending& x, const TestResult&) {
    const Touched touched = touchedSoFar(x.active, x.own);
    if (touched.coverage >= fullSurface && touched.fingers >= bothFingers) return std::nullopt;
    return oneDecimal(touched.coverage * 100) + "% of the surface, " + count(static_cast<double>(touched.fingers)) +
           " finger" + (touched.fingers == 1 ? "" : "s");
}

std::optional<TestResult> touchpadEnd(const Ending& x) {
    return TouchpadAnalysis::result(x.own.buffer().touches(x.active.recordFrom, x.now), "Touchpad",
                                    ValueSource::processed, x.date);
}

// ---- battery

std::optional<TestResult> batteryEnd(const Ending& x) {
    const auto& info = x.own.info();
    const auto level = x.own.batteryLevel() ? x.own.batteryLevel() : info.batteryLevel;
    const auto state = x.own.batteryState() ? x.own.batteryState() : info.batteryState;
    return BatteryCheck::result(level, state, "", x.date);
}

} // namespace

std::span<const Record> sensorRecords() {
    static const Record records[] = {
        {.kind = TestKind::motion, .ownSensor = true, .step = motionStep, .finish = motionEnd, .shortfall = motionShort},
        {.kind = TestKind::touchpad,
         .ownSensor = true,
         .step = touchpadStep,
         .finish = touchpadEnd,
         .shortfall = touchpadShort},
        {.kind = TestKind::battery, .ownSensor = true, .finish = batteryEnd},
    };
    return records;
}

} // namespace Tessarine::TestKinds
