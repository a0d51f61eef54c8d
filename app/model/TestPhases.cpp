// The phase machine of every guided test kind, one frame at a time.
//
// e = seconds since the test began. "Limit" ends the test on the first frame after it.
//
//   drift       0 ─ settle: "Let go of the controller… 2", "… 1" ─ 2.0 ─ measuring, progress
//               (e − 2) / driftSeconds ─ complete at progress 1. The window starts at 2.0.
//   axisCenter  like drift, with the wheel's or the stick's prompts.
//   circularity one phase: coverage and turns of 3 ─ complete at ≥ 3 turns and ≥ 97 % coverage.
//               Limit 45 s. The count and the plot's outline take in only new readings; the
//               live plot refreshes at most every 0.1 s.
//   snapback    one phase: releases and directions ─ complete at 12 releases or 8 directions.
//               Limit 60 s. A held reading counts until the next one arrives; releases
//               already judged are kept, so each frame scans only the recent readings.
//   deadzone    0 ─ hands off ─ 1.2 ─ stage 1, push: distance from the start value / 0.85 ─
//               complete at 0.85. Limit 12 s, checked in stage 1 only.
//   trigger     one phase: peak pull ─ complete at a peak ≥ 85 %, back at ≤ 8 % and 0.3 s
//               without a new sample. Limit 20 s.
//   buttons     one phase: registered of expected ─ complete when all registered and 0.6 s
//               without an event. No limit; an empty list never completes.
//   hold        waits for the first press ─ held time / 3 ─ complete when released after
//               ≥ 2.5 s and 0.5 s quiet. Limit 25 s.
//   dpad        one phase: directions of 8 ─ complete at 8 and 0.4 s quiet. Limit 40 s.
//   motion      0 ─ still: "Set the controller down… 4" … "1" ─ 3.2 ─ stage 1, moving ─
//               complete at 7.7. Progress e / 7.7 throughout.
//   touchpad    one phase: coverage and fingers ─ complete at ≥ 70 %, ≥ 2 fingers, 0.5 s quiet.
//               Limit 40 s.
//   axisSweep   one phase: share of the range covered ─ complete at ≥ 98 % and back near the
//               middle (never for a throttle). Limit 45 s.
//   pedal       0 ─ feet off ─ 1.5 ─ stage 1, press: peak depth ─ complete at ≥ 85 % and back
//               at ≤ 8 %. Limit 20 s, checked in stage 1 with a known range only.
//   others      (manual checks, battery, axis noise, report rate, testers, soak) not driven here:
//               they end by Done or a cancel.
//
// A test whose target does not fit its kind changes nothing and never ends by itself.
#include "app/model/TestPhases.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "app/devices/InputDevice.h"
#include "app/model/PhaseTimings.h"
#include "testkit/ChatterAnalysis.h"
#include "testkit/CircularityAnalysis.h"
#include "testkit/DPadTest.h"
#include "testkit/Fmt.h"
#include "testkit/HeldReadings.h"
#include "testkit/Measure.h"
#include "testkit/Middle.h"
#include "testkit/SnapbackAnalysis.h"
#include "testkit/TouchpadAnalysis.h"

namespace Tessarine::TestPhases {

using namespace RorozErurEvo;
using Active = TestRunner::Active;
using Target = GuidedTest::Target;

namespace {

constexpr double open = std::numeric_limits<double>::infinity(); // window without an end

using namespace PhaseTimings;

// Time limits, seconds since the start.
constexpr double circularityLimit = 45, snapbackLimit = 60, deadzoneLimit = 12, triggerLimit = 20,
                 holdLimit = 25, dpadLimit = 40, touchpadLimit = 40, sweepLimit = 45, pedalLimit = 20;
// Seconds between two refreshes of the live circularity plot.
constexpr double plotInterval = 0.1;
// Seconds after which a reading back in the middle is settled history for the snapback count:
// longer than a release may take to be judged (its drop plus its quiet time).
constexpr double snapResumeAge = 1.0;
static_assert(snapResumeAge > SnapbackAnalysis::maxDrop + SnapbackAnalysis::quiet);

std::string count(double n) { return Fmt::trim(n, 0); }
std::string oneDecimal(double v) { return Fmt::trim(v, 1); }
// Whole seconds left until `end`, rounded up.
std::string countdown(double end, double e) { return count(std::ceil(end - e)); }

// Progress of a measuring phase of `seconds` that began `since` seconds ago. A measuring time
// of zero, below zero or not a number counts as already done, so the test can never stall.
double measured(double since, double seconds) {
    if (!(seconds > 0) || !std::isfinite(seconds)) return 1;
    return std::clamp(since / seconds, 0.0, 1.0);
}

bool settleThenMeasure(Active& a, const Frame& f, double e, std::string settling, const char* measuring) {
    if (e < settleSeconds) {
        a.prompt = std::move(settling) + countdown(settleSeconds, e);
        a.recordFrom = a.start + settleSeconds;
        return false;
    }
    a.prompt = measuring;
    a.progress = measured(e - settleSeconds, f.thresholds.driftSeconds);
    return a.progress >= 1;
}

// Coverage and turns since recordFrom, from the readings that arrived since the last frame
// when there is a running count for this window.
CircularityProgress circleProgress(const Active& a, const Frame& f, const std::string& element) {
    const CaptureBuffer& buffer = f.device->buffer();
    if (!f.circle) return CircularityAnalysis::progress(buffer.sticks(element, a.recordFrom, open));
    CircleFeed& feed = *f.circle;
    if (!feed.started || feed.element != element || feed.from != a.recordFrom) {
        feed = CircleFeed{};
        feed.element = element;
        feed.from = feed.last = a.recordFrom;
        feed.started = true;
    }
    const auto fresh = buffer.sticks(element, feed.last, open);
    // Readings at exactly the newest time fed come first in the window and were fed before.
    std::size_t skip = 0;
    while (skip < fresh.size() && skip < feed.atLast && fresh[skip].t == feed.last) ++skip;
    const std::span<const StickSample> added(fresh.data() + skip, fresh.size() - skip);
    feed.counter.add(added);
    // A gate picked while the test runs redraws the outline from the whole window once.
    if (feed.reach.gate() != f.gate) {
        feed.reach = CircularityAnalysis::ReachCounter(f.gate);
        feed.reach.add(buffer.sticks(element, feed.from, open));
    } else {
        feed.reach.add(added);
    }
    for (const auto& s : added) {
        if (s.t == feed.last) {
            ++feed.atLast;
        } else if (s.t > feed.last) {
            feed.last = s.t;
            feed.atLast = 1;
        }
    }
    return feed.counter.progress();
}

bool circularity(Active& a, const Frame& f, const Target::Stick& stick, double e) {
    const auto p = circleProgress(a, f, stick.id);
    a.status = count(std::floor(p.coverage * 100)) + "% of directions \u00B7 " + oneDecimal(p.turns) + " of 3 turns";
    a.progress = std::min({p.turns / 3, p.coverage / 0.97, 1.0});
    if (f.lastPlot && f.now - *f.lastPlot > plotInterval) {
        *f.lastPlot = f.now;
        if (f.circle) {
            a.plot = f.circle->reach.plot(f.fit);
        } else {
            const auto samples = f.device->buffer().sticks(stick.id, a.recordFrom, open);
            const auto report = CircularityAnalysis::analyze(samples, f.gate, f.fit, f.thresholds);
            a.plot = StickPlot{report.gate, report.scale, report.radii};
        }
    }
    return (p.turns >= 3 && p.coverage >= 0.97) || e > circularityLimit;
}

// The releases since recordFrom. The log keeps changes only, so held readings are put back
// first: a push held against the rim must count as pushed until the stick moves.
std::vector<Release> releasesSoFar(const Active& a, const Frame& f, const std::string& element) {
    const CaptureBuffer& buffer = f.device->buffer();
    if (!f.snap)
        return SnapbackAnalysis::releases(HeldReadings::restore(buffer.sticks(element, a.recordFrom, open)), f.now);
    SnapFeed& feed = *f.snap;
    if (!feed.started || feed.element != element || feed.from != a.recordFrom) {
        feed = SnapFeed{};
        feed.element = element;
        feed.from = feed.resume = a.recordFrom;
        feed.started = true;
    }
    const auto window = HeldReadings::restore(buffer.sticks(element, feed.resume, open));
    const auto found = SnapbackAnalysis::releases(window, f.now);
    std::vector<Release> all = feed.before;
    all.insert(all.end(), found.begin(), found.end());

    // The latest reading inside the middle band, old enough for any release it ends to be
    // judged, and the first reading of its time, becomes the next starting point.
    const double judged = f.now - snapResumeAge;
    for (std::size_t i = window.size(); i-- > 1;) {
        const StickSample& s = window[i];
        if (s.t > judged || !(s.radius() < SnapbackAnalysis::middle) || !(window[i - 1].t < s.t)) continue;
        for (const auto& r : found)
            if (r.t < s.t) feed.before.push_back(r);
        feed.resume = s.t;
        break;
    }
    return all;
}

bool snapback(Active& a, const Frame& f, const Target::Stick& stick, double e) {
    const auto releases = releasesSoFar(a, f, stick.id);
    std::set<Direction8> directions;
    for (const auto& r : releases) directions.insert(r.direction);
    const auto n = releases.size();
    const auto k = directions.size();
    a.directions = std::move(directions);
    a.status = count(static_cast<double>(n)) + " release" + (n == 1 ? "" : "s") + " \u00B7 " +
               count(static_cast<double>(k)) + " of 8 directions";
    a.progress = static_cast<double>(k) / 8;
    return n >= 12 || k == 8 || e > snapbackLimit;
}

bool deadzone(Active& a, const Frame& f, const Target::Stick& stick, double e) {
    if (e < deadzoneRestSeconds) {
        a.prompt = "Hands off for a moment\u2026";
        return false;
    }
    a.stage = 1;
    a.prompt = "Now push the stick very slowly toward the edge.";
    bool complete = false;
    if (const auto s = f.device->buffer().stick(stick.id, f.now)) {
        const double x0 = a.initial ? a.initial->x : 0, y0 = a.initial ? a.initial->y : 0;
        const double distance = std::hypot(s->x - x0, s->y - y0);
        a.progress = std::min(distance / 0.85, 1.0);
        complete = distance >= 0.85;
    } else {
        a.progress = 0;
    }
    return complete || e > deadzoneLimit;
}

bool trigger(Active& a, const Frame& f, const Target::Trigger& trigger, double e) {
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

bool buttons(Active& a, const Frame& f, const Target::Buttons& target) {
    const auto events = f.device->buffer().events(a.recordFrom, open);
    std::set<std::string> expected;
    for (const auto& input : target.inputs) expected.insert(input.id);
    std::set<std::string> registered;
    for (const auto& ev : events)
        if (ev.down && expected.contains(ev.input)) registered.insert(ev.input);
    const int chatter = ChatterAnalysis::total(ChatterAnalysis::analyze(events, f.thresholds.chatterWindowMs));
    const auto r = registered.size(), x = expected.size();
    a.registered = std::move(registered);
    a.status = count(static_cast<double>(r)) + " of " + count(static_cast<double>(x)) + " registered";
    if (chatter >= 1) a.status += " \u00B7 chatter " + count(chatter) + "\u00D7";
    a.progress = static_cast<double>(r) / static_cast<double>(std::max<std::size_t>(x, 1));
    // Nothing to press is never done by itself; an empty log counts as an event now.
    const double newest = events.empty() ? f.now : events.back().t;
    return x > 0 && r == x && f.now - newest > 0.6;
}

bool hold(Active& a, const Frame& f, const Target::Buttons& target, double e) {
    const auto events = f.device->buffer().events(a.recordFrom, open);
    const auto first = std::find_if(events.begin(), events.end(), [](const ButtonEvent& ev) { return ev.down; });
    if (first == events.end()) return e > holdLimit;
    const std::string input = first->input;
    const double pressed = first->t;
    const ButtonEvent* last = nullptr;
    for (const auto& ev : events)
        if (ev.input == input) last = &ev;
    const bool held = last->down;
    const double end = held ? f.now : last->t;
    std::string name = input;
    for (const auto& n : target.inputs)
        if (n.id == input) {
            name = n.name;
            break;
        }
    const double seconds = end - pressed;
    a.status = "Holding " + name + ": " + format(MeasureUnit::seconds, seconds);
    a.progress = std::clamp(seconds / 3.0, 0.0, 1.0);
    return (!held && seconds >= 2.5 && f.now - last->t > 0.5) || e > holdLimit;
}

bool dpad(Active& a, const Frame& f, const Target::Dpad& dpad, double e) {
    const auto samples = f.device->buffer().sticks(dpad.id, a.recordFrom, open);
    a.directions = DPadTest::directions(samples);
    const auto k = a.directions.size();
    a.status = count(static_cast<double>(k)) + " of 8 directions";
    a.progress = static_cast<double>(k) * 0.125;
    const bool quiet = samples.empty() || f.now - samples.back().t > 0.4;
    return (k == 8 && quiet) || e > dpadLimit;
}

bool motion(Active& a, double e) {
    if (e < motionStillSeconds) {
        a.prompt = "Set the controller down and don't touch it\u2026 " + countdown(motionStillSeconds, e);
    } else {
        a.stage = 1;
        a.prompt = "Now pick it up and turn it around in your hands.";
    }
    a.progress = std::clamp(e / motionSeconds, 0.0, 1.0);
    return e >= motionSeconds;
}

bool touchpad(Active& a, const Frame& f, double e) {
    const auto touches = f.own->buffer().touches(a.recordFrom, open);
    const double coverage = TouchpadAnalysis::coverage(touches);
    std::set<int> fingers;
    for (const auto& t : touches) fingers.insert(t.finger);
    const auto n = fingers.size();
    a.status = oneDecimal(coverage * 100) + "% of the surface \u00B7 " + count(static_cast<double>(n)) + " finger" +
               (n == 1 ? "" : "s");
    a.progress = std::min(coverage / 0.7, 1.0);
    const bool quiet = touches.empty() || f.now - touches.back().t > 0.5;
    return (coverage >= 0.7 && n >= 2 && quiet) || e > touchpadLimit;
}

bool axisSweep(Active& a, const Frame& f, const Target::Axis& axis, double e) {
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

bool pedal(Active& a, const Frame& f, const Target::Axis& axis, double e) {
    if (e < pedalRestSeconds) {
        a.prompt = "Feet off the pedal\u2026";
        a.recordFrom = a.start + pedalRestSeconds;
        return false;
    }
    const auto range = logicalRange(axis.id, *f.device);
    if (!range) return false;
    a.stage = 1;
    a.prompt = "Now press it slowly all the way down, then let go.";
    const double rest = restValue(a, *f.device, axis.id).value_or(static_cast<int>(range->low));
    const auto values = f.device->buffer().rawValues(axis.id, a.recordFrom, open);
    auto depth = [&](int v) { return std::abs(v - rest) / range->span; };
    double peak = 0;
    for (int v : values) peak = std::max(peak, depth(v));
    const bool back = values.empty() || depth(values.back()) <= 0.08;
    a.status = "Pressed to " + oneDecimal(peak * 100) + "%";
    a.progress = std::min(peak, 1.0);
    return (peak >= 0.85 && back) || e > pedalLimit;
}

} // namespace

bool step(Active& a, const Frame& f) {
    const double e = f.now - a.start;
    const auto& target = a.test.target;
    switch (a.test.kind) {
    case TestKind::drift:
        return settleThenMeasure(a, f, e, "Let go of the controller\u2026 ", "Hands off. Measuring where the stick rests\u2026");
    case TestKind::axisCenter: {
        const auto* axis = target.as<Target::Axis>();
        const bool wheel = axis && axis->role == AxisRole::steering;
        return settleThenMeasure(a, f, e, wheel ? "Line the wheel up straight and let go\u2026 " : "Let go of the stick\u2026 ",
                                 "Hands off. Measuring where it rests\u2026");
    }
    case TestKind::circularity:
        if (const auto* s = target.as<Target::Stick>()) return circularity(a, f, *s, e);
        return false;
    case TestKind::snapback:
        if (const auto* s = target.as<Target::Stick>()) return snapback(a, f, *s, e);
        return false;
    case TestKind::deadzone:
        if (const auto* s = target.as<Target::Stick>()) return deadzone(a, f, *s, e);
        return false;
    case TestKind::trigger:
        if (const auto* t = target.as<Target::Trigger>()) return trigger(a, f, *t, e);
        return false;
    case TestKind::buttons:
        if (const auto* b = target.as<Target::Buttons>()) return buttons(a, f, *b);
        return false;
    case TestKind::hold:
        if (const auto* b = target.as<Target::Buttons>()) return hold(a, f, *b, e);
        return false;
    case TestKind::dpad:
        if (const auto* d = target.as<Target::Dpad>()) return dpad(a, f, *d, e);
        return false;
    case TestKind::motion: return motion(a, e);
    case TestKind::touchpad: return touchpad(a, f, e);
    case TestKind::axisSweep:
        if (const auto* x = target.as<Target::Axis>()) return axisSweep(a, f, *x, e);
        return false;
    case TestKind::pedal:
        if (const auto* x = target.as<Target::Axis>()) return pedal(a, f, *x, e);
        return false;
    default: return false; // ended by Done or a cancel
    }
}

std::optional<Range> logicalRange(const std::string& element, const InputDevice& device) {
    const auto e = device.element(element);
    if (!e) return std::nullopt;
    const double low = e->logicalMin.value_or(0);
    const double high = e->logicalMax.value_or(1);
    return Range{low, std::max(high - low, 1.0)};
}

std::optional<int> restValue(const Active& a, const InputDevice& device, const std::string& element) {
    auto values = device.buffer().rawValues(element, a.start, a.recordFrom);
    if (const auto middle = RorozErurEvo::Stats::middleInPlace(values)) return middle->upper;
    return a.initialRaw;
}

} // namespace Tessarine::TestPhases
