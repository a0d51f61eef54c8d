#include "testkit/DPadTest.h"

#include <gtest/gtest.h>

#include "ButtonEventHelpers.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::ButtonLog;

namespace {
StickSample at(double t, double x, double y) {
    return StickSample{t, x, y, std::nullopt};
}

// Every direction once, each followed by a return to the centre, 0.2 s apart.
std::vector<StickSample> fullCircle() {
    std::vector<StickSample> trace;
    double t = 0;
    for (Direction8 d : allCases<Direction8>()) {
        PlotPoint v = vector(d);
        trace.push_back(at(t, v.x > 0.1 ? 1 : v.x < -0.1 ? -1 : 0, v.y > 0.1 ? 1 : v.y < -0.1 ? -1 : 0));
        trace.push_back(at(t + 0.1, 0, 0));
        t += 0.2;
    }
    return trace;
}

// Presses (x, y) at t, lets go 0.1 s later and presses again after `gap` seconds.
void bounce(std::vector<StickSample>& trace, double t, double x, double y, double gap) {
    trace.insert(trace.end(), {at(t, x, y), at(t + 0.1, 0, 0), at(t + 0.1 + gap, x, y)});
}

TestResult dpad(const std::vector<StickSample>& trace) {
    return DPadTest::result(trace, "D-pad", ValueSource::processed, Thresholds{}, kResultDate);
}
} // namespace

TEST(DPadTest, DirectionsNeedToPassTheThresholdStrictly) {
    EXPECT_FALSE(DPadTest::direction(0.5, 0, 0.5));
    EXPECT_EQ(DPadTest::direction(0.51, 0, 0.5), Direction8::right);
    EXPECT_EQ(DPadTest::direction(0.51, 0.51, 0.5), Direction8::upRight);
    EXPECT_EQ(DPadTest::direction(-1, -1, 0.5), Direction8::downLeft);
    EXPECT_EQ(DPadTest::direction(0, -1, 0.5), Direction8::down);
    // A diagonal registers only itself, not its two arms.
    EXPECT_EQ(DPadTest::directions({at(0, 0.51, 0.51), at(1, 0.5, -0.5)}),
              std::set<Direction8>{Direction8::upRight});
    EXPECT_EQ(DPadTest::directions(fullCircle()).size(), 8u);
    EXPECT_TRUE(DPadTest::directions({}).empty());
}

TEST(DPadTest, ArmEventsPressBeforeReleaseInNameOrder) {
    // Right, roll to up-right, then up.
    EXPECT_EQ(DPadTest::events({at(0, 1, 0), at(1, 1, 1), at(2, 0, 1)}, 0.5),
              (std::vector<ButtonEvent>{press("Right", 0), press("Up", 1), release("Right", 2)}));
    // Up-left straight to down-right in one sample: presses first, each group in name order.
    EXPECT_EQ(DPadTest::events({at(0, -1, 1), at(1, 1, -1), at(2, 0, 0)}, 0.5),
              (std::vector<ButtonEvent>{press("Left", 0), press("Up", 0), press("Down", 1), press("Right", 1),
                                        release("Left", 1), release("Up", 1), release("Down", 2),
                                        release("Right", 2)}));
    // Out of order samples are sorted; arms held at the end stay pressed.
    EXPECT_EQ(DPadTest::events({at(2, 0, -1), at(1, 0, 0)}, 0.5),
              (std::vector<ButtonEvent>{press("Down", 2)}));
    EXPECT_TRUE(DPadTest::events({}, 0.5).empty());
}

TEST(DPadTest, AllDirectionsWithoutChatterPass) {
    TestResult result = dpad(fullCircle());
    EXPECT_EQ(result.verdict, Verdict::pass);
    EXPECT_EQ(result.headline, "all 8 directions");
    EXPECT_TRUE(result.details.empty());
    EXPECT_EQ(result.kind, TestKind::dpad);
    EXPECT_EQ(result.element, "D-pad");
    EXPECT_EQ(result.date, kResultDate);
}

TEST(DPadTest, OneBounceWarnsAndTwoFail) {
    // Up comes back 20 ms after it let go, inside the default 30 ms window.
    auto trace = fullCircle();
    bounce(trace, 5.0, 0, 1, 0.02);
    TestResult once = dpad(trace);
    EXPECT_EQ(once.verdict, Verdict::warn);
    EXPECT_EQ(once.headline, "all 8 directions, chatter");
    EXPECT_EQ(once.details, std::vector<std::string>{"Chatter on Up: 1× (20 ms)"});

    bounce(trace, 6.0, 1, 0, 0.005);
    TestResult twice = dpad(trace);
    EXPECT_EQ(twice.verdict, Verdict::fail);
    EXPECT_EQ(twice.measure("chatter")->value, 2);
    // Entries in name order: Right before Up.
    EXPECT_EQ(twice.details,
              (std::vector<std::string>{"Chatter on Right: 1× (5 ms)", "Chatter on Up: 1× (20 ms)"}));
}

TEST(DPadTest, MissingDirectionsFailAndLeaveChatterOutOfTheHeadline) {
    auto trace = fullCircle();
    trace.erase(trace.begin() + 6, trace.begin() + 8); // drop "Up-left" (raw 3) and its return
    bounce(trace, 5.0, 0, 1, 0.02);
    TestResult result = dpad(trace);
    EXPECT_EQ(result.verdict, Verdict::fail);
    EXPECT_EQ(result.headline, "7 of 8 directions");
    EXPECT_EQ(result.details,
              (std::vector<std::string>{"Not registered: Up-left.", "Chatter on Up: 1× (20 ms)"}));
}

TEST(DPadTest, EmptyTraceReportsEveryDirectionMissing) {
    TestResult result = dpad({});
    EXPECT_EQ(result.verdict, Verdict::fail);
    EXPECT_EQ(result.headline, "0 of 8 directions");
    EXPECT_EQ(result.measure("missing")->value, 8);
    EXPECT_EQ(result.details,
              std::vector<std::string>{
                  "Not registered: Right, Up-right, Up, Up-left, Left, Down-left, Down, Down-right."});
}

TEST(DPadTest, UsesTheThresholdsChatterWindow) {
    auto trace = fullCircle();
    bounce(trace, 5.0, 0, 1, 0.04); // 40 ms: outside the default window, inside a 50 ms one
    EXPECT_EQ(dpad(trace).verdict, Verdict::pass);
    Thresholds wide;
    wide.chatterWindowMs = 50;
    EXPECT_EQ(DPadTest::result(trace, "D-pad", ValueSource::raw, wide, kResultDate).verdict, Verdict::warn);
}
