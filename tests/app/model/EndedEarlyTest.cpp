// A guided test ended by Done or by its time limit before its own completion rule was met passes
// only where its result's measures judge what is missing; otherwise it warns and says how far it
// got. A run that met its rule keeps its verdict.
#include "ModelFakes.h"
#include "RunnerFakes.h"

#include <gtest/gtest.h>

#include "app/model/TestRunner.h"

using namespace Tessarine;
using namespace RorozErurEvo;
using Target = GuidedTest::Target;

namespace {

// Plays the demo's script for `test` as the application does and presses Done `seconds` in.
std::optional<TestResult> doneAfter(Fakes::Bench& bench, const std::shared_ptr<InputDevice>& device,
                                    const GuidedTest& test, double seconds) {
    auto& runner = bench.model->runner(device);
    runner.start(test);
    const double start = bench.clock.now();
    while (runner.active() && bench.clock.now() - start < seconds) {
        bench.clock.advance(1.0 / 60);
        bench.model->demo().tick();
        bench.model->tick(bench.clock.now());
    }
    EXPECT_TRUE(runner.active()) << test.id() << ": ended by itself before Done";
    runner.done(bench.clock.now());
    return runner.result(test);
}

GuidedTest find(const InputDevice& device, TestKind kind, const std::string& element = {}) {
    for (const auto& test : GuidedTests::allTests(device))
        if (test.kind == kind && (element.empty() || test.element == element)) return test;
    ADD_FAILURE() << "no such test";
    return {};
}

struct Early {
    TestKind kind;
    const char* element;
    double doneAt;        // seconds into the demo's script
    const char* headline; // what the ended run says; empty: its own measures' headline
};

} // namespace

// Each of the healthy demo's tests, ended early with part of what it asks for still to come:
// none of them passes. Those whose measures judge the missing part keep the analysis' own
// headline; the others say how far they got.
TEST(EndedEarly, NoDemoTestPassesOnWhatItNeverMeasured) {
    const Early cases[] = {
        {TestKind::drift, "Left stick", 4.0, "2 of 5 s measured: ended early"},
        {TestKind::circularity, "Left stick", 2.5, "1.3 of 3 turns: ended early"},
        {TestKind::snapback, "Left stick", 1.2, "1 release, 1 of 8 directions: ended early"},
        {TestKind::deadzone, "Left stick", 2.4, "pushed 23% of the way to the edge: ended early"},
        {TestKind::hold, "", 2.0, "still held after 1.6 s: ended early"},
        // Judged by their own measures: a trigger still pulled, buttons and directions missed,
        // a touchpad barely covered.
        {TestKind::trigger, "Left trigger", 1.2, ""},
        {TestKind::buttons, "", 1.5, ""},
        {TestKind::dpad, "D-pad", 1.0, ""},
        {TestKind::touchpad, "", 1.0, ""},
    };
    for (const auto& c : cases) {
        Fakes::Bench bench;
        bench.model->demo().start();
        const GuidedTest test = find(*bench.demo(), c.kind, c.element);
        SCOPED_TRACE(test.id());
        const auto result = doneAfter(bench, bench.demo(), test, c.doneAt);
        ASSERT_TRUE(result);
        EXPECT_NE(result->verdict, Verdict::pass) << result->headline;
        if (*c.headline) {
            EXPECT_EQ(result->verdict, Verdict::warn);
            EXPECT_EQ(result->headline, c.headline);
            ASSERT_FALSE(result->details.empty());
            EXPECT_TRUE(result->details.front().starts_with("Ended before the test was complete ("));
            EXPECT_FALSE(result->measures.empty()) << "what it measured is still shown";
        }
    }
}

// The time limit ends a run short of its rule the same way as Done.
TEST(EndedEarly, TheTimeLimitEndsARunShortOfItsRuleWithAWarning) {
    Fakes::Bench bench;
    auto pad = Fakes::controller(std::make_shared<Fakes::RecordingOutputs>());
    auto& runner = bench.model->runner(pad);
    const GuidedTest snapback{TestKind::snapback, "Left stick", Target::stick("ls"), false};
    runner.start(snapback);
    const double t0 = bench.clock.now();
    // One push to the right, let go cleanly, then the stick rests for the rest of the minute.
    pad->buffer().recordStick("ls", 0.95, 0, std::nullopt, t0 + 0.5);
    pad->buffer().recordStick("ls", 0.0, 0, std::nullopt, t0 + 0.55);
    for (double t = 0; t <= 61; t += 0.5) {
        bench.clock.set(t0 + t);
        runner.tick(bench.clock.now());
    }
    ASSERT_FALSE(runner.active());
    const auto result = runner.result(snapback);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->verdict, Verdict::warn);
    EXPECT_EQ(result->headline, "1 release, 1 of 8 directions: ended early");
    EXPECT_EQ(result->measure("worst")->verdict(), Verdict::pass) << "the one release itself came back";
}

// A hold that lasted as asked passes even when Done comes before the wait for quiet after the
// release: that wait only lets the test end by itself. One let go too soon says how long it was.
TEST(EndedEarly, AHoldIsJudgedOnHowLongItLastedNotOnTheQuietAfter) {
    Fakes::Bench bench;
    auto pad = Fakes::controller(std::make_shared<Fakes::RecordingOutputs>());
    auto& runner = bench.model->runner(pad);
    const GuidedTest hold{TestKind::hold, "", Target::buttons({{"a", "A"}}), false};
    for (const double released : {3.0, 1.4}) {
        runner.start(hold);
        const double t0 = bench.clock.now();
        pad->buffer().recordButton("a", true, t0 + 0.2);
        pad->buffer().recordButton("a", false, t0 + released);
        bench.clock.set(t0 + released + 0.1);
        runner.tick(bench.clock.now());
        ASSERT_TRUE(runner.active());
        runner.done(bench.clock.now());
        const auto result = runner.result(hold);
        ASSERT_TRUE(result);
        if (released == 3.0) {
            EXPECT_EQ(result->verdict, Verdict::pass) << result->headline;
            EXPECT_EQ(result->headline, "A holds steady");
        } else {
            EXPECT_EQ(result->verdict, Verdict::warn);
            EXPECT_EQ(result->headline, "held 1.2 of 2.5 s: ended early");
        }
        bench.clock.advance(1);
    }
}

// An axis centred for part of its measuring time warns; measured for all of it, it passes. A
// sweep or a pedal press ended half way is judged short by its own coverage and reach.
TEST(EndedEarly, AxisTestsEndedShortOfTheirRuleNeverPass) {
    Fakes::Bench bench;
    auto axis = Fakes::element("ax", ElementInfo::Kind::axis, ElementInfo::Role::other, "Wheel");
    axis.page = 1;
    axis.logicalMin = 0;
    axis.logicalMax = 1000;
    auto wheel = std::make_shared<InputDevice>("hid-1", InputDevice::Kind::hid, DeviceInfo{}, std::vector<ElementInfo>{axis});
    auto& runner = bench.model->runner(wheel);
    auto endAt = [&](const GuidedTest& test, double end, auto value) {
        runner.start(test);
        const double t0 = bench.clock.now();
        for (double t = 0; t < end; t += 0.01) wheel->buffer().recordRaw("ax", value(t), t0 + t);
        bench.clock.set(t0 + end);
        runner.tick(bench.clock.now());
        if (runner.active()) runner.done(bench.clock.now());
        const auto result = runner.result(test);
        bench.clock.advance(1);
        return result;
    };

    const GuidedTest center{TestKind::axisCenter, "Wheel", Target::axis("ax", AxisRole::steering), true};
    const auto centred = [](double) { return 500; };
    const auto part = endAt(center, 4.5, centred);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->verdict, Verdict::warn);
    EXPECT_EQ(part->headline, "2.5 of 5 s measured: ended early");
    const auto whole = endAt(center, 7.1, centred);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->verdict, Verdict::pass) << whole->headline;

    const GuidedTest sweep{TestKind::axisSweep, "Wheel", Target::axis("ax", AxisRole::steering), true};
    const auto half = endAt(sweep, 3, [](double t) { return 500 + static_cast<int>(t * 80); });
    ASSERT_TRUE(half);
    EXPECT_NE(half->verdict, Verdict::pass) << half->headline;
    EXPECT_EQ(half->measure("coverage")->verdict(), half->verdict) << "judged by its coverage";

    const GuidedTest pedal{TestKind::pedal, "Wheel", Target::axis("ax", AxisRole::pedal), true};
    const auto pressed = endAt(pedal, 3, [](double t) { return t < 1.5 ? 0 : static_cast<int>((t - 1.5) * 300); });
    ASSERT_TRUE(pressed);
    EXPECT_NE(pressed->verdict, Verdict::pass) << pressed->headline;
    EXPECT_EQ(pressed->measure("reach")->verdict(), pressed->verdict) << "judged by its reach";
}
