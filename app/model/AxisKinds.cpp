// The kinds that measure a trigger or a lone axis (wheel, pedal, throttle), from the live counts
// to the result.
//
// e = seconds since the test began. "Limit" ends the test on the first frame after it.
//
//   trigger     one phase: peak pull ─ complete at a peak ≥ 85 %, back at ≤ 8 % and 0.3 s
//               without a new sample. Limit 20 s.
//   axisSweep   one phase: share of the range covered ─ complete at ≥ 98 % and back near the
//               middle (never for a throttle). Limit 45 s.
//   axisCenter  like drift, with the wheel's or the stick's prompts; an axis that never moved
//               is judged by its last known raw count.
//   pedal       0 ─ feet off ─ 1.5 ─ stage 1, press: peak depth ─ complete at ≥ 85 % and back
//               at ≤ 8 %. Limit 20 s, checked in stage 1 with a known range only.
//
// Ended by Done or a limit short of its rule (a trigger or a pedal never pulled to 85 % or
// still held, a sweep short of 98 %, an axis centre measured for less than its time), a result
// says so and is at best a warning. A sweep's return to the middle only tells that the user is
// done, and a throttle's never comes: its coverage alone is the rule, and a sweep its coverage
// measure passes is not short.
#include <algorithm>

#include "app/devices/InputDevice.h"
#include "app/model/KindParts.h"
#include "testkit/AxisCenterAnalysis.h"
#include "testkit/AxisSweepAnalysis.h"
#include "testkit/PedalAnalysis.h"
#include "testkit/TriggerAnalysis.h"

namespace Tessarine::TestKinds {

using namespace RorozErurEvo;
using TestPhases::Frame;
using TestPhases::logicalRange;

namespace {

// Time limits, seconds since the start.
constexpr double triggerLimit = 20, sweepLimit = 45, pedalLimit = 20;
// Raw values at the end of a pedal recording taken as the pedal let go.
constexpr std::size_t pedalAfterCount = 5;

// The axis's logical bounds on the test device; absent when it has no such element.
std::optional<std::pair<int, int>> bounds(const Ending& x, const Target::Axis& axis) {
    const auto element = x.device.element(axis.id);
    if (!element) return std::nullopt;
    return std::pair{element->logicalMin.value_or(0), element->logicalMax.value_or(1)};
}

// How deep a trigger or pedal must go, and how near its rest it must come back, to be complete.
constexpr double fullPull = 0.85, letGo = 0.08;

// ---- trigger

// A trigger's pull so far: its deepest value since recordFrom, its value now, and the time of
// its newest reading.
struct Pull {
    double peak = 0;
    std::optional<double> current;
    std::optional<double> newest;
};

Pull pullSoFar(const Active& a, const InputDevice& device, const Target::Trigger& trigger, double now) {
    const auto samples = device.buffer().axes(trigger.id, a.recordFrom, open);
    Pull pull;
    for (const auto& s : samples) pull.peak = std::max(pull.peak, s.value);
    if (const auto current = device.buffer().axis(trigger.id, now)) {
        pull.current = current->value;
        pull.newest = current->t;
    } else if (!samples.empty()) {
        pull.newest = samples.back().t;
    }
    return pull;
}

bool triggerStep(Active& a, const Frame& f, const Target::Trigger& trigger, double e) {
    const Pull pull = pullSoFar(a, *f.device, trigger, f.now);
    a.status = "Pulled to " + oneDecimal(pull.peak * 100) + "%";
    a.progress = pull.peak;
    const bool back = !pull.current || *pull.current <= letGo;
    const bool quiet = !pull.newest || f.now - *pull.newest > 0.3;
    return (pull.peak >= fullPull && back && quiet) || e > triggerLimit;
}

// Never pulled all the way, or never let go; the wait for quiet only ends the test by itself.
std::optional<std::string> triggerShort(const Ending& x, const TestResult&, const Target::Trigger& trigger) {
    const Pull pull = pullSoFar(x.active, x.device, trigger, x.now);
    if (pull.peak < fullPull) return "pulled to " + oneDecimal(pull.peak * 100) + "%";
    if (pull.current && *pull.current > letGo) return "still pulled to " + oneDecimal(*pull.current * 100) + "%";
    return std::nullopt;
}

std::optional<TestResult> triggerEnd(const Ending& x, const Target::Trigger& trigger) {
    const Active& a = x.active;
    return TriggerAnalysis::result(after(a.initialAxis, x.device.buffer().axes(trigger.id, a.start, x.now)),
                                   a.test.element, x.source, trigger.analog, x.thresholds, x.date);
}

// ---- axis sweep

// Share of its range an axis must cover for a complete sweep.
constexpr double fullSweep = 0.98;

// How much of its range the axis covered since recordFrom, and whether its newest value is back
// near the middle; absent without a range or a value.
struct Sweep {
    double coverage = 0;
    bool centred = false;
};

std::optional<Sweep> sweepSoFar(const Active& a, const InputDevice& device, const Target::Axis& axis) {
    const auto range = logicalRange(axis.id, device);
    const auto values = device.buffer().rawValues(axis.id, a.recordFrom, open);
    if (!range || values.empty()) return std::nullopt;
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    return Sweep{(static_cast<double>(*hi) - *lo) / range->span,
                 std::abs((values.back() - range->low) / range->span - 0.5) < 0.15};
}

bool sweepStep(Active& a, const Frame& f, const Target::Axis& axis, double e) {
    const auto sweep = sweepSoFar(a, *f.device, axis);
    if (!sweep) return e > sweepLimit;
    a.status = "Covered " + oneDecimal(sweep->coverage * 100) + "% of its range";
    a.progress = std::min(sweep->coverage, 1.0);
    const bool complete = axis.role != AxisRole::throttle && sweep->coverage >= fullSweep && sweep->centred;
    return complete || e > sweepLimit;
}

// Short of the range its coverage measure asks for; coming back to the middle only tells that the
// user is done. Between that measure's limit and fullSweep the measure has judged the whole sweep
// and passed it: an axis whose travel stops a little short of its logical range (common on sticks
// and throttles that report a wider range than they reach) is finished when the user says so.
std::optional<std::string> sweepShort(const Ending& x, const TestResult& result, const Target::Axis& axis) {
    const auto sweep = sweepSoFar(x.active, x.device, axis);
    if (!sweep || sweep->coverage >= fullSweep) return std::nullopt; // nothing seen: the result says so
    if (Measure::verdict("coverage", result.measures) == Verdict::pass) return std::nullopt;
    return "covered " + oneDecimal(sweep->coverage * 100) + "% of its range";
}

std::optional<TestResult> sweepEnd(const Ending& x, const Target::Axis& axis) {
    const auto range = bounds(x, axis);
    if (!range) return std::nullopt;
    const Active& a = x.active;
    return AxisSweepAnalysis::result(after(a.initialRaw, x.device.buffer().rawValues(axis.id, a.recordFrom, x.now)),
                                     range->first, range->second, axis.role, a.test.element, x.thresholds, x.date);
}

// ---- axis centre

bool centerStep(Active& a, const Frame& f, double e) {
    const auto* axis = a.test.target.as<Target::Axis>();
    const bool wheel = axis && axis->role == AxisRole::steering;
    return settleThenMeasure(a, f, e, wheel ? "Line the wheel up straight and let go\u2026 " : "Let go of the stick\u2026 ",
                             "Hands off. Measuring where it rests\u2026");
}

std::optional<TestResult> centerEnd(const Ending& x, const Target::Axis& axis) {
    const auto range = bounds(x, axis);
    if (!range) return std::nullopt;
    const CaptureBuffer& buffer = x.device.buffer();
    auto values = buffer.rawValues(axis.id, x.active.recordFrom, x.now);
    if (values.empty()) {
        const auto trackers = buffer.rawTrackers();
        if (auto it = trackers.find(axis.id); it != trackers.end() && it->second.value)
            values.push_back(*it->second.value);
    }
    return AxisCenterAnalysis::result(values, range->first, range->second, axis.role, x.active.test.element,
                                      x.thresholds, x.date);
}

// ---- pedal

// A pedal's press since recordFrom, as shares of its range from where it rests: the deepest and
// the newest (0 before any value); absent without a range.
struct Press {
    double peak = 0;
    double depth = 0;
};

std::optional<Press> pressSoFar(const Active& a, const InputDevice& device, const Target::Axis& axis) {
    const auto range = logicalRange(axis.id, device);
    if (!range) return std::nullopt;
    const double rest = TestPhases::restValue(a, device, axis.id).value_or(static_cast<int>(range->low));
    const auto values = device.buffer().rawValues(axis.id, a.recordFrom, open);
    auto depth = [&](int v) { return std::abs(v - rest) / range->span; };
    Press press;
    for (int v : values) press.peak = std::max(press.peak, depth(v));
    if (!values.empty()) press.depth = depth(values.back());
    return press;
}

bool pedalStep(Active& a, const Frame& f, const Target::Axis& axis, double e) {
    if (e < PhaseTimings::pedalRestSeconds) {
        a.prompt = "Feet off the pedal\u2026";
        a.recordFrom = a.start + PhaseTimings::pedalRestSeconds;
        return false;
    }
    const auto press = pressSoFar(a, *f.device, axis);
    if (!press) return false;
    a.stage = 1;
    a.prompt = "Now press it slowly all the way down, then let go.";
    a.status = "Pressed to " + oneDecimal(press->peak * 100) + "%";
    a.progress = std::min(press->peak, 1.0);
    return (press->peak >= fullPull && press->depth <= letGo) || e > pedalLimit;
}

// Never pressed all the way, or never let go.
std::optional<std::string> pedalShort(const Ending& x, const TestResult&, const Target::Axis& axis) {
    const auto press = pressSoFar(x.active, x.device, axis);
    if (!press) return std::nullopt;
    if (press->peak < fullPull) return "pressed to " + oneDecimal(press->peak * 100) + "%";
    if (press->depth > letGo) return "still pressed to " + oneDecimal(press->depth * 100) + "%";
    return std::nullopt;
}

std::optional<TestResult> pedalEnd(const Ending& x, const Target::Axis& axis) {
    const auto range = bounds(x, axis);
    if (!range) return std::nullopt;
    const Active& a = x.active;
    const CaptureBuffer& buffer = x.device.buffer();
    auto rest = buffer.rawValues(axis.id, a.start, a.recordFrom);
    if (rest.empty() && a.initialRaw) rest.push_back(*a.initialRaw);
    const auto press = buffer.rawValues(axis.id, a.recordFrom, x.now);
    const std::vector<int> let(press.size() > pedalAfterCount ? press.end() - pedalAfterCount : press.begin(),
                               press.end());
    return PedalAnalysis::result(rest, press, let, range->first, range->second, a.test.element, x.thresholds, x.date);
}

} // namespace

std::span<const Record> axisRecords() {
    static const Record records[] = {
        {.kind = TestKind::trigger,
         .step = stepOn<Target::Trigger, triggerStep>,
         .finish = finishOn<Target::Trigger, triggerEnd>,
         .shortfall = shortfallOn<Target::Trigger, triggerShort>},
        {.kind = TestKind::axisSweep,
         .step = stepOn<Target::Axis, sweepStep>,
         .finish = finishOn<Target::Axis, sweepEnd>,
         .shortfall = shortfallOn<Target::Axis, sweepShort>},
        {.kind = TestKind::axisCenter,
         .step = centerStep,
         .finish = finishOn<Target::Axis, centerEnd>,
         .shortfall = measuredShort},
        {.kind = TestKind::pedal,
         .step = stepOn<Target::Axis, pedalStep>,
         .finish = finishOn<Target::Axis, pedalEnd>,
         .shortfall = shortfallOn<Target::Axis, pedalShort>},
    };
    return records;
}

} // namespace Tessarine::TestKinds
