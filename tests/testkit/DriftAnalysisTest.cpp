#include "testkit/DriftAnalysis.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

using namespace RorozErurEvo;

namespace {

std::vector<StickSample> at(double x, double y, int count) {
    std::vector<StickSample> samples;
    for (int i = 0; i < count; ++i)
        samples.push_back(StickSample{i * 0.01, x, y, std::nullopt});
    return samples;
}

TestResult judge(const std::vector<StickSample>& samples, ValueSource source = ValueSource::processed) {
    return DriftAnalysis::result(samples, "Left stick", source, Thresholds{},
                                 Dates::fromSeconds(1'800'000'000));
}

} // namespace

TEST(DriftAnalysis, RestingOffsetPassesWarnsAndFailsAgainstStrictBounds) {
    auto healthy = judge(at(0.006, -0.008, 500));
    EXPECT_EQ(healthy.verdict, Verdict::pass);
    EXPECT_EQ(healthy.headline, "no drift (1%)");
    EXPECT_EQ(healthy.details, std::vector<std::string>{"Rests at x +0.006, y -0.008 over 500 readings."});

    auto warned = judge(at(0.03, -0.04, 1)); // 0.05 from centre
    EXPECT_EQ(warned.verdict, Verdict::warn);
    EXPECT_EQ(warned.headline, "drift 5%");
    EXPECT_EQ(warned.measure("peak")->verdict(), Verdict::pass);

    auto failed = judge(at(0.09, 0, 10));
    EXPECT_EQ(failed.verdict, Verdict::fail);
    EXPECT_EQ(failed.headline, "drift 9%");
    EXPECT_EQ(failed.measure("peak")->verdict(), Verdict::warn); // the farthest reading only warns

    ASSERT_EQ(DriftAnalysis::analyze(at(0.04, 0, 3))->offset, 0.04);
    EXPECT_EQ(judge(at(0.04, 0, 3)).verdict, Verdict::pass);
}

TEST(DriftAnalysis, StrayReadingsAndNoiseWarnOnTheirOwn) {
    auto stray = at(0, 0, 99);
    stray.push_back(StickSample{1.0, 0.9, 0, std::nullopt});
    auto result = judge(stray);
    EXPECT_EQ(result.verdict, Verdict::warn);
    // The resting offset passes; the readings that warn are named beside it.
    EXPECT_EQ(result.headline, "no drift (0.9%), farthest reading 90% off center, noise 9% at rest");
    EXPECT_EQ(result.measure("peak")->verdict(), Verdict::warn);

    std::vector<StickSample> shaky; // alternating ±0.02: noise 0.02
    for (int i = 0; i < 100; ++i)
        shaky.push_back(StickSample{i * 0.01, i % 2 ? 0.02 : -0.02, 0, std::nullopt});
    EXPECT_NEAR(DriftAnalysis::analyze(shaky)->noise, 0.02, 1e-12);
    EXPECT_EQ(judge(shaky).measure("noise")->verdict(), Verdict::warn);
    EXPECT_EQ(judge(shaky).headline, "no drift (0%), noise 2% at rest");
}

TEST(DriftAnalysis, DetailsForCentredSmallAndRawReadings) {
    const std::string hidden = "Exactly centered: the system may be hiding small drift inside its deadzone. "
                               "Use raw HID values for an exact reading.";
    auto centred = judge(at(0, 0, 50));
    EXPECT_EQ(centred.headline, "no drift (0%)");
    EXPECT_EQ(centred.details.back(), hidden);
    EXPECT_EQ(judge(at(0, 0, 50), ValueSource::raw).details.size(), 1u);
    auto stray = at(0, 0, 50);
    stray.push_back(StickSample{2, 0.001, 0, std::nullopt});
    EXPECT_EQ(judge(stray).details.size(), 1u);

    // Means at or under 0.0005 carry no sign; the raw mean covers only readings with raw counts.
    auto samples = at(0.0004, 0.002, 1);
    samples.push_back(StickSample{0.1, 0.0004, 0.002, RawPoint{100, 200}});
    samples.push_back(StickSample{0.2, 0.0004, 0.002, RawPoint{301, 400}});
    EXPECT_EQ(judge(samples).details, (std::vector<std::string>{"Rests at x 0, y +0.002 over 3 readings.",
                                                                "Raw resting value: 200.5, 300."}));
}

TEST(DriftAnalysis, HugeRawCountsAverageWithoutOverflow) {
    const std::int64_t big = std::numeric_limits<std::int64_t>::max();
    std::vector<StickSample> samples{{0, 0, 0, RawPoint{big, -big}}, {0.01, 0, 0, RawPoint{big, -big}}};
    auto report = DriftAnalysis::analyze(samples);
    ASSERT_TRUE(report && report->rawMean);
    EXPECT_DOUBLE_EQ(report->rawMean->x, static_cast<double>(big));
    EXPECT_DOUBLE_EQ(report->rawMean->y, -static_cast<double>(big));
}

TEST(DriftAnalysis, NoUsableDataGivesTheNoDataWarning) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const auto& samples :
         {std::vector<StickSample>{}, std::vector<StickSample>{{0, nan, 0, std::nullopt}}}) {
        auto result = judge(samples);
        EXPECT_EQ(result.verdict, Verdict::warn);
        EXPECT_EQ(result.headline, "no data");
        EXPECT_TRUE(result.measures.empty());
        EXPECT_EQ(
            result.details,
            std::vector<std::string>{
                "Nothing was recorded. Check the controller is still connected, then run the test again."});
    }
    auto samples = at(0.01, 0, 4); // a broken reading among good ones is left out of every figure
    samples.push_back(StickSample{1, std::numeric_limits<double>::infinity(), 0, std::nullopt});
    EXPECT_EQ(DriftAnalysis::analyze(samples)->count, 4);
    EXPECT_NEAR(DriftAnalysis::analyze(samples)->maxOffset, 0.01, 1e-15);
}
