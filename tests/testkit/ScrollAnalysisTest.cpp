#include "testkit/ScrollAnalysis.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

namespace {
// Steps at a steady 0.05 s pace from t0, one per delta.
std::vector<ScrollEvent> steps(double t0, std::vector<double> deltas) {
    std::vector<ScrollEvent> out;
    for (double delta : deltas) {
        out.push_back({t0, delta});
        t0 += 0.05;
    }
    return out;
}
} // namespace

TEST(ScrollAnalysis, CountsStepsAgainstTheMainDirectionOfLongRuns) {
    EXPECT_EQ(ScrollAnalysis::analyze(steps(0, {1, 1, 1, 1, 1, -1}), 0.3), (ScrollReport{5, 1, 1, 1}));
    EXPECT_EQ(ScrollAnalysis::analyze(steps(0, {1, -1, 1, -1, 1, -1}), 0.3), (ScrollReport{3, 3, 3, 1}));
    // A run of two never reverses.
    EXPECT_EQ(ScrollAnalysis::analyze(steps(0, {1, -1}), 0.3), (ScrollReport{1, 1, 0, 1}));
    // Zero deltas count nowhere, not even as a run.
    EXPECT_EQ(ScrollAnalysis::analyze(steps(0, {0, 0}), 0.3), (ScrollReport{}));
    EXPECT_EQ(ScrollAnalysis::analyze({}, 0.3), (ScrollReport{}));
}

TEST(ScrollAnalysis, PausesLongerThanTheGapSplitRuns) {
    // 0.3 s apart keeps one run (two up and one down reverse once); 0.31 s apart makes three
    // runs too short to reverse.
    std::vector<ScrollEvent> together{{0.0, 1}, {0.3, 1}, {0.6, -1}};
    EXPECT_EQ(ScrollAnalysis::analyze(together, 0.3), (ScrollReport{2, 1, 1, 1}));
    std::vector<ScrollEvent> apart{{0.0, 1}, {0.31, 1}, {0.62, -1}};
    EXPECT_EQ(ScrollAnalysis::analyze(apart, 0.3), (ScrollReport{2, 1, 0, 3}));

    // Each run is judged on its own: up-up-down, pause, down-down-up.
    auto two = steps(0, {1, 1, -1});
    auto second = steps(5, {-3, -2, 2});
    two.insert(two.end(), second.begin(), second.end());
    EXPECT_EQ(ScrollAnalysis::analyze(two, 0.3), (ScrollReport{3, 3, 2, 2}));
}

TEST(ScrollAnalysis, OrderOfTheRecordDoesNotMatter) {
    auto sorted = steps(0, {1, 1, 1, -1, 1});
    sorted.push_back({2.0, -1});
    std::vector<ScrollEvent> shuffled{sorted[5], sorted[3], sorted[0], sorted[4], sorted[2], sorted[1]};
    EXPECT_EQ(ScrollAnalysis::analyze(shuffled, 0.3), ScrollAnalysis::analyze(sorted, 0.3));
    EXPECT_EQ(ScrollAnalysis::analyze(sorted, 0.3), (ScrollReport{4, 2, 1, 2}));
}

TEST(ScrollAnalysis, EventJsonUsesFieldNames) {
    ScrollEvent event{1.25, -2};
    EXPECT_EQ(event.toJson(), (json{{"t", 1.25}, {"delta", -2.0}}));
    EXPECT_EQ(ScrollEvent::fromJson(event.toJson()), event);
    EXPECT_THROW(ScrollEvent::fromJson(json{{"t", 1.0}}), DecodeError);
}
