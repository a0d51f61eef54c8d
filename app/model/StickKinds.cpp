// The kinds that measure a stick, from the live counts to the result.
//
// e = seconds since the test began. "Limit" ends the test on the first frame after it.
//
//   drift       0 ─ settle: "Let go of the controller… 2", "… 1" ─ 2.0 ─ measuring, progress
//               (e − 2) / driftSeconds ─ complete at progress 1. The window starts at 2.0; the
//               result resamples it on a grid of 100 a second, from the stick at the start.
//   circularity one phase: coverage and turns of 3 ─ complete at ≥ 3 turns and ≥ 97 % coverage.
//               Limit 45 s. The count and the plot's outline take in only new readings; the
//               live plot refreshes at most every 0.1 s.
//   snapback    one phase: releases and directions ─ complete at 12 releases or 8 directions.
//               Limit 60 s. A held reading counts until the next one arrives; releases
//               already judged are kept, so each frame scans only the recent readings.
//   deadzone    0 ─ hands off ─ 1.2 ─ stage 1, push: distance from the start value / 0.85 ─
//               complete at 0.85. Limit 12 s, checked in stage 1 only. A processed stick is
//               measured against its raw partner's matching stick when there is one.
//
// Ended by Done or a limit short of its rule (a drift measured for less than its time, a
// circularity of fewer than 3 turns, fewer than 12 releases in fewer than 8 directions, a
// deadzone push that never reached 85 %), a result says so and is at best a warning that says how
// far it got.
#include <algorithm>
#include <set>

#include "app/devices/InputDevice.h"
#include "app/model/KindParts.h"
#include "testkit/CircularityAnalysis.h"
#include "testkit/DeadzoneAnalysis.h"
#include "testkit/DriftAnalysis.h"
#include "testkit/HeldReadings.h"
#include "testkit/SnapbackAnalysis.h"

namespace Tessarine::TestKinds {

using namespace RorozErurEvo;
using TestPhases::CircleFeed;
using TestPhases::Frame;
using TestPhases::SnapFeed;

namespace {

// Time limits, seconds since the start.
constexpr double circularityLimit = 45, snapbackLimit = 60, deadzoneLimit = 12;
// Share of the directions a complete circularity run reaches.
constexpr double fullCircle = 0.97;
// How far from its start value a deadzone push goes before the test is complete, stick units.
constexpr double deadzonePush = 0.85;
// Seconds between two refreshes of the live circularity plot.
constexpr double plotInterval = 0.1;
// Seconds after which a reading back in the middle is settled history for the snapback count:
// longer than a release may take to be judged (its drop plus its quiet time).
constexpr double snapResumeAge = 1.0;
static_assert(snapResumeAge > SnapbackAnalysis::maxDrop + SnapbackAnalysis::quiet);
// Grid of the resampled drift recording, samples per second.
constexpr double driftRate = 100;
// Seconds at the start of a deadzone recording taken as the stick at rest.
constexpr double deadzoneRestDuration = 1.0;

// ---- drift

bool driftStep(Active& a, const Frame& f, double e) {
    return settleThenMeasure(a, f, e, "Let go of the controller\u2026 ", "Hands off. Measuring where the stick rests\u2026");
}

std::optional<TestResult> driftEnd(const Ending& x, const Target::Stick& stick) {
    const Active& a = x.active;
    return DriftAnalysis::result(
        Resample::hold(x.device.buffer().sticks(stick.id, a.start, x.now), a.recordFrom, x.now, driftRate, a.initial),
        a.test.element, x.source, x.thresholds, x.date);
}

// ---- circularity

// Coverage and turns since recordFrom, from the readings that arrived since the last frame
// when there is a running count for this window.
CircularityProgress circleProgress(const Active& a, const Frame& f, const std::string& element) {
    const CaptureBuffer& buffer = f.device->buffer();
    if (!f.circle) return CircularityAnalysis::progress(buffer.sticks(element, a.recordFrom, open));
    CircleFeed& feed = *f.circle;
    if (restartFeed(feed, element, a.recordFrom)) feed.last = a.recordFrom;
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

bool circularityStep(Active& a, const Frame& f, const Target::Stick& stick, double e) {
    const auto p = circleProgress(a, f, stick.id);
    a.status = count(std::floor(p.coverage * 100)) + "% of directions \u00B7 " + oneDecimal(p.turns) + " of 3 turns";
    a.progress = std::min({p.turns / 3, p.coverage / fullCircle, 1.0});
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
    return (p.turns >= 3 && p.coverage >= fullCircle) || e > circularityLimit;
}

std::optional<TestResult> circularityEnd(const Ending& x, const Target::Stick& stick) {
    const Active& a = x.active;
    return CircularityAnalysis::result(x.device.buffer().sticks(stick.id, a.recordFrom, x.now), a.test.element,
                                       x.source, x.gate, x.fit, x.thresholds, x.date);
}

// Turns short of 3, or directions short of 97 %. Counted over the window the live count reads,
// so a run that completed is never taken for a short one.
std::optional<std::string> circularityShort(const Ending& x, const TestResult&, const Target::Stick& stick) {
    const auto p = CircularityAnalysis::progress(x.device.buffer().sticks(stick.id, x.active.recordFrom, open));
    if (p.turns < 3) return oneDecimal(p.turns) + " of 3 turns";
    if (p.coverage < fullCircle) return count(std::floor(p.coverage * 100)) + "% of directions reached";
    return std::nullopt;
}

// ---- snapback

// The releases since recordFrom. The log keeps changes only, so held readings are put back
// first: a push held against the rim must count as pushed until the stick moves.
std::vector<Release> releasesSoFar(const Active& a, const Frame& f, const std::string& element) {
    const CaptureBuffer& buffer = f.device->buffer();
    if (!f.snap)
        return SnapbackAnalysis::releases(HeldReadings::restore(buffer.sticks(element, a.recordFrom, open)), f.now);
    SnapFeed& feed = *f.snap;
    if (restartFeed(feed, element, a.recordFrom)) feed.resume = a.recordFrom;
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

bool snapbackStep(Active& a, const Frame& f, const Target::Stick& stick, double e) {
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

std::optional<TestResult> snapbackEnd(const Ending& x, const Target::Stick& stick) {
    const Active& a = x.active;
    // Held readings put back, as the live count saw them.
    return SnapbackAnalysis::result(HeldReadings::restore(x.device.buffer().sticks(stick.id, a.recordFrom, x.now)),
                                    a.test.element, x.source, x.now, x.thresholds, x.date);
}

std::optional<std::string> snapbackShort(const Ending&, const TestResult& result, const Target::Stick&) {
    const auto releases = result.measure("releases"), directions = result.measure("directions");
    if (!releases || !directions) return std::nullopt; // no release: the result says so
    const double n = releases->value, k = directions->value;
    if (n >= 12 || k >= 8) return std::nullopt;
    return count(n) + " release" + (n == 1 ? "" : "s") + ", " + count(k) + " of 8 directions";
}

// ---- deadzone

bool deadzoneStep(Active& a, const Frame& f, const Target::Stick& stick, double e) {
    if (e < PhaseTimings::deadzoneRestSeconds) {
        a.prompt = "Hands off for a moment\u2026";
        return false;
    }
    a.stage = 1;
    a.prompt = "Now push the stick very slowly toward the edge.";
    bool complete = false;
    if (const auto s = f.device->buffer().stick(stick.id, f.now)) {
        const double x0 = a.initial ? a.initial->x : 0, y0 = a.initial ? a.initial->y : 0;
        const double distance = std::hypot(s->x - x0, s->y - y0);
        a.progress = std::min(distance / deadzonePush, 1.0);
        complete = distance >= deadzonePush;
    } else {
        a.progress = 0;
    }
    return complete || e > deadzoneLimit;
}

std::optional<TestResult> deadzoneEnd(const Ending& x, const Target::Stick& stick) {
    const Active& a = x.active;
    const GuidedTest& test = a.test;
    const auto processed = after(a.initial, x.device.buffer().sticks(stick.id, a.start, x.now));
    // A processed stick is measured against its raw partner's matching stick when there is
    // one: the raw travel at which the processed value first moves.
    if (!test.raw) {
        const auto element = x.own.element(stick.id);
        const auto counterpart = element ? x.own.rawCounterpart(*element) : std::nullopt;
        if (counterpart && x.own.rawPartner()) {
            const auto raw = after(a.partnerInitial, x.own.rawPartner()->buffer().sticks(counterpart->id, a.start, x.now));
            return DeadzoneAnalysis::result(DeadzoneAnalysis::fromPaired(raw, processed, deadzoneRestDuration),
                                            test.element, x.source, true, x.thresholds, x.date);
        }
    }
    return DeadzoneAnalysis::result(DeadzoneAnalysis::fromPush(processed, deadzoneRestDuration), test.element,
                                    x.source, false, x.thresholds, x.date);
}

// How far from where it started the stick was pushed, when that never reached the edge.
std::optional<std::string> deadzoneShort(const Ending& x, const TestResult&, const Target::Stick& stick) {
    const Active& a = x.active;
    const double x0 = a.initial ? a.initial->x : 0, y0 = a.initial ? a.initial->y : 0;
    double farthest = 0;
    for (const auto& s : x.device.buffer().sticks(stick.id, a.start, x.now))
        farthest = std::max(farthest, std::hypot(s.x - x0, s.y - y0));
    if (farthest >= deadzonePush) return std::nullopt;
    return "pushed " + count(std::floor(farthest * 100)) + "% of the way to the edge";
}

} // namespace

std::span<const Record> stickRecords() {
    static const Record records[] = {
        {.kind = TestKind::drift,
         .step = driftStep,
         .finish = finishOn<Target::Stick, driftEnd>,
         .shortfall = measuredShort},
        {.kind = TestKind::circularity,
         .step = stepOn<Target::Stick, circularityStep>,
         .finish = finishOn<Target::Stick, circularityEnd>,
         .shortfall = shortfallOn<Target::Stick, circularityShort>},
        {.kind = TestKind::snapback,
         .step = stepOn<Target::Stick, snapbackStep>,
         .finish = finishOn<Target::Stick, snapbackEnd>,
         .shortfall = shortfallOn<Target::Stick, snapbackShort>},
        {.kind = TestKind::deadzone,
         .step = stepOn<Target::Stick, deadzoneStep>,
         .finish = finishOn<Target::Stick, deadzoneEnd>,
         .shortfall = shortfallOn<Target::Stick, deadzoneShort>},
    };
    return records;
}

} // namespace Tessarine::TestKinds
