#include "testkit/SoakLiveAnalysis.h"

#include <algorithm>
#include <cmath>

#include "testkit/Middle.h"
#include "testkit/Thresholds.h"

namespace RorozErurEvo {

using namespace SoakWalking;

namespace {

// Whether a walk made over `walkedWith` still holds for `stretches`: the stretches it has
// closed must be the same, and the one it is in must still begin where it did and still reach
// its latest time.
bool fits(const Walk& walk, const std::vector<Stretch>& walkedWith, const std::vector<Stretch>& stretches) {
    const std::size_t closed = walk.stretch;
    if (closed > stretches.size() || closed > walkedWith.size()) return false;
    for (std::size_t i = 0; i < closed; ++i)
        if (!(stretches[i] == walkedWith[i])) return false;
    if (walk.entered)
        return closed < stretches.size() && closed < walkedWith.size() &&
               stretches[closed].from == walkedWith[closed].from && walk.latest <= stretches[closed].to;
    return true;
}

} // namespace

void SoakLiveAnalysis::begin(double start, const Thresholds& thresholds) {
    *this = SoakLiveAnalysis{};
    start_ = start;
    walk_.start = start;
    walk_.gap = thresholds.soakGapMs / 1000;                     // seconds
    walk_.pause = std::max(thresholds.soakPauseSeconds, walk_.gap); // seconds
    snapshots_.push_back(snapshot());
}

void SoakLiveAnalysis::take(std::span<const double> times) {
    for (double t : times)
        if (start_ <= t) incoming_.push_back(t); // also leaves out times that are not numbers
}

SoakLiveAnalysis::Snapshot SoakLiveAnalysis::snapshot() const {
    Snapshot s;
    s.walk.start = walk_.start;
    s.walk.gap = walk_.gap;
    s.walk.pause = walk_.pause;
    s.walk.stretch = walk_.stretch;
    s.walk.entered = walk_.entered;
    s.walk.hadReport = walk_.hadReport;
    s.walk.last = walk_.last;
    s.walk.graceEnd = walk_.graceEnd;
    s.walk.activeSeconds = walk_.activeSeconds;
    s.walk.latest = walk_.latest;
    s.gaps = walk_.gaps.size();
    s.pauses = walk_.pauses.size();
    s.reports = reports_;
    s.stretches = walked_;
    s.times = walkedTimes_;
    s.intervals = walkedIntervals_;
    return s;
}

void SoakLiveAnalysis::restore(const Snapshot& s) {
    auto gaps = std::move(walk_.gaps);
    auto pauses = std::move(walk_.pauses);
    walk_ = s.walk;
    gaps.resize(s.gaps);
    pauses.resize(s.pauses);
    walk_.gaps = std::move(gaps);
    walk_.pauses = std::move(pauses);
    reports_ = s.reports;
    walked_ = s.stretches;
    for (; walkedIntervals_ > s.intervals; --walkedIntervals_) {
        intervals_.erase(recentIntervals_.back());
        recentIntervals_.pop_back();
    }
    // The times walked since go back in front of the pending ones: none is later than those.
    const auto from = recentTimes_.begin() + static_cast<std::ptrdiff_t>(s.times - timesDropped_);
    pending_.insert(pending_.begin(), from, recentTimes_.end());
    recentTimes_.erase(from, recentTimes_.end());
    walkedTimes_ = s.times;
}

// Back to the newest snapshot that holds for the stretches and is not later than `earliest`;
// the oldest when none is.
void SoakLiveAnalysis::rollBack(const std::vector<Stretch>& stretches, double earliest) {
    std::size_t chosen = 0;
    for (std::size_t i = snapshots_.size(); i-- > 0;) {
        const Snapshot& s = snapshots_[i];
        if (s.walk.latest <= earliest && fits(s.walk, s.stretches, stretches)) {
            chosen = i;
            break;
        }
    }
    restore(snapshots_[chosen]);
    snapshots_.resize(chosen + 1);
}

SoakReport SoakLiveAnalysis::analyze(double end, const std::vector<SoakTimeline::Outage>& outageList, double settled) {
    const double endT = std::max(end, start_);
    const auto outages = mergedOutages(SoakTimeline{start_, end, {}, outageList}, endT);
    const auto stretches = connectedStretches(start_, endT, outages);

    // Times earlier than every snapshot can no longer be placed.
    const double lowest = snapshots_.front().walk.latest;
    const auto placed = std::remove_if(incoming_.begin(), incoming_.end(), [&](double t) { return t < lowest; });
    lateDropped_ += static_cast<std::size_t>(incoming_.end() - placed);
    incoming_.erase(placed, incoming_.end());

    const double earliest = incoming_.empty() ? INFINITY : *std::min_element(incoming_.begin(), incoming_.end());
    if (earliest < walk_.latest || !fits(walk_, walked_, stretches)) rollBack(stretches, earliest);

    // The new times into the pending ones, in order.
    if (!incoming_.empty()) {
        sortTimes(incoming_);
        const std::size_t before = pending_.size();
        pending_.insert(pending_.end(), incoming_.begin(), incoming_.end());
        std::inplace_merge(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(before), pending_.end());
        incoming_.clear();
    }

    // Walk the settled times for good: earlier than `settled` and inside the run so far.
    std::size_t settle = 0;
    while (settle < pending_.size() && pending_[settle] < settled && pending_[settle] <= endT) {
        walk_.feed(pending_[settle], stretches);
        recentTimes_.push_back(pending_[settle]);
        ++settle;
    }
    if (settle > 0) {
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(settle));
        reports_ += static_cast<int>(settle);
        walkedTimes_ += settle;
        for (double interval : walk_.intervals) {
            intervals_.insert(interval);
            recentIntervals_.push_back(interval);
        }
        walkedIntervals_ += walk_.intervals.size();
        walk_.intervals.clear();
        walked_ = stretches;
        snapshots_.push_back(snapshot());
        // Keep one snapshot from before the window and what was walked since it.
        while (snapshots_.size() > 1 && snapshots_[1].walk.latest < walk_.latest - lateWindow) snapshots_.pop_front();
        for (; timesDropped_ < snapshots_.front().times; ++timesDropped_) recentTimes_.pop_front();
        for (; intervalsDropped_ < snapshots_.front().intervals; ++intervalsDropped_) recentIntervals_.pop_front();
    }

    // The rest on a copy of the walk; its intervals join the settled ones for the median only.
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
