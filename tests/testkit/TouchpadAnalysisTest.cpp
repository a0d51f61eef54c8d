#include "testkit/TouchpadAnalysis.h"

#include <gtest/gtest.h>

#include "support/TestSamples.h"

#include <limits>

using namespace RorozErurEvo;

namespace {

using TestSamples::someDate;

// One touch in the middle of each of the first `cells` cells, by finger.
std::vector<TouchSample> sweep(int finger, int cells) {
    std::vector<TouchSample> touches;
    for (int c = 0; c < cells; ++c) {
        double x = -1 + (c % 8 + 0.5) * 0.25;
        double y = -1 + (c / 8 + 0.5) * 0.5;
        touches.push_back({0.01 * c, finger, x, y});
    }
    return touches;
}

TestResult judgeTouches(const std::vector<TouchSample>& touches) {
    return TouchpadAnalysis::result(touches, "Touchpad", ValueSource::processed, someDate);
}

} // namespace

TEST(TouchpadAnalysis, CellsCoverTheSurfaceAndClampAtItsEdges) {
    EXPECT_EQ(TouchpadAnalysis::cell({0, 0, -1, -1}), 0);
    EXPECT_EQ(TouchpadAnalysis::cell({0, 0, 1, -1}), 7); // the right edge is column 7, not a ninth
    EXPECT_EQ(TouchpadAnalysis::cell({0, 0, 1, 1}), 31);
    EXPECT_EQ(TouchpadAnalysis::cell({0, 0, 0, 0}), 4 + 2 * 8);
    EXPECT_EQ(TouchpadAnalysis::cell({0, 0, -7, 1e300}), 24);
    EXPECT_EQ(TouchpadAnalysis::cell({0, 0, 3, -2}), 7);
    const auto nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(TouchpadAnalysis::cell({0, 0, nan, nan}), 0);

    EXPECT_DOUBLE_EQ(TouchpadAnalysis::coverage({}), 0);
    EXPECT_DOUBLE_EQ(TouchpadAnalysis::coverage(sweep(0, 32)), 1);
    // Repeats count once; touches off the surface land in border cells; broken ones count nothing.
    auto touches = sweep(0, 3);
    touches.push_back({1, 1, -0.9, -0.9});
    touches.push_back({1, 1, -5, 0.8});
    touches.push_back({1, 1, nan, 0.1});
    EXPECT_DOUBLE_EQ(TouchpadAnalysis::coverage(touches), 4.0 / 32);
}

TEST(TouchpadAnalysis, VerdictAndHeadlineFollowFingersAndCoverage) {
    auto none = judgeTouches({});
    EXPECT_EQ(none.kind, TestKind::touchpad);
    EXPECT_EQ(none.verdict, Verdict::fail);
    EXPECT_EQ(none.headline, "0 fingers, 0% of the surface");
    EXPECT_EQ(none.details, std::vector<std::string>{"Cells reached on an 8×4 grid."});
    ASSERT_EQ(none.measures.size(), 2u);
    EXPECT_EQ(none.measures[0].id, "coverage");
    EXPECT_EQ(none.measures[1].id, "fingers");

    auto oneFinger = judgeTouches(sweep(0, 32));
    EXPECT_EQ(oneFinger.verdict, Verdict::warn);
    EXPECT_EQ(oneFinger.headline, "1 finger, 100% of the surface");

    auto twoFingers = sweep(0, 20);
    for (const auto& touch : sweep(1, 4)) twoFingers.push_back(touch);
    auto both = judgeTouches(twoFingers);
    EXPECT_DOUBLE_EQ(both.measure("coverage")->value, 0.625);
    EXPECT_EQ(both.verdict, Verdict::pass);
    EXPECT_EQ(both.headline, "both fingers track");

    auto patchy = sweep(0, 10);
    for (const auto& touch : sweep(1, 10)) patchy.push_back(touch);
    EXPECT_EQ(judgeTouches(patchy).verdict, Verdict::warn);
    EXPECT_EQ(judgeTouches(patchy).headline, "2 fingers, 31.2% of the surface");
}
