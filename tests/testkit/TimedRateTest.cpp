#include "testkit/TimedRate.h"

#include <gtest/gtest.h>

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

TEST(TimedRate, SharedStampsGiveTheClocksFloorAndSlowerReportsTheirMedianRate) {
    EXPECT_EQ(timedEstimate(stamped(400, 2000, 0.001), 0.0002, 0.001), (TimedRate{1000, true, 0.001}));
    EXPECT_EQ(timedEstimate(stamped(400, 8000, 0.001), 0.0002, 0.001), (TimedRate{1000, true, 0.001}));
    const auto slow = timedEstimate(stamped(400, 250, 0.001), 0.0002, 0.001);
    ASSERT_TRUE(slow);
    EXPECT_FALSE(slow->atLeast);
    EXPECT_NEAR(slow->hz, 250, 0.5);
    // A fine clock times them all: the same reports, unstamped, measure as they are.
    std::vector<double> fine;
    for (int i = 0; i < 400; ++i) fine.push_back(i / 2000.0);
    const auto measured = timedEstimate(fine, 0.0002, 0);
    ASSERT_TRUE(measured);
    EXPECT_NEAR(measured->hz, 2000, 1);
    EXPECT_FALSE(measured->atLeast);
}

TEST(TimedRate, AFewSharedStampsAreJitterAndTwoTimesAreTheLeast) {
    // 1 shared stamp in 20 intervals: below the tenth, so a 500/s device stays 500/s.
    std::vector<double> jittered;
    for (int i = 0; i < 21; ++i) jittered.push_back(i * 0.002);
    jittered[10] = jittered[9];
    const auto rate = timedEstimate(jittered, 0.0002, 0.001);
    ASSERT_TRUE(rate);
    EXPECT_FALSE(rate->atLeast);
    EXPECT_NEAR(rate->hz, 500, 0.5);

    EXPECT_FALSE(timedEstimate({1.0}, 0.0002, 0.001));
    EXPECT_EQ(timedEstimate({1.0, 1.0}, 0.0002, 0.001), (TimedRate{1000, true, 0.001}));
}

TEST(TimedRate, FloorTextGroupsThousandsAndNamesTheStep) {
    using ReportRateAnalysis::floorText;
    EXPECT_EQ(floorText(TimedRate{1000, true, 0.001}), "\u2265 1,000 reports/s (the system times events to the millisecond)");
    EXPECT_EQ(floorText(TimedRate{100, true, 0.01}), "\u2265 100 reports/s (the system times events to 10 ms)");
    EXPECT_EQ(floorText(TimedRate{1000000, true, 0.000001}),
              "\u2265 1,000,000 reports/s (the system times events to 0.001 ms)");
}
