// The soak analysis, one-shot and live, against a plain reading of the rules: every report time
// sorted with std::sort, stretch by stretch, the median from a sorted copy. Results must be
// equal to the last digit, on runs recorded the way the soak runner takes them in.
#include "testkit/SoakLiveAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>

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
// a disconnect and its return, now and then a report that arrives late, and on odd seeds a
// short disconnect noticed only after the reports around it were settled. Some late reports
// come later than the live analysis keeps times for: it leaves them out, so the plain reading
// is given the run without them.
struct RecordedRun {
    std::vector<double> fed;           // every time, in the order taken in
    std::vector<bool> placed;          // per fed time: whether it can still be placed
    SoakTimeline timeline;             // reports: unused; outages as finally known
    std::vector<double> settled;       // per intake
    std::vector<std::size_t> sizes;    // per intake: times fed so far
    std::vector<std::vector<SoakTimeline::Outage>> outages; // per intake: as known then
};

RecordedRun record(unsigned seed, double seconds) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> jitter(0, 0.0004);
    RecordedRun run;
    run.timeline.start = 100;
    double next[3] = {100.001, 100.0013, 100.0016};
    bool away = false;
    auto feed = [&](double t, bool placed) {
        run.fed.push_back(t);
        run.placed.push_back(placed);
    };
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
        if (seed % 2 && std::fabs(now - 100 - seconds / 4) < 0.01)
            run.timeline.outages.push_back({now - 1.5, now - 1.2}); // noticed late
        double settled = now;
        for (auto& t : next) {
            while (t <= now) {
                if (!silent && !away) feed(t, true);
                t += 0.001 + jitter(random) + (random() % 3000 == 0 ? 0.3 : 0);
            }
            settled = std::min(settled, t - 0.0015);
        }
        if (random() % 40 == 0) feed(now - 0.7, true); // late, before the settled ones
        if (std::fabs(now - 160) < 0.01 || std::fabs(now - 165) < 0.01) feed(now - 40, false); // too late to be placed
        run.settled.push_back(settled);
        run.sizes.push_back(run.fed.size());
        run.outages.push_back(run.timeline.outages);
        for (auto& o : run.outages.back())
            if (o.to && *o.to > now) o.to.reset();
    }
    return run;
}

TEST(SoakLiveAnalysis, OneShotAndLiveEqualThePlainReadingToTheLastDigit) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        Thresholds thresholds;
        if (seed == 4) {
            thresholds.soakGapMs = 1.1;
            thresholds.soakPauseSeconds = 0.25;
        }
        const auto run = record(seed, 70);
        SoakLiveAnalysis live;
        live.begin(run.timeline.start, thresholds);
        SoakTimeline growing{run.timeline.start, run.timeline.start, {}, {}};
        std::size_t fed = 0, tooLate = 0;
        for (std::size_t n = 0; n < run.sizes.size(); ++n) {
            live.take(std::span(run.fed).subspan(fed, run.sizes[n] - fed));
            for (; fed < run.sizes[n]; ++fed) {
                if (run.placed[fed])
                    growing.reports.push_back(run.fed[fed]);
                else
                    ++tooLate;
            }
            growing.end = 100.25 + 0.25 * static_cast<double>(n);
            growing.outages = run.outages[n];
            if (n % 4 != 3 || (n % 12 != 11 && seed > 1)) continue; // the live analysis runs once a second
            const auto expected = plainAnalysis(growing, thresholds);
            ASSERT_EQ(live.analyze(growing.end, growing.outages, run.settled[n]), expected) << "seed " << seed << " at " << n;
            if (n % 12 == 11) {
                ASSERT_EQ(SoakAnalysis::analyze(growing, thresholds), expected);
            }
        }
        EXPECT_GT(tooLate, 0u);
        EXPECT_EQ(live.lateDropped(), tooLate);

        // The end of the run, everything settled, with a few times that are no use: outside
        // the run and not a number.
        const std::vector<double> useless{50.0, 1e9, NAN, -0.0};
        live.take(useless);
        growing.reports.insert(growing.reports.end(), useless.begin(), useless.end());
        growing.end = 100 + 70;
        EXPECT_EQ(live.analyze(growing.end, growing.outages, INFINITY), plainAnalysis(growing, thresholds));
        // The one-shot analysis of the whole run, its reports shuffled.
        auto shuffled = growing;
        std::shuffle(shuffled.reports.begin(), shuffled.reports.end(), std::mt19937(seed));
        EXPECT_EQ(SoakAnalysis::analyze(shuffled, thresholds), plainAnalysis(shuffled, thresholds));
    }
}

// A late time or an outage reaching back into what was walked for good sends the walk back to
// a snapshot before them; the answer is the same as for a run that had them all along.
TEST(SoakLiveAnalysis, WalksAgainFromBeforeALateTimeOrAnOutageFoundLate) {
    const Thresholds thresholds;
    SoakTimeline timeline{100, 100, {}, {}};
    for (int i = 1; i <= 20'000; ++i) timeline.reports.push_back(100 + i * 0.001 + (i % 7) * 0.00003);
    const double late = 108.5004;
    SoakLiveAnalysis live;
    live.begin(100, thresholds);
    for (int second = 1; second <= 20; ++second) {
        const double now = 100 + second;
        std::vector<double> batch;
        for (double t : timeline.reports)
            if (t > now - 1 && t <= now) batch.push_back(t);
        live.take(batch);
        if (second == 15) {
            live.take(std::span(&late, 1)); // six seconds after it was due
            timeline.outages.push_back({109.2, 109.3});
        }
        const auto report = live.analyze(now, timeline.outages, now);
        if (second < 15) continue;
        SoakTimeline sofar = timeline;
        sofar.end = now;
        sofar.reports.push_back(late);
        EXPECT_EQ(report, plainAnalysis(sofar, thresholds)) << second;
    }
    EXPECT_EQ(live.lateDropped(), 0u);
}

} // namespace
