#include "app/paint/ComponentText.h"

#include <gtest/gtest.h>

using namespace Tessarine;
using namespace Tessarine::ComponentText;
using RorozErurEvo::RawPoint;

namespace {
StickSample at(double x, double y, std::optional<RawPoint> raw = std::nullopt) { return {0, x, y, raw}; }
} // namespace

TEST(ComponentText, StickPlotValueInPercentRawOrNothingYet) {
    EXPECT_EQ(stickPlotValue(std::nullopt, true, true), "No reading yet");
    EXPECT_EQ(stickPlotValue(at(0.125, -0.03), true, false), "x 12.5%, y -3%, 12.9% from center, pressed");
    EXPECT_EQ(stickPlotValue(at(0, 0), false, false), "x 0%, y 0%, 0% from center");
    // Raw counts when asked for and present; percentages when the sample has none.
    EXPECT_EQ(stickPlotValue(at(0.5, 0.5, RawPoint{40000, -12}), true, true), "raw x 40000, y -12, pressed");
    EXPECT_EQ(stickPlotValue(at(0.5, 0, std::nullopt), false, true), "x 50%, y 0%, 50% from center");
}

TEST(ComponentText, StickReadoutSignsOnlyWhatDoesNotRoundToZero) {
    EXPECT_EQ(stickReadout(at(0.25, -0.125), false), QStringList({"x +25%", "y -12.5%", "r 28%"}));
    EXPECT_EQ(stickReadout(at(0.0004, -0.0004), false), QStringList({"x 0%", "y 0%", "r 0.1%"}));
    EXPECT_EQ(stickReadout(at(0.0005, 0), false)[0], "x +0.1%"); // p = 0.05: the sign starts here
    // No sample: zeros, also when raw counts are asked for.
    EXPECT_EQ(stickReadout(std::nullopt, true), QStringList({"x 0%", "y 0%", "r 0%"}));
    EXPECT_EQ(stickReadout(at(0.1, 0.2), true), QStringList({"x +10%", "y +20%", "r 22.4%"}));
    EXPECT_EQ(stickReadout(at(0.1, 0.2, RawPoint{-300, 2047}), true), QStringList({"x -300", "y 2047"}));
}

TEST(ComponentText, TriggerValueIsUnclampedAndFallsBackFromRaw) {
    EXPECT_EQ(triggerValue(1.3, std::nullopt, false), "130%");
    EXPECT_EQ(triggerValue(-0.1, std::nullopt, false), "-10%");
    EXPECT_EQ(triggerValue(0.255, 180, false), "25.5%");
    EXPECT_EQ(triggerValue(0.255, 180, true), "180");
    EXPECT_EQ(triggerAccessibleValue(0.255, 180, true), "raw 180");
    EXPECT_EQ(triggerValue(0.5, std::nullopt, true), "50%");
    EXPECT_EQ(triggerAccessibleValue(0.5, std::nullopt, true), "50%");
}

TEST(ComponentText, SoakLabelAndLegendStates) {
    using State = SoakStrip::State;
    EXPECT_EQ(soakTimelineLabel(600), "Soak timeline, 10 min");
    EXPECT_EQ(soakLegendStates({60, {State::ok, State::ok}}), std::vector<State>{State::ok});
    EXPECT_EQ(soakLegendStates({}), std::vector<State>{State::ok});
    EXPECT_EQ(soakLegendStates({60, {State::disconnected, State::ok, State::gap}}),
              (std::vector<State>{State::ok, State::gap, State::disconnected}));
}

TEST(ComponentText, RunningTestValues) {
    using RorozErurEvo::Vector3;
    EXPECT_EQ(flowChipLabel("A", true), "A, registered");
    EXPECT_EQ(flowChipLabel("Left trigger", false), "Left trigger, not yet");

    EXPECT_EQ(compassValue({}), "none");
    EXPECT_EQ(compassValue({Direction8::left, Direction8::up, Direction8::right}), "Right, Up, Left");
    EXPECT_EQ(compassValue({Direction8::downRight, Direction8::upLeft}), "Up-left, Down-right");

    EXPECT_EQ(gyroValue(std::nullopt), "no readings");
    EXPECT_EQ(accelerometerValue(std::nullopt), "no readings");
    const MotionSample accelOnly{1, std::nullopt, Vector3{0, 0, 1.004}};
    EXPECT_EQ(gyroValue(accelOnly), "no readings");
    EXPECT_EQ(accelerometerValue(accelOnly), "1 g");
    const MotionSample both{1, Vector3{0, 1.2, 1.6}, Vector3{0.3, 0.4, 0}};
    EXPECT_EQ(gyroValue(both), "turning 115 degrees per second"); // 2 × 57.3 = 114.6
    EXPECT_EQ(accelerometerValue(both), "0.5 g");

    EXPECT_EQ(touchTraceValue({}), "0 fingers, 0% of the surface");
    // Three fingers count; one cell of 32 touched by all of them.
    EXPECT_EQ(touchTraceValue({{0, 0, -0.99, -0.99}, {0, 1, -0.98, -0.98}, {0, 2, -0.97, -0.97}}),
              "3 fingers, 3.1% of the surface");
}
