#include "testkit/SoakAnalysis.h"

#include <algorithm>
#include <cmath>

#include "testkit/Middle.h"
#include "testkit/SoakWalk.h"
#include "testkit/Thresholds.h"

namespace RorozErurEvo {

namespace {

using namespace SoakWalking;

} // namespace

double SoakReport::disconnectedSeconds() const {
    double total = 0;
    for (const auto& outage : outages) total += outage.length;
    return total;
}

double SoakReport::coverage() const {
    if (!(seconds > 0)) return 0;
    return std::min(activeSeconds / seconds, 1.0);
}

double SoakReport::gapsPerMinute() const {
    if (!(activeSeconds > 0)) return 0;
    return static_cast<double>(gaps.size()) / (activeSeconds / 60);
}

json SoakSpan::toJson() const {
    return json{{"start", start}, {"length", length}};
}

SoakSpan SoakSpan::fromJson(const json& value) {
    Json::requireObject(value, "soak span");
    return SoakSpan{Json::number(value, "start"), Json::number(value, "length")};
}

namespace SoakAnalysis {

SoakReport analyze(const SoakTimeline& timeline, const Thresholds& thresholds) {
    Walk walk;
    walk.gap = thresholds.soakGapMs / 1000;                     // seconds
    walk.pause = std::max(thresholds.soakPauseSeconds, walk.gap); // seconds
    walk.start = timeline.start;
    const double endT = std::max(timeline.end, timeline.start);

    const auto outages = mergedOutages(timeline, endT);
    const auto stretches = connectedStretches(walk.start, endT, outages);
    // The report times inside the run, ascending. The runner takes them in stream by stream,
    // so they come as a few ordered runs, or in any order from elsewhere.
    std::vector<double> times;
    times.reserve(timeline.reports.size());
    for (double t : timeline.reports)
        if (timeline.start <= t && t <= endT) times.push_back(t);
    sortTimes(times);

    walk.intervals.reserve(times.size());
    for (double t : times) walk.feed(t, stretches);
    walk.finish(stretches);
    // Selected in place, so that a long run's intervals are not copied and sorted again.
    const auto median = Stats::medianInPlace(walk.intervals);
    return report(walk, outages, endT, static_cast<int>(times.size()), median);
}

} // namespace SoakAnalysis
} // namespace RorozErurEvo
