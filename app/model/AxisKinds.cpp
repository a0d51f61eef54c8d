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
// Ended by Done or a limit short of its rule: an axis centre measured for less than its time is
// at best a warning. A trigger's and a pedal's reach and release, and a sweep's coverage, are
// judged by their results' own measures; a sweep's return to the middle only tells that the
// user is done (a throttle's never comes).
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

// ---- trigger

bool triggerStep(Active& a, const Frame& f, const Target::Trigger& trigger, double e) {
    const auto samples = f.device->buffer().axes(trigger.id, a.recordFrom, open);
    double peak = 0;
    for (const auto& s : samples)
        if (s.value > peak) peak = s.value;
    const auto current = f.device->buffer().axis(trigger.id, f.now);
    a.status = "Pulled to " + oneDecimal(peak * 100) + "%";
    a.progress = peak;
    const bool back = !current || current->value <= 0.08;
    const std::optional<double> newest = current ? std::optional(current->t)
                                         : samples.empty() ? std::nullopt
                                                           : std::optional(samples.back().t);
    const bool quiet = !newest || f.now - *newest > 0.3;
    return (peak >= 0.85 && back && quiet) || e > triggerLimit;
}

std::optional<TestResult> triggerEnd(const Ending& x, const Target::Trigger& trigger) {
    const Active& a = x.active;
    return TriggerAnalysis::result(after(a.initialAxis, x.device.buffer().axes(trigger.id, a.start, x.now)),
                                   a.test.element, x.source, trigger.analog, x.thresholds, x.date);
}

// ---- axis sweep

bool sweepStep(Active& a, const Frame& f, const Target::Axis& axis, double e) {
    const auto range = logicalRange(axis.id, *f.device);
    const auto values = f.device->buffer().rawValues(axis.id, a.recordFrom, open);
    if (!range || values.empty()) return e > sweepLimit;
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    const double coverage = (static_cast<double>(*hi) - *lo) / range->span;
    a.status = "Covered " + oneDecimal(coverage * 100) + "% of its range";
    a.progress = std::min(coverage, 1.0);
    const bool centred = std::abs((values.back() - range->low) / range->span - 0.5) < 0.15;
    const bool complete = axis.role != AxisRole::throttle && coverage >= 0.98 && centred;
    return complete || e > sweepLimit;
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

bool pedalStep(Active& a, const Frame& f, const Target::Axis& axis, double e) {
    if (e < PhaseTimings::pedalRestSeconds) {
        a.prompt = "Feet off the pedal\u2026";
        a.recordFrom = a.start + PhaseTimings::pedalRestSeconds;
        return false;
    }
    const auto range = logicalRange(axis.id, *f.device);
    if (!range) return false;
    a.stage = 1;
    a.prompt = "Now press it slowly all the way down, then let go.";
    const double rest = TestPhases::restValue(a, *f.device, axis.id).value_or(static_cast<int>(range->low));
    const auto values = f.device->buffer().rawValues(axis.id, a.recordFrom, open);
    auto depth = [&](int v) { return std::abs(v - rest) / range->span; };
    double peak = 0;
    for (int v : values) peak = std::max(peak, depth(v));
    const bool back = values.empty() || depth(values.back()) <= 0.08;
    a.status = "Pressed to " + oneDecimal(peak * 100) + "%";
    a.progress = std::min(peak, 1.0);
    return (peak >= 0.85 && back) || e > pedalLimit;
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
         .finish = finishOn<Target::Trigger, triggerEnd>},
        {.kind = TestKind::axisSweep, .step = stepOn<Target::Axis, sweepStep>, .finish = finishOn<Target::Axis, sweepEnd>},
        {.kind = TestKind::axisCenter,
         .step = centerStep,
         .finish = finishOn<Target::Axis, centerEnd>,
         .shortfall = measuredShort},
        {.kind = TestKind::pedal, .step = stepOn<Target::Axis, pedalStep>, .finish = finishOn<Target::Axis, pedalEnd>},
    };
    return records;
}

} // namespace Tessarine::TestKinds
