#include "testkit/BatteryCheck.h"

#include <gtest/gtest.h>

#include "support/TestSamples.h"

#include <limits>

using namespace RorozErurEvo;

namespace {
using TestSamples::someDate;
}

TEST(BatteryCheck, ReportsLevelAndStateAndAlwaysPasses) {
    auto charging = BatteryCheck::result(0.5, std::string("Charging"), "Battery", someDate);
    EXPECT_EQ(charging.kind, TestKind::battery);
    EXPECT_EQ(charging.source, ValueSource::processed);
    EXPECT_EQ(charging.verdict, Verdict::pass);
    EXPECT_EQ(charging.headline, "battery 50% (charging)");
    EXPECT_EQ(charging.details, std::vector<std::string>{"State: Charging."});
    ASSERT_EQ(charging.measures.size(), 1u);
    EXPECT_EQ(charging.measures[0].id, "level");
    EXPECT_DOUBLE_EQ(charging.measures[0].value, 0.5);
    EXPECT_FALSE(charging.measures[0].limit);

    auto low = BatteryCheck::result(0.042, std::nullopt, "Battery", someDate);
    EXPECT_EQ(low.headline, "battery 4.2%");
    EXPECT_TRUE(low.details.empty());
    EXPECT_EQ(low.verdict, Verdict::pass);
}

TEST(BatteryCheck, WithoutALevelSaysSoAndStillPasses) {
    auto unknown = BatteryCheck::result(std::nullopt, std::nullopt, "Battery", someDate);
    EXPECT_EQ(unknown.headline, "level not reported");
    EXPECT_TRUE(unknown.measures.empty());
    EXPECT_EQ(unknown.details, std::vector<std::string>{"This controller doesn't report its battery to the system."});
    EXPECT_EQ(unknown.verdict, Verdict::pass);

    auto stateOnly = BatteryCheck::result(std::nullopt, std::string("Full"), "Battery", someDate);
    EXPECT_EQ(stateOnly.headline, "level not reported");
    EXPECT_EQ(stateOnly.details, std::vector<std::string>{"State: Full."});

    // A level that is not a number is no level: the result must stay writable to a session file.
    auto broken = BatteryCheck::result(std::numeric_limits<double>::quiet_NaN(), std::nullopt, "Battery", someDate);
    EXPECT_EQ(broken.headline, "level not reported");
    EXPECT_TRUE(broken.measures.empty());
}
