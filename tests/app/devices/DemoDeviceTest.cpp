#include "app/devices/DemoDevice.h"
#include "support/ManualTimers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "testkit/DemoTraces.h"

using namespace Tessarine;
using namespace RorozErurEvo;
using Action = DemoDriver::Action;

namespace {

struct Demo {
    FakeClock clock{100.0};
    ManualTimers timers;
    DemoDriver driver{clock, timers.factory()};
    CaptureBuffer& pad() { return driver.device()->buffer(); }
    CaptureBuffer& twin() { return driver.raw()->buffer(); }
};

Action stick(const std::string& key, double x, double y, double t = 0) {
    return Action{Action::Stick{key, StickSample{t, x, y, std::nullopt}}};
}
Action axis(const std::string& key, double v, double t = 0) {
    return Action{Action::Axis{key, TriggerSample{t, v, std::nullopt}}};
}
Action button(const std::string& input, bool down, double t = 0) {
    return Action{Action::Button{ButtonEvent{input, down, t}}};
}

std::vector<std::string> demoIds(const std::vector<ElementInfo>& elements) {
    std::vector<std::string> result;
    for (const auto& e : elements) result.push_back(e.id);
    return result;
}

} // namespace

TEST(DemoDriver, BuildsTheControllerAndItsRawTwin) {
    Demo demo;
    const auto& pad = *demo.driver.device();
    const auto& twin = *demo.driver.raw();
    EXPECT_EQ(pad.id(), "demo");
    EXPECT_EQ(pad.kind(), InputDevice::Kind::demo);
    EXPECT_EQ(pad.elements().size(), 20u);
    EXPECT_EQ(pad.element("Touchpad 2")->finger, 1);
    EXPECT_EQ(pad.element("Button Options")->name, "View");
    EXPECT_EQ(pad.capabilities().haptics.size(), 4u);
    EXPECT_TRUE(pad.capabilities().adaptiveTriggers);
    EXPECT_EQ(pad.rawPartner(), demo.driver.raw());
    EXPECT_EQ(pad.outputs()->battery(), (DeviceOutputs::Battery{0.8, "On battery"}));
    EXPECT_EQ(pad.info().serial, "DEMO-0001");

    EXPECT_EQ(twin.id(), "demo-raw");
    EXPECT_EQ(twin.info().vendorID, 0xF00D);
    EXPECT_EQ(twin.outputs(), nullptr);
    ASSERT_EQ(twin.elements().size(), 22u);
    EXPECT_EQ(demoIds(twin.sticks()), (std::vector<std::string>{"pair-1", "pair-2"}));
    EXPECT_EQ(twin.element("b13")->name, "Button 13");
    EXPECT_EQ(twin.element("e7")->rangeText(), "0\u20267");
    EXPECT_EQ(demoIds(twin.analogAxes()), (std::vector<std::string>{"e1", "e2", "e3", "e4", "e5", "e6"}));
    // Tests on the pad's sticks find the twin's pair sticks.
    EXPECT_EQ(pad.rawCounterpart(*pad.element("Right Thumbstick"))->id, "pair-2");
    // Ids and serial come from the pad itself; the twin adds its vendor and product.
    EXPECT_EQ(pad.identity().vendorID, 0xF00D);
}

TEST(DemoDriver, ThumbsticksGoThroughADeadZoneOnThePadAndStayExactOnTheTwin) {
    Demo demo;
    demo.driver.apply(stick("Left Thumbstick", 0.04, 0.0), 10.0);
    EXPECT_EQ(demo.pad().stick("Left Thumbstick", 10)->x, 0.0);
    EXPECT_EQ(demo.twin().rawValues("e1", 10, 10), std::vector<int>{133});
    EXPECT_EQ(demo.twin().axis("e1", 10)->raw, 133);

    demo.driver.apply(stick("Right Thumbstick", 1.0, 0.0), 11.0);
    EXPECT_EQ(demo.pad().stick("Right Thumbstick", 11)->x, 1.0);
    EXPECT_EQ(demo.twin().rawValues("e3", 11, 11), std::vector<int>{255});
    EXPECT_EQ(demo.twin().rawValues("e4", 11, 11), std::vector<int>{128});
    const auto pair = *demo.twin().stick("pair-2", 11);
    EXPECT_EQ(pair.x, 1.0);
    EXPECT_NEAR(pair.y, -0.5 / 127.5, 1e-12);
    EXPECT_EQ(pair.raw, (RawPoint{255, 128}));

    // Halfway out, the processed reading is rescaled so the rim stays at 1.
    demo.driver.apply(stick("Left Thumbstick", 0.0, 0.525), 12.0);
    EXPECT_NEAR(demo.pad().stick("Left Thumbstick", 12)->y, 0.5, 1e-12);
    EXPECT_EQ(demo.twin().stick("pair-1", 12)->y, -std::clamp((DemoTraces::raw(-0.525, {0, 255}) - 127.5) / 127.5, -1.0, 1.0));

    // A reading that is not a number reaches neither device.
    const auto before = demo.twin().stamps(-1e9, 1e9).size();
    demo.driver.apply(stick("Left Thumbstick", std::nan(""), 0.0), 13.0);
    EXPECT_EQ(demo.twin().stamps(-1e9, 1e9).size(), before);
    EXPECT_EQ(demo.pad().stick("Left Thumbstick", 13)->t, 12.0);
}

TEST(DemoDriver, DpadPointsBecomeHatValues) {
    Demo demo;
    const std::pair<PlotPoint, int> cases[] = {{{0, 1}, 0},   {{1, 1}, 1},  {{1, 0}, 2},  {{1, -1}, 3},   {{0, -1}, 4},
                                               {{-1, -1}, 5}, {{-1, 0}, 6}, {{-1, 1}, 7}, {{0.5, 0.5}, 8}};
    double t = 1;
    for (const auto& [point, hat] : cases) {
        demo.driver.apply(stick("Direction Pad", point.x, point.y), t);
        EXPECT_EQ(demo.twin().rawTrackers().at("e7").value, hat) << point.x << ", " << point.y;
        EXPECT_EQ(demo.twin().stick("e7", t)->x, point.x);
        EXPECT_EQ(demo.pad().stick("Direction Pad", t)->y, point.y);
        t += 1;
    }
}

TEST(DemoDriver, TriggersAreAxesAndButtonsOnBothDevices) {
    Demo demo;
    demo.driver.apply(axis("Right Trigger", 0.5), 1.0);
    EXPECT_TRUE(demo.pad().events(0, 10).empty()); // exactly 0.5 is not a press
    EXPECT_EQ(demo.twin().axis("e6", 1)->raw, 128);
    EXPECT_EQ(demo.pad().axis("Right Trigger", 1)->raw, std::nullopt);

    demo.driver.apply(axis("Right Trigger", 0.51), 2.0);
    demo.driver.apply(axis("Right Trigger", 0.45), 3.0); // still held: noise near the threshold
    demo.driver.apply(axis("Right Trigger", 0.39), 4.0);
    const std::vector<ButtonEvent> pressRelease{{"Right Trigger", true, 2.0}, {"Right Trigger", false, 4.0}};
    EXPECT_EQ(demo.pad().events(0, 10), pressRelease);
    EXPECT_EQ(demo.twin().events(0, 10),
              (std::vector<ButtonEvent>{{"e6", true, 2.0}, {"e6", false, 4.0}}));

    // Values outside the travel give the nearest end of the twin's range, never a wrapped count.
    demo.driver.apply(axis("Left Trigger", 7.0), 5.0);
    demo.driver.apply(axis("Left Trigger", -3.0), 6.0);
    EXPECT_EQ(demo.twin().rawValues("e5", 0, 10), (std::vector<int>{255, 0}));
    demo.driver.apply(axis("Left Trigger", std::nan("")), 7.0);
    EXPECT_EQ(demo.twin().rawValues("e5", 0, 10).size(), 2u);
}

TEST(DemoDriver, ButtonsMirrorOntoNumberedTwinButtons) {
    Demo demo;
    demo.driver.apply(button("Touchpad Button", true), 1.0);
    demo.driver.apply(button("Button X", true), 1.0);
    demo.driver.apply(button("Paddle", true), 1.0);
    EXPECT_EQ(demo.pad().snapshot().pressed, (std::set<std::string>{"Button X", "Paddle", "Touchpad Button"}));
    EXPECT_EQ(demo.twin().snapshot().pressed, (std::set<std::string>{"b13", "b3"}));
    EXPECT_EQ(demo.twin().rawValues("b13", 0, 2), std::vector<int>{1});

    demo.driver.apply(Action{Action::Touch{TouchSample{0.5, 1, 0.2, 0.3}}}, 1.0);
    demo.driver.apply(Action{Action::Motion{MotionSample{0.25, Vector3{}, Vector3{}}}}, 1.0);
    EXPECT_EQ(demo.pad().touches(0, 2), (std::vector<TouchSample>{{1.5, 1, 0.2, 0.3}}));
    EXPECT_EQ(demo.pad().motion(0, 2).at(0).t, 1.25);
    demo.driver.apply(Action{Action::Lift{1, 0.6}}, 1.0);
    EXPECT_TRUE(demo.pad().snapshot().touches.empty());
    EXPECT_TRUE(demo.twin().touches(-1e9, 1e9).empty());
}

TEST(DemoDriver, PlaybackTimingAndLooping) {
    Demo demo;
    demo.driver.start();
    demo.driver.start();
    EXPECT_EQ(demo.timers.created, 1);
    EXPECT_DOUBLE_EQ(demo.timers.interval, 0.008);
    EXPECT_TRUE(demo.driver.looping());
    EXPECT_NEAR(demo.driver.length(), 11.52, 1e-9);
    EXPECT_EQ(demo.driver.scriptStart(), 100.0);

    // Actions at time 0 apply on the first tick; later ones wait for their time.
    demo.timers.fire();
    const auto firstBatch = demo.driver.cursor();
    EXPECT_GT(firstBatch, 0u);
    EXPECT_EQ(demo.pad().stick("Left Thumbstick", 1e9)->t, 100.0);
    demo.clock.advance(1.0);
    demo.timers.fire();
    EXPECT_GT(demo.driver.cursor(), firstBatch);

    // An empty script lasts 0.5 s and restarts only once that much time has passed.
    demo.driver.load({}, true);
    EXPECT_EQ(demo.driver.length(), 0.5);
    demo.clock.advance(0.5);
    demo.driver.tick();
    EXPECT_DOUBLE_EQ(demo.driver.scriptStart(), 101.0);
    demo.clock.advance(0.001);
    demo.driver.tick();
    EXPECT_DOUBLE_EQ(demo.driver.scriptStart(), 101.5);

    // A script that does not loop stays at its end.
    demo.driver.load({button("Button A", true, 0.1)}, false);
    demo.clock.advance(5);
    demo.driver.tick();
    demo.driver.tick();
    EXPECT_EQ(demo.driver.cursor(), 1u);
    EXPECT_DOUBLE_EQ(demo.driver.scriptStart(), 101.501);
    EXPECT_EQ(demo.pad().events(0, 1e9).back().input, "Button A");
    EXPECT_DOUBLE_EQ(demo.pad().events(0, 1e9).back().t, 101.601);
}

TEST(DemoDriver, LoopRestartsAfterItsLastActionAndItsTail) {
    Demo demo;
    demo.driver.load({button("Button B", true, 0.0), button("Button B", false, 1.0)}, true);
    demo.clock.advance(1.4);
    demo.driver.tick();
    EXPECT_EQ(demo.driver.cursor(), 2u);
    demo.clock.advance(0.1); // 1.5 s: exactly the length, not yet beyond it
    demo.driver.tick();
    EXPECT_EQ(demo.driver.cursor(), 2u);
    // The next round began where the first ended, at 101.5, and its press is already due.
    demo.clock.advance(0.01);
    demo.driver.tick();
    EXPECT_EQ(demo.driver.cursor(), 1u);
    EXPECT_DOUBLE_EQ(demo.driver.scriptStart(), 101.5);
    EXPECT_EQ(demo.pad().events(0, 1e9).back(), (ButtonEvent{"Button B", true, 101.5}));

    // A tick four seconds late plays the rounds it missed, every reading at its own time.
    demo.clock.advance(4);
    demo.driver.tick();
    EXPECT_EQ(demo.pad().events(0, 1e9),
              (std::vector<ButtonEvent>{{"Button B", true, 100.0}, {"Button B", false, 101.0},
                                        {"Button B", true, 101.5}, {"Button B", false, 102.5},
                                        {"Button B", true, 103.0}, {"Button B", false, 104.0},
                                        {"Button B", true, 104.5}, {"Button B", false, 105.5}}));
    // After a sleep of an hour it plays only the last minute's rounds, in the loop's rhythm.
    demo.clock.advance(3600);
    demo.driver.tick();
    EXPECT_EQ(std::fmod(demo.driver.scriptStart() - 100.0, 1.5), 0.0);
    EXPECT_LE(demo.driver.scriptStart(), demo.clock.now());
    EXPECT_LT(demo.clock.now() - demo.driver.scriptStart(), 1.5);
    const auto events = demo.pad().events(0, 1e9);
    ASSERT_GT(events.size(), 8u);
    EXPECT_LE(events.size(), 8u + 2 * 42);
    EXPECT_GE(events[8].t, demo.clock.now() - DemoDriver::catchUpSeconds - 1.5);
    EXPECT_EQ(events.back(), (ButtonEvent{"Button B", false, 3705.5}));
}

TEST(DemoDriver, LoadSortsByTimeAndDropsActionsWithoutOne) {
    Demo demo;
    demo.driver.load({button("Button A", false, 0.3), button("Button Y", true, std::nan("")), button("Button A", true, 0.1),
                      button("Button B", true, 0.3)},
                     false);
    ASSERT_EQ(demo.driver.actions().size(), 3u);
    EXPECT_EQ(std::get<Action::Button>(demo.driver.actions()[0].value).event.input, "Button A");
    EXPECT_FALSE(std::get<Action::Button>(demo.driver.actions()[1].value).event.down); // equal times keep order
    EXPECT_EQ(std::get<Action::Button>(demo.driver.actions()[2].value).event.input, "Button B");
    EXPECT_NEAR(demo.driver.length(), 0.8, 1e-12);
}

TEST(DemoDriver, ScenarioSwitchesTheLoopButNotARunningTest) {
    Demo demo;
    demo.driver.start();
    int changes = 0;
    QObject::connect(&demo.driver, &DemoDriver::scenarioChanged, [&] { ++changes; });

    demo.clock.advance(2);
    demo.driver.setScenario(DemoDriver::Scenario::drift);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(demo.driver.scriptStart(), 102.0); // the new loop starts from its beginning
    EXPECT_TRUE(demo.driver.looping());
    EXPECT_EQ(demo.driver.actions().size(), demo.driver.scenarioActions().size());

    const GuidedTest drift{TestKind::drift, "Left stick", GuidedTest::Target::stick("Left Thumbstick"), false};
    demo.driver.setCurrent(drift);
    demo.driver.load(demo.driver.testActions(drift, 5), false);
    const auto script = demo.driver.actions();
    demo.clock.advance(1);
    demo.driver.setScenario(DemoDriver::Scenario::chatter);
    demo.driver.setScenario(DemoDriver::Scenario::chatter);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(demo.driver.actions(), script);
    EXPECT_FALSE(demo.driver.looping());
    EXPECT_EQ(demo.driver.scriptStart(), 102.0);
}

TEST(DemoDriver, TickTimingChangesNoReading) {
    // One demo ticks every 8 ms; the other at seeded intervals of 16 to 250 ms, as a busy
    // machine fires its timer. Both end on the same instant with the same readings.
    Demo steady, busy;
    std::mt19937_64 random(5);
    for (Demo* demo : {&steady, &busy}) {
        demo->driver.setScenario(DemoDriver::Scenario::chatter);
        demo->driver.start();
    }
    for (int i = 0; i < 3000; ++i) { // two full loops and more, at 125 ticks a second
        steady.clock.advance(0.008);
        steady.timers.fire();
    }
    const double end = steady.clock.now();
    while (busy.clock.now() < end) {
        busy.clock.set(std::min(end, busy.clock.now() + std::uniform_real_distribution<double>(0.016, 0.25)(random)));
        busy.timers.fire();
    }
    for (auto pick : {&Demo::pad, &Demo::twin}) {
        CaptureBuffer& a = (steady.*pick)();
        CaptureBuffer& b = (busy.*pick)();
        EXPECT_EQ(a.snapshot(), b.snapshot());
        EXPECT_EQ(a.stamps(-1e9, 1e9), b.stamps(-1e9, 1e9));
        EXPECT_EQ(a.events(-1e9, 1e9), b.events(-1e9, 1e9));
        EXPECT_EQ(a.rawTrackers(), b.rawTrackers());
    }
    for (const char* key : {"Left Thumbstick", "Right Thumbstick", "Direction Pad"})
        EXPECT_EQ(steady.pad().sticks(key, -1e9, 1e9), busy.pad().sticks(key, -1e9, 1e9)) << key;
    EXPECT_EQ(steady.pad().axes("Left Trigger", -1e9, 1e9), busy.pad().axes("Left Trigger", -1e9, 1e9));
    EXPECT_EQ(steady.twin().sticks("pair-2", -1e9, 1e9), busy.twin().sticks("pair-2", -1e9, 1e9));
    // The loop played through twice (a press and its bounce each time) and started again.
    EXPECT_EQ(steady.pad().snapshot().presses.at("Button A"), 4);
    EXPECT_DOUBLE_EQ(steady.driver.scriptStart(), busy.driver.scriptStart());
    EXPECT_GT(steady.driver.scriptStart(), 123.0);
}

// With its motion sensors on, the pad streams its resting readings on a grid of its own from
// the moment they were switched on: every reading in order, however late or irregular the
// ticks; switched off, it stops.
TEST(DemoDriver, MotionSwitchedOnStreamsRestingReadingsOnTheirOwnGrid) {
    Demo steady, busy;
    std::mt19937_64 random(9);
    for (Demo* demo : {&steady, &busy}) {
        demo->driver.start();
        EXPECT_TRUE(demo->pad().motion(-1e9, 1e9).empty()) << "the loop itself carries no motion";
        demo->driver.device()->outputs()->setMotionActive(true);
    }
    for (int i = 0; i < 250; ++i) {
        steady.clock.set(100.0 + (i + 1) * 0.008); // 2 s
        steady.timers.fire();
    }
    const double end = steady.clock.now();
    while (busy.clock.now() < end) {
        busy.clock.set(std::min(end, busy.clock.now() + std::uniform_real_distribution<double>(0.016, 0.25)(random)));
        busy.timers.fire();
    }
    const auto readings = steady.pad().motion(-1e9, 1e9);
    EXPECT_EQ(readings, busy.pad().motion(-1e9, 1e9));
    ASSERT_EQ(readings.size(), 501u); // 0 … 2 s at 250 a second
    for (std::size_t i = 0; i < readings.size(); ++i) {
        ASSERT_NEAR(readings[i].t, 100.0 + static_cast<double>(i) / DemoScripts::restingMotionRate, 1e-9) << i;
        EXPECT_EQ(readings[i].rotation, DemoScripts::restingMotion()[i % 250].rotation) << i;
    }
    EXPECT_TRUE(steady.twin().motion(-1e9, 1e9).empty());

    steady.driver.device()->outputs()->setMotionActive(false);
    steady.clock.advance(1);
    steady.timers.fire();
    EXPECT_EQ(steady.pad().motion(-1e9, 1e9).size(), 501u) << "nothing streams once switched off";
}

// The motion test's script brings its own readings: the resting stream holds back while it
// plays, and a machine that slept plays only the last minute it missed.
TEST(DemoDriver, MotionStreamGivesWayToScriptedMotionAndSkipsASleep) {
    Demo demo;
    demo.driver.start();
    demo.driver.setMotionActive(true);
    const GuidedTest motion{TestKind::motion, "", GuidedTest::Target::device(), false};
    demo.driver.load(demo.driver.testActions(motion, 5), false);
    const auto scripted = DemoTraces::motion(3.2, 4.5, 100, 5, 0.0);
    for (int i = 0; i < 1000; ++i) { // 8 s, the whole script
        demo.clock.advance(0.008);
        demo.timers.fire();
    }
    EXPECT_EQ(demo.pad().motion(-1e9, 1e9).size(), scripted.rest.size() + scripted.moving.size());

    demo.driver.load(demo.driver.scenarioActions(), true);
    demo.clock.advance(3600); // asleep for an hour
    demo.timers.fire();
    const auto after = demo.pad().motion(108.0, 1e9);
    ASSERT_FALSE(after.empty());
    EXPECT_GE(after.front().t, demo.clock.now() - DemoDriver::catchUpSeconds);
    EXPECT_NEAR(after.size(), DemoDriver::catchUpSeconds * DemoScripts::restingMotionRate, 1);
}
