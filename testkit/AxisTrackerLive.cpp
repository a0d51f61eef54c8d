#include "testkit/AxisTrackerLive.h"

#include <algorithm>
#include <cmath>

#include "testkit/TimedRate.h"

namespace RorozErurEvo {

namespace {

std::uint64_t removedCount(const AxisTracker& tracker) {
    return static_cast<std::uint64_t>(tracker.changes) - tracker.times().size();
}

} // namespace

void AxisTrackerLive::reset(std::uint64_t first) {
    front_ = seen_ = first;
    hasLast_ = false;
    lows_.clear();
    highs_.clear();
    longs_.clear();
}

// Takes in the entries added since the last call; false when one of them is out of order.
bool AxisTrackerLive::takeIn(const AxisTracker& tracker) {
    const std::uint64_t removed = removedCount(tracker);
    const auto& times = tracker.times();
    const auto& values = tracker.values();
    const auto end = static_cast<std::uint64_t>(tracker.changes);
    for (; seen_ < end; ++seen_) {
        const double t = times[seen_ - removed];
        const int v = values[seen_ - removed];
        // Out of order, or not a finite time (whose intervals are no numbers).
        if (!std::isfinite(t) || (hasLast_ && !(t >= lastTime_))) return false;
        if (hasLast_) {
            const double interval = t - lastTime_;
            if (interval > ReportRateAnalysis::shortestPause) longs_.push_back({seen_ - 1, interval});
        }
        while (!lows_.empty() && lows_.back().v >= v) lows_.pop_back();
        lows_.push_back({seen_, v});
        while (!highs_.empty() && highs_.back().v <= v) highs_.pop_back();
        highs_.push_back({seen_, v});
        lastTime_ = t;
        hasLast_ = true;
    }
    return true;
}

// Moves the window's front past the entries more than one window before now and those the
// tracker has pruned.
void AxisTrackerLive::expire(const AxisTracker& tracker, double now) {
    const std::uint64_t removed = removedCount(tracker);
    const auto& times = tracker.times();
    while (front_ < seen_ && (front_ < removed || now - times[front_ - removed] > tracker.window())) ++front_;
    if (front_ < seen_) frontTime_ = times[front_ - removed];
    while (!longs_.empty() && longs_.front().from < front_) longs_.pop_front();
    while (!lows_.empty() && lows_.front().number < front_) lows_.pop_front();
    while (!highs_.empty() && highs_.front().number < front_) highs_.pop_front();
}

AxisTrackerLive::Figures AxisTrackerLive::figures(const AxisTracker& tracker) const {
    Figures result;
    if (front_ == seen_) return result;
    result.jitter = static_cast<long long>(highs_.front().v) - lows_.front().v;
    if (seen_ - front_ < 2) return result;
    std::vector<double> longOnes;
    for (const Interval& interval : longs_) longOnes.push_back(interval.seconds);
    // Asked only of slow runs, whose windows hold few intervals: they are worked out afresh from
    // the window's times.
    const auto median = [&] {
        const auto& times = tracker.times();
        const std::size_t first = static_cast<std::size_t>(front_ - removedCount(tracker));
        const std::size_t last = static_cast<std::size_t>(seen_ - removedCount(tracker)) - 1;
        std::vector<double> all;
        all.reserve(last - first);
        for (std::size_t i = first + 1; i <= last; ++i) all.push_back(times[i] - times[i - 1]);
        return Stats::middleInPlace(all)->mean();
    };
    result.rate = ReportRateAnalysis::rateOfRun(static_cast<std::size_t>(seen_ - front_ - 1), lastTime_ - frontTime_,
                                                std::move(longOnes), median);
    return result;
}

AxisTrackerLive::Figures AxisTrackerLive::update(const AxisTracker& tracker, double now) {
    const std::uint64_t removed = removedCount(tracker);
    const bool usable = !std::isnan(now) && (!tracking_ || now >= lastNow_) && (!tracking_ || seen_ >= removed) &&
                        seen_ <= static_cast<std::uint64_t>(tracker.changes);
    if (tracking_ && usable && takeIn(tracker)) {
        lastNow_ = now;
        expire(tracker, now);
        return figures(tracker);
    }
    // Start again from the tracker's whole history, when it is in order.
    tracking_ = false;
    const auto& times = tracker.times();
    const bool ordered = !std::isnan(now) &&
                         std::all_of(times.begin(), times.end(), [](double t) { return std::isfinite(t); }) &&
                         std::is_sorted(times.begin(), times.end());
    if (!ordered) return Figures{tracker.jitter(now), tracker.rate(now)};
    reset(removed);
    takeIn(tracker);
    tracking_ = true;
    lastNow_ = now;
    expire(tracker, now);
    return figures(tracker);
}

} // namespace RorozErurEvo
