#include "testkit/HoldCheck.h"

#include <gtest/gtest.h>

#include "ButtonEventHelpers.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::ButtonLog;

namespace {

const InputName kA{"a", "A"};

TestResult hold(const std::vector<ButtonEvent>& events) {
    return HoldCheck::result(events, kA, TestKind::hold, "", ValueSource::processed, kResultDate);
}
} // namespace

TEST(HoldCheck, SteadyHoldsMeasureFromFirstPressToTheEnd) {
    // Released as the last event: no drop.
    EXPECT_EQ(HoldCheck::analyze({press("a", 1.0), release("a", 4.0)}, "a"), (HoldReport{0, 3.0, {}}));
    // Never released: the hold runs to the last event of the input, here the press itself.
    EXPECT_EQ(HoldCheck::analyze({press("a", 2.0), press("b", 3.0)}, "a"), (HoldReport{0, 0.0, {}}));
    // Repeated presses while held are not drops.
    EXPECT_EQ(HoldCheck::analyze({press("a", 1.0), press("a", 2.0), press("a", 2.5)}, "a"),
              (HoldReport{0, 1.5, {}}));
}

// A recording that ends with the button down was held until it ended, not let go at the press:
// the measure agrees with a test that says it was still held.
TEST(HoldCheck, AHoldStillDownRunsToTheEndOfTheRecording) {
    EXPECT_EQ(HoldCheck::analyze({press("a", 2.0), press("b", 3.0)}, "a", 3.5), (HoldReport{0, 1.5, {}}));
    const auto dropped = HoldCheck::analyze({press("a", 1.0), release("a", 2.0), press("a", 2.04)}, "a", 4.0);
    ASSERT_TRUE(dropped);
    EXPECT_EQ(dropped->drops, 1);
    EXPECT_DOUBLE_EQ(dropped->heldSeconds, 3.0);
    // Let go before the end: the release ends it; an end before the last event changes nothing.
    EXPECT_EQ(HoldCheck::analyze({press("a", 1.0), release("a", 2.0)}, "a", 5.0), (HoldReport{0, 1.0, {}}));
    EXPECT_EQ(HoldCheck::analyze({press("a", 1.0), press("a", 2.0)}, "a", 1.5), (HoldReport{0, 1.0, {}}));

    const auto held = HoldCheck::result({press("a", 0.5)}, kA, TestKind::hold, "", ValueSource::processed,
                                        kResultDate, 2.0);
    EXPECT_DOUBLE_EQ(held.measure("held")->value, 1.5);
    EXPECT_EQ(held.details, std::vector<std::string>{"Held A for 1.5 s."});
}

TEST(HoldCheck, ShortReleasesWhileHeldAreDrops) {
    auto report =
        HoldCheck::analyze({press("a", 1.0), release("a", 2.0), press("a", 2.04), release("a", 4.0)}, "a");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->drops, 1);
    ASSERT_EQ(report->gapsMs.size(), 1u);
    EXPECT_NEAR(report->gapsMs[0], 40, 1e-6);
    EXPECT_DOUBLE_EQ(report->heldSeconds, 3.0);

    // A second release before the next press moves the gap's start to the later release.
    auto twice =
        HoldCheck::analyze({press("a", 1.0), release("a", 2.0), release("a", 2.01), press("a", 2.02)}, "a");
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->drops, 1);
    EXPECT_NEAR(twice->gapsMs.at(0), 10, 1e-6);
    EXPECT_DOUBLE_EQ(twice->heldSeconds, 1.02);
}

TEST(HoldCheck, IgnoresOtherInputsAndReleasesBeforeThePress) {
    std::vector<ButtonEvent> events{release("a", 0.5), press("b", 0.9),  press("a", 1.0),
                                    release("b", 1.5), press("b", 1.51), release("a", 3.0)};
    EXPECT_EQ(HoldCheck::analyze(events, "a"), (HoldReport{0, 2.0, {}}));
    // Out of time order reads the same.
    std::vector<ButtonEvent> shuffled{events[5], events[2], events[0], events[4], events[1], events[3]};
    EXPECT_EQ(HoldCheck::analyze(shuffled, "a"), HoldCheck::analyze(events, "a"));
    // Only releases, or only other inputs: no report.
    EXPECT_FALSE(HoldCheck::analyze({release("a", 1.0), press("b", 2.0)}, "a"));
}

TEST(HoldCheck, ResultTexts) {
    TestResult steady = hold({press("a", 1.0), release("a", 4.04)});
    EXPECT_EQ(steady.verdict, Verdict::pass);
    EXPECT_EQ(steady.headline, "A holds steady");
    EXPECT_EQ(steady.details, std::vector<std::string>{"Held A for 3 s."});
    EXPECT_EQ(steady.measure("held")->unit, MeasureUnit::seconds);

    TestResult dropping = hold({press("a", 1.0), release("a", 2.0), press("a", 2.04), release("a", 2.5),
                                press("a", 2.5055), release("a", 4.3)});
    EXPECT_EQ(dropping.verdict, Verdict::fail);
    EXPECT_EQ(dropping.headline, "A drops out 2×");
    EXPECT_EQ(dropping.details,
              (std::vector<std::string>{"Held A for 3.3 s.", "Let go 2× while held (gaps 40 ms, 5.5 ms)."}));
    EXPECT_EQ(dropping.measure("drops")->value, 2);
    EXPECT_EQ(dropping.kind, TestKind::hold);
    EXPECT_EQ(dropping.date, kResultDate);
}

TEST(HoldCheck, NoPressWarnsAndAsksForOne) {
    for (const auto& events :
         {std::vector<ButtonEvent>{}, std::vector<ButtonEvent>{release("a", 1), press("b", 2)}}) {
        TestResult result = hold(events);
        EXPECT_EQ(result.verdict, Verdict::warn);
        EXPECT_EQ(result.headline, "no press seen");
        EXPECT_TRUE(result.measures.empty());
        EXPECT_EQ(result.details, std::vector<std::string>{"Press and hold one button for about 3 seconds."});
        EXPECT_EQ(result.kind, TestKind::hold);
    }
    // The kind is the caller's.
    EXPECT_EQ(HoldCheck::result({}, kA, TestKind::mouse, "Mouse", ValueSource::manual, kResultDate).kind,
              TestKind::mouse);
}
