#pragma once
// The walk of a soak run's report times through its connected stretches, one time at a time in
// ascending order, shared by the one-shot analysis and the live one so that both add the same
// numbers in the same order and agree to the last digit.
//
//   lead-in    a → first report: a pause when longer than the pause threshold, else ignored;
//   interval   report → report:  a pause when longer than the pause threshold, else time with
//              input, a dropout when also longer than the gap threshold (outside the grace
//              after a reconnect) and a rate interval when longer than minRateInterval;
//   trailing   last report → b:  a pause when long enough, else time with input (only when the
//              stretch had a report).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "testkit/SoakAnalysis.h"

namespace RorozErurEvo::SoakWalking {

// Silences this short or shorter are one report delivered twice, not an interval (seconds).
constexpr double minRateInterval = 0.0002;

struct Stretch {
    double from; // seconds
    double to;   // seconds
    friend bool operator==(const Stretch&, const Stretch&) = default;
};

// Outages clipped to start…endT, emptied ones dropped, sorted by their start and merged where
// they touch or overlap.
inline std::vector<Stretch> mergedOutages(const SoakTimeline& timeline, double endT) {
    std::vector<Stretch> clipped;
    clipped.reserve(timeline.outages.size());
    for (const auto& outage : timeline.outages) {
        double from = std::max(outage.from, timeline.start);
        double to = std::min(outage.to.value_or(endT), endT);
        if (!(from < to)) continue; // also drops an outage with a time that is not a number
        clipped.push_back({from, to});
    }
    std::stable_sort(clipped.begin(), clipped.end(), [](const Stretch& a, const Stretch& b) { return a.from < b.from; });
    std::vector<Stretch> merged;
    for (const auto& outage : clipped) {
        if (!merged.empty() && outage.from <= merged.back().to)
            merged.back().to = std::max(merged.back().to, outage.to);
        else
            merged.push_back(outage);
    }
    return merged;
}

inline std::vector<Stretch> connectedStretches(double start, double endT, const std::vector<Stretch>& outages) {
    std::vector<Stretch> stretches;
    double cursor = start;
    for (const auto& outage : outages) {
        if (cursor < outage.from) stretches.push_back({cursor, outage.from});
        cursor = std::max(cursor, outage.to);
    }
    if (cursor < endT) stretches.push_back({cursor, endT});
    return stretches;
}

// Sorts report times ascending: radix passes over the bits of the doubles, each pass skipped
// when every time shares its byte (the times of one run share their leading bytes). Times that
// are not numbers must have been left out.
inline void sortTimes(std::vector<double>& times) {
    if (std::is_sorted(times.begin(), times.end())) return;
    const std::size_t n = times.size();
    std::vector<std::uint64_t> keys(n), other(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, &times[i], 8);
        keys[i] = (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63); // order of the values
    }
    std::vector<std::array<std::size_t, 256>> counts(8);
    for (auto& c : counts) c.fill(0);
    for (std::uint64_t key : keys)
        for (int pass = 0; pass < 8; ++pass) ++counts[static_cast<std::size_t>(pass)][(key >> (8 * pass)) & 0xFF];
    for (int pass = 0; pass < 8; ++pass) {
        auto& c = counts[static_cast<std::size_t>(pass)];
        if (std::find(c.begin(), c.end(), n) != c.end()) continue; // every key has this byte
        std::size_t sum = 0;
        for (auto& slot : c) sum += std::exchange(slot, sum);
        for (std::uint64_t key : keys) other[c[(key >> (8 * pass)) & 0xFF]++] = key;
        keys.swap(other);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t key = keys[i];
        const std::uint64_t bits = (key >> 63) ? key & ~(std::uint64_t{1} << 63) : ~key;
        std::memcpy(&times[i], &bits, 8);
    }
}

// The walk's running state. Intervals for the report rate collect in `intervals` for the caller.
struct Walk {
    double start = 0, gap = 0, pause = 0;
    std::size_t stretch = 0;   // the stretch being walked
    bool entered = false;      // its lead-in has begun
    bool hadReport = false;
    double last = 0;           // the previous report of the stretch, or its start
    double graceEnd = 0;
    double activeSeconds = 0;
    std::vector<SoakSpan> gaps, pauses;
    std::vector<double> intervals;
    double latest = -INFINITY; // the latest time fed

    void enter(const std::vector<Stretch>& stretches) {
        const double a = stretches[stretch].from;
        // Silences that begin before this time never count as dropouts: a controller that has
        // just reconnected is still settling its link.
        graceEnd = a > start ? a + pause : a;
        hadReport = false;
        last = a;
        entered = true;
    }
    void close(const std::vector<Stretch>& stretches) {
        const double trailing = stretches[stretch].to - last;
        if (trailing > pause)
            pauses.push_back({last - start, trailing});
        else if (hadReport)
            activeSeconds += trailing;
        ++stretch;
        entered = false;
    }
    // One report time, not earlier than the previous one.
    void feed(double t, const std::vector<Stretch>& stretches) {
        latest = t;
        while (stretch < stretches.size()) {
            if (!entered) enter(stretches);
            if (t <= stretches[stretch].to) break;
            close(stretches); // reports later than the stretch wait for the next one
        }
        if (stretch == stretches.size()) return;
        if (t < stretches[stretch].from) return; // inside a disconnect
        const double silence = t - last;
        if (!hadReport) {
            if (silence > pause) pauses.push_back({stretches[stretch].from - start, silence});
            hadReport = true;
        } else if (silence > pause) {
            pauses.push_back({last - start, silence});
        } else {
            activeSeconds += silence;
            if (silence > gap && last >= graceEnd) gaps.push_back({last - start, silence});
            if (silence > minRateInterval) intervals.push_back(silence);
        }
        last = t;
    }
    // The stretches that remain, with their trailing silences.
    void finish(const std::vector<Stretch>& stretches) {
        while (stretch < stretches.size()) {
            if (!entered) enter(stretches);
            close(stretches);
        }
    }
};

// The report of a finished walk; `median` is that of every rate interval.
inline SoakReport report(const Walk& walk, const std::vector<Stretch>& outages, double endT, int reports,
                         std::optional<double> median) {
    SoakReport r;
    r.seconds = endT - walk.start;
    r.reports = reports;
    r.gaps = walk.gaps;
    r.pauses = walk.pauses;
    r.activeSeconds = walk.activeSeconds;
    for (const auto& dropout : r.gaps) r.longestGap = std::max(r.longestGap, dropout.length);
    r.outages.reserve(outages.size());
    for (const auto& outage : outages) r.outages.push_back({outage.from - walk.start, outage.to - outage.from});
    if (median && *median > 0) r.reportRate = 1 / *median;
    return r;
}

} // namespace RorozErurEvo::SoakWalking
