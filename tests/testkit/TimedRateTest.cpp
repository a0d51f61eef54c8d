#include "testkit/TimedRate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace RorozErurEvo;
using ReportRateAnalysis::timedEstimate;

namespace {

// n reports at `perSecond`, stamped by a clock that counts whole steps of `step` seconds.
std::vector<double> stamped(int n, double perSecond, double step) {
    std::vector<double> times;
    for (int i = 0; i < n; ++i) times.push_back(std::floor(i / perSecond / step) * step);
    return times;
}

} // namespace

TEST(TimedRate, MillisecondStampsMeasureReportsToAPercent) {
    // A second of reports at each rate, stamped in whole milliseconds. The middle interval
    // would read 333 or 500 for 400, 1,000 for 800.
    for (double perSecond : {250.0, 400.0, 500.0, 800.0, 1200.0}) {
        const auto rate = timedEstimate(stamped(static_cast<int>(perSecond) + 1, perSecond, 0.001), 0.001);
        ASSERT_TRUE(rate) << perSecond;
        EXPECT_FALSE(rate->atLeast) << perSecond;
        EXPECT_NEAR(rate->hz, perSecond, perSecond * 0.01) << perSecond;
    }
    // A fine clock times them all as they are.
    std::vector<double> fine;
    for (int i = 0; i <= 2000; ++i) fine.push_back(i / 2000.0);
    const auto measured = timedEstimate(fine, 0);
    ASSERT_TRUE(measured);
    EXPECT_NEAR(measured->hz, 2000, 1e-6);
    EXPECT_FALSE(measured->atLeast);
}

TEST(TimedRate, OnlyReportsThatMostlyShareTheirStepGiveTheClocksFloor) {
    const TimedRate floor{1000, true, 0.001};
    EXPECT_EQ(timedEstimate(stamped(2001, 2000, 0.001), 0.001), floor);
    EXPECT_EQ(timedEstimate(stamped(8001, 8000, 0.001), 0.001), floor);
    // Two values of every report delivered one by one: the stamps cannot tell them apart.
    std::vector<double> pairs;
    for (int i = 0; i <= 250; ++i) pairs.insert(pairs.end(), 2, i * 0.004);
    EXPECT_EQ(timedEstimate(pairs, 0.001), floor);

    // 1 shared stamp in 20 intervals is the jitter of a 500/s device.
    std::vector<double> jittered;
    for (int i = 0; i < 21; ++i) jittered.push_back(i * 0.002);
    jittered[10] = jittered[9];
    const auto rate = timedEstimate(jittered, 0.001);
    ASSERT_TRUE(rate);
    EXPECT_FALSE(rate->atLeast);
    EXPECT_NEAR(rate->hz, 500, 500 * 0.05);

    EXPECT_FALSE(timedEstimate({1.0}, 0.001));
    EXPECT_FALSE(timedEstimate({1.0, std::nan("")}, 0.001));
    EXPECT_EQ(timedEstimate({1.0, 1.0}, 0.001), floor);
}

// A layer that keeps one stamp per time (the device's report stamps) shows every report of one
// millisecond as one: 2,000 reports a second read as one stamp a millisecond, which only a floor
// can honestly tell. Slower devices keep their figures.
TEST(TimedRate, StampsNearlyAllOneStepApartGiveAFloor) {
    auto distinct = [](std::vector<double> times) {
        times.erase(std::unique(times.begin(), times.end()), times.end());
        return times;
    };
    EXPECT_EQ(timedEstimate(distinct(stamped(2001, 2000, 0.001)), 0.001), (TimedRate{1000, true, 0.001}));
    std::vector<double> everyStep;
    for (int i = 0; i <= 1000; ++i) everyStep.push_back(5 + i * 0.001);
    const auto each = timedEstimate(everyStep, 0.001);
    ASSERT_TRUE(each);
    EXPECT_TRUE(each->atLeast);
    EXPECT_NEAR(each->hz, 1000, 1e-6);
    // 950 a second: one interval in twenty is two steps; the count is what it can say, as a floor.
    const auto nearly = timedEstimate(stamped(951, 950, 0.001), 0.001);
    ASSERT_TRUE(nearly);
    EXPECT_TRUE(nearly->atLeast);
    EXPECT_NEAR(nearly->hz, 950, 950 * 0.01);
    EXPECT_EQ(ReportRateAnalysis::floorText(*nearly).rfind("\u2265 95", 0), 0u);
    // 800 and 900 a second leave enough two-step intervals to be measured as they are.
    for (double perSecond : {800.0, 900.0}) {
        const auto rate = timedEstimate(distinct(stamped(static_cast<int>(perSecond) + 1, perSecond, 0.001)), 0.001);
        ASSERT_TRUE(rate) << perSecond;
        EXPECT_FALSE(rate->atLeast) << perSecond;
        EXPECT_NEAR(rate->hz, perSecond, perSecond * 0.01) << perSecond;
    }
    // A fine clock never gives a floor.
    std::vector<double> fine;
    for (int i = 0; i <= 1000; ++i) fine.push_back(i * 0.001);
    EXPECT_FALSE(timedEstimate(fine, 0)->atLeast);
}

TEST(TimedRate, FloorTextGroupsThousandsAndNamesTheStep) {
    using ReportRateAnalysis::floorText;
    EXPECT_EQ(floorText(TimedRate{1000, true, 0.001}), "\u2265 1,000 reports/s (the system times events to the millisecond)");
    EXPECT_EQ(ReportRateAnalysis::floorFigure(TimedRate{1000, true, 0.001}), "\u2265 1,000 reports/s");
    EXPECT_EQ(floorText(TimedRate{100, true, 0.01}), "\u2265 100 reports/s (the system times events to 10 ms)");
    EXPECT_EQ(floorText(TimedRate{1000000, true, 0.000001}),
              "\u2265 1,000,000 reports/s (the system times events to 0.001 ms)");
}
