#include "ModelFakes.h"
#include "RunnerFakes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/devices/ControllerCatalogue.h"
#include "app/model/GuidedTests.h"
#include "app/model/TestRunner.h"
#include "testkit/DemoTraces.h"

using namespace Tessarine;
using namespace RorozErurEvo;
using Target = GuidedTest::Target;

namespace {

// A raw wheel with one axis over 0 … 1000.
std::shared_ptr<InputDevice> wheel() {
    auto axis = Fakes::element("ax", ElementInfo::Kind::axis, ElementInfo::Role::other, "Wheel");
    axis.page = 1;
    axis.logicalMin = 0;
    axis.logicalMax = 1000;
    return std::make_shared<InputDevice>("hid-1", InputDevice::Kind::hid, DeviceInfo{}, std::vector<ElementInfo>{axis});
}

} // namespace

TEST(TestRunnerFinish, EndingEarlyGivesAResultNotACrash) {
    Fakes::Bench bench;
    auto& runner = bench.model->runner(bench.demo());
    const GuidedTest drift{TestKind::drift, "Left stick", Target::stick("Left Thumbstick"), false};
    runner.start(drift);
    bench.clock.advance(1.0);
    runner.tick(bench.clock.now());
    // Done during the settle phase: nothing measured yet.
    runner.finish(bench.clock.now());
    EXPECT_FALSE(runner.active());
    ASSERT_TRUE(runner.result(drift));
    EXPECT_EQ(runner.result(drift)->headline, "no data");
    EXPECT_EQ(bench.model->announcer().spoken().back(), "Left stick \u00B7 Drift at rest: Warn, no data");
    EXPECT_TRUE(bench.model->demo().looping());
    runner.finish(bench.clock.now()); // idle: nothing happens
    EXPECT_EQ(runner.results().size(), 1u);
}

// The user's Done before a timed test began to measure (the stick still being let go, the pad
// being set down) ends it without a result, and an earlier result stays as it was; once it
// measures, Done files what it measured.
TEST(TestRunnerFinish, DoneBeforeATimedTestMeasuresEndsItWithoutAResult) {
    Fakes::Bench bench;
    const auto demo = bench.demo();
    auto& runner = bench.model->runner(demo);
    const GuidedTest drift{TestKind::drift, "Left stick", Target::stick("Left Thumbstick"), false};
    const GuidedTest motion{TestKind::motion, "", Target::device(), false};
    for (const GuidedTest& test : {drift, motion}) {
        SCOPED_TRACE(test.id());
        const auto earlier = Fakes::play(bench, demo, test);
        ASSERT_TRUE(earlier);
        ASSERT_EQ(earlier->verdict, Verdict::pass);
        // Drift still settling at 1.9 s; motion still at rest at 3.1 s, before it is turned.
        const double early = test.kind == TestKind::drift ? 1.9 : 3.1;
        runner.start(test);
        const double start = bench.clock.now();
        while (bench.clock.now() - start < early) {
            bench.clock.advance(1.0 / 60);
            bench.model->demo().tick();
            bench.model->tick(bench.clock.now());
        }
        ASSERT_TRUE(runner.active());
        runner.done(bench.clock.now());
        EXPECT_FALSE(runner.active());
        EXPECT_EQ(runner.result(test), earlier);
        EXPECT_TRUE(runner.endedWithoutResult(test));
        EXPECT_EQ(bench.model->announcer().spoken().back().toStdString(), test.title() + ": ended without a new result.");
    }

    // Done while the drift is measured files what was measured.
    runner.start(drift);
    const double start = bench.clock.now();
    while (bench.clock.now() - start < 2.5) {
        bench.clock.advance(1.0 / 60);
        bench.model->demo().tick();
        bench.model->tick(bench.clock.now());
    }
    runner.done(bench.clock.now());
    EXPECT_FALSE(runner.active());
    EXPECT_FALSE(runner.endedWithoutResult(drift));
    ASSERT_TRUE(runner.result(drift));
    EXPECT_FALSE(runner.result(drift)->measures.empty());
}

TEST(TestRunnerFinish, KindsWithoutAnalysisAreNotRun) {
    Fakes::Bench bench;
    auto& runner = bench.model->runner(bench.demo());
    struct Row {
        GuidedTest test;
        ValueSource source;
    };
    const std::vector<Row> rows{
        {GuidedTest{TestKind::rumble, "", Target::device(), false}, ValueSource::manual},
        {GuidedTest{TestKind::soak, "", Target::device(), false}, ValueSource::processed},
        {GuidedTest{TestKind::axisNoise, "X", Target::device(), true}, ValueSource::raw},
        // A target that does not fit its kind.
        {GuidedTest{TestKind::circularity, "Left stick", Target::device(), false}, ValueSource::processed},
        // An axis the device does not have.
        {GuidedTest{TestKind::axisSweep, "Gone", Target::axis("gone", AxisRole::steering), true}, ValueSource::raw},
    };
    for (const auto& row : rows) {
        runner.start(row.test);
        runner.finish(bench.clock.now());
        const auto result = runner.result(row.test);
        ASSERT_TRUE(result) << row.test.id();
        EXPECT_EQ(result->verdict, Verdict::warn);
        EXPECT_EQ(result->headline, "not run");
        EXPECT_EQ(result->source, row.source);
        EXPECT_EQ(result->element, row.test.element);
        EXPECT_TRUE(result->measures.empty());
    }
}

TEST(TestRunnerFinish, AxisWindows) {
    Fakes::Bench bench;
    auto device = wheel();
    auto& runner = bench.model->runner(device);
    auto& buffer = device->buffer();

    // An empty window falls back on the tracker's current value.
    buffer.recordRaw("ax", 500, 99.0);
    const GuidedTest center{TestKind::axisCenter, "Wheel", Target::axis("ax", AxisRole::steering), true};
    runner.start(center);
    bench.clock.advance(7.5); // the settling and the whole measuring time
    runner.finish(bench.clock.now());
    const auto centred = runner.result(center);
    ASSERT_TRUE(centred);
    EXPECT_NE(centred->headline, "no readings");
    EXPECT_EQ(centred->verdict, Verdict::pass) << centred->headline;

    // A pedal with few pressing values judges its release on all of them.
    const GuidedTest pedal{TestKind::pedal, "Wheel", Target::axis("ax", AxisRole::pedal), true};
    bench.clock.set(200);
    buffer.recordRaw("ax", 0, 199.0);
    runner.start(pedal);
    EXPECT_EQ(runner.active()->initialRaw, 0);
    bench.clock.set(200.5);
    runner.tick(200.5);
    EXPECT_EQ(runner.active()->recordFrom, 201.5);
    buffer.recordRaw("ax", 990, 202.0);
    buffer.recordRaw("ax", 0, 202.5);
    bench.clock.set(203);
    runner.tick(203);
    EXPECT_FALSE(runner.active()); // pressed to 99 % and back
    const auto pressed = runner.result(pedal);
    ASSERT_TRUE(pressed);
    // A jump straight to the bottom is a dead spot; the press itself was seen.
    EXPECT_EQ(pressed->headline, "dead spot at 2–98%");
}

TEST(TestRunnerFinish, CircularityUsesTheGateInForceAtTheEnd) {
    Fakes::Bench bench;
    auto& runner = bench.model->runner(bench.demo());
    const GuidedTest test{TestKind::circularity, "Left stick", Target::stick("Left Thumbstick"), false};
    runner.start(test);
    for (const auto& s : DemoTraces::rotation(GateShape::round, 1.0, 1.0, 1.0, 120, 0, PlotPoint::zero, 1,
                                              bench.clock.now() + 0.1, std::nullopt))
        bench.demo()->buffer().recordStick("Left Thumbstick", s.x, s.y, std::nullopt, s.t);
    runner.setGate(test, GateShape::square);
    bench.clock.advance(1.5);
    runner.finish(bench.clock.now());
    ASSERT_TRUE(runner.result(test));
    ASSERT_TRUE(runner.result(test)->plot);
    EXPECT_EQ(runner.result(test)->plot->gate, GateShape::square);
}

TEST(TestRunnerFinish, HoldWithoutAPress) {
    Fakes::Bench bench;
    auto pad = Fakes::controller(std::make_shared<Fakes::RecordingOutputs>());
    auto& runner = bench.model->runner(pad);
    const GuidedTest hold{TestKind::hold, "", Target::buttons({{"a", "A"}, {"b", "B"}}), false};
    runner.start(hold);
    bench.clock.advance(2);
    runner.finish(bench.clock.now());
    EXPECT_EQ(runner.result(hold)->headline, "no press seen");

    // The first press names the button held.
    runner.start(hold);
    pad->buffer().recordButton("b", true, bench.clock.now() + 0.1);
    pad->buffer().recordButton("b", false, bench.clock.now() + 3.0);
    bench.clock.advance(3.6);
    runner.tick(bench.clock.now());
    EXPECT_FALSE(runner.active());
    EXPECT_EQ(runner.result(hold)->headline, "B holds steady");
    EXPECT_EQ(bench.model->announcer().spoken().back().toStdString(), hold.title() + ": Pass, B holds steady");
}

TEST(TestRunnerFinish, AnOnOffTriggersCleanPressPasses) {
    // A Switch Pro controller's ZL as the catalogue describes it and its tap records it.
    Fakes::Bench bench;
    ControllerDescription pad;
    pad.instance = 1;
    pad.name = "Pro Controller";
    pad.type = PadType::switchPro;
    pad.axes.set(static_cast<std::size_t>(PadAxis::leftTrigger));
    pad.analogTriggers = 0;
    const auto described = ControllerCatalogue::describe(pad);
    std::vector<ElementInfo> elements;
    for (const auto& d : described) elements.push_back(d.info);
    auto device = std::make_shared<InputDevice>("gc-1", InputDevice::Kind::controller, DeviceInfo{.name = pad.name},
                                                elements);
    ControllerTap tap(1, device->capture(), described, bench.clock);
    tap.snapshot(ControllerState{}, bench.clock.now());

    auto& runner = bench.model->runner(device);
    const auto tests = GuidedTests::allTests(*device);
    const auto trigger =
        std::find_if(tests.begin(), tests.end(), [](const GuidedTest& t) { return t.kind == TestKind::trigger; });
    ASSERT_NE(trigger, tests.end());
    runner.start(*trigger);
    const double t = bench.clock.now();
    tap.axisMoved(PadAxis::leftTrigger, 32767, t + 0.5);
    tap.axisMoved(PadAxis::leftTrigger, 0, t + 1.0);
    bench.clock.advance(2);
    runner.finish(bench.clock.now());
    const auto result = runner.result(*trigger);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->verdict, Verdict::pass) << result->headline;
}
