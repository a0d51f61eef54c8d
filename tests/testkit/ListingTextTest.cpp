#include "testkit/ListingText.h"

#include <gtest/gtest.h>

#include "SessionSamples.h"

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
