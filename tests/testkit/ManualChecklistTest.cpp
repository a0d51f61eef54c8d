#include "testkit/ManualChecklist.h"

#include <gtest/gtest.h>

#include "support/ChecklistSamples.h"
#include "support/TestSamples.h"
#include "testkit/DisplayText.h"
#include "testkit/ShownSession.h"
#include "testkit/ListingText.h"

using namespace RorozErurEvo;

namespace {
using TestSamples::someDate;
}

TEST(ManualChecklist, AnyItemNotWorkingFailsAndIsNamed) {
    auto lights = ManualChecklist::result(TestKind::lights, "Light bar", {{"Red", true}, {"Blue", false}}, 2, someDate);
    EXPECT_EQ(lights.kind, TestKind::lights);
    EXPECT_EQ(lights.source, ValueSource::manual);
    EXPECT_EQ(lights.verdict, Verdict::fail);
    EXPECT_EQ(lights.headline, "lights: \u201CBlue\u201D not working");
    EXPECT_EQ(lights.details, (std::vector<std::string>{"OK: Red", "Not working: Blue"}));
    EXPECT_DOUBLE_EQ(lights.measure("failed")->value, 1);
    EXPECT_DOUBLE_EQ(lights.measure("checked")->value, 2);

    auto rumble = ManualChecklist::result(TestKind::rumble, "",
                                          {{"Left motor", false}, {"Right motor", false}, {"Triggers", true}}, 3, someDate);
    EXPECT_EQ(rumble.headline, "rumble: \u201CLeft motor\u201D and \u201CRight motor\u201D not working");
}

// The headline stands alone in the listing text, where semicolons part the tests: it always names
// its test, and each item stays one item whatever punctuation its name holds.
TEST(ManualChecklist, TheHeadlineNamesItsTestAndQuotesEachItem) {
    auto rumble = ManualChecklist::result(
        TestKind::rumble, "",
        {{"Left handle, gentle", false}, {"Left handle, strong", false}, {"Right handle, gentle", false}}, 3, someDate);
    EXPECT_EQ(rumble.headline, "rumble: \u201CLeft handle, gentle\u201D, \u201CLeft handle, strong\u201D and "
                               "\u201CRight handle, gentle\u201D not working");
    auto lights = ManualChecklist::result(TestKind::lights, "", {{"Light: red", true}, {"Light: green", false}}, 2,
                                          someDate);
    EXPECT_EQ(lights.headline, "lights: \u201CLight: green\u201D not working");
    lights = ManualChecklist::result(TestKind::lights, "", {{"Light: green", false}, {"Player light 2", false}}, 7,
                                     someDate);
    EXPECT_EQ(lights.headline, "lights: 2 of 7 checked, \u201CLight: green\u201D and \u201CPlayer light 2\u201D not working");
    auto triggers = ManualChecklist::result(
        TestKind::adaptiveTriggers, "",
        {{"Left trigger: weapon (resistance, then a click)", false}, {"Left trigger: vibration", false}}, 6, someDate);
    EXPECT_EQ(triggers.headline, "adaptive triggers: 2 of 6 checked, \u201CLeft trigger: weapon (resistance, then a "
                                 "click)\u201D and \u201CLeft trigger: vibration\u201D not working");
    for (const auto* result : {&rumble, &lights, &triggers})
        EXPECT_EQ(result->headline.find(';'), std::string::npos) << result->headline;
}

// Pasted into a listing, each checklist says which test it is and where it ends.
TEST(ManualChecklist, TheListingTellsEachChecklistApart) {
    TestSession session;
    session.results = {
        ManualChecklist::result(TestKind::rumble, "",
                                {{"Left handle, gentle", false}, {"Left handle, strong", false},
                                 {"Right handle, gentle", false}, {"Right handle, strong", true}},
                                8, someDate),
        ManualChecklist::result(TestKind::lights, "", {{"Light: red", true}, {"Light: green", false}}, 7, someDate),
        TestResult(TestKind::touchpad, "", ValueSource::processed, Verdict::pass, "both fingers track", {}, {},
                   std::nullopt, std::nullopt, someDate),
    };
    EXPECT_EQ(ListingSummary::text(session, "Tessarine"),
              "Tested on Tessarine: rumble: 4 of 8 checked, \u201CLeft handle, gentle\u201D, \u201CLeft handle, "
              "strong\u201D and \u201CRight handle, gentle\u201D not working; lights: 2 of 7 checked, \u201CLight: "
              "green\u201D not working; touchpad OK.");
}

// Every item of every checklist not working: the longest headlines the application writes are
// shown whole wherever a saved session is shown, the listing text included, and still name each item.
TEST(ManualChecklist, AChecklistFailedWholeIsShownWhole) {
    TestSession session;
    session.results = ChecklistSamples::allFailed(someDate);
    const std::string listing = ListingSummary::text(session, "Tessarine");
    EXPECT_EQ(listing.find("\u2026"), std::string::npos) << listing;
    for (const auto& result : session.results) {
        EXPECT_EQ(DisplayText::shown(result).headline, result.headline);
        EXPECT_NE(listing.find(result.headline), std::string::npos) << result.headline;
        EXPECT_TRUE(result.headline.ends_with(" not working")) << result.headline;
    }
    EXPECT_EQ(session.results[0].headline.find("rumble: "), 0u);
    EXPECT_NE(session.results[0].headline.find("and \u201CRight trigger, strong\u201D not working"), std::string::npos);
    EXPECT_EQ(session.results[1].headline.find("lights: "), 0u);
    EXPECT_EQ(session.results[2].headline.find("adaptive triggers: "), 0u);
    EXPECT_NE(session.results[2].headline.find("\u201CRight trigger: vibration\u201D not working"), std::string::npos);
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
    EXPECT_EQ(rumble.headline, "rumble: 2 of 4 checked, \u201CRight, strong\u201D not working") << "the count first";

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
