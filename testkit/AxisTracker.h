#pragma once
// Running record of one raw HID element (current value, range seen, recent history) and the
// report rate estimated from a list of report times.
#include <optional>
#include <vector>

#include "testkit/Json.h"
#include "testkit/TimedRate.h"

namespace RorozErurEvo {

struct ReportRate {
    double hz = 0;               // reports per second (ReportRateAnalysis::rateOfIntervals)
    double medianIntervalMs = 0; // milliseconds
    double maxGapMs = 0;         // milliseconds, longest interval
    int reports = 0;             // report times counted

    // {"hz": …, "medianIntervalMs": …, "maxGapMs": …, "reports": …}, every key required.
    json toJson() const;
    static ReportRate fromJson(const json& value);

    friend bool operator==(const ReportRate&, const ReportRate&) = default;
};

namespace ReportRateAnalysis {
// The rate of report times (seconds, any order) by a fine clock, with the middle and the longest
// of their intervals; times that are not finite are left out. Absent with fewer than two times
// or when they all fall at one instant.
std::optional<ReportRate> estimate(std::vector<double> times);
} // namespace ReportRateAnalysis

class AxisTracker {
public:
    explicit AxisTracker(double window);

    std::optional<int> value;
    std::optional<int> minSeen;
    std::optional<int> maxSeen;
    int changes = 0;

    // Inline: the HID thread adds every raw value of every report.
    void add(int v, double t) {
        value = v;
        if (!minSeen || v < *minSeen) minSeen = v;
        if (!maxSeen || v > *maxSeen) maxSeen = v;
        ++changes;
        ordered_ = times_.empty() ? t == t : ordered_ && t >= times_.back(); // false for a time that is not a number
        times_.push_back(t);
        values_.push_back(v);
        // The history grows to just over two windows, then is cut back to one, so pruning
        // runs rarely rather than on every value.
        if (t - times_.front() > 2 * window_) prune(t);
    }
    // Largest minus smallest of the values within `window` seconds before now; 0 when none.
    // Wider than a raw value, because the span of two extreme 32-bit values overflows one.
    long long jitter(double now) const;
    // Report rate in hertz over the times within `window` seconds before now.
    std::optional<double> rate(double now) const;
    // The same, told as a floor when the times come from a clock of `resolution` seconds a step
    // and the reports came faster than that (ReportRateAnalysis::timedEstimate).
    std::optional<TimedRate> timedRate(double now, double resolution) const;
    void resetRange();
    // Drops the oldest `count` entries of the recent history (all of them when it holds fewer).
    // Only a capture buffer over its memory budget calls it, for a device that reports far more
    // than any real one does.
    void forgetOldest(std::size_t count);

    double window() const { return window_; }
    // The recent history, index-aligned; exposed read-only for inspection.
    const std::vector<double>& times() const { return times_; }
    const std::vector<int>& values() const { return values_; }

    // The same values, range, changes and history; how the history is searched is no part of it.
    friend bool operator==(const AxisTracker& a, const AxisTracker& b) {
        return a.value == b.value && a.minSeen == b.minSeen && a.maxSeen == b.maxSeen && a.changes == b.changes &&
               a.times_ == b.times_ && a.values_ == b.values_ && a.window_ == b.window_;
    }

private:
    void prune(double t); // drops the history older than one window before t
    std::vector<double> times_;  // seconds of uptime
    std::vector<int> values_;
    double window_;              // seconds
    // Whether the history's times are known to rise (never falling, every one a number), so that
    // a prune can search them instead of walking them: at 8 kHz a prune walks 8,000 times.
    bool ordered_ = true;
};

} // namespace RorozErurEvo
