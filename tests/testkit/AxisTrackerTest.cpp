#include "testkit/AxisTracker.h"

#include <gtest/gtest.h>

#include <climits>

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

TEST(ReportRate, DropsNearDuplicateReportsAndUsesTheMedianInterval) {
    auto rate = ReportRateAnalysis::estimate({0.016, 0.0, 0.008, 0.0001}, 0.0002);
    ASSERT_TRUE(rate);
    EXPECT_NEAR(rate->medianIntervalMs, 7.95, 1e-9);
    EXPECT_NEAR(rate->hz, 1.0 / 0.00795, 1e-6);
    EXPECT_NEAR(rate->maxGapMs, 8.0, 1e-9);
    EXPECT_EQ(rate->reports, 3);

    EXPECT_EQ(ReportRate::fromJson(rate->toJson()), *rate);
    EXPECT_THROW(ReportRate::fromJson(json{{"hz", 1}, {"medianIntervalMs", 1}, {"maxGapMs", 1}}), DecodeError);

    EXPECT_FALSE(ReportRateAnalysis::estimate({1.0, 1.0}, 0.0002));
    EXPECT_FALSE(ReportRateAnalysis::estimate({1.0}, 0.0002));
    EXPECT_FALSE(ReportRateAnalysis::estimate({}, 0.0002));
}
