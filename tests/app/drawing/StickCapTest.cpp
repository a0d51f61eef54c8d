#include "app/drawing/StickCap.h"
#include "app/paint/Theme.h"

#include "DrawingProbe.h"

#include <gtest/gtest.h>

using namespace Tessarine;
using RorozErurEvo::RawPoint;
using RorozErurEvo::StickSample;

namespace {

StickSample sample(double x, double y, std::optional<RawPoint> raw = std::nullopt) { return {0, x, y, raw}; }

} // namespace

TEST(StickCap, MovesTowardThePushAndStopsAtTheRim) {
    EXPECT_EQ(stickCapOffset(std::nullopt), QPointF(0, 0));
    EXPECT_EQ(stickCapOffset(sample(0, 0)), QPointF(0, 0));
    EXPECT_NEAR(stickCapOffset(sample(0.5, 0.5)).x(), 5.5, 1e-12);
    EXPECT_NEAR(stickCapOffset(sample(0.5, 0.5)).y(), -5.5, 1e-12);
    const QPointF corner = stickCapOffset(sample(1, 1));
    EXPECT_NEAR(corner.x(), 7.78, 0.005);
    EXPECT_NEAR(corner.y(), -7.78, 0.005);
    EXPECT_NEAR(stickCapOffset(sample(0, -1)).y(), 11, 1e-12);
    // A reading that is not a finite point leaves the cap centred.
    EXPECT_EQ(stickCapOffset(sample(std::nan(""), 0.3)), QPointF(0, 0));
    EXPECT_EQ(stickCapOffset(sample(INFINITY, 0)), QPointF(0, 0));
}

TEST(StickCap, SpeaksThePositionOrTheRawCounts) {
    StickCap cap{std::nullopt, true, "Left Stick", true};
    EXPECT_EQ(accessibility(cap), (PartAccessibility{"Left Stick", "No reading yet"}));

    cap = {sample(0.5, 0.5), false, "Left Stick", false};
    EXPECT_EQ(accessibility(cap).value, "x 50%, y 50%, 70.7% from center");
    cap.sample = sample(0, 0);
    EXPECT_EQ(accessibility(cap).value, "x 0%, y 0%, 0% from center");
    cap.sample = sample(1, 1);
    cap.pressed = true;
    EXPECT_EQ(accessibility(cap).value, "x 100%, y 100%, 141.4% from center, pressed");

    cap.showRaw = true; // without raw counts: still percentages
    EXPECT_EQ(accessibility(cap).value, "x 100%, y 100%, 141.4% from center, pressed");
    cap.sample = sample(0.1, 0.2, RawPoint{-120, 4095});
    EXPECT_EQ(accessibility(cap).value, "raw x -120, y 4095, pressed");
}

TEST(StickCap, PaintsBeyondItsFrameAndRingsWhilePressed) {
    const QPointF centre(100, 100);
    // Pushed fully down, the shadow reaches past the frame's lower edge at 38.
    const QImage down = DrawingProbe::render(
        [&](QPainter& p) { paintStickCap(p, {sample(0, -1), false, "S", false}, centre); }, 200, 200);
    EXPECT_GT(DrawingProbe::at(down, centre + QPointF(0, 42)).alpha(), 0);
    EXPECT_EQ(DrawingProbe::at(down, centre + QPointF(0, -36)).alpha(), 0); // nothing above
    EXPECT_EQ(DrawingProbe::at(down, centre + QPointF(0, 11)).alpha(), 255);  // the moved cap

    const QImage pressed = DrawingProbe::render(
        [&](QPainter& p) { paintStickCap(p, {std::nullopt, true, "S", false}, centre); }, 200, 200, 2);
    EXPECT_TRUE(DrawingProbe::near(DrawingProbe::at(pressed, centre + QPointF(36.8, 0), 2), Color::accentTeal()));
    const QImage released = DrawingProbe::render(
        [&](QPainter& p) { paintStickCap(p, {std::nullopt, false, "S", false}, centre); }, 200, 200, 2);
    EXPECT_EQ(DrawingProbe::at(released, centre + QPointF(36.8, 0), 2).alpha(), 0);
    // The pressed cap is darker than the released one at its centre.
    EXPECT_LT(DrawingProbe::at(pressed, centre, 2).lightness(), DrawingProbe::at(released, centre, 2).lightness());
}
