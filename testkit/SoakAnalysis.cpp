#include "testkit/SoakAnalysis.h"

#include <algorithm>
#include <cmath>

#include "testkit/Thresholds.h"

namespace RorozErurEvo {

namespace {

// Silences this short or shorter are one report delivered twice, not an interval (seconds).
constexpr double minRateInterval = 0.0002;

struct Stretch {
    double from; // seconds
    double to;   // seconds
};

// Outages clipped to start…endT, emptied ones dropped, sorted by their start and merged where
// they touch or overlap.
std::vector<Stretch> mergedOutages(const SoakTimeline& timeline, double endT) {
    std::vector<Stretch> clipped;
    clipped.reserve(timeline.outages.size());
    for (const auto& outage : timeline.outages) {
        double from = std::max(outage.from, timeline.start);
        double to = std::min(outage.to.value_or(endT), endT);
        if (!(from < to)) continue; // also drops an outage with a time that is not a number
        clipped.push_back({from, to});
    }
    std::stable_sort(clipped.begin(), clipped.end(),
                     [](const Stretch& a, const Stretch& b) { return a.from < b.from; });
    std::vector<Stretch> merged;
    for (const auto& outage : clipped) {
        if (!merged.empty() && outage.from <= merged.back().to)
            merged.back().to = std::max(merged.back().to, outage.to);
        else
            merged.push_back(outage);
    }
    return merged;
}

std::vector<Stretch> connectedStretches(double start, double endT, const std::vector<Stretch>& outages) {
    std::vector<Stretch> stretches;
    double cursor = start;
    for (const auto& outage : outages) {
        if (cursor < outage.from) stretches.push_back({cursor, outage.from});
        cursor = std::max(cursor, outage.to);
    }
    if (cursor < endT) stretches.push_back({cursor, endT});
    return stretches;
}

// The report times inside the run, ascending. The runner appends them in order, so the sort
// is usually skipped.
std::vector<double> reportsInRun(const SoakTimeline& timeline, double endT) {
    std::vector<double> times;
    times.reserve(timeline.reports.size());
    for (double t : timeline.reports)
        if (timeline.start <= t && t <= endT) times.push_back(t);
    if (!std::is_sorted(times.begin(), times.end())) std::sort(times.begin(), times.end());
    return times;
}

// The median of the shared statistics (middle element, or the mean of the two middle ones),
// found by selection so that a long run's intervals are not sorted a second time.
std::optional<double> medianInPlace(std::vector<double>& values) {
    if (values.empty()) return std::nullopt;
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1) return *middle;
    double below = *std::max_element(values.begin(), middle);
    return (below + *middle) / 2;
}

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

// Each connected stretch a…b is walked once, its reports in time order:
//   lead-in    a → first report: a pause when longer than the pause threshold, else ignored;
//   interval   report → report:  a pause when longer than the pause threshold, else time with
//              input, a dropout when also longer than the gap threshold (outside the grace
//              after a reconnect) and a rate interval when longer than minRateInterval;
//   trailing   last report → b:  a pause when long enough, else time with input (only when the
//              stretch had a report).
SoakReport analyze(const SoakTimeline& timeline, const Thresholds& thresholds) {
    const double gap = thresholds.soakGapMs / 1000;                       // seconds
    const double pause = std::max(thresholds.soakPauseSeconds, gap);      // seconds
    const double start = timeline.start;
    const double endT = std::max(timeline.end, start);

    const auto outages = mergedOutages(timeline, endT);
    const auto stretches = connectedStretches(start, endT, outages);
    const auto times = reportsInRun(timeline, endT);

    SoakReport report;
    report.seconds = endT - start;
    report.reports = static_cast<int>(times.size());
    std::vector<double> intervals;
    intervals.reserve(times.size());

    std::size_t index = 0;
    for (const auto& stretch : stretches) {
        const double a = stretch.from, b = stretch.to;
        while (index < times.size() && times[index] < a) ++index; // inside a disconnect
        // Silences that begin before this time never count as dropouts: a controller that
        // has just reconnected is still settling its link.
        const double graceEnd = a > start ? a + pause : a;
        bool hadReport = false;
        double last = a;
        for (; index < times.size() && times[index] <= b; ++index) {
            const double t = times[index];
            const double silence = t - last;
            if (!hadReport) {
                if (silence > pause) report.pauses.push_back({a - start, silence});
                hadReport = true;
            } else if (silence > pause) {
                report.pauses.push_back({last - start, silence});
            } else {
                report.activeSeconds += silence;
                if (silence > gap && last >= graceEnd) report.gaps.push_back({last - start, silence});
                if (silence > minRateInterval) intervals.push_back(silence);
            }
            last = t;
        }
        const double trailing = b - last;
        if (trailing > pause)
            report.pauses.push_back({last - start, trailing});
        else if (hadReport)
            report.activeSeconds += trailing;
    }

    for (const auto& dropout : report.gaps) report.longestGap = std::max(report.longestGap, dropout.length);
    report.outages.reserve(outages.size());
    for (const auto& outage : outages) report.outages.push_back({outage.from - start, outage.to - outage.from});
    if (auto median = medianInPlace(intervals); median && *median > 0) report.reportRate = 1 / *median;
    return report;
}

} // namespace SoakAnalysis
} // namespace RorozErurEvo
