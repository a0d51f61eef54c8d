#include "testkit/MotionAnalysis.h"

#include <gtest/gtest.h>

#include "support/TestSamples.h"

#include <limits>

using namespace RorozErurEvo;

namespace {

using TestSamples::someDate;
constexpr double radiansPerDegree = 1 / 57.29577951308232;

MotionSample spin(double radiansPerSecond) { return {0, Vector3{0, 0, radiansPerSecond}, std::nullopt}; }
MotionSample still(double gyro, double g) { return {0, Vector3{gyro, 0, 0}, Vector3{0, -g, 0}}; }

TestResult judge(const std::vector<MotionSample>& rest, const std::vector<MotionSample>& moving) {
    return MotionAnalysis::result(rest, moving, "Motion", ValueSource::processed, someDate);
}

} // namespace

TEST(MotionAnalysis, AStillControllerThatTurnsPasses) {
    auto result = judge({still(0.02, 1.0), still(0.02, 1.0), still(0.02, 1.0)},
                        {spin(0.1), spin(45 * radiansPerDegree), MotionSample{0, std::nullopt, std::nullopt}});
    EXPECT_EQ(result.kind, TestKind::motion);
    EXPECT_EQ(result.verdict, Verdict::pass);
    EXPECT_EQ(result.headline, "gyro and accelerometer respond");
    ASSERT_EQ(result.measures.size(), 3u);
    EXPECT_EQ(result.measures[0].id, "gyroRest");
    EXPECT_DOUBLE_EQ(result.measures[0].value, 1.1); // 1.146 °/s rounded to one decimal
    EXPECT_EQ(result.measures[1].id, "gyroMove");
    EXPECT_DOUBLE_EQ(result.measures[1].value, 45); // exactly the warn bound: not below it
    EXPECT_EQ(result.measures[2].id, "gravity");
    EXPECT_DOUBLE_EQ(result.measures[2].value, 0);
    // Every reading is counted, with or without vectors.
    EXPECT_EQ(result.details, std::vector<std::string>{"3 readings at rest, 3 while turning."});
}

TEST(MotionAnalysis, NoTurnOrAnOffGravityFails) {
    auto noTurn = judge({still(0.0, 1.0)}, {});
    EXPECT_DOUBLE_EQ(noTurn.measure("gyroMove")->value, 0);
    EXPECT_EQ(noTurn.verdict, Verdict::fail);
    EXPECT_EQ(noTurn.headline, "check the motion sensors");

    auto heavy = judge({still(0.0, 1.3), still(0.0, 1.3)}, {spin(2.0)});
    EXPECT_NEAR(heavy.measure("gravity")->value, 0.3, 1e-12);
    EXPECT_EQ(heavy.verdict, Verdict::fail);
    // 0.2 g off is a warning only, and the value is judged unrounded.
    EXPECT_EQ(judge({still(0.0, 1.2)}, {spin(2.0)}).verdict, Verdict::warn);
    // A gyro that keeps reading 5 °/s while still warns.
    EXPECT_EQ(judge({still(5 * radiansPerDegree, 1.0)}, {spin(2.0)}).verdict, Verdict::warn);
}

TEST(MotionAnalysis, OnlyTheSensorsPresentAreMeasured) {
    auto accelerometerOnly = judge({{0, std::nullopt, Vector3{0, 0, 1}}}, {spin(2.0)});
    ASSERT_EQ(accelerometerOnly.measures.size(), 1u);
    EXPECT_EQ(accelerometerOnly.measures[0].id, "gravity");

    auto gyroOnly = judge({spin(0.0)}, {spin(2.0)});
    ASSERT_EQ(gyroOnly.measures.size(), 2u);
    EXPECT_EQ(gyroOnly.measures[0].id, "gyroRest");
    EXPECT_EQ(gyroOnly.measures[1].id, "gyroMove");
    EXPECT_DOUBLE_EQ(gyroOnly.measures[1].value, 115); // 2 rad/s = 114.6 °/s, rounded
}

TEST(MotionAnalysis, WithoutRestReadingsTheResultSaysSo) {
    const auto nan = std::numeric_limits<double>::quiet_NaN();
    // Turning readings alone, readings without vectors, and broken vectors all count as no data.
    for (const auto& rest : {std::vector<MotionSample>{}, std::vector<MotionSample>{{0, std::nullopt, std::nullopt}},
                             std::vector<MotionSample>{{0, Vector3{nan, 0, 0}, Vector3{0, 0, nan}}}}) {
        auto result = judge(rest, {spin(2.0)});
        EXPECT_EQ(result.verdict, Verdict::warn);
        EXPECT_EQ(result.headline, "no sensor data");
        EXPECT_TRUE(result.measures.empty());
        EXPECT_EQ(result.details, std::vector<std::string>{"The controller didn't send motion readings."});
    }
}
