// A guided test ended by Done or by its time limit before its own completion rule was met says so
// in its headline and its listing phrase, and never passes: a pass warns and says how far it got,
// a verdict of its own stands. A run that met its rule keeps its verdict and its headline.
#include "ModelFakes.h"
#include "RunnerFakes.h"

#include <gtest/gtest.h>

#include "app/model/TestRunner.h"
#include "testkit/EndedEarly.h"
#include "testkit/ListingText.h"

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
    DemoScenario scenario;
    TestKind kind;
    const char* element;
    double doneAt;         // seconds into the demo's script
    Verdict verdict;       // a pass turned into a warning, or the result's own warning or failure
    const char* headline;
    const char* listing;   // the session's listing text with this result alone
};

std::string listingOf(const TestResult& result) {
    TestSession session;
    session.results = {result};
    return ListingSummary::text(session, "Tessarine");
}

} // namespace

// Each tick-driven test of the demo, ended with part of what it asks for still to come, says so
// in its headline and in its listing phrase: a healthy pad's pass becomes a warning that says how
// far it got; a verdict of its own (a drifting stick, a stick short of the edge, buttons or
// directions missed) stands with the early end added. None passes.
TEST(EndedEarly, EveryTickDrivenTestSaysItEndedEarly) {
    constexpr auto H = DemoScenario::healthy, D = DemoScenario::drift;
    constexpr auto warn = Verdict::warn, fail = Verdict::fail;
    const Early cases[] = {
        {H, TestKind::drift, "Left stick", 4.0, warn, "2 of 5 s measured: ended early",
         "left stick drift 0% (ended early)"},
        {H, TestKind::circularity, "Left stick", 2.5, warn, "1.3 of 3 turns: ended early",
         "left stick 2.8% circularity (ended early)"},
        {H, TestKind::snapback, "Left stick", 1.2, warn, "1 release, 1 of 8 directions: ended early",
         "left stick returns 0% off center (ended early)"},
        {H, TestKind::deadzone, "Left stick", 2.4, warn, "pushed 23% of the way to the edge: ended early",
         "left stick deadzone 4.7% (ended early)"},
        {H, TestKind::trigger, "Left trigger", 1.2, fail, "reaches 20.8%, ended early",
         "left trigger reaches 20.8%, ended early"},
        {H, TestKind::buttons, "", 1.5, fail, "6 of 15 buttons registered, no chatter, ended early",
         "6 of 15 buttons registered, no chatter, ended early"},
        {H, TestKind::hold, "", 2.0, warn, "still held after 1.6 s: ended early", "still held after 1.6 s: ended early"},
        {H, TestKind::dpad, "D-pad", 1.0, fail, "3 of 8 directions, ended early", "d-pad 3 of 8 directions, ended early"},
        {H, TestKind::motion, "", 5.0, warn, "turned for 1.8 of 4.5 s: ended early",
         "motion sensors need a look (ended early)"},
        {H, TestKind::touchpad, "", 1.0, warn, "2 fingers, 53.1% of the surface, ended early",
         "touchpad 2 fingers, 53.1% of the surface, ended early"},
        {D, TestKind::drift, "Left stick", 3.5, warn, "drift 7.9%, ended early", "left stick drift 7.9% (ended early)"},
        {D, TestKind::circularity, "Left stick", 3.0, fail, "6% circularity, 33.3% of directions short of the edge, ended early",
         "left stick 6% circularity (33.3% of directions short of the edge, ended early)"},
    };
    for (const auto& c : cases) {
        Fakes::Bench bench;
        bench.model->demo().start();
        bench.model->demo().setScenario(c.scenario);
        const GuidedTest test = find(*bench.demo(), c.kind, c.element);
        SCOPED_TRACE(test.id());
        const auto result = doneAfter(bench, bench.demo(), test, c.doneAt);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->verdict, c.verdict) << result->headline;
        EXPECT_EQ(result->headline, c.headline);
        EXPECT_EQ(listingOf(*result), std::string("Tested on Tessarine: ") + c.listing + ".");
        ASSERT_FALSE(result->details.empty());
        EXPECT_TRUE(result->details.front().starts_with("Ended before the test was complete ("));
        EXPECT_FALSE(result->measures.empty()) << "what it measured is still shown";
        if (c.kind == TestKind::hold) { // the measure beside the headline agrees with it
            EXPECT_EQ(format(MeasureUnit::seconds, result->measure("held")->value), "1.6 s");
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
// sweep or a pedal press ended half way is judged short by its own coverage and reach, and says
// it ended early.
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
    EXPECT_TRUE(half->headline.ends_with(", ended early")) << half->headline;

    const GuidedTest pedal{TestKind::pedal, "Wheel", Target::axis("ax", AxisRole::pedal), true};
    const auto pressed = endAt(pedal, 3, [](double t) { return t < 1.5 ? 0 : static_cast<int>((t - 1.5) * 300); });
    ASSERT_TRUE(pressed);
    EXPECT_NE(pressed->verdict, Verdict::pass) << pressed->headline;
    EXPECT_EQ(pressed->measure("reach")->verdict(), pressed->verdict) << "judged by its reach";
    EXPECT_TRUE(pressed->headline.ends_with(", ended early")) << pressed->headline;

    // A stick or throttle whose travel stops a little short of its logical range is finished when
    // the user says so: its coverage passes, and nothing was left unmeasured.
    for (const AxisRole role : {AxisRole::steering, AxisRole::throttle}) {
        const GuidedTest shortTravel{TestKind::axisSweep, "Wheel", Target::axis("ax", role), true};
        const auto most = endAt(shortTravel, 3, [](double t) { return 25 + std::min(950, static_cast<int>(t * 600)); });
        ASSERT_TRUE(most);
        EXPECT_EQ(most->verdict, Verdict::pass) << most->headline;
        EXPECT_FALSE(EndedEarly::marked(*most)) << most->headline;
    }

    // A throttle never ends by itself: covering its whole range is all it asks.
    const GuidedTest throttle{TestKind::axisSweep, "Wheel", Target::axis("ax", AxisRole::throttle), true};
    const auto swept = endAt(throttle, 46, [](double t) { return std::min(1000, static_cast<int>(t * 400)); });
    ASSERT_TRUE(swept);
    EXPECT_EQ(swept->verdict, Verdict::pass) << swept->headline;
    EXPECT_FALSE(EndedEarly::marked(*swept));
}
