#include "testkit/EndedEarly.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

namespace {

TestResult judged(std::optional<Verdict> verdict, std::vector<Measure> measures) {
    return TestResult(TestKind::snapback, "Left stick", ValueSource::processed, verdict, "returns to center (worst 0%)",
                      std::move(measures), {"→ Right: back within 0% of center in 30 ms"});
}

const Measure releases{"releases", "Releases", 1, MeasureUnit::count, std::nullopt};

} // namespace

// A pass on part of the run warns and says how far it got; a warning or failure keeps the verdict
// and the headline that name what was measured, and adds that it ended early; both lead their
// details with how far it got, which is how a saved result is known to have ended early.
TEST(EndedEarly, APassWarnsAndAVerdictOfItsOwnStands) {
    const auto passed = EndedEarly::mark(judged(std::nullopt, {releases}), "1 release, 1 of 8 directions");
    EXPECT_EQ(passed.verdict, Verdict::warn);
    EXPECT_EQ(passed.headline, "1 release, 1 of 8 directions: ended early");
    EXPECT_EQ(passed.measures, std::vector<Measure>{releases});
    ASSERT_EQ(passed.details.size(), 2u);
    EXPECT_EQ(passed.details[0], "Ended before the test was complete (1 release, 1 of 8 directions); the measures "
                                 "cover only what was recorded.");

    for (const Verdict own : {Verdict::warn, Verdict::fail}) {
        const auto kept = EndedEarly::mark(judged(own, {releases}), "3 releases, 2 of 8 directions");
        EXPECT_EQ(kept.verdict, own);
        EXPECT_EQ(kept.headline, "returns to center (worst 0%), ended early");
        EXPECT_EQ(kept.details.size(), 2u);
        EXPECT_TRUE(EndedEarly::marked(kept));
    }
    EXPECT_TRUE(EndedEarly::marked(passed));
    EXPECT_FALSE(EndedEarly::marked(judged(std::nullopt, {releases})));

    // Nothing usable seen: the result already says so.
    const TestResult nothing(TestKind::snapback, "Left stick", ValueSource::processed, Verdict::warn, "no releases seen",
                             {}, {"Push the stick all the way to the edge and let go."});
    EXPECT_EQ(EndedEarly::mark(nothing, "0 releases, 0 of 8 directions"), nothing);
}

// A saved result is known to have ended early by its first detail line, and only a result that
// does not pass carries it: a passing result whose first detail merely starts with the same words
// is not taken for one, so its listing never says "ended early" beside a Pass.
TEST(EndedEarly, APassIsNeverTakenForARunEndedEarly) {
    TestResult saved = judged(std::nullopt, {releases});
    saved.details.insert(saved.details.begin(), "Ended before the test was complete (by the user's choice).");
    EXPECT_FALSE(EndedEarly::marked(saved));
    saved.verdict = Verdict::warn;
    EXPECT_TRUE(EndedEarly::marked(saved)) << "a saved warning with that line is one";
}
