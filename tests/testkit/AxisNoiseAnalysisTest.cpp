#include "testkit/AxisNoiseAnalysis.h"
#include "testkit/ReportRateResult.h"

#include <gtest/gtest.h>

#include "support/TestSamples.h"

#include <climits>

#include "testkit/Thresholds.h"

using namespace RorozErurEvo;

namespace {

using TestSamples::someDate;

TestResult noise(const std::vector<int>& rest, std::optional<int> movedMin = std::nullopt,
                 std::optional<int> movedMax = std::nullopt, int logicalMin = 0, int logicalMax = 1023) {
    return AxisNoiseAnalysis::result(rest, logicalMin, logicalMax, movedMin, movedMax, "e12", Thresholds{},
                                     someDate);
}

} // namespace

TEST(AxisNoise, SteadyAxisPassesWithoutCoverage) {
    auto result = noise({512});
    EXPECT_EQ(result.kind, TestKind::axisNoise);
    EXPECT_EQ(result.source, ValueSource::raw);
    EXPECT_EQ(result.element, "e12");
    EXPECT_EQ(result.verdict, Verdict::pass);
    EXPECT_EQ(result.headline, "jitter 0 counts (0%)");
    EXPECT_FALSE(result.measure("coverage").has_value());
    EXPECT_EQ(result.details, (std::vector<std::string>{
        "Logical range 0\u20261023; seen 512\u2026512.",
        "Steady at rest (typical of a Hall-effect sensor or a filtered pot)."}));
}

TEST(AxisNoise, JitterStatisticsAndTheirTexts) {
    auto report = AxisNoiseAnalysis::analyze({510, 513, 512, 511}, 0, 1023, std::nullopt, std::nullopt);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->count, 4);
    EXPECT_EQ(report->jitter, 3);
    EXPECT_DOUBLE_EQ(report->mean, 511.5);
    EXPECT_DOUBLE_EQ(report->std, std::sqrt(1.25));
    EXPECT_DOUBLE_EQ(report->jitterShare, 3.0 / 1023);

    auto result = noise({510, 513, 512, 511});
    EXPECT_EQ(result.headline, "jitter 3 counts (0.3%)");
    EXPECT_EQ(result.measure("std")->value, 1.1); // 1.118 rounded to one decimal
    EXPECT_EQ(result.details[1], "Moves 3 counts at rest (a potentiometer's noise grows as it wears).");

    // One count of flicker is still steady; two is movement.
    EXPECT_EQ(noise({5, 6}).details[1].rfind("Steady", 0), 0u);
    EXPECT_EQ(noise({5, 7}).details[1], "Moves 2 counts at rest (a potentiometer's noise grows as it wears).");

    // 40 counts on 0…1023 is 3.9 %: above the 3 % fail bound.
    EXPECT_EQ(noise({500, 540}).verdict, Verdict::fail);
    EXPECT_EQ(noise({500, 520}).verdict, Verdict::warn);
}

TEST(AxisNoise, CoverageNeedsBothMovedExtremes) {
    auto full = noise({512}, 0, 1023);
    ASSERT_TRUE(full.measure("coverage").has_value());
    EXPECT_DOUBLE_EQ(full.measure("coverage")->value, 1.0);
    EXPECT_EQ(full.verdict, Verdict::pass);
    EXPECT_EQ(full.details[0], "Logical range 0\u20261023; seen 0\u20261023.");

    auto half = noise({512}, 300, 800);
    EXPECT_EQ(half.verdict, Verdict::fail); // 500 / 1023 is below 75 %
    // The jitter passes: the range that fails is named beside it.
    EXPECT_EQ(half.headline, "jitter 0 counts (0%), covers only 48.9% of its range");

    auto oneSided = noise({512}, 0, std::nullopt);
    EXPECT_FALSE(oneSided.measure("coverage").has_value());
    EXPECT_EQ(oneSided.details[0], "Logical range 0\u20261023; seen 0\u2026512.");
}

TEST(AxisNoise, StuckAtAnEndFailsWhateverTheMeasuresSay) {
    auto low = noise({0, 0, 0});
    EXPECT_EQ(low.verdict, Verdict::fail);
    EXPECT_EQ(low.headline, "stuck at 0");
    EXPECT_EQ(low.details.back(), "Stuck at the end of its range: a broken wire or sensor often reads full scale.");
    // The headline names the smallest value seen, a moved minimum included.
    EXPECT_EQ(noise({10, 10}, 5, std::nullopt, 10, 100).headline, "stuck at 5");
    EXPECT_EQ(noise({1023}).verdict, Verdict::fail);
    EXPECT_EQ(noise({1022}).verdict, Verdict::pass);
}

TEST(AxisNoise, NoReadingsAndDegenerateRanges) {
    auto none = noise({});
    EXPECT_EQ(none.verdict, Verdict::warn);
    EXPECT_EQ(none.headline, "no readings");
    EXPECT_TRUE(none.measures.empty());
    EXPECT_EQ(none.details, std::vector<std::string>{
        "The axis sent nothing. Move it once, then leave it alone and run the test again."});

    // An empty or inverted range makes shares plain counts.
    auto inverted = AxisNoiseAnalysis::analyze({3, 5}, 10, 10, std::nullopt, std::nullopt);
    EXPECT_DOUBLE_EQ(inverted->jitterShare, 2);

    // Readings at both ends of a full 32-bit range do not overflow the jitter.
    auto extreme = AxisNoiseAnalysis::analyze({INT_MIN, INT_MAX}, INT_MIN, INT_MAX, std::nullopt, std::nullopt);
    EXPECT_EQ(extreme->jitter, 4294967295LL);
    EXPECT_DOUBLE_EQ(extreme->jitterShare, 1.0);
}

TEST(ReportRateResult, ResultFromReportTimes) {
    std::vector<double> times;
    for (int i = 0; i <= 250; ++i) times.push_back(i * 0.004);
    times.push_back(1.3); // one gap of 0.3 s
    auto result = ReportRateAnalysis::result(times, "Left stick", ValueSource::raw, someDate);
    EXPECT_EQ(result.kind, TestKind::reportRate);
    EXPECT_EQ(result.source, ValueSource::raw);
    // The rate is judged by nothing: the gap that fails it is named beside it.
    EXPECT_EQ(result.headline, "250 Hz, longest gap 300 ms");
    EXPECT_EQ(result.details, std::vector<std::string>{"252 reports, 4 ms apart (median)."});
    EXPECT_EQ(result.verdict, Verdict::fail); // a 300 ms gap
    EXPECT_NEAR(result.measure("gap")->value, 300, 1e-6);

    times.pop_back();
    times.push_back(1.15);
    EXPECT_EQ(ReportRateAnalysis::result(times, "", ValueSource::raw, someDate).verdict, Verdict::warn);

    std::vector<double> slow{0, 0.0025, 0.005};
    EXPECT_EQ(ReportRateAnalysis::result(slow, "", ValueSource::processed, someDate).details[0],
              "3 reports, 2.5 ms apart (median).");
}

TEST(ReportRateResult, TooFewReports) {
    for (const auto& times : {std::vector<double>{}, std::vector<double>{1}, std::vector<double>{2, 2}}) {
        auto result = ReportRateAnalysis::result(times, "", ValueSource::raw, someDate);
        EXPECT_EQ(result.verdict, Verdict::warn);
        EXPECT_EQ(result.headline, "too few reports");
        EXPECT_TRUE(result.measures.empty());
        EXPECT_EQ(result.details, std::vector<std::string>{"Keep moving a stick while it measures."});
    }
}
