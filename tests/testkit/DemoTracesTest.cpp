#include "testkit/DemoTraces.h"
#include "testkit/SeededRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

using namespace RorozErurEvo;

TEST(SeededRandom, IsSplitMix64AndRepeatsForASeed) {
    SeededRandom zero(0);
    EXPECT_EQ(zero.next(), 0xE220A8397B1DCDAFULL);
    EXPECT_EQ(zero.state, 0x9E3779B97F4A7C15ULL);

    SeededRandom a(42), b(42);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(a.next(), b.next());
    EXPECT_NE(SeededRandom(1).next(), SeededRandom(2).next());

    SeededRandom units(7);
    for (int i = 0; i < 10'000; ++i) {
        const double u = units.unit();
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
    }
}

TEST(SeededRandom, GaussianStaysFiniteWhenTheFirstDrawIsZero) {
    // The state whose next step lands on 0, which the mixer maps to 0, so unit() gives 0.
    SeededRandom random(0ULL - 0x9E3779B97F4A7C15ULL);
    const double g = random.gaussian();
    EXPECT_TRUE(std::isfinite(g));
    EXPECT_LT(std::abs(g), 7.5); // at most sqrt(-2 ln 1e-12)
    EXPECT_EQ(random.state, 0x9E3779B97F4A7C15ULL); // exactly two steps taken
}

TEST(DemoTraces, RawCountsCoverTheRangeAndClampTheRest) {
    const CountRange byte{0, 255};
    EXPECT_EQ(DemoTraces::raw(0, byte), 128);
    EXPECT_EQ(DemoTraces::raw(-1, byte), 0);
    EXPECT_EQ(DemoTraces::raw(1, byte), 255);
    EXPECT_EQ(DemoTraces::raw(5, byte), 255);
    EXPECT_EQ(DemoTraces::raw(-5, byte), 0);
    EXPECT_EQ(DemoTraces::raw(std::nan(""), byte), 255);
    EXPECT_EQ(DemoTraces::raw(0.04, byte), 133);
    // The widest range neither overflows nor wraps.
    const CountRange widest{std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()};
    EXPECT_EQ(DemoTraces::raw(1, widest), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(DemoTraces::raw(-1, widest), std::numeric_limits<std::int64_t>::min());
}

TEST(DemoTraces, RotationAndRest) {
    const auto turn = DemoTraces::rotation(GateShape::round, 1.0, 1.0, 3.0, 60, 0.0, PlotPoint{0, 0}, 1, 2.0,
                                           CountRange{0, 255});
    ASSERT_EQ(turn.size(), 181u);
    EXPECT_EQ(turn.front().t, 2.0);
    EXPECT_DOUBLE_EQ(turn.back().t, 5.0);
    EXPECT_NEAR(turn.front().x, turn.back().x, 1e-9); // one full turn ends where it began
    EXPECT_NEAR(turn.front().y, turn.back().y, 1e-9);
    EXPECT_NEAR(turn[45].y, 1.0, 1e-9);                // a quarter turn is straight up
    EXPECT_EQ(turn[45].raw, (RawPoint{128, 0}));      // raw y grows downwards

    // A circle around an off-centre point is clamped where it leaves the stick's range.
    const auto shifted = DemoTraces::rotation(GateShape::round, 1.0, 1.0, 4.0, 1, 0.0, PlotPoint{0.5, 0}, 1, 0, {});
    EXPECT_EQ(shifted[0].x, 1.0);
    EXPECT_NEAR(shifted[2].x, -0.5, 1e-12);

    const auto still = DemoTraces::rest(PlotPoint{2.0, 0.25}, 0.0, 1.0, 10, 3, 0.0, std::nullopt);
    ASSERT_EQ(still.size(), 11u);
    for (const auto& s : still) {
        EXPECT_EQ(s.x, 1.0);
        EXPECT_EQ(s.y, 0.25);
        EXPECT_FALSE(s.raw.has_value());
    }
    EXPECT_EQ(DemoTraces::rest(PlotPoint{0, 0}, 0.01, 2, 60, 9, 0, std::nullopt),
              DemoTraces::rest(PlotPoint{0, 0}, 0.01, 2, 60, 9, 0, std::nullopt));
}

TEST(DemoTraces, ReleasesPushHoldSpringSettleAndRest) {
    EXPECT_TRUE(DemoTraces::releases({}, {}, 125, 25, 0, std::nullopt).empty());

    const std::map<Direction8, PlotPoint> settle{{Direction8::right, PlotPoint{0.1, 0.0}}};
    const auto one = DemoTraces::releases({Direction8::right}, settle, 125, 25, 1.0, std::nullopt);
    ASSERT_EQ(one.size(), 31u + 37 + 3 + 7 + 62);
    EXPECT_EQ(one.front().t, 1.0);
    EXPECT_NEAR(one[30].x, 0.98, 1e-12);               // the push ends on the rim
    EXPECT_NEAR(one[30 + 37 + 3].x, 0.1 - 0.04, 1e-12); // the spring overshoots past the settle point
    EXPECT_NEAR(one.back().x, 0.1, 1e-12);
    EXPECT_NEAR(one.back().t - one.front().t, (one.size() - 1) / 125.0, 1e-9);

    // Two directions: the second push starts from the first one's settle point.
    const auto two = DemoTraces::releases({Direction8::right, Direction8::up}, settle, 125, 25, 0, std::nullopt);
    EXPECT_NEAR(two[140].x, 0.1 + (0.0 - 0.1) / 31, 1e-12);
}

TEST(DemoTraces, SlowPushJumpsOutOfItsDeadZone) {
    const auto push = DemoTraces::slowPush(Direction8::right, 0.2, 3.0, 125, 1.6, 0.0);
    ASSERT_EQ(push.size(), static_cast<std::size_t>(125 * 4.6) + 1);
    bool moved = false;
    for (const auto& s : push) {
        EXPECT_TRUE(s.x == 0 || s.x > 0.2) << s.x;
        moved = moved || s.x > 0;
    }
    EXPECT_TRUE(moved);
    EXPECT_NEAR(push.back().x, 1.0, 1e-9);
    // A zero-length push jumps straight to the rim rather than reading 0 / 0.
    for (const auto& s : DemoTraces::slowPush(Direction8::up, 0.0, 0.0, 10, 0.5, 0)) EXPECT_TRUE(std::isfinite(s.y));
}

TEST(DemoTraces, TriggerPull) {
    const auto pull = DemoTraces::triggerPull(std::nullopt, 2.0, 125, 0.1, 0.9, 0.0, 3, 0.4, 255);
    ASSERT_EQ(pull.size(), 50u + 250 + 37 + 12 + 37);
    EXPECT_DOUBLE_EQ(pull.front().value, 0.1);
    EXPECT_DOUBLE_EQ(pull[300].value, 0.9); // first sample of the hold
    EXPECT_LT(pull[299].value, 0.9);
    EXPECT_DOUBLE_EQ(pull.back().value, 0.1);
    EXPECT_EQ(pull[300].raw, 230); // round(0.9 × 255) = round(229.5)

    // Noise never pushes a value outside 0 … 1, and the same seed repeats it.
    const auto noisy = DemoTraces::triggerPull(std::nullopt, 1.0, 60, 0.0, 1.0, 2.0, 5, 0, std::nullopt);
    for (const auto& s : noisy) {
        EXPECT_GE(s.value, 0.0);
        EXPECT_LE(s.value, 1.0);
        EXPECT_FALSE(s.raw.has_value());
    }
    EXPECT_EQ(noisy, DemoTraces::triggerPull(std::nullopt, 1.0, 60, 0.0, 1.0, 2.0, 5, 0, std::nullopt));

    // A moving trigger sticks at the start of its dead spot.
    const auto stuck = DemoTraces::triggerPull(ClosedRange{0.4, 0.6}, 1.0, 100, 0.0, 1.0, 0.0, 1, 0, std::nullopt);
    for (const auto& s : stuck) EXPECT_FALSE(s.value > 0.4 && s.value <= 0.6) << s.value;
}

TEST(DemoTraces, PressesDpadMotionAndTouches) {
    const auto events = DemoTraces::presses({"A", "B", "C"}, 0.5, 0.1, {"B"}, 9.0, 1.0);
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[2], (ButtonEvent{"B", true, 1.5}));
    EXPECT_EQ(events[4].input, "B");
    EXPECT_TRUE(events[4].down);
    EXPECT_NEAR(events[4].t, 1.609, 1e-12);
    EXPECT_NEAR(events[5].t, 1.615, 1e-12);
    EXPECT_EQ(events[6], (ButtonEvent{"C", true, 2.0}));

    const auto sweep = DemoTraces::dpadSweep({Direction8::upLeft, Direction8::down}, 60, 0);
    ASSERT_EQ(sweep.size(), 30u);
    EXPECT_EQ(sweep[0].x, -1.0);
    EXPECT_EQ(sweep[0].y, 1.0);
    EXPECT_EQ(sweep[9].x, 0.0);
    EXPECT_EQ(sweep[15].x, 0.0); // cos of straight down is not quite 0, and counts as centred
    EXPECT_EQ(sweep[15].y, -1.0);

    const auto motion = DemoTraces::motion(1.0, 0.5, 100, 5, 2.0);
    ASSERT_EQ(motion.rest.size(), 100u);
    ASSERT_EQ(motion.moving.size(), 50u);
    EXPECT_NEAR(motion.rest[0].acceleration->y, -1.0, 0.05);
    EXPECT_DOUBLE_EQ(motion.moving[0].t, 3.0);
    EXPECT_EQ(motion.moving[0].acceleration, (Vector3{0, -1, 0.2}));

    EXPECT_TRUE(DemoTraces::touches(0, 60, 0).empty());
    const auto touches = DemoTraces::touches(1.0, 60, 0.4);
    ASSERT_EQ(touches.size(), 120u);
    for (std::size_t i = 0; i < touches.size(); ++i) {
        EXPECT_EQ(touches[i].finger, static_cast<int>(i % 2));
        EXPECT_EQ(touches[i].x, i % 2 ? -touches[i - 1].x : touches[i].x);
    }
    EXPECT_GT(touches[0].y, 0);
    EXPECT_LT(touches[1].y, 0);
}

TEST(DemoTraces, RefusesCountsThatAreNotCounts) {
    const double nan = std::nan("");
    EXPECT_THROW(DemoTraces::rest(PlotPoint{0, 0}, 0, nan, 60, 1, 0, std::nullopt), std::invalid_argument);
    EXPECT_THROW(DemoTraces::rest(PlotPoint{0, 0}, 0, 1, 0, 1, 0, std::nullopt), std::invalid_argument);
    EXPECT_THROW(DemoTraces::rotation(GateShape::round, 1, 1, -1, 60, 0, PlotPoint{0, 0}, 1, 0, std::nullopt),
                 std::invalid_argument);
    EXPECT_THROW(DemoTraces::touches(1e12, 60, 0), std::invalid_argument);
    EXPECT_THROW(DemoTraces::triggerPull(std::nullopt, 1, std::numeric_limits<double>::infinity(), 0, 1, 0, 1, 0,
                                         std::nullopt),
                 std::invalid_argument);
    EXPECT_THROW(DemoTraces::releases({Direction8::up}, {}, nan, 25, 0, std::nullopt), std::invalid_argument);
}
