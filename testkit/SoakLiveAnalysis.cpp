#include "testkit/SoakLiveAnalysis.h"

#include <algorithm>
#include <cmath>

#include "testkit/Middle.h"
#include "testkit/Thresholds.h"

namespace RorozErurEvo {

using namespace SoakWalking;

void SoakLiveAnalysis::reset() {
    begun_ = false;
    taken_ = 0;
    pending_.clear();
    walk_ = Walk{};
    walked_.clear();
    intervals_ = OrderedValues{};
    reports_ = 0;
}

// Whether the settled walk no longer fits: the stretches it has closed must be the same, and
// the one it is in must still begin where it did and still reach its latest time.
bool SoakLiveAnalysis::startOver(const SoakTimeline& timeline, double gap, double pause, double endT,
                                 const std::vector<Stretch>& stretches) const {
    if (!begun_ || timeline.start != start_ || gap != gap_ || pause != pause_ || endT < lastEnd_ ||
        timeline.reports.size() < taken_)
        return true;
    const std::size_t closed = walk_.stretch;
    if (closed > stretches.size()) return true;
    for (std::size_t i = 0; i < closed; ++i)
        if (!(stretches[i] == walked_[i])) return true;
    if (walk_.entered) {
        if (closed >= stretches.size() || stretches[closed].from != walked_[closed].from ||
            walk_.latest > stretches[closed].to)
            return true;
    }
    for (std::size_t i = taken_; i < timeline.reports.size(); ++i) {
        const double t = timeline.reports[i];
        if (t < walk_.latest && timeline.start <= t) return true; // earlier than a settled time after all
    }
    return false;
}

SoakReport SoakLiveAnalysis::analyze(const SoakTimeline& timeline, const Thresholds& thresholds, double settled) {
    const double gap = thresholds.soakGapMs / 1000;
    const double pause = std::max(thresholds.soakPauseSeconds, gap);
    const double endT = std::max(timeline.end, timeline.start);
    const auto outages = mergedOutages(timeline, endT);
    const auto stretches = connectedStretches(timeline.start, endT, outages);

    if (startOver(timeline, gap, pause, endT, stretches)) {
        reset();
        begun_ = true;
        start_ = timeline.start;
        gap_ = gap;
        pause_ = pause;
        walk_.start = start_;
        walk_.gap = gap;
        walk_.pause = pause;
    }
    lastEnd_ = endT;

    // Take in the new times (those before the start never count), keeping pending_ in order.
    const std::size_t before = pending_.size();
    for (std::size_t i = taken_; i < timeline.reports.size(); ++i) {
        const double t = timeline.reports[i];
        if (timeline.start <= t) pending_.push_back(t); // also leaves out times that are not numbers
    }
    taken_ = timeline.reports.size();
    if (pending_.size() != before) {
        const auto middle = pending_.begin() + static_cast<std::ptrdiff_t>(before);
        std::vector<double> added(middle, pending_.end());
        sortTimes(added);
        std::copy(added.begin(), added.end(), middle);
        std::inplace_merge(pending_.begin(), middle, pending_.end());
    }

    // Walk the settled times for good: earlier than `settled` and inside the run so far.
    std::size_t settle = 0;
    while (settle < pending_.size() && pending_[settle] < settled && pending_[settle] <= endT) {
        walk_.feed(pending_[settle], stretches);
        ++reports_;
        ++settle;
    }
    if (settle > 0) {
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(settle));
        for (double interval : walk_.intervals) intervals_.insert(interval);
        walk_.intervals.clear();
        walked_ = stretches;
    }

    // The rest on a copy of the walk's scalars; its lists are cut back afterwards.
    Walk live = walk_;
    int reports = reports_;
    for (double t : pending_) {
        live.feed(t, stretches);
        if (t <= endT) ++reports;
    }
    live.finish(stretches);
    for (double interval : live.intervals) intervals_.insert(interval);
    std::optional<double> median;
    if (const auto middle = Stats::middleOfSorted(intervals_.size(), [&](std::size_t k) { return intervals_.at(k); }))
        median = middle->mean();
    for (double interval : live.intervals) intervals_.erase(interval);
    return report(live, outages, endT, reports, median);
}

} // namespace RorozErurEvo
