#include "testkit/TriggerAnalysis.h"

#include <gtest/gtest.h>

#include "support/TestSamples.h"

#include <cmath>
#include <limits>

using namespace RorozErurEvo;

namespace {

using TestSamples::someDate;

// Half a second at rest, then a pull through the given values at `step` seconds apart, then a
// quarter second released at `after`.
std::vector<TriggerSample> pull(const std::vector<double>& values, double step, double after = 0) {
    std::vector<TriggerSample> samples;
    double t = 10;
    for (int i = 0; i < 5; ++i, t += 0.1) samples.push_back({t, 0, std::nullopt});
    for (double v : values) samples.push_back({t += step, v, std::nullopt});
    for (int i = 0; i < 3; ++i) samples.push_back({t += 0.1, after, std::nullopt});
    return samples;
}

// 0.005, 0.015, … below top, then top itself: a slow, even pull that visits every 0.02 bin
// except where values between skipFrom and skipTo are left out.
std::vector<double> evenPull(double top = 1, double skipFrom = 2, double skipTo = 2) {
    std::vector<double> values;
    for (int k = 0; 0.005 + 0.01 * k < top; ++k) {
        const double v = 0.005 + 0.01 * k;
        if (v <= skipFrom || v >= skipTo) values.push_back(v);
    }
    values.push_back(top);
    return values;
}

std::vector<std::string> ids(const TestResult& result) {
    std::vector<std::string> found;
    for (const auto& m : result.measures) found.push_back(m.id);
    return found;
}

TestResult judgePull(const std::vector<TriggerSample>& samples, bool analog = true) {
    return TriggerAnalysis::result(samples, "Right trigger", ValueSource::processed, analog, Thresholds{}, someDate);
}

void expectNoPull(const TestResult& result) {
    EXPECT_EQ(result.verdict, Verdict::warn);
    EXPECT_EQ(result.headline, "no pull seen");
    EXPECT_TRUE(result.measures.empty());
    EXPECT_EQ(result.details,
              std::vector<std::string>{"Pull the trigger slowly all the way in (about 2 seconds), then let go."});
}

} // namespace

TEST(TriggerAnalysis, WithoutARealPullTheResultAsksForOne) {
    expectNoPull(judgePull({}));
    expectNoPull(judgePull({}, false));
    // One reading: the jump walk must stop at the last sample instead of reading past it.
    expectNoPull(judgePull({{1.0, 0.7, 512}}));
    auto single = TriggerAnalysis::analyze({{1.0, 0.7, 512}}, true);
    ASSERT_TRUE(single);
    EXPECT_EQ(single->largestJump, 0);
    EXPECT_FALSE(single->jumpFrom);
    EXPECT_EQ(single->rawReach, 512);
    // Wobbling within 0.03 of rest is no pull either.
    expectNoPull(judgePull(pull({0.01, 0.03, 0.02}, 0.1)));
    EXPECT_FALSE(TriggerAnalysis::analyze({}, true));
}

TEST(TriggerAnalysis, ASlowCleanPullPassesWithFiveMeasures) {
    auto result = judgePull(pull(evenPull(), 0.02));
    EXPECT_EQ(result.kind, TestKind::trigger);
    EXPECT_EQ(result.element, "Right trigger");
    EXPECT_EQ(result.date, someDate);
    EXPECT_EQ(result.verdict, Verdict::pass);
    EXPECT_EQ(result.headline, "full travel");
    EXPECT_EQ(ids(result), (std::vector<std::string>{"reach", "rest", "jump", "release", "noise"}));
    EXPECT_TRUE(result.details.empty());
    ASSERT_TRUE(result.measure("jump")->limit);
    EXPECT_FALSE(result.measure("noise")->limit);
    EXPECT_DOUBLE_EQ(result.measure("reach")->value, 1.0);
}

TEST(TriggerAnalysis, SkippedTravelIsADeadSpotAndNamesTheHeadline) {
    // 0.305 then 0.405: bins 16 to 19 above rest are never visited, a rise of 0.1.
    auto samples = pull(evenPull(1, 0.31, 0.4), 0.02);
    auto report = TriggerAnalysis::analyze(samples, true);
    ASSERT_TRUE(report);
    ASSERT_EQ(report->deadSpots.size(), 1u);
    EXPECT_NEAR(report->deadSpots[0].lower, 0.32, 1e-9);
    EXPECT_NEAR(report->deadSpots[0].upper, 0.40, 1e-9);
    EXPECT_NEAR(report->largestJump, 0.1, 1e-9);
    EXPECT_NEAR(*report->jumpFrom, 0.305, 1e-9);

    auto result = judgePull(samples);
    EXPECT_EQ(result.verdict, Verdict::warn);
    EXPECT_EQ(result.headline, "dead spot at 32–40%");
    EXPECT_EQ(result.details, std::vector<std::string>{"Skipped while pulling: 32–40%."});

    // A single skipped bin is neither a dead spot nor, at 0.02, a jump worth a warning.
    auto narrow = TriggerAnalysis::analyze(pull(evenPull(1, 0.31, 0.35), 0.02), true);
    EXPECT_TRUE(narrow->deadSpots.empty());
    EXPECT_EQ(judgePull(pull(evenPull(1, 0.31, 0.35), 0.02)).headline, "full travel");
}

TEST(TriggerAnalysis, AJumpOverTravelAlreadyVisitedIsAJumpNotADeadSpot) {
    // Up to 0.5, a drop to 0.3, then straight to 0.515: every bin was visited on the way up.
    std::vector<double> values = evenPull(0.5);
    values.push_back(0.3);
    for (double v : evenPull(1.0)) if (v > 0.51) values.push_back(v);
    auto report = TriggerAnalysis::analyze(pull(values, 0.02), true);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->deadSpots.empty());
    EXPECT_NEAR(report->largestJump, 0.215, 1e-9);
    EXPECT_NEAR(*report->jumpFrom, 0.3, 1e-9);
    EXPECT_EQ(report->reversals, 1);
    auto result = judgePull(pull(values, 0.02));
    EXPECT_EQ(result.verdict, Verdict::fail);
    EXPECT_EQ(result.headline, "jumps 21.5%");
}

TEST(TriggerAnalysis, FallingBackBelowTheRunningPeakCountsOncePerDrop) {
    std::vector<double> values = evenPull();
    // Insert two separate drops of more than 0.03 (the second lasting two samples) mid-pull.
    values.insert(values.begin() + 40, {0.35, 0.36});
    values.insert(values.begin() + 60, 0.5);
    auto report = TriggerAnalysis::analyze(pull(values, 0.02), true);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->reversals, 2);
    auto result = judgePull(pull(values, 0.02));
    EXPECT_NE(std::find(result.details.begin(), result.details.end(),
                        "Dropped back 2× while pulling (a scratchy or dirty sensor, or a hesitant pull)."),
              result.details.end());
}

TEST(TriggerAnalysis, AQuickPullDropsTheJumpLimitAndNeverPasses) {
    auto samples = pull({0.2, 0.5, 0.8, 1.0}, 0.05);
    auto result = judgePull(samples);
    EXPECT_EQ(result.verdict, Verdict::warn);
    // The warning comes from no measure: the headline says what it comes from.
    EXPECT_EQ(result.headline, "full travel, pulled too fast to check (0.3 s)");
    EXPECT_FALSE(result.measure("jump")->limit);
    EXPECT_EQ(result.details.back(), "Pulled in 0.3 s; for the dead-spot check pull slowly, over about 2 seconds.");
    // A failing measure stays a failure.
    auto held = pull({0.2, 0.5, 0.8, 1.0}, 0.05, 0.5);
    EXPECT_EQ(judgePull(held).verdict, Verdict::fail);
}

TEST(TriggerAnalysis, ADigitalTriggerIsJudgedOnReachRestAndReleaseOnly) {
    auto samples = pull({1.0, 1.0, 1.0}, 0.05);
    auto result = judgePull(samples, false);
    EXPECT_EQ(ids(result), (std::vector<std::string>{"reach", "rest", "release"}));
    ASSERT_FALSE(result.details.empty());
    EXPECT_EQ(result.details.front(), "A digital trigger: it's either pressed or not.");
    EXPECT_EQ(result.verdict, Verdict::pass);
    auto report = TriggerAnalysis::analyze(samples, false);
    EXPECT_EQ(report->largestJump, 0);
    EXPECT_FALSE(report->jumpFrom);
    EXPECT_EQ(report->reversals, 0);
    EXPECT_TRUE(report->deadSpots.empty());
}

TEST(TriggerAnalysis, HeadlinesFollowTheFirstMeasureThatTrips) {
    // Short reach fails before anything else is named.
    auto shortPull = evenPull(0.8);
    EXPECT_EQ(judgePull(pull(shortPull, 0.02)).headline, "reaches 80%");
    EXPECT_EQ(judgePull(pull(shortPull, 0.02)).verdict, Verdict::fail);

    // Resting at 7%: a warning about the rest, and the release back to 7% warns too.
    auto resting = pull(evenPull(), 0.02, 0.07);
    for (int i = 0; i < 5; ++i) resting[static_cast<size_t>(i)].value = 0.07;
    auto restResult = judgePull(resting);
    EXPECT_EQ(restResult.headline, "rests at 7%");
    EXPECT_EQ(restResult.verdict, Verdict::warn);

    // Still held when the recording ends.
    auto held = judgePull(pull(evenPull(), 0.02, 0.6));
    EXPECT_EQ(held.headline, "stays at 60% after letting go");
    EXPECT_EQ(held.verdict, Verdict::fail);

    // A reach that only warns, and a release that fails: the failure is named after the reach.
    auto both = judgePull(pull(evenPull(0.9), 0.02, 0.15));
    EXPECT_EQ(both.verdict, Verdict::fail);
    EXPECT_EQ(both.headline, "reaches 90%, stays at 15% after letting go");
}

TEST(TriggerAnalysis, ReportReadsTimeOrderPeakAndRawCounts) {
    std::vector<TriggerSample> samples{
        {0.0, 0.0, 10}, {0.1, 0.0, 14}, {0.2, 0.0, 12}, {0.25, 0.0, 20}, // rest raw 10, 12, 14, 20
        {0.5, 0.5, 2000}, {1.0, 1.0, 4000}, {1.5, 1.0, 4001}, {1.6, 0.0, 11},
    };
    auto report = TriggerAnalysis::analyze(samples, true);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->rawRest, 14); // the upper of the two middle counts
    EXPECT_EQ(report->rawReach, 4000);
    EXPECT_DOUBLE_EQ(report->pullSeconds, 0.75); // from 0.25 to the first of the equal maxima
    EXPECT_DOUBLE_EQ(report->final, 0.0);

    auto shuffled = samples;
    std::swap(shuffled[0], shuffled[6]);
    std::swap(shuffled[2], shuffled[5]);
    EXPECT_EQ(TriggerAnalysis::analyze(shuffled, true), report);

    auto result = judgePull(samples);
    EXPECT_EQ(result.details.back(), "Raw: 14 at rest, 4000 fully pulled.");

    // Readings without a finite time or value are left out rather than poisoning the order.
    auto broken = samples;
    broken.push_back({std::numeric_limits<double>::quiet_NaN(), 0.9, 1});
    broken.push_back({1.2, std::numeric_limits<double>::infinity(), 1});
    EXPECT_EQ(TriggerAnalysis::analyze(broken, true), report);
}

TEST(TriggerAnalysis, RestStatisticsComeFromTheFirstThreeTenthsOfASecond) {
    std::vector<TriggerSample> samples{{5.0, 0.02, std::nullopt}, {5.1, 0.04, std::nullopt},
                                       {5.25, 0.03, std::nullopt}, {5.31, 0.9, std::nullopt}};
    auto report = TriggerAnalysis::analyze(samples, true);
    ASSERT_TRUE(report);
    EXPECT_DOUBLE_EQ(report->rest, 0.03);
    EXPECT_NEAR(report->restNoise, std::sqrt(2.0 / 3.0) * 0.01, 1e-12);
    EXPECT_FALSE(report->rawRest);
    EXPECT_FALSE(report->rawReach);
}
