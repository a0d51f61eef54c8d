#include "testkit/SkipSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using namespace RorozErurEvo;

namespace {

// The plain form of the search: one flag per bin, scanned upward. Only usable for sane spans.
std::vector<ClosedRange> denseSearch(double base, double top, const std::vector<double>& positions) {
    std::vector<ClosedRange> found;
    if (!(top - base > 0.04)) return found;
    const auto lastBin = static_cast<long>(std::floor((top - base) / 0.02));
    std::vector<bool> visited(static_cast<size_t>(lastBin) + 1, false);
    for (double p : positions) {
        const auto bin = std::clamp(static_cast<long>(std::trunc((p - base) / 0.02)), 0L, lastBin);
        visited[static_cast<size_t>(bin)] = true;
    }
    long k = 0;
    while (k <= lastBin) {
        if (visited[static_cast<size_t>(k)]) { ++k; continue; }
        long end = k;
        while (end <= lastBin && !visited[static_cast<size_t>(end)]) ++end;
        if (end - k >= 2) found.push_back({base + static_cast<double>(k) * 0.02, base + static_cast<double>(end) * 0.02});
        k = end;
    }
    return found;
}

} // namespace

TEST(SkipSearch, OneEmptyBinIsNoStretchButTwoAre) {
    // Bins of 0.02 from 0 to 0.2 (bins 0…10): 0.05 lies in bin 2, 0.11 in bin 5.
    EXPECT_TRUE(SkipSearch::stretches(0, 0.2, {0.0, 0.03, 0.05, 0.07, 0.09, 0.11, 0.13, 0.15, 0.17, 0.19, 0.2}).empty());
    auto one = SkipSearch::stretches(0, 0.2, {0.0, 0.03, 0.09, 0.11, 0.13, 0.15, 0.17, 0.19, 0.2});
    ASSERT_EQ(one.size(), 1u); // bins 2 and 3 unvisited; bin 1 holds 0.03
    EXPECT_NEAR(one[0].lower, 0.04, 1e-12);
    EXPECT_NEAR(one[0].upper, 0.08, 1e-12);
    EXPECT_TRUE(SkipSearch::stretches(0, 0.2, {0.0, 0.03, 0.07, 0.09, 0.11, 0.13, 0.15, 0.17, 0.19, 0.2}).empty());
}

TEST(SkipSearch, ShortSpansAndUnvisitedEndsFollowTheBinRule) {
    EXPECT_TRUE(SkipSearch::stretches(0, 0.04, {}).empty()); // exactly 0.04: too short
    EXPECT_TRUE(SkipSearch::stretches(0.5, 0.1, {}).empty());
    // Nothing visited: the whole span up to the end of the last bin is one stretch.
    auto all = SkipSearch::stretches(0, 0.1, {});
    ASSERT_EQ(all.size(), 1u);
    EXPECT_DOUBLE_EQ(all[0].lower, 0);
    EXPECT_NEAR(all[0].upper, 0.12, 1e-12);
    // Positions outside the span clamp into the end bins; a run before the first and after the
    // last visited bin both count, in ascending order.
    auto ends = SkipSearch::stretches(0, 0.2, {-5.0, 0.1, 7.0});
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_NEAR(ends[0].lower, 0.02, 1e-12);
    EXPECT_NEAR(ends[0].upper, 0.1, 1e-12);
    EXPECT_NEAR(ends[1].lower, 0.12, 1e-12);
    EXPECT_NEAR(ends[1].upper, 0.2, 1e-12);
}

TEST(SkipSearch, MatchesTheOneFlagPerBinSearchExactly) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(-0.1, 1.1);
    for (int round = 0; round < 500; ++round) {
        double base = unit(random) * 0.3;
        double top = base + unit(random);
        std::vector<double> positions(static_cast<size_t>(random() % 60));
        for (double& p : positions) p = unit(random);
        ASSERT_EQ(SkipSearch::stretches(base, top, positions), denseSearch(base, top, positions)) << "round " << round;
    }
}

TEST(SkipSearch, HugeOrBrokenValuesNeitherAllocateBinsNorCrash) {
    // A span of 1e15 travel units would be 5e16 bins; the search stays with the positions seen.
    auto wide = SkipSearch::stretches(0, 1e15, {0.0, 0.01, 1e15});
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_NEAR(wide[0].lower, 0.02, 1e-12);
    auto nan = std::numeric_limits<double>::quiet_NaN();
    auto inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(SkipSearch::stretches(nan, 1, {0.5}).empty());
    EXPECT_TRUE(SkipSearch::stretches(0, inf, {0.5}).empty());
    EXPECT_TRUE(SkipSearch::stretches(-1e308, 1e308, {0.5}).empty());
    auto skipsNan = SkipSearch::stretches(0, 0.1, {nan, 0.0, 0.1});
    ASSERT_EQ(skipsNan.size(), 1u);
    EXPECT_NEAR(skipsNan[0].lower, 0.02, 1e-12);
    EXPECT_NEAR(skipsNan[0].upper, 0.1, 1e-12);
}
