#include "testkit/ManualChecklist.h"

#include <gtest/gtest.h>

#include "support/TestSamples.h"

using namespace RorozErurEvo;

namespace {
using TestSamples::someDate;
}

TEST(ManualChecklist, AnyItemNotWorkingFailsAndIsNamed) {
    auto lights = ManualChecklist::result(TestKind::lights, "Light bar", {{"Red", true}, {"Blue", false}}, someDate);
    EXPECT_EQ(lights.kind, TestKind::lights);
    EXPECT_EQ(lights.source, ValueSource::manual);
    EXPECT_EQ(lights.verdict, Verdict::fail);
    EXPECT_EQ(lights.headline, "lights: Blue not working");
    EXPECT_EQ(lights.details, (std::vector<std::string>{"OK: Red", "Not working: Blue"}));
    EXPECT_DOUBLE_EQ(lights.measure("failed")->value, 1);
    EXPECT_DOUBLE_EQ(lights.measure("checked")->value, 2);

    auto rumble = ManualChecklist::result(TestKind::rumble, "",
                                          {{"Left motor", false}, {"Right motor", false}, {"Triggers", true}}, someDate);
    EXPECT_EQ(rumble.headline, "rumble: Left motor, Right motor not working");
}

TEST(ManualChecklist, AllConfirmedOrNothingToCheckPasses) {
    auto effects = ManualChecklist::result(TestKind::adaptiveTriggers, "", {{"Resistance", true}, {"Weapon", true}}, someDate);
    EXPECT_EQ(effects.verdict, Verdict::pass);
    EXPECT_EQ(effects.headline, "adaptive triggers OK");
    EXPECT_DOUBLE_EQ(effects.measure("failed")->value, 0);

    auto empty = ManualChecklist::result(TestKind::rumble, "", {}, someDate);
    EXPECT_EQ(empty.verdict, Verdict::pass);
    EXPECT_EQ(empty.headline, "rumble OK");
    EXPECT_TRUE(empty.details.empty());
    ASSERT_EQ(empty.measures.size(), 2u);
    EXPECT_DOUBLE_EQ(empty.measures[0].value, 0);
    EXPECT_DOUBLE_EQ(empty.measures[1].value, 0);
}

TEST(ManualChecklist, AnswersRoundTripThroughJson) {
    ManualCheck check{"Player lights", true};
    EXPECT_EQ(ManualCheck::fromJson(check.toJson()), check);
    EXPECT_EQ(check.toJson(), json::parse(R"({"name":"Player lights","ok":true})"));
    EXPECT_THROW(ManualCheck::fromJson(json::parse(R"({"name":"Red"})")), DecodeError);
    EXPECT_THROW(ManualCheck::fromJson(json::parse(R"({"name":"Red","ok":"yes"})")), DecodeError);
    EXPECT_THROW(ManualCheck::fromJson(json::array()), DecodeError);
}
