#include "testkit/VerdictReasons.h"

#include <gtest/gtest.h>

#include "testkit/EndedEarly.h"

using namespace RorozErurEvo;

namespace {

Measure limited(const char* id, double value, double warn, double fail) {
    return Measure{id, id, value, MeasureUnit::percent, Limit{warn, fail, Limit::Direction::above}};
}

Measure counted(const char* id, double value) {
    return Measure{id, "Wheel reversals", value, MeasureUnit::count, Limit{0, 2, Limit::Direction::above}};
}

} // namespace

// Only a verdict that the named measures do not reach themselves brings other names in: every
// measure judged at that verdict, in order, and nothing for a pass.
TEST(VerdictReasons, NamesTheMeasuresThatDecideAVerdictTheNamedOnesDoNot) {
    const auto error = limited("error", 0.058, 0.08, 0.15);
    const auto coverage = Measure{"coverage", "Directions reached", 0.8, MeasureUnit::percent,
                                  Limit{0.9, std::nullopt, Limit::Direction::below}};
    const auto shortOfEdge = limited("short", 0.319, 0.1, 0.3);
    const auto k = TestKind::circularity;

    EXPECT_EQ(VerdictReasons::headline("5.8% circularity", k, {error, coverage, shortOfEdge}, {"error"}),
              "5.8% circularity, 31.9% of directions short of the edge"); // the fail, not the warning
    EXPECT_EQ(VerdictReasons::headline("5.8% circularity", k, {error, coverage}, {"error"}),
              "5.8% circularity, only 80% of directions reached");
    EXPECT_EQ(VerdictReasons::headline("20% circularity", k, {limited("error", 0.2, 0.08, 0.15), shortOfEdge}, {"error"}),
              "20% circularity");
    EXPECT_EQ(VerdictReasons::headline("5.8% circularity", k, {error}, {"error"}), "5.8% circularity");
    EXPECT_TRUE(VerdictReasons::unnamed(k, {}, {}).empty());

    // Counts take their plural; a measure the table does not know reads as its label and value.
    EXPECT_EQ(VerdictReasons::phrase(TestKind::mouse, counted("reversals", 1)), "1 wheel reversal");
    EXPECT_EQ(VerdictReasons::phrase(TestKind::mouse, counted("reversals", 3)), "3 wheel reversals");
    EXPECT_EQ(VerdictReasons::phrase(TestKind::battery, counted("other", 3)), "wheel reversals 3");
}

// Words made from measures get what they leave out in parentheses; an early end is said once.
TEST(VerdictReasons, QualifiedWordsAddWhatDecidedAndAnEarlyEnd) {
    const std::vector<Measure> measures{limited("error", 0.058, 0.08, 0.15), limited("short", 0.319, 0.1, 0.3)};
    const TestResult failed(TestKind::circularity, "Left stick", ValueSource::processed, std::nullopt, "h",
                            measures, {});
    EXPECT_EQ(VerdictReasons::qualified("5.8% circularity", failed, {"error"}),
              "5.8% circularity (31.9% of directions short of the edge)");
    EXPECT_EQ(VerdictReasons::qualified("5.8% circularity", failed), "5.8% circularity");

    const TestResult early = EndedEarly::mark(failed, "1.6 of 3 turns");
    EXPECT_EQ(VerdictReasons::qualified("5.8% circularity", early, {"error"}),
              "5.8% circularity (31.9% of directions short of the edge, ended early)");
    EXPECT_EQ(VerdictReasons::qualified(early.headline, early), early.headline);

    // A saved verdict of pass is taken as it is: nothing to explain.
    TestResult kept = failed;
    kept.verdict = Verdict::pass;
    EXPECT_EQ(VerdictReasons::qualified("5.8% circularity", kept, {"error"}), "5.8% circularity");
}

// A saved file may hold a measure the table does not know with no label at all: it reads as its
// value, and the words made from it are still made.
TEST(VerdictReasons, AMeasureWithoutALabelReadsAsItsValue) {
    const Measure unlabelled{"other", "", 3, MeasureUnit::count, Limit{0, 2, Limit::Direction::above}};
    EXPECT_EQ(VerdictReasons::phrase(TestKind::drift, unlabelled), "3");
    const TestResult saved(TestKind::drift, "Left stick", ValueSource::processed, Verdict::fail, "drift 1%",
                           {limited("offset", 0.01, 0.04, 0.08), unlabelled}, {});
    EXPECT_EQ(VerdictReasons::qualified("drift 1%", saved, {"offset"}), "drift 1% (3)");
}
