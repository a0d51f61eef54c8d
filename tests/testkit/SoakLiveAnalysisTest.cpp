// The soak analysis, one-shot and live, against a plain reading of the rules: every report time
// sorted with std::sort, stretch by stretch, the median from a sorted copy. Results must be
// equal to the last digit, on runs recorded the way the soak runner takes them in.
#include "testkit/SoakLiveAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "testkit/Fmt.h"
#include "testkit/Thresholds.h"

using namespace RorozErurEvo;

namespace {

SoakReport plainAnalysis(const SoakTimeline& timeline, const Thresholds& thresholds) {
    const double gap = thresholds.soakGapMs / 1000, pause = std::max(thresholds.soakPauseSeconds, gap);
    const double start = timeline.start, endT = std::max(timeline.end, start);
    std::vector<std::pair<double, double>> clipped, merged, stretches;
    for (const auto& o : timeline.outages) {
        const double from = std::max(o.from, start), to = std::min(o.to.value_or(endT), endT);
        if (from < to) clipped.emplace_back(from, to);
    }
    std::stable_sort(clipped.begin(), clipped.end(), [](auto& a, auto& b) { return a.first < b.first; });
    for (auto& o : clipped)
        if (!merged.empty() && o.first <= merged.back().second) merged.back().second = std::max(merged.back().second, o.second);
        else merged.push_back(o);
    double cursor = start;
    for (auto& o : merged) {
        if (cursor < o.first) stretches.emplace_back(cursor, o.first);
        cursor = std::max(cursor, o.second);
    }
    if (cursor < endT) stretches.emplace_back(cursor, endT);
    std::vector<double> times;
    for (double t : timeline.reports)
        if (start <= t && t <= endT) times.push_back(t);
    std::sort(times.begin(), times.end());
    SoakReport r;
    r.seconds = endT - start;
    r.reports = static_cast<int>(times.size());
    std::vector<double> intervals;
    std::size_t i = 0;
    for (auto [a, b] : stretches) {
        while (i < times.size() && times[i] < a) ++i;
        const double grace = a > start ? a + pause : a;
        bool had = false;
        double last = a;
        for (; i < times.size() && times[i] <= b; ++i) {
            const double s = times[i] - last;
            if (!had) {
                if (s > pause) r.pauses.push_back({a - start, s});
                had = true;
            } else if (s > pause) {
                r.pauses.push_back({last - start, s});
            } else {
                r.activeSeconds += s;
                if (s > gap && last >= grace) r.gaps.push_back({last - start, s});
                if (s > 0.0002) intervals.push_back(s);
            }
            last = times[i];
        }
        if (b - last > pause) r.pauses.push_back({last - start, b - last});
        else if (had) r.activeSeconds += b - last;
    }
    for (auto& g : r.gaps) r.longestGap = std::max(r.longestGap, g.length);
    for (auto& o : merged) r.outages.push_back({o.first - start, o.second - o.first});
    if (auto m = Stats::median(intervals); m && *m > 0) r.reportRate = 1 / *m;
    return r;
}

// A run as the runner takes it in: every quarter second, the pad's stamps, its motion samples
// and its raw partner's stamps since the last intake, stream after stream; silences, dropouts,
// a disconnect and its return, and now and then a report that arrives late.
struct RecordedRun {
    SoakTimeline timeline;
    std::vector<double> settled; // per intake
    std::vector<std::size_t> sizes;
};

RecordedRun record(unsigned seed, double seconds) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> jitter(0, 0.0004);
    RecordedRun run;
    run.timeline.start = 100;
    double next[3] = {100.001, 100.0013, 100.0016};
    bool away = false;
    for (double now = 100.25; now <= 100 + seconds; now += 0.25) {
        const bool silent = std::fmod(now, 40.0) < 6.0; // the user put the pad down
        if (seed % 2 && std::fabs(now - 100 - seconds / 2) < 0.01) {
            away = true;
            run.timeline.outages.push_back({now, std::nullopt});
        }
        if (away && now > 100 + seconds / 2 + 20) {
            away = false;
            run.timeline.outages.back().to = now;
        }
        double settled = now;
        for (auto& t : next) {
            while (t <= now) {
                if (!silent && !away) run.timeline.reports.push_back(t);
                t += 0.001 + jitter(random) + (random() % 3000 == 0 ? 0.3 : 0);
            }
            settled = std::min(settled, t - 0.0015);
        }
        if (random() % 40 == 0) run.timeline.reports.push_back(now - 0.7); // late, before the settled ones
        run.settled.push_back(settled);
        run.sizes.push_back(run.timeline.reports.size());
    }
    return run;
}

TEST(SoakLiveAnalysis, OneShotAndLiveEqualThePlainReadingToTheLastDigit) {
    Thresholds thresholds;
    for (unsigned seed = 1; seed <= 3; ++seed) {
        const auto run = record(seed, 70);
        SoakLiveAnalysis live;
        SoakTimeline growing{run.timeline.start, run.timeline.start, {}, {}};
        for (std::size_t n = 0; n < run.sizes.size(); ++n) {
            growing.reports.assign(run.timeline.reports.begin(),
                                   run.timeline.reports.begin() + static_cast<std::ptrdiff_t>(run.sizes[n]));
            growing.end = 100.25 + 0.25 * static_cast<double>(n);
            growing.outages.clear();
            for (auto o : run.timeline.outages)
                if (o.from <= growing.end) {
                    if (o.to && *o.to > growing.end) o.to.reset();
                    growing.outages.push_back(o);
                }
            if (n % 4 != 3 || (n % 12 != 11 && seed > 1)) continue; // the live analysis runs once a second
            const auto expected = plainAnalysis(growing, thresholds);
            ASSERT_EQ(live.analyze(growing, thresholds, run.settled[n]), expected) << "seed " << seed << " at " << n;
            ASSERT_EQ(SoakAnalysis::analyze(growing, thresholds), expected);
        }
        // The final analysis of the whole run, its reports shuffled and with a few that are no
        // use: outside the run and not a number.
        auto shuffled = run.timeline;
        shuffled.end = 100 + 70;
        shuffled.reports.insert(shuffled.reports.end(), {50.0, 1e9, NAN, -0.0});
        std::shuffle(shuffled.reports.begin(), shuffled.reports.end(), std::mt19937(seed));
        EXPECT_EQ(SoakAnalysis::analyze(shuffled, thresholds), plainAnalysis(shuffled, thresholds));
    }
}

} // namespace
