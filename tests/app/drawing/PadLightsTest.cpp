#include "app/drawing/PadLights.h"
#include "app/paint/Theme.h"

#include "DrawingProbe.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Tessarine;

namespace {

std::optional<QColor> colour(std::vector<double> components) { return lightBarColor(components); }

} // namespace

TEST(PadLights, LightColourNeedsThreeFiniteComponents) {
    EXPECT_EQ(colour({1, 0, 0}), QColor(Qt::red));
    EXPECT_EQ(colour({1, 0}), std::nullopt);
    EXPECT_EQ(colour({1, 0, 0, 1}), std::nullopt);
    EXPECT_EQ(colour({}), std::nullopt);
    EXPECT_EQ(colour({1, std::nan(""), 0}), std::nullopt);
    EXPECT_EQ(colour({INFINITY, 0, 0}), std::nullopt);
    EXPECT_EQ(colour({1.7, -0.2, 0.5}), Color::rgb(1, 0, 0.5)); // limited to 0…1
    EXPECT_EQ(lightBarColor(std::optional<std::array<double, 3>>{}), std::nullopt);
    EXPECT_EQ(lightBarColor(std::optional<std::array<double, 3>>{{0, 0, 1}}), QColor(Qt::blue));

    EXPECT_EQ(accessibility(LightBar{Qt::red}), (PartAccessibility{"Light bar color", ""}));
    EXPECT_TRUE(accessibility(LightBar{}).hidden);
}

TEST(PadLights, RedBarGlowsRedAndAnEmptySlotStaysFaint) {
    const QPointF centre(60, 20);
    const QImage red = DrawingProbe::render([&](QPainter& p) { paintLightBar(p, {colour({1, 0, 0})}, centre); }, 120, 40,
                                            2, Qt::white);
    const QColor middle = DrawingProbe::at(red, centre + QPointF(0, 1), 2);
    EXPECT_GT(middle.red(), 230);
    EXPECT_LT(middle.green(), 40);
    // The glow reaches past the 80 × 4 bar on every side.
    EXPECT_LT(DrawingProbe::at(red, centre + QPointF(0, 4), 2).green(), 250);
    EXPECT_LT(DrawingProbe::at(red, centre + QPointF(42, 0), 2).green(), 250);

    const QImage empty = DrawingProbe::render([&](QPainter& p) { paintLightBar(p, {colour({1, 0})}, centre); }, 120, 40);
    EXPECT_NEAR(DrawingProbe::at(empty, centre).alphaF(), 0.08, 0.01);
    EXPECT_EQ(DrawingProbe::at(empty, centre + QPointF(0, 4)).alpha(), 0);
}

TEST(PadLights, PlayerIndexLightsEveryLightUpToIt) {
    EXPECT_FALSE(playerLightLit({}, 0));
    EXPECT_TRUE(playerLightLit({0}, 0));
    EXPECT_FALSE(playerLightLit({0}, 1));
    int lit = 0;
    for (int i = 0; i < playerLightCount; ++i) lit += playerLightLit({2}, i);
    EXPECT_EQ(lit, 3);
    EXPECT_EQ(accessibility(PlayerLights{2}).label, "Player light 3");
    EXPECT_EQ(accessibility(PlayerLights{0}).label, "Player light 1");
    EXPECT_TRUE(accessibility(PlayerLights{}).hidden);

    EXPECT_DOUBLE_EQ(playerLightOffset(0).x(), -16.5);
    EXPECT_DOUBLE_EQ(playerLightOffset(3).x(), 16.5);

    const QPointF centre(30, 10);
    const QImage image = DrawingProbe::render([&](QPainter& p) { paintPlayerLights(p, {2}, centre); }, 60, 20, 2);
    for (int i = 0; i < playerLightCount; ++i) {
        const QColor c = DrawingProbe::at(image, centre + playerLightOffset(i), 2);
        EXPECT_EQ(DrawingProbe::near(c, Color::accentTeal(), 30), i <= 2) << i;
    }
    // The lit lights glow between them; the unlit one has no glow.
    EXPECT_GT(DrawingProbe::at(image, centre + QPointF(-11, 0), 2).alpha(), 0);
    EXPECT_EQ(DrawingProbe::at(image, centre + QPointF(16.5, 4.5), 2).alpha(), 0);
}
