#include "testkit/DeadzoneAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

using namespace RorozErurEvo;

namespace {

// Still at (x, y) for a second, readings every 10 ms from t = 0 to t = 1, then one at `t`.
std::vector<StickSample> restThen(double x, double y, double t, double laterX) {
    std::vector<StickSample> samples;
    for (int i = 0; i <= 100; ++i)
        samples.push_back(StickSample{i * 0.01, x, y, std::nullopt});
    samples.push_back(StickSample{t, laterX, y, std::nullopt});
    return samples;
}

TestResult judge(std::optional<double> travel, ValueSource source, bool paired) {
    return DeadzoneAnalysis::result(travel, "Left stick", source, paired, Thresholds{},
                                    Dates::fromSeconds(1'800'000'000));
}

} // namespace

TEST(DeadzoneFromPush, TravelIsTheFirstReadingBeyondTheRestingNoise) {
    EXPECT_FALSE(DeadzoneAnalysis::fromPush(restThen(0, 0, 1.5, 0.003), 1.0));
    EXPECT_EQ(DeadzoneAnalysis::fromPush(restThen(0, 0, 1.5, 0.005), 1.0), 0.005);
    EXPECT_NEAR(DeadzoneAnalysis::fromPush(restThen(0.02, 0, 1.5, 0.03), 1.0).value_or(0), 0.01, 1e-15);
    // A reading at exactly the end of the rest period joins the rest; it is never the answer.
    EXPECT_FALSE(DeadzoneAnalysis::fromPush(restThen(0, 0, 1.0, 0.5), 1.0));

    // Distances 0.001, 0.001, 0.005, 0.005 from the rest point: a standard deviation of 0.002
    // raises the threshold to 0.008.
    std::vector<StickSample> noisy{{0, 0.001, 0, std::nullopt},
                                   {0.25, -0.001, 0, std::nullopt},
                                   {0.5, 0.005, 0, std::nullopt},
                                   {0.75, -0.005, 0, std::nullopt},
                                   {1.0, 0.0079, 0, std::nullopt}};
    EXPECT_FALSE(DeadzoneAnalysis::fromPush(noisy, 0.75));
    noisy.back().x = 0.0081;
    EXPECT_EQ(DeadzoneAnalysis::fromPush(noisy, 0.75), 0.0081);
}

TEST(DeadzoneFromPush, OrderDoesNotMatterAndBrokenReadingsAreSkipped) {
    auto shuffled = restThen(0, 0, 1.5, 0.005);
    std::reverse(shuffled.begin(), shuffled.end());
    shuffled.push_back(StickSample{std::numeric_limits<double>::quiet_NaN(), 0.9, 0, std::nullopt});
    shuffled.push_back(StickSample{1.2, std::numeric_limits<double>::infinity(), 0, std::nullopt});
    EXPECT_EQ(DeadzoneAnalysis::fromPush(shuffled, 1.0), 0.005);
    EXPECT_FALSE(DeadzoneAnalysis::fromPush({}, 1.0));
}

TEST(DeadzoneFromPaired, RawTravelWhenTheProcessedValueFirstMoves) {
    std::vector<StickSample> raw;
    for (int i = 0; i <= 100; ++i)
        raw.push_back(StickSample{i * 0.01, 0.001 * i, 0, std::nullopt});
    std::vector<StickSample> processed{{0, 0, 0, std::nullopt},
                                       {0.3, 0.002, 0, std::nullopt}, // exactly 0.002: not yet a change
                                       {0.505, 0.0021, 0, std::nullopt},
                                       {0.8, 0.3, 0, std::nullopt}};
    EXPECT_NEAR(DeadzoneAnalysis::fromPaired(raw, processed).value_or(0), 0.05, 1e-12); // raw held at 0.5
    std::vector<StickSample> late(raw.begin() + 60, raw.end());
    EXPECT_FALSE(DeadzoneAnalysis::fromPaired(late, processed));
    EXPECT_FALSE(DeadzoneAnalysis::fromPaired(
        raw, std::vector<StickSample>(processed.begin(), processed.begin() + 2)));
    EXPECT_FALSE(DeadzoneAnalysis::fromPaired({}, processed));
}

TEST(DeadzoneFromPaired, MeasuresFromTheStickAtRestNotFromWhereItWasLeft) {
    // The stick is still out near the rim when the test starts, is let go, rests, and is then
    // pushed: the raw value moves 0.01 every 10 ms from 1.5 s, the processed one once the raw
    // value is 0.05 out.
    std::vector<StickSample> raw{{0, 0.95, 0.01, std::nullopt}, {0.1, 0.001, 0, std::nullopt}};
    std::vector<StickSample> processed{{0, 0.9, 0, std::nullopt}, {0.1, 0, 0, std::nullopt}};
    for (int i = 1; i <= 20; ++i) {
        const double t = 1.5 + i * 0.01, x = 0.001 + 0.01 * i;
        raw.push_back({t, x, 0, std::nullopt});
        if (x > 0.05) processed.push_back({t, (x - 0.05) / 0.95, 0, std::nullopt});
    }
    EXPECT_NEAR(DeadzoneAnalysis::fromPaired(raw, processed, 1.0).value_or(0), 0.06, 1e-12);
    // Measured from the first readings, the return to rest reads as a travel across the stick.
    EXPECT_GT(DeadzoneAnalysis::fromPaired(raw, processed).value_or(0), 0.9);
    // A move during the rest period is the stick settling, not the push.
    EXPECT_FALSE(DeadzoneAnalysis::fromPaired(raw, std::vector<StickSample>(processed.begin(), processed.begin() + 2), 1.0));
}

TEST(DeadzoneResult, VerdictAndDetailsFollowHowTheTravelWasMeasured) {
    auto paired = judge(0.05, ValueSource::processed, true);
    EXPECT_EQ(paired.verdict, Verdict::pass);
    EXPECT_EQ(paired.headline, "deadzone 5%");
    EXPECT_EQ(paired.details,
              std::vector<std::string>{"Measured on raw HID travel against the processed value."});
    auto processed = judge(0.15, ValueSource::processed, false);
    EXPECT_EQ(processed.verdict, Verdict::warn);
    EXPECT_EQ(processed.details,
              (std::vector<std::string>{
                  "The first reading off center after a slow push.",
                  "The system rescales after its own deadzone, so this can read low; with raw "
                  "HID available the app measures both together."}));
    auto raw = judge(0.25, ValueSource::raw, false);
    EXPECT_EQ(raw.verdict, Verdict::fail);
    EXPECT_EQ(raw.details, std::vector<std::string>{"The first reading off center after a slow push."});
    EXPECT_EQ(judge(0.1, ValueSource::raw, false).verdict, Verdict::pass); // the bound itself passes

    for (auto travel :
         {std::optional<double>{}, std::optional<double>{std::numeric_limits<double>::infinity()}}) {
        auto result = judge(travel, ValueSource::processed, false);
        EXPECT_EQ(result.verdict, Verdict::warn);
        EXPECT_EQ(result.headline, "no movement seen");
        EXPECT_TRUE(result.measures.empty());
        EXPECT_EQ(result.details,
                  std::vector<std::string>{
                      "Leave the stick alone for a moment, then push it very slowly toward the edge."});
    }
}
