#include "testkit/AxisTracker.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

using namespace RorozErurEvo;

TEST(AxisTracker, RangeFollowsValuesAndResetKeepsTheCurrentOne) {
    AxisTracker tracker(1.0);
    tracker.resetRange();
    EXPECT_FALSE(tracker.minSeen);
    EXPECT_FALSE(tracker.maxSeen);

    tracker.add(500, 0.0);
    EXPECT_EQ(tracker.value, 500);
    EXPECT_EQ(tracker.minSeen, 500);
    EXPECT_EQ(tracker.maxSeen, 500);

    tracker.add(100, 0.1);
    tracker.add(900, 0.2);
    tracker.add(900, 0.3); // a repeated value still counts as a change
    tracker.add(400, 0.4);
    EXPECT_EQ(tracker.minSeen, 100);
    EXPECT_EQ(tracker.maxSeen, 900);
    EXPECT_EQ(tracker.changes, 5);

    tracker.resetRange();
    EXPECT_EQ(tracker.minSeen, 400);
    EXPECT_EQ(tracker.maxSeen, 400);
    EXPECT_EQ(tracker.changes, 5);
}

TEST(AxisTracker, HistoryIsPrunedOnlyPastTwoWindowsAndThenToOne) {
    AxisTracker tracker(1.0);
    tracker.add(1, 0.0);
    tracker.add(2, 1.0);
    tracker.add(3, 2.0); // 2 − 0 is not more than two windows
    EXPECT_EQ(tracker.times(), (std::vector<double>{0.0, 1.0, 2.0}));

    tracker.add(4, 2.5); // cut back to the entries within one window of 2.5
    EXPECT_EQ(tracker.times(), (std::vector<double>{2.0, 2.5}));
    EXPECT_EQ(tracker.values(), (std::vector<int>{3, 4}));

    tracker.add(5, 10.0); // nothing older is within one window: only the new entry stays
    EXPECT_EQ(tracker.times(), (std::vector<double>{10.0}));
    EXPECT_EQ(tracker.minSeen, 1); // the range is kept across pruning
}

// The history as the plain rule keeps it: every value appended, and once the oldest is more
// than two windows before the newest, everything before the first entry within one window of
// it is dropped (all of it when none is). Rising times let the tracker search for that entry;
// times that fall, repeat or are not numbers must leave the history exactly as the walk does.
TEST(AxisTracker, HistoryEqualsThePlainRuleWhateverOrderTheTimesComeIn) {
    std::mt19937 random(5);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int run = 0; run < 4; ++run) {
        AxisTracker tracker(0.01);
        std::vector<double> times;
        std::vector<int> values;
        double t = 0;
        for (int n = 0; n < 20'000; ++n) {
            const int step = pick(1000);
            t += run == 0 || step >= 20 ? 0.0002 * pick(3) : step < 10 ? -0.003 : 0.5; // run 0 only rises
            const double at = run == 3 && step == 999 ? std::nan("") : t;
            const int v = pick(50);
            tracker.add(v, at);
            times.push_back(at);
            values.push_back(v);
            if (at - times.front() > 2 * 0.01) {
                std::size_t keep = 0;
                while (keep < times.size() && !(at - times[keep] <= 0.01)) ++keep;
                times.erase(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(keep));
                values.erase(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(keep));
            }
            if (n % 7'000 == 6'999) { // forgetting the oldest, as a buffer over its budget does
                const std::size_t drop = std::min<std::size_t>(times.size(), 3);
                tracker.forgetOldest(drop);
                times.erase(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(drop));
                values.erase(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(drop));
            }
            ASSERT_EQ(tracker.times().size(), times.size()) << "run " << run << ", value " << n;
            ASSERT_EQ(std::memcmp(tracker.times().data(), times.data(), times.size() * sizeof(double)), 0)
                << "run " << run << ", value " << n;
            ASSERT_EQ(tracker.values(), values) << "run " << run << ", value " << n;
        }
    }
}

TEST(AxisTracker, JitterAndRateLookOnlyAtTheLastWindow) {
    AxisTracker tracker(1.0);
    EXPECT_EQ(tracker.jitter(0.0), 0);
    EXPECT_FALSE(tracker.rate(0.0));

    tracker.add(0, 0.0); // still stored, but too old at now = 1.5
    for (int i = 0; i < 9; ++i) tracker.add(100 + i % 2 * 6, 0.6 + 0.1 * i);
    EXPECT_EQ(tracker.times().size(), 10u);
    EXPECT_EQ(tracker.jitter(1.5), 6);
    ASSERT_TRUE(tracker.rate(1.5));
    EXPECT_NEAR(*tracker.rate(1.5), 10.0, 1e-9);

    EXPECT_EQ(tracker.jitter(10.0), 0); // newest value is more than a window back
    EXPECT_FALSE(tracker.rate(10.0));
}

TEST(AxisTracker, JitterOfExtremeValuesDoesNotOverflow) {
    AxisTracker tracker(1.0);
    tracker.add(INT_MIN, 0.0);
    tracker.add(INT_MAX, 0.1);
    EXPECT_EQ(tracker.jitter(0.1), static_cast<long long>(INT_MAX) - INT_MIN);
}

TEST(ReportRate, CountsReportsOverTheirTimeLeavingOutPauses) {
    // 400 reports a second stamped in whole milliseconds: 2 and 3 ms apart in turn, so the
    // middle interval alone reads 333 or 500.
    std::vector<double> stamped;
    for (int i = 0; i <= 400; ++i) stamped.push_back(std::floor(i * 2.5) / 1000);
    auto rate = ReportRateAnalysis::estimate(stamped);
    ASSERT_TRUE(rate);
    EXPECT_NEAR(rate->hz, 400, 400 * 0.01);
    EXPECT_EQ(rate->reports, 401);

    // Two stretches of 250 a second with the user's half-second stop between them: the stop
    // is the longest gap but no part of the rate.
    std::vector<double> bursts;
    for (int i = 0; i <= 75; ++i) bursts.push_back(i * 0.004);
    for (int i = 0; i <= 75; ++i) bursts.push_back(0.8 + i * 0.004);
    rate = ReportRateAnalysis::estimate(bursts);
    ASSERT_TRUE(rate);
    EXPECT_NEAR(rate->hz, 250, 1e-6);
    EXPECT_NEAR(rate->medianIntervalMs, 4, 1e-9);
    EXPECT_NEAR(rate->maxGapMs, 500, 1e-6);

    EXPECT_EQ(ReportRate::fromJson(rate->toJson()), *rate);
    EXPECT_THROW(ReportRate::fromJson(json{{"hz", 1}, {"medianIntervalMs", 1}, {"maxGapMs", 1}}), DecodeError);

    // A time that is no number is left out; times all at one instant give no rate.
    rate = ReportRateAnalysis::estimate({0.0, std::nan(""), 0.01, 0.02});
    ASSERT_TRUE(rate);
    EXPECT_NEAR(rate->hz, 100, 1e-9);
    EXPECT_FALSE(ReportRateAnalysis::estimate({1.0, 1.0}));
    EXPECT_FALSE(ReportRateAnalysis::estimate({1.0}));
    EXPECT_FALSE(ReportRateAnalysis::estimate({}));
}
