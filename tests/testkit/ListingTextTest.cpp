#include "testkit/ListingText.h"

#include <gtest/gtest.h>

#include "SessionSamples.h"

#include "testkit/EndedEarly.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::Samples;

namespace {
std::string listing(std::vector<TestResult> results) {
    return ListingSummary::text(session("U", "2026-03-01T09:00:00Z", std::move(results)), "Tessarine");
}
} // namespace

TEST(ListingText, SticksReadInTheirOwnOrderThenTheOtherTests) {
    EXPECT_EQ(listing({}), "Tested on Tessarine: no tests run yet.");
    EXPECT_EQ(listing({result(TestKind::trigger, "Right trigger", Verdict::pass),
                       result(TestKind::deadzone, "Left stick", Verdict::pass, {percent("deadzone", 0.041)}),
                       result(TestKind::snapback, "Left stick", Verdict::pass),
                       result(TestKind::circularity, "Left stick", Verdict::warn, {percent("error", 0.062)}),
                       result(TestKind::drift, "Left stick", Verdict::pass)}),
              "Tested on Tessarine: left stick 6.2% circularity, no drift, centers well, deadzone 4.1%; "
              "right trigger full travel.");
    EXPECT_EQ(listing({result(TestKind::battery, "", Verdict::warn, {}, "H"),
                       result(TestKind::hold, "", Verdict::pass)}),
              "Tested on Tessarine: buttons hold steady; H.");
    // An element whose only result is a deadzone comes after one with a drift result.
    EXPECT_EQ(listing({result(TestKind::deadzone, "Right stick", Verdict::pass, {percent("deadzone", 0.05)}),
                       result(TestKind::drift, "Left stick", Verdict::pass)}),
              "Tested on Tessarine: left stick no drift; right stick deadzone 5%.");
}

TEST(ListingText, AStickMeasuredOnRawValuesIsSummedUpApartAndMarked) {
    TestResult raw = result(TestKind::drift, "Left stick", Verdict::warn, {percent("offset", 0.079)});
    raw.source = ValueSource::raw;
    TestResult rawButtons = result(TestKind::buttons, "", Verdict::pass, {}, "all 14 pressed");
    rawButtons.source = ValueSource::raw;
    EXPECT_EQ(listing({result(TestKind::drift, "Left stick", Verdict::pass, {percent("offset", 0.005)}), raw,
                       result(TestKind::buttons, "", Verdict::pass, {}, "all 14 pressed"), rawButtons}),
              "Tested on Tessarine: left stick no drift; left stick (Raw HID) drift 7.9%; all 14 pressed; "
              "all 14 pressed (Raw HID).");
}

TEST(ListingText, FailingPhrasesAndMissingMeasures) {
    EXPECT_EQ(listing({result(TestKind::drift, "", Verdict::fail, {percent("offset", 0.153)})}),
              "Tested on Tessarine: stick drift 15.3%.");
    EXPECT_EQ(listing({result(TestKind::drift, "Left stick", Verdict::fail)}), "Tested on Tessarine: left stick drift .");
    EXPECT_EQ(listing({result(TestKind::snapback, "Left stick", Verdict::warn)}),
              "Tested on Tessarine: left stick returns  off center.");
    EXPECT_EQ(listing({result(TestKind::dpad, "", Verdict::fail, {}, "misses up-left"),
                       result(TestKind::soak, "", Verdict::pass, {}, "no dropouts, 10 min")}),
              "Tested on Tessarine: d-pad misses up-left; wireless: no dropouts, 10 min.");
    EXPECT_EQ(listing({result(TestKind::pedal, "Brake", Verdict::pass, {percent("rest", 0.01)}),
                       result(TestKind::axisSweep, "Wheel\nX", Verdict::pass, {percent("coverage", 0.99)})}),
              "Tested on Tessarine: wheel X full travel (99%); brake full travel, 1% at rest.");
}

// A run ended short of its rule says so in its phrase, whatever its verdict, once and only once;
// a phrase worded from one measure names the measure that decided a verdict it does not explain.
TEST(ListingText, AShortRunAndAVerdictDecidedElsewhereAreSaid) {
    const Limit circularity{0.08, 0.15, Limit::Direction::above};
    auto early = [](TestResult r, const char* reached) { return EndedEarly::mark(std::move(r), reached); };
    auto passed = [](TestKind kind, std::vector<Measure> measures) {
        return TestResult(kind, "Left stick", ValueSource::processed, std::nullopt, "h", std::move(measures), {});
    };
    EXPECT_EQ(listing({early(passed(TestKind::circularity, {percent("error", 0.027, circularity)}), "1.2 of 3 turns"),
                       early(passed(TestKind::drift, {percent("offset", 0)}), "1.5 of 5 s measured"),
                       early(passed(TestKind::snapback, {percent("worst", 0)}), "1 release, 1 of 8 directions"),
                       early(passed(TestKind::deadzone, {percent("deadzone", 0.047, Limit{0.1, 0.2, Limit::Direction::above})}),
                             "pushed 40% of the way to the edge")}),
              "Tested on Tessarine: left stick 2.7% circularity (ended early), drift 0% (ended early), returns 0% "
              "off center (ended early), deadzone 4.7% (ended early).");

    // Its own warning stands and still says it was short.
    EXPECT_EQ(listing({early(passed(TestKind::drift, {percent("offset", 0.079)}), "1.5 of 5 s measured")}),
              "Tested on Tessarine: left stick drift 7.9% (ended early).");

    // A failure decided by the directions short of the edge, not by the average error.
    const Measure shortOfEdge{"short", "Directions short of the edge", 0.319, MeasureUnit::percent,
                              Limit{0.1, 0.3, Limit::Direction::above}};
    const auto circle = passed(TestKind::circularity, {percent("error", 0.0576, circularity), shortOfEdge});
    EXPECT_EQ(listing({circle}), "Tested on Tessarine: left stick 5.8% circularity (31.9% of directions short of the edge).");
    EXPECT_EQ(listing({early(circle, "1.6 of 3 turns")}),
              "Tested on Tessarine: left stick 5.8% circularity (31.9% of directions short of the edge, ended early).");

    // A phrase that is the headline says it through the headline, not twice.
    TestResult trigger(TestKind::trigger, "Left trigger", ValueSource::processed, std::nullopt, "reaches 60%",
                       {percent("reach", 0.6, Limit{0.95, 0.85, Limit::Direction::below})}, {});
    TestResult hold(TestKind::hold, "", ValueSource::processed, std::nullopt, "A holds steady",
                    {Measure{"drops", "Unexpected releases", 0, MeasureUnit::count, Limit{std::nullopt, 0, Limit::Direction::above}}},
                    {});
    EXPECT_EQ(listing({early(trigger, "pulled to 60%"), early(hold, "still held after 1.1 s")}),
              "Tested on Tessarine: left trigger reaches 60%, ended early; still held after 1.1 s: ended early.");
}
