#include "testkit/MatteNoisePattern.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

TEST(MatteNoisePattern, FixedScatterFromTheSeedWithWrappingArithmetic) {
    const auto dots = MatteNoisePattern::dots(560, 330);
    ASSERT_EQ(dots.size(), 2600u);
    // The first two dots: light, then dark.
    EXPECT_NEAR(dots[0].x, 98.2575, 1e-3);
    EXPECT_NEAR(dots[0].y, 219.7875, 1e-3);
    EXPECT_TRUE(dots[0].white);
    EXPECT_NEAR(dots[1].x, 393.2421, 1e-3);
    EXPECT_NEAR(dots[1].y, 242.8765, 1e-3);
    EXPECT_FALSE(dots[1].white);

    // Every draw starts over: the same dots each time, and every dot on the canvas.
    EXPECT_EQ(MatteNoisePattern::dots(560, 330), dots);
    for (const auto& dot : dots) {
        ASSERT_GE(dot.x, 0);
        ASSERT_LT(dot.x, 560);
        ASSERT_GE(dot.y, 0);
        ASSERT_LT(dot.y, 330);
    }
    // A canvas of another size stretches the same fractions.
    EXPECT_NEAR(MatteNoisePattern::dots(280, 165)[0].x, dots[0].x / 2, 1e-9);
}

TEST(MatteNoisePattern, StepWrapsModulo2To64AndFractionsStayBelowOne) {
    // The largest state wraps instead of overflowing into undefined territory.
    const std::uint64_t top = ~std::uint64_t(0);
    EXPECT_EQ(MatteNoisePattern::advance(top), MatteNoisePattern::increment - MatteNoisePattern::multiplier);
    EXPECT_LT(MatteNoisePattern::fraction(top), 1.0);
    EXPECT_EQ(MatteNoisePattern::fraction(0), 0.0);
}
