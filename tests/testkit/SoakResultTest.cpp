#include "testkit/SoakResult.h"

#include <gtest/gtest.h>

#include "support/TestSamples.h"

#include "testkit/Thresholds.h"

using namespace RorozErurEvo;
using State = SoakStrip::State;

namespace {

using TestSamples::someDate;

using TestSamples::addReports;

std::vector<int> binsIn(const SoakStrip& strip, State state) {
    std::vector<int> found;
    for (std::size_t i = 0; i < strip.bins.size(); ++i)
        if (strip.bins[i] == state) found.push_back(static_cast<int>(i));
    return found;
}

} // namespace

TEST(SoakStripBins, EmptyRunStillHasBinsAndLateSpansLandInTheLast) {
    SoakReport report;
    report.seconds = 0;
    report.gaps = {{0.002, 0.5}};
    auto strip = SoakAnalysis::strip(report, 120);
    EXPECT_EQ(strip.seconds, 0); // kept as the run's length, not the minimum bin width
    ASSERT_EQ(strip.bins.size(), 120u);
    EXPECT_EQ(binsIn(strip, State::gap), std::vector<int>{119});

    EXPECT_EQ(SoakAnalysis::strip(report, 0).bins.size(), 1u);
    EXPECT_EQ(SoakAnalysis::strip(report, -5).bins.size(), 1u);
}

TEST(SoakStripBins, SpansMarkOnlyTheBinsTheyTouch) {
    SoakReport report;
    report.seconds = 120;           // bins 1 s wide
    report.gaps = {{3, 1}};         // exactly fills bin 3
    report.pauses = {{10.5, 0}};    // no length still marks its bin
    auto strip = SoakAnalysis::strip(report, 120);
    EXPECT_EQ(binsIn(strip, State::gap), std::vector<int>{3});
    EXPECT_EQ(binsIn(strip, State::pause), std::vector<int>{10});

    // Spans before the run, after it or without a number clamp into the strip instead of
    // indexing outside it.
    report.gaps = {{-50, 1}, {1e300, 1}, {std::nan(""), 1}};
    report.pauses = {};
    strip = SoakAnalysis::strip(report, 120);
    EXPECT_EQ(binsIn(strip, State::gap), (std::vector<int>{0, 119}));
}

TEST(SoakStripBins, WorstStateWinsABin) {
    SoakReport report;
    report.seconds = 12; // bins 0.1 s wide with 120 bins
    report.pauses = {{0, 5}};
    report.gaps = {{1.02, 0.3}};
    report.outages = {{2.05, 0.01}};
    auto strip = SoakAnalysis::strip(report, 120);
    EXPECT_EQ(strip.bins[0], State::pause);
    EXPECT_EQ(strip.bins[10], State::gap);
    EXPECT_EQ(strip.bins[13], State::gap);
    EXPECT_EQ(strip.bins[14], State::pause);
    EXPECT_EQ(strip.bins[20], State::disconnected);
    EXPECT_EQ(strip.bins[49], State::pause);
    EXPECT_EQ(strip.bins[50], State::ok);
    // A dropout painted after an outage does not cover it.
    report.outages = {{1.1, 0.05}};
    strip = SoakAnalysis::strip(report, 120);
    EXPECT_EQ(strip.bins[11], State::disconnected);
}

TEST(SoakClockTexts, ClockAndMinutes) {
    EXPECT_EQ(SoakAnalysis::clock(75.9), "1:15");
    EXPECT_EQ(SoakAnalysis::clock(0), "0:00");
    EXPECT_EQ(SoakAnalysis::clock(-3), "0:00");
    EXPECT_EQ(SoakAnalysis::clock(609), "10:09");
    EXPECT_EQ(SoakAnalysis::clock(3600), "60:00");

    EXPECT_EQ(SoakAnalysis::minutes(90), "1 min 30 s");
    EXPECT_EQ(SoakAnalysis::minutes(600), "10 min");
    EXPECT_EQ(SoakAnalysis::minutes(59.5), "1 min");
    EXPECT_EQ(SoakAnalysis::minutes(59.4), "59 s");
    EXPECT_EQ(SoakAnalysis::minutes(0), "0 s");
}

TEST(SoakResult, SteadyRunPassesWithEveryMeasure) {
    SoakTimeline timeline{0, 600, {}, {}};
    addReports(timeline.reports, 0, 600, 0.008);
    auto result = SoakAnalysis::result(timeline, "Pad", ValueSource::processed, Thresholds{}, someDate);
    EXPECT_EQ(result.kind, TestKind::soak);
    EXPECT_EQ(result.element, "Pad");
    EXPECT_EQ(result.source, ValueSource::processed);
    EXPECT_EQ(result.date, someDate);
    EXPECT_EQ(result.verdict, Verdict::pass);
    EXPECT_EQ(result.headline, "no dropouts or disconnects in 10 min");
    std::vector<std::string> ids;
    for (const auto& m : result.measures) ids.push_back(m.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"gapRate", "disconnects", "gaps", "longest", "coverage", "duration", "hz"}));
    EXPECT_EQ(result.measure("gaps")->label, "Dropouts over 100 ms");
    EXPECT_NEAR(result.measure("hz")->value, 125, 1e-6);
    EXPECT_EQ(result.details, std::vector<std::string>{
        "Dropout: no input report for longer than 100 ms while input was arriving. "
        "No input for over 2 s counts as a pause, not a dropout."});
    ASSERT_TRUE(result.timeline.has_value());
    EXPECT_EQ(result.timeline->bins.size(), 120u);
    EXPECT_EQ(result.timeline->seconds, 600);
    EXPECT_FALSE(result.plot.has_value());
}

namespace {

// Runs of input 9.7 s long every 10 s, so each silence between two of them is a 0.3 s dropout.
SoakTimeline dropoutEveryTenSeconds(int runs, double end) {
    SoakTimeline timeline{0, end, {}, {}};
    for (int i = 0; i < runs; ++i) addReports(timeline.reports, 10.0 * i, 10.0 * i + 9.7, 0.01);
    return timeline;
}

} // namespace

TEST(SoakResult, EventsAreListedInTimeOrderAndCappedAtTwelve) {
    auto thirteen = SoakAnalysis::result(dropoutEveryTenSeconds(14, 139.7), "", ValueSource::processed,
                                         Thresholds{}, someDate);
    EXPECT_EQ(thirteen.headline, "13 dropouts in 2 min 20 s");
    ASSERT_EQ(thirteen.details.size(), 1u + 12u + 1u);
    EXPECT_EQ(thirteen.details[1], "At 0:09: dropout of 300 ms.");
    EXPECT_EQ(thirteen.details[12].rfind("At 1:59: dropout of ", 0), 0u) << thirteen.details[12];
    EXPECT_EQ(thirteen.details.back(), "\u2026and 1 more.");
    EXPECT_FALSE(thirteen.measure("offline").has_value());

    auto twelve = SoakAnalysis::result(dropoutEveryTenSeconds(13, 129.7), "", ValueSource::processed,
                                       Thresholds{}, someDate);
    ASSERT_EQ(twelve.details.size(), 1u + 12u);
    EXPECT_EQ(twelve.details.back().rfind("At 1:59: ", 0), 0u);

    // An outage that never ends joins the list and fails the run: none are allowed by default.
    auto timeline = dropoutEveryTenSeconds(14, 150);
    timeline.outages = {{140, std::nullopt}};
    auto result = SoakAnalysis::result(timeline, "", ValueSource::processed, Thresholds{}, someDate);
    EXPECT_EQ(result.headline, "13 dropouts, 1 disconnect in 2 min 30 s");
    EXPECT_EQ(result.verdict, Verdict::fail);
    EXPECT_EQ(result.details.back(), "\u2026and 2 more.");
    ASSERT_TRUE(result.measure("offline").has_value());
    EXPECT_NEAR(result.measure("offline")->value, 10, 1e-9);
}

TEST(SoakResult, OutageTextsSayWhetherTheDeviceCameBack) {
    // The second outage ends 0.0005 s before the run does: it did not come back.
    SoakTimeline timeline{0, 20, {0, 5}, {{5, 5.5}, {19.9995, std::nullopt}}};
    addReports(timeline.reports, 5.5, 5.8, 0.1);
    timeline.reports.push_back(8.5);
    auto result = SoakAnalysis::result(timeline, "", ValueSource::raw, Thresholds{}, someDate);
    std::vector<std::string> events(result.details.begin() + 1, result.details.end());
    EXPECT_EQ(events, (std::vector<std::string>{
        "At 0:00: no input for 5 s (pause).",
        "At 0:05: disconnected for 0.5 s, then reconnected.",
        "At 0:05: no input for 2.7 s (pause).",
        "At 0:08: no input for 11.5 s (pause).",
        "At 0:19: disconnected, didn't come back before the end.",
    }));
    EXPECT_EQ(result.headline, "2 disconnects in 20 s");
}

TEST(SoakResult, OneDropoutIsSingularAndJudgedPerMinuteOfInput) {
    SoakTimeline timeline{0, 10, {}, {}};
    addReports(timeline.reports, 0, 1, 0.01);
    addReports(timeline.reports, 1.4, 10, 0.01);
    auto result = SoakAnalysis::result(timeline, "", ValueSource::processed, Thresholds{}, someDate);
    ASSERT_EQ(result.details.size(), 2u);
    EXPECT_EQ(result.details[1], "At 0:01: dropout of 400 ms.");
    EXPECT_EQ(result.headline, "1 dropout in 10 s");
    EXPECT_EQ(result.verdict, Verdict::fail); // 1 dropout in ~10 s of input is 6 a minute
}

// Input for 40 s of a minute, without a dropout: the time with input that warns is named.
TEST(SoakResult, TooLittleInputIsNamedInTheHeadline) {
    SoakTimeline timeline{0, 60, {}, {}};
    addReports(timeline.reports, 0, 40, 0.01);
    auto result = SoakAnalysis::result(timeline, "", ValueSource::processed, Thresholds{}, someDate);
    EXPECT_EQ(result.verdict, Verdict::warn);
    EXPECT_EQ(result.headline, "no dropouts or disconnects in 1 min, input 66.7% of the time");
}

TEST(SoakResult, NoInputWarnsButKeepsItsMeasures) {
    SoakTimeline timeline{0, 300, {12}, {}};
    auto result = SoakAnalysis::result(timeline, "", ValueSource::processed, Thresholds{}, someDate);
    EXPECT_EQ(result.verdict, Verdict::warn);
    EXPECT_EQ(result.headline, "no input in 5 min");
    ASSERT_FALSE(result.details.empty());
    EXPECT_EQ(result.details[0], "No input arrived: keep a stick moving during the run.");
    EXPECT_FALSE(result.measure("hz").has_value());
    EXPECT_TRUE(result.measure("coverage").has_value());
}

TEST(SoakResult, GapTextFollowsTheThreshold) {
    Thresholds thresholds;
    thresholds.soakGapMs = 8.5;
    thresholds.soakPauseSeconds = 2.5;
    SoakTimeline timeline{0, 1, {}, {}};
    auto result = SoakAnalysis::result(timeline, "", ValueSource::processed, thresholds, someDate);
    EXPECT_EQ(result.measure("gaps")->label, "Dropouts over 8.5 ms");
    EXPECT_EQ(result.details[1], "Dropout: no input report for longer than 8.5 ms while input was arriving. "
                                 "No input for over 2.5 s counts as a pause, not a dropout.");
    thresholds.soakGapMs = 250;
    result = SoakAnalysis::result(timeline, "", ValueSource::processed, thresholds, someDate);
    EXPECT_EQ(result.measure("gaps")->label, "Dropouts over 250 ms");
}
