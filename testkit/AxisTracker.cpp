#include "testkit/AxisTracker.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "testkit/Fmt.h"

namespace RorozErurEvo {

std::optional<ReportRate> ReportRateAnalysis::estimate(std::vector<double> times) {
    std::erase_if(times, [](double t) { return !std::isfinite(t); });
    if (times.size() < 2) return std::nullopt;
    std::sort(times.begin(), times.end());
    std::vector<double> intervals;
    intervals.reserve(times.size() - 1);
    for (std::size_t i = 1; i < times.size(); ++i) intervals.push_back(times[i] - times[i - 1]);
    std::sort(intervals.begin(), intervals.end());
    const double median =
        Stats::middleOfSorted(intervals.size(), [&](std::size_t k) { return intervals[k]; })->mean();
    const auto longest = std::upper_bound(intervals.begin(), intervals.end(), shortestPause);
    const auto hz = rateOfRun(intervals.size(), times.back() - times.front(),
                              std::vector<double>(longest, intervals.end()), [&] { return median; });
    if (!hz) return std::nullopt;
    return ReportRate{*hz, 1000.0 * median, 1000.0 * intervals.back(), static_cast<int>(times.size())};
}

json ReportRate::toJson() const {
    return json{{"hz", hz}, {"medianIntervalMs", medianIntervalMs}, {"maxGapMs", maxGapMs}, {"reports", reports}};
}

ReportRate ReportRate::fromJson(const json& value) {
    Json::requireObject(value, "report rate");
    const auto count = static_cast<int>(Json::integer(value, "reports", 0, std::numeric_limits<int>::max()));
    return ReportRate{Json::number(value, "hz"), Json::number(value, "medianIntervalMs"), Json::number(value, "maxGapMs"),
                      count};
}

AxisTracker::AxisTracker(double window) : window_(window) {}

void AxisTracker::prune(double t) {
    // The first entry within one window of t is kept, with all after it. In rising times that
    // test holds from some entry on, so it can be searched for.
    const auto outside = [this, t](double time) { return !(t - time <= window_); };
    std::size_t keepFrom = 0;
    if (ordered_) {
        keepFrom = static_cast<std::size_t>(std::partition_point(times_.begin(), times_.end(), outside) - times_.begin());
    } else {
        while (keepFrom < times_.size() && outside(times_[keepFrom])) ++keepFrom;
    }
    forgetOldest(keepFrom);
}

long long AxisTracker::jitter(double now) const {
    std::optional<int> low, high;
    for (std::size_t i = 0; i < times_.size(); ++i) {
        if (now - times_[i] > window_) continue;
        low = low ? std::min(*low, values_[i]) : values_[i];
        high = high ? std::max(*high, values_[i]) : values_[i];
    }
    return low ? static_cast<long long>(*high) - *low : 0;
}

std::optional<double> AxisTracker::rate(double now) const {
    std::vector<double> recent;
    for (double t : times_)
        if (now - t <= window_) recent.push_back(t);
    auto estimate = ReportRateAnalysis::estimate(std::move(recent));
    if (!estimate) return std::nullopt;
    return estimate->hz;
}

std::optional<TimedRate> AxisTracker::timedRate(double now, double resolution) const {
    std::vector<double> recent;
    for (double t : times_)
        if (now - t <= window_) recent.push_back(t);
    return ReportRateAnalysis::timedEstimate(std::move(recent), resolution);
}

void AxisTracker::forgetOldest(std::size_t count) {
    count = std::min(count, times_.size());
    times_.erase(times_.begin(), times_.begin() + static_cast<std::ptrdiff_t>(count));
    values_.erase(values_.begin(), values_.begin() + static_cast<std::ptrdiff_t>(count));
    // What made the times fall may have gone with the entries.
    if (!ordered_)
        ordered_ = std::all_of(times_.begin(), times_.end(), [](double time) { return time == time; }) &&
                   std::is_sorted(times_.begin(), times_.end());
}

void AxisTracker::resetRange() {
    minSeen = value;
    maxSeen = value;
}

} // namespace RorozErurEvo
