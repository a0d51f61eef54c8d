#include "testkit/TestResult.h"
#include "testkit/GuidedTest.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

namespace {
const Limit percentLimit{0.04, 0.08, Limit::Direction::above};

Measure informational(const std::string& id) { return {id, id, 1, MeasureUnit::count, std::nullopt}; }
Measure limited(const std::string& id, double value) { return {id, id, value, MeasureUnit::percent, percentLimit}; }

TestResult sample() {
    return TestResult(TestKind::circularity, "Left stick", ValueSource::raw, std::nullopt, "avg error 5%",
                      {limited("error", 0.05), informational("n")}, {"Sweep slowly.", "Twice."},
                      StickPlot{GateShape::octagonN64, 0.97, {0.9, std::nullopt, 1.01}}, std::nullopt,
                      *Dates::parseIso("2026-03-01T09:05:07Z"));
}
} // namespace

TEST(TestKind, TitlesOrderAndRawValues) {
    EXPECT_EQ(allCases<TestKind>().size(), 22u);
    EXPECT_EQ(order(TestKind::drift), 0);
    EXPECT_EQ(order(TestKind::pedal), 21);
    EXPECT_EQ(title(TestKind::snapback), "Return to center");
    EXPECT_EQ(fromRawValue<TestKind>("adaptiveTriggers"), TestKind::adaptiveTriggers);
    EXPECT_EQ(fromRawValue<TestKind>("Drift"), std::nullopt);
}

TEST(TestResult, VerdictIsWorkedOutFromLimitedMeasuresUnlessGiven) {
    auto make = [](std::optional<Verdict> verdict, std::vector<Measure> measures) {
        return TestResult(TestKind::drift, "", ValueSource::processed, verdict, "h", std::move(measures), {});
    };
    EXPECT_EQ(make(std::nullopt, {informational("a"), limited("b", 0.05), limited("c", 0.01)}).verdict, Verdict::warn);
    EXPECT_EQ(make(std::nullopt, {informational("a"), informational("b")}).verdict, Verdict::pass);
    EXPECT_EQ(make(std::nullopt, {}).verdict, Verdict::pass);
    EXPECT_EQ(make(std::nullopt, {limited("a", 0.09), limited("b", 0.05)}).verdict, Verdict::fail);
    EXPECT_EQ(make(Verdict::fail, {limited("a", 0.0)}).verdict, Verdict::fail);
    EXPECT_EQ(make(Verdict::pass, {limited("a", 0.5)}).verdict, Verdict::pass);
    EXPECT_NE(make(std::nullopt, {}).id, make(std::nullopt, {}).id);
}

TEST(TestResult, KeyTitleAndSpokenText) {
    TestResult buttons(TestKind::buttons, "", ValueSource::processed, Verdict::pass, "all 14 pressed", {}, {});
    EXPECT_EQ(buttons.title(), "All buttons");
    EXPECT_EQ(buttons.key(), "buttons||processed");
    TestResult drift(TestKind::drift, "Left stick", ValueSource::processed, Verdict::warn, "drifts 5%", {}, {});
    EXPECT_EQ(drift.title(), "Left stick: Drift at rest");
    EXPECT_EQ(drift.key(), "drift|Left stick|processed");
    EXPECT_EQ(drift.spoken(), "Left stick: Drift at rest: Warn, drifts 5%");

    // The same test on raw HID values is told apart wherever its title is read, and the stored
    // form keeps the source as a field of its own.
    TestResult raw(TestKind::drift, "Left stick", ValueSource::raw, Verdict::warn, "drifts 8%", {}, {});
    EXPECT_EQ(raw.title(), "Left stick: Drift at rest (Raw HID)");
    EXPECT_EQ(raw.spoken(), "Left stick: Drift at rest (Raw HID): Warn, drifts 8%");
    EXPECT_EQ(raw.key(), "drift|Left stick|raw");
    EXPECT_EQ(TestResult::fromJson(raw.toJson()).source, ValueSource::raw);
    EXPECT_EQ(raw.toJson()["element"], "Left stick");
    TestResult rawButtons(TestKind::buttons, "", ValueSource::raw, Verdict::pass, "all pressed", {}, {});
    EXPECT_EQ(rawButtons.title(), "All buttons (Raw HID)");
    TestResult manual(TestKind::rumble, "", ValueSource::manual, Verdict::pass, "works", {}, {});
    EXPECT_EQ(manual.title(), title(TestKind::rumble));
}

TEST(TestResult, AnElementNamedLikeItsTestIsNamedOnce) {
    TestResult touchpad(TestKind::touchpad, "Touchpad", ValueSource::processed, Verdict::pass, "both fingers track", {}, {});
    EXPECT_EQ(touchpad.title(), "Touchpad");
    EXPECT_EQ(touchpad.spoken(), "Touchpad: Pass, both fingers track");
    EXPECT_EQ(touchpad.key(), "touchpad|Touchpad|processed") << "the slot a saved result fills stays";
    TestResult dpad(TestKind::dpad, "d-pad", ValueSource::raw, Verdict::pass, "all 8 directions", {}, {});
    EXPECT_EQ(dpad.title(), "D-pad (Raw HID)");
    const GuidedTest card{TestKind::dpad, "D-pad", GuidedTest::Target::dpad("dpad"), false};
    EXPECT_EQ(card.title(), "D-pad");
    const GuidedTest hat{TestKind::dpad, "Hat switch", GuidedTest::Target::dpad("hat"), true};
    EXPECT_EQ(hat.title(), "Hat switch \u00B7 D-pad (Raw HID)");
}

TEST(TestResult, MeasureLookupAndMainMeasure) {
    TestResult r(TestKind::trigger, "L2", ValueSource::processed, std::nullopt, "h",
                 {informational("a"), limited("b", 0.01), limited("c", 0.5)}, {});
    EXPECT_EQ(r.mainMeasure()->id, "b");
    TestResult plain(TestKind::trigger, "L2", ValueSource::processed, std::nullopt, "h",
                     {informational("a"), informational("c")}, {});
    EXPECT_EQ(plain.mainMeasure()->id, "a");
    TestResult empty(TestKind::trigger, "L2", ValueSource::processed, std::nullopt, "h", {}, {});
    EXPECT_EQ(empty.mainMeasure(), std::nullopt);

    TestResult twice(TestKind::trigger, "", ValueSource::processed, std::nullopt, "h",
                     {limited("x", 0.01), limited("x", 0.09)}, {});
    EXPECT_EQ(twice.measure("x")->value, 0.01);
    EXPECT_EQ(twice.measure("y"), std::nullopt);
}

TEST(TestResult, TheDecidingMeasureIsTheWorstAgainstItsLimit) {
    auto make = [](std::vector<Measure> measures) {
        return TestResult(TestKind::circularity, "L", ValueSource::processed, std::nullopt, "h", std::move(measures), {});
    };
    auto bounded = [](const char* id, double value, double warn, double fail, Limit::Direction direction) {
        return Measure{id, id, value, MeasureUnit::percent, Limit{warn, fail, direction}};
    };
    // The fail came from the second measure, not from the first one with a limit.
    Measure average = bounded("error", 0.058, 0.08, 0.15, Limit::Direction::above);
    Measure short_ = bounded("short", 0.319, 0.10, 0.20, Limit::Direction::above);
    EXPECT_EQ(make({informational("n"), average, short_}).decidingMeasure()->id, "short");
    // A fail outranks a warn however far past its bound the warn is.
    Measure farWarn = bounded("warn", 0.149, 0.01, 0.15, Limit::Direction::above);
    Measure justFail = bounded("fail", 0.21, 0.10, 0.20, Limit::Direction::above);
    EXPECT_EQ(make({farWarn, justFail}).decidingMeasure()->id, "fail");
    // Two fails: the one furthest past its bound, in either direction; the first on a tie.
    Measure littlePast = bounded("little", 0.21, 0.10, 0.20, Limit::Direction::above);
    Measure farBelow = bounded("below", 0.10, 0.60, 0.50, Limit::Direction::below);
    EXPECT_EQ(make({littlePast, farBelow}).decidingMeasure()->id, "below");
    EXPECT_EQ(make({littlePast, bounded("again", 0.21, 0.10, 0.20, Limit::Direction::above)}).decidingMeasure()->id,
              "little");
    // When every measure passes, the main measure; without measures, none.
    EXPECT_EQ(make({informational("n"), average, bounded("b", 0.01, 0.1, 0.2, Limit::Direction::above)})
                  .decidingMeasure()->id,
              "error");
    EXPECT_EQ(make({informational("n")}).decidingMeasure()->id, "n");
    EXPECT_EQ(make({}).decidingMeasure(), std::nullopt);
}

TEST(TestResultJson, RoundTripsWithPlotNullRadiiAndTimeline) {
    TestResult result = sample();
    result.timeline = SoakStrip{600, {SoakStrip::State::ok, SoakStrip::State::gap}};
    json doc = result.toJson();
    EXPECT_EQ(doc["date"], "2026-03-01T09:05:07Z");
    EXPECT_EQ(doc["id"], result.id.text());
    EXPECT_TRUE(doc["plot"]["radii"][1].is_null());
    TestResult back = TestResult::fromJson(Json::parse(Json::dump(doc)));
    EXPECT_EQ(back, result);
    ASSERT_EQ(back.plot->radii.size(), 3u);
    EXPECT_EQ(back.plot->radii[1], std::nullopt);
    EXPECT_EQ(back.plot->radii[2], 1.01);
}

TEST(TestResultJson, OptionalPartsMayBeMissingOrNullAndTheVerdictIsKeptAsRead) {
    json doc = sample().toJson();
    doc.erase("plot");
    EXPECT_FALSE(doc.contains("timeline"));
    EXPECT_EQ(TestResult::fromJson(doc).plot, std::nullopt);
    doc["plot"] = nullptr;
    doc["timeline"] = nullptr;
    EXPECT_EQ(TestResult::fromJson(doc).timeline, std::nullopt);

    doc["verdict"] = "fail"; // the measures would say warn; the file wins
    EXPECT_EQ(TestResult::fromJson(doc).verdict, Verdict::fail);
}

TEST(TestResultJson, StrictReaderRejectsMissingOrMalformedParts) {
    const json good = sample().toJson();
    for (const char* key : {"id", "kind", "element", "source", "verdict", "headline", "measures", "details", "date"}) {
        json doc = good;
        doc.erase(key);
        EXPECT_THROW(TestResult::fromJson(doc), DecodeError) << key;
    }
    auto withValue = [&](const char* key, json value) {
        json doc = good;
        doc[key] = std::move(value);
        return doc;
    };
    EXPECT_THROW(TestResult::fromJson(withValue("kind", "teleport")), DecodeError);
    EXPECT_THROW(TestResult::fromJson(withValue("id", "not-a-uuid")), DecodeError);
    EXPECT_THROW(TestResult::fromJson(withValue("date", "2026-03-01T09:05:07.5Z")), DecodeError);
    EXPECT_THROW(TestResult::fromJson(withValue("details", json::array({"ok", 3}))), DecodeError);
    EXPECT_THROW(TestResult::fromJson(withValue("measures", json::object())), DecodeError);
    EXPECT_THROW(TestResult::fromJson(withValue("plot", json{{"gate", "round"}, {"scale", 1}})), DecodeError);
    EXPECT_THROW(TestResult::fromJson(withValue("plot", json{{"gate", "round"}, {"scale", 1}, {"radii", {"x"}}})),
                 DecodeError);
    EXPECT_THROW(TestResult::fromJson(withValue("timeline", json{{"seconds", 60}, {"bins", {"ok", "lost"}}})),
                 DecodeError);
    EXPECT_THROW(TestResult::fromJson(json::array()), DecodeError);
}
