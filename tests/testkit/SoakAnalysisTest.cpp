#include "testkit/SoakAnalysis.h"

#include <gtest/gtest.h>

#include "support/TestSamples.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "testkit/Thresholds.h"

using namespace RorozErurEvo;

namespace {

using TestSamples::addReports;

Thresholds soakThresholds() {
    Thresholds thresholds;
    thresholds.soakGapMs = 100;
    thresholds.soakPauseSeconds = 2;
    return thresholds;
}

SoakTimeline steadyMinute() {
    SoakTimeline timeline{100, 160, {}, {}};
    addReports(timeline.reports, 100.004, 160, 0.008);
    return timeline;
}

} // namespace

TEST(SoakAnalysis, SteadyInputHasNoDropoutsAndCountsTimeWithInput) {
    auto report = SoakAnalysis::analyze(steadyMinute(), soakThresholds());
    EXPECT_DOUBLE_EQ(report.seconds, 60);
    EXPECT_TRUE(report.gaps.empty());
    EXPECT_TRUE(report.pauses.empty());
    EXPECT_TRUE(report.outages.empty());
    // The lead-in before the first report is not time with input; the tail after the last is.
    EXPECT_NEAR(report.activeSeconds, 60 - 0.004, 1e-6);
    ASSERT_TRUE(report.reportRate.has_value());
    EXPECT_NEAR(*report.reportRate, 125, 1e-6);
    EXPECT_EQ(report.reports, static_cast<int>(steadyMinute().reports.size()));
    EXPECT_EQ(report.longestGap, 0);
    EXPECT_NEAR(report.coverage(), (60 - 0.004) / 60, 1e-9);
    EXPECT_EQ(report.gapsPerMinute(), 0);
}

TEST(SoakAnalysis, SilencesBecomeDropoutsOrPausesByLength) {
    // 0.3 s of silence while moving: a dropout that still counts as time with input.
    SoakTimeline dropout{0, 60, {}, {}};
    addReports(dropout.reports, 0, 30, 0.008);
    addReports(dropout.reports, 30.3, 60, 0.008);
    auto report = SoakAnalysis::analyze(dropout, soakThresholds());
    ASSERT_EQ(report.gaps.size(), 1u);
    EXPECT_NEAR(report.gaps[0].start, 30, 0.01);
    EXPECT_NEAR(report.gaps[0].length, 0.3, 0.008);
    EXPECT_NEAR(report.longestGap, report.gaps[0].length, 1e-12);
    EXPECT_NEAR(report.activeSeconds, 60, 1e-6);
    EXPECT_TRUE(report.pauses.empty());
    EXPECT_NEAR(report.gapsPerMinute(), 1, 1e-6);

    // 5 s of silence: the user let go; neither a dropout nor time with input.
    SoakTimeline pause{0, 60, {}, {}};
    addReports(pause.reports, 0, 30, 0.008);
    addReports(pause.reports, 35, 60, 0.008);
    report = SoakAnalysis::analyze(pause, soakThresholds());
    EXPECT_TRUE(report.gaps.empty());
    ASSERT_EQ(report.pauses.size(), 1u);
    EXPECT_NEAR(report.pauses[0].length, 5, 0.01);
    EXPECT_NEAR(report.activeSeconds, 55, 0.01);
}

TEST(SoakAnalysis, BoundariesOfGapAndPauseAreStrict) {
    // Times chosen to be exact in binary so the silences equal the thresholds exactly.
    Thresholds thresholds;
    thresholds.soakGapMs = 125;       // 0.125 s
    thresholds.soakPauseSeconds = 2;
    SoakTimeline timeline{0, 10, {0, 0.125, 0.25, 2.25, 2.375, 10}, {}};
    auto report = SoakAnalysis::analyze(timeline, thresholds);
    // 0.125 s silences equal the gap: input. 0.25 → 2.25 equals the pause, so it is not a pause
    // but, being longer than the gap, a dropout. Only 2.375 → 10 is a pause.
    ASSERT_EQ(report.gaps.size(), 1u);
    EXPECT_EQ(report.gaps[0], (SoakSpan{0.25, 2}));
    ASSERT_EQ(report.pauses.size(), 1u);
    EXPECT_EQ(report.pauses[0], (SoakSpan{2.375, 7.625}));
    EXPECT_DOUBLE_EQ(report.activeSeconds, 2.375);
}

TEST(SoakAnalysis, LeadInAndTrailingSilences) {
    SoakTimeline timeline{0, 20, {}, {}};
    addReports(timeline.reports, 3, 15, 0.01);
    auto report = SoakAnalysis::analyze(timeline, soakThresholds());
    ASSERT_EQ(report.pauses.size(), 2u);
    EXPECT_EQ(report.pauses[0].start, 0);
    EXPECT_NEAR(report.pauses[0].length, 3, 1e-9);
    EXPECT_NEAR(report.pauses[1].start, 15, 1e-6);
    EXPECT_NEAR(report.pauses[1].length, 5, 1e-6);
    EXPECT_NEAR(report.activeSeconds, 12, 1e-6);

    // A short tail after the last report is time with input; a stretch without any report
    // contributes nothing.
    SoakTimeline shortTail{0, 1, {0.5, 0.6}, {}};
    EXPECT_NEAR(SoakAnalysis::analyze(shortTail, soakThresholds()).activeSeconds, 0.5, 1e-12);
    SoakTimeline silent{0, 1, {}, {}};
    auto none = SoakAnalysis::analyze(silent, soakThresholds());
    EXPECT_EQ(none.activeSeconds, 0);
    EXPECT_FALSE(none.reportRate.has_value());
    EXPECT_EQ(none.gapsPerMinute(), 0);
}

TEST(SoakAnalysis, GraceAfterReconnectHidesEarlySilences) {
    auto run = [](double silenceAfterReconnect) {
        SoakTimeline timeline{0, 60, {}, {{20, 22}}};
        addReports(timeline.reports, 0, 20, 0.01);
        double silenceStart = 22 + silenceAfterReconnect;
        addReports(timeline.reports, 22, silenceStart, 0.01);
        addReports(timeline.reports, silenceStart + 0.3, 60, 0.01);
        return SoakAnalysis::analyze(timeline, soakThresholds());
    };
    auto early = run(1);
    EXPECT_TRUE(early.gaps.empty());
    EXPECT_NEAR(early.activeSeconds, 58, 0.02); // still time with input
    auto late = run(3);
    ASSERT_EQ(late.gaps.size(), 1u);
    EXPECT_NEAR(late.gaps[0].start, 25, 0.011);
}

TEST(SoakAnalysis, OutagesAreClippedMergedAndSplitTheRun) {
    SoakTimeline timeline{10, 70, {}, {}};
    addReports(timeline.reports, 10, 70, 0.01);
    timeline.outages = {
        {50, std::nullopt},  // still away at the end
        {55, 60},            // inside the first: merged
        {0, 5},              // before the run: gone
        {80, 90},            // after the run: gone
        {5, 12},             // clipped to the run's start
        {12, 13},            // touches the previous one: merged
    };
    auto report = SoakAnalysis::analyze(timeline, soakThresholds());
    ASSERT_EQ(report.disconnects(), 2);
    EXPECT_EQ(report.outages[0], (SoakSpan{0, 3}));
    EXPECT_EQ(report.outages[1], (SoakSpan{40, 20}));
    EXPECT_DOUBLE_EQ(report.disconnectedSeconds(), 23);
    // Reports that arrived inside an outage are skipped, not read as input.
    EXPECT_NEAR(report.activeSeconds, 37, 0.02);
    EXPECT_TRUE(report.gaps.empty());
}

TEST(SoakAnalysis, ReportsOutsideTheRunAndOutOfOrderInput) {
    SoakTimeline timeline = steadyMinute();
    auto base = SoakAnalysis::analyze(timeline, soakThresholds());
    timeline.reports.push_back(99);
    timeline.reports.push_back(161);
    timeline.reports.push_back(std::nan(""));
    std::mt19937 random(7);
    std::shuffle(timeline.reports.begin(), timeline.reports.end(), random);
    EXPECT_EQ(SoakAnalysis::analyze(timeline, soakThresholds()), base);

    // Two reports 0.1 ms apart: time with input, but not an interval of the rate.
    SoakTimeline doubled{0, 1, {0, 0.0001, 0.0101}, {}};
    auto report = SoakAnalysis::analyze(doubled, soakThresholds());
    EXPECT_NEAR(report.activeSeconds, 1, 1e-12);
    ASSERT_TRUE(report.reportRate.has_value());
    EXPECT_NEAR(*report.reportRate, 100, 1e-9);
}

TEST(SoakAnalysis, RunEndingBeforeItStartsHasNoLength) {
    SoakTimeline timeline{10, 5, {10}, {{8, 12}}};
    auto report = SoakAnalysis::analyze(timeline, soakThresholds());
    EXPECT_EQ(report.seconds, 0);
    EXPECT_EQ(report.disconnects(), 0);
    EXPECT_EQ(report.coverage(), 0);
    EXPECT_EQ(report.reports, 1);
}

TEST(SoakAnalysis, PauseIsNeverShorterThanTheGap) {
    Thresholds thresholds;
    thresholds.soakGapMs = 3000; // a gap longer than the pause threshold raises the pause
    thresholds.soakPauseSeconds = 2;
    SoakTimeline timeline{0, 10, {0, 2.5, 5, 7.5, 10}, {}};
    auto report = SoakAnalysis::analyze(timeline, thresholds);
    EXPECT_TRUE(report.pauses.empty()); // 2.5 s silences are not longer than 3 s
    EXPECT_TRUE(report.gaps.empty());
    EXPECT_DOUBLE_EQ(report.activeSeconds, 10);
}

TEST(SoakAnalysis, RateIsTheMedianOfAnEvenNumberOfIntervals) {
    SoakTimeline timeline{0, 1, {0, 0.01, 0.03, 0.06, 0.1}, {}};
    auto report = SoakAnalysis::analyze(timeline, soakThresholds());
    ASSERT_TRUE(report.reportRate.has_value());
    EXPECT_NEAR(*report.reportRate, 1 / 0.025, 1e-9);
}

TEST(SoakAnalysis, SpanRoundTripsThroughJson) {
    SoakSpan span{1.5, 0.25};
    EXPECT_EQ(SoakSpan::fromJson(Json::parse(Json::dump(span.toJson()))), span);
    EXPECT_EQ(span.end(), 1.75);
    EXPECT_THROW(SoakSpan::fromJson(json{{"start", 1}}), DecodeError);
    EXPECT_THROW(SoakSpan::fromJson(json::array()), DecodeError);
}
