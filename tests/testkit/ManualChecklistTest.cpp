#include "testkit/ManualChecklist.h"

#include <gtest/gtest.h>

#include "support/TestSamples.h"

using namespace RorozErurEvo;

namespace {
using TestSamples::someDate;
}

TEST(ManualChecklist, AnyItemNotWorkingFailsAndIsNamed) {
    auto lights = ManualChecklist::result(TestKind::lights, "Light bar", {{"Red", true}, {"Blue", false}}, 2, someDate);
    EXPECT_EQ(lights.kind, TestKind::lights);
    EXPECT_EQ(lights.source, ValueSource::manual);
    EXPECT_EQ(lights.verdict, Verdict::fail);
    EXPECT_EQ(lights.headline, "lights: Blue not working");
    EXPECT_EQ(lights.details, (std::vector<std::string>{"OK: Red", "Not working: Blue"}));
    EXPECT_DOUBLE_EQ(lights.measure("failed")->value, 1);
    EXPECT_DOUBLE_EQ(lights.measure("checked")->value, 2);

    auto rumble = ManualChecklist::result(TestKind::rumble, "",
                                          {{"Left motor", false}, {"Right motor", false}, {"Triggers", true}}, 3, someDate);
    EXPECT_EQ(rumble.headline, "rumble: Left motor and Right motor not working");
}

TEST(ManualChecklist, NamesInTheHeadlineStandApartAndTheKindIsNotSaidTwice) {
    // Names that hold commas are parted by semicolons.
    auto rumble = ManualChecklist::result(
        TestKind::rumble, "",
        {{"Left handle, gentle", false}, {"Left handle, strong", false}, {"Right handle, gentle", false}}, 3, someDate);
    EXPECT_EQ(rumble.headline, "rumble: Left handle, gentle; Left handle, strong and Right handle, gentle not working");
    // Names that say what they are go without the kind before them.
    auto lights = ManualChecklist::result(TestKind::lights, "", {{"Light: red", true}, {"Light: green", false}}, 2,
                                          someDate);
    EXPECT_EQ(lights.headline, "Light: green not working");
    lights = ManualChecklist::result(TestKind::lights, "", {{"Light: green", false}, {"Player light 2", false}}, 2,
                                     someDate);
    EXPECT_EQ(lights.headline, "Light: green and Player light 2 not working");
    auto triggers = ManualChecklist::result(TestKind::adaptiveTriggers, "",
                                            {{"Left trigger: vibration", false}}, 6, someDate);
    EXPECT_EQ(triggers.headline, "1 of 6 checked; Left trigger: vibration not working");
    // One name that does not say it keeps the kind for all.
    lights = ManualChecklist::result(TestKind::lights, "", {{"Light: green", false}, {"Bar", false}}, 2, someDate);
    EXPECT_EQ(lights.headline, "lights: Light: green and Bar not working");
}

TEST(ManualChecklist, AllConfirmedOrNothingToCheckPasses) {
    auto effects = ManualChecklist::result(TestKind::adaptiveTriggers, "", {{"Resistance", true}, {"Weapon", true}}, 2, someDate);
    EXPECT_EQ(effects.verdict, Verdict::pass);
    EXPECT_EQ(effects.headline, "adaptive triggers OK");
    EXPECT_DOUBLE_EQ(effects.measure("failed")->value, 0);

    auto empty = ManualChecklist::result(TestKind::rumble, "", {}, 0, someDate);
    EXPECT_EQ(empty.verdict, Verdict::pass);
    EXPECT_EQ(empty.headline, "rumble OK");
    EXPECT_TRUE(empty.details.empty());
    ASSERT_EQ(empty.measures.size(), 2u);
    EXPECT_DOUBLE_EQ(empty.measures[0].value, 0);
    EXPECT_DOUBLE_EQ(empty.measures[1].value, 0);
}

TEST(ManualChecklist, UnansweredItemsNeverPassAndAreCounted) {
    // One of six answered, and it works: not a pass, and the headline says how far the check got.
    auto effects = ManualChecklist::result(TestKind::adaptiveTriggers, "", {{"Resistance", true}}, 6, someDate);
    EXPECT_EQ(effects.verdict, Verdict::warn);
    EXPECT_EQ(effects.headline, "adaptive triggers: 1 of 6 checked, OK so far");
    EXPECT_DOUBLE_EQ(effects.measure("checked")->value, 1);
    ASSERT_TRUE(effects.measure("unchecked"));
    EXPECT_DOUBLE_EQ(effects.measure("unchecked")->value, 5);
    EXPECT_EQ(effects.measure("unchecked")->label, "Not checked");
    // What the report and the history show for it is the count of the unanswered.
    EXPECT_EQ(effects.decidingMeasure()->id, "unchecked");
    // The comparison still judges a checklist by what failed.
    EXPECT_EQ(effects.mainMeasure()->id, "failed");
    EXPECT_EQ(effects.spoken(), "Adaptive triggers: Warn, adaptive triggers: 1 of 6 checked, OK so far");

    // A failure among the answers fails, unanswered items or not, and still says how many were checked.
    auto rumble = ManualChecklist::result(TestKind::rumble, "", {{"Left, gentle", true}, {"Right, strong", false}}, 4,
                                          someDate);
    EXPECT_EQ(rumble.verdict, Verdict::fail);
    EXPECT_EQ(rumble.headline, "rumble: 2 of 4 checked; Right, strong not working") << "the count first, never cut";

    // Answered in full: the plain verdicts, and no count of unanswered items.
    for (std::size_t items : {std::size_t{0}, std::size_t{1}}) {
        auto lights = ManualChecklist::result(TestKind::lights, "", {{"Red", true}}, items, someDate);
        EXPECT_EQ(lights.verdict, Verdict::pass) << items;
        EXPECT_EQ(lights.headline, "lights OK") << items;
        EXPECT_FALSE(lights.measure("unchecked")) << items;
        EXPECT_EQ(lights.measures.size(), 2u) << items;
    }
}

TEST(ManualChecklist, AnswersRoundTripThroughJson) {
    ManualCheck check{"Player lights", true};
    EXPECT_EQ(ManualCheck::fromJson(check.toJson()), check);
    EXPECT_EQ(check.toJson(), json::parse(R"({"name":"Player lights","ok":true})"));
    EXPECT_THROW(ManualCheck::fromJson(json::parse(R"({"name":"Red"})")), DecodeError);
    EXPECT_THROW(ManualCheck::fromJson(json::parse(R"({"name":"Red","ok":"yes"})")), DecodeError);
    EXPECT_THROW(ManualCheck::fromJson(json::array()), DecodeError);
}
