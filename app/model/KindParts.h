#pragma once
// What the files of the test kinds share: the open window end, the number texts of the live
// status lines, and the adapters that hand a kind's step and finish the target they measure.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/model/PhaseTimings.h"
#include "app/model/TestKinds.h"
#include "app/model/TestPhases.h"
#include "testkit/Fmt.h"

namespace Tessarine::TestKinds {

using Target = GuidedTest::Target;

// A window without an end.
constexpr double open = std::numeric_limits<double>::infinity();

inline std::string count(double n) { return RorozErurEvo::Fmt::trim(n, 0); }
inline std::string oneDecimal(double v) { return RorozErurEvo::Fmt::trim(v, 1); }
// Whole seconds left until `end`, rounded up.
inline std::string countdown(double end, double elapsed) { return count(std::ceil(end - elapsed)); }

// Starts a live count's `feed` afresh when it last counted another element or another window;
// says whether it did.
template <class Feed>
bool restartFeed(Feed& feed, const std::string& element, double from) {
    if (feed.started && feed.element == element && feed.from == from) return false;
    feed = Feed{};
    feed.element = element;
    feed.from = from;
    feed.started = true;
    return true;
}

// Progress of a measuring phase of `seconds` that began `since` seconds ago. A measuring time
// of zero, below zero or not a number counts as already done, so the test can never stall.
inline double measured(double since, double seconds) {
    if (!(seconds > 0) || !std::isfinite(seconds)) return 1;
    return std::clamp(since / seconds, 0.0, 1.0);
}

// The two phases of drift and axis centre: letting go, counted down, then measuring for the
// drift time. The measuring window begins once the settling ends.
inline bool settleThenMeasure(Active& a, const TestPhases::Frame& f, double e, std::string settling,
                              const char* measuring) {
    if (e < PhaseTimings::settleSeconds) {
        a.prompt = std::move(settling) + countdown(PhaseTimings::settleSeconds, e);
        a.recordFrom = a.start + PhaseTimings::settleSeconds;
        return false;
    }
    a.prompt = measuring;
    a.progress = measured(e - PhaseTimings::settleSeconds, f.thresholds.driftSeconds);
    return a.progress >= 1;
}

// How much of the measuring time of drift and axis centre the ended run measured, when that is
// less than the whole: nothing judges a stick or an axis over the time it was not measured.
inline std::optional<std::string> measuredShort(const Ending& x, const RorozErurEvo::TestResult&) {
    const double since = x.now - x.active.start - PhaseTimings::settleSeconds;
    if (measured(since, x.thresholds.driftSeconds) >= 1) return std::nullopt;
    return oneDecimal(std::max(since, 0.0)) + " of " + oneDecimal(x.thresholds.driftSeconds) + " s measured";
}

// `rest` with `first` put before it, when there is one.
template <class T> std::vector<T> after(std::optional<T> first, std::vector<T> rest) {
    if (first) rest.insert(rest.begin(), *first);
    return rest;
}

// A step that needs a target of type T; a test whose target does not fit changes nothing and
// never ends by itself.
template <class T, bool (*step)(Active&, const TestPhases::Frame&, const T&, double)>
bool stepOn(Active& active, const TestPhases::Frame& frame, double elapsed) {
    if (const auto* target = active.test.target.as<T>()) return step(active, frame, *target, elapsed);
    return false;
}

// A finish that needs a target of type T; nothing for a test whose target does not fit.
template <class T, std::optional<RorozErurEvo::TestResult> (*finish)(const Ending&, const T&)>
std::optional<RorozErurEvo::TestResult> finishOn(const Ending& ending) {
    if (const auto* target = ending.active.test.target.as<T>()) return finish(ending, *target);
    return std::nullopt;
}

// A shortfall that needs a target of type T; nothing for a test whose target does not fit.
template <class T, std::optional<std::string> (*shortfall)(const Ending&, const RorozErurEvo::TestResult&, const T&)>
std::optional<std::string> shortfallOn(const Ending& ending, const RorozErurEvo::TestResult& result) {
    if (const auto* target = ending.active.test.target.as<T>()) return shortfall(ending, result, *target);
    return std::nullopt;
}

} // namespace Tessarine::TestKinds
