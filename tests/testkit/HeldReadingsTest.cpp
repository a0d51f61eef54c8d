#include "testkit/HeldReadings.h"

#include <gtest/gtest.h>

#include <limits>

#include "testkit/DemoTraces.h"
#include "testkit/SnapbackAnalysis.h"

using namespace RorozErurEvo;

TEST(HeldReadings, PutsBackTheReadingHeldUntilTheNext) {
    const std::vector<StickSample> log{
        {1.0, 0.98, 0, RawPoint{250, 128}},
        {1.0005, 0.97, 0, std::nullopt}, // too close to the one before: nothing to put back
        {1.3, 0.5, 0, std::nullopt},
        {std::numeric_limits<double>::quiet_NaN(), 0, 0, std::nullopt},
        {1.2, 0.9, 0, std::nullopt}, // out of order
    };
    const auto out = HeldReadings::restore(log);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[0], log[0]);
    EXPECT_EQ(out[1], log[1]);
    EXPECT_EQ(out[2], (StickSample{1.2 - HeldReadings::lead, 0.97, 0, std::nullopt}));
    EXPECT_EQ(out[3], log[4]);
    EXPECT_DOUBLE_EQ(out[4].t, 1.3 - HeldReadings::lead);
    EXPECT_EQ(out[4].x, 0.9);
    EXPECT_EQ(out[5], log[2]);
    EXPECT_TRUE(HeldReadings::restore(std::vector<StickSample>{}).empty());
}

// A capture log keeps only changes: a push held still against the rim leaves one reading.
// With the held readings put back, every release is seen again.
TEST(HeldReadings, ReleasesAfterAHeldPushAreSeen) {
    const auto trace = DemoTraces::releases({Direction8::right, Direction8::up, Direction8::left}, {}, 125, 25, 0,
                                            std::nullopt);
    std::vector<StickSample> changes;
    for (const auto& s : trace)
        if (changes.empty() || changes.back().x != s.x || changes.back().y != s.y) changes.push_back(s);
    const double end = trace.back().t;
    EXPECT_TRUE(SnapbackAnalysis::releases(changes, end).empty());
    const auto restored = HeldReadings::restore(changes);
    const auto found = SnapbackAnalysis::releases(restored, end);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[1].direction, Direction8::up);
    EXPECT_EQ(SnapbackAnalysis::releases(HeldReadings::restore(trace), end).size(), 3u);
}
