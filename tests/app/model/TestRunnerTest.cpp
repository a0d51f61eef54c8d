#include "ModelFakes.h"
#include "RunnerFakes.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <cmath>

#include "app/model/TestRunner.h"

using namespace Tessarine;
using RorozErurEvo::AxisRole;
using RorozErurEvo::GateShape;
using RorozErurEvo::StickSample;
using RorozErurEvo::TestKind;
using RorozErurEvo::TestResult;
using RorozErurEvo::ValueSource;
using RorozErurEvo::Verdict;
using Target = GuidedTest::Target;

namespace {

GuidedTest stickTest(TestKind kind, std::string id = "Left Thumbstick", bool raw = false) {
    return GuidedTest{kind, "Left stick", Target::stick(std::move(id)), raw};
}

TestResult made(TestKind kind, std::string element, ValueSource source = ValueSource::processed) {
    return TestResult(kind, std::move(element), source, Verdict::pass, "fine", {}, {});
}

QStringList spoken(Fakes::Bench& bench) { return bench.model->announcer().spoken(); }

} // namespace

TEST(TestRunnerStart, RecordsRestingValuesAndHandsTheDemoItsScript) {
    Fakes::Bench bench;
    auto& runner = bench.model->runner(bench.demo());
    auto& demo = bench.model->demo();

    // Nothing reported yet: the stick counts as centred at the start time.
    const auto drift = stickTest(TestKind::drift);
    runner.start(drift);
    ASSERT_TRUE(runner.active());
    const auto& a = *runner.active();
    EXPECT_EQ(a.start, 100.0);
    EXPECT_EQ(a.recordFrom, 100.0);
    EXPECT_EQ(a.stage, 0);
    EXPECT_EQ(a.prompt, drift.instructions());
    EXPECT_EQ(a.initial, (StickSample{100.0, 0, 0, std::nullopt}));
    EXPECT_FALSE(a.initialAxis);
    EXPECT_EQ(spoken(bench).back(),
              "Left stick \u00B7 Drift at rest started. Let go of the controller and don't touch it. It measures "
              "where the stick rests.");
    EXPECT_EQ(demo.current(), drift);
    EXPECT_FALSE(demo.looping());
    // The script is the drift test's (loading sorts it by time).
    EXPECT_EQ(demo.actions().size(),
              demo.testActions(drift, bench.model->thresholds(*bench.demo()).driftSeconds).size());

    // The newest earlier value is taken, stamped with the start time.
    auto pad = Fakes::controller(std::make_shared<Fakes::RecordingOutputs>());
    auto& padRunner = bench.model->runner(pad);
    pad->buffer().recordStick("ls", 0.3, -0.2, RorozErurEvo::RawPoint{10, 20}, 101.0);
    pad->buffer().recordStick("ls", 0.9, 0.9, std::nullopt, 105.0); // after the start: not taken
    pad->buffer().recordAxis("lt", 0.25, 64, 101.5);
    bench.clock.set(102.0);
    padRunner.start(stickTest(TestKind::circularity, "ls"));
    EXPECT_EQ(padRunner.active()->initial, (StickSample{102.0, 0.3, -0.2, RorozErurEvo::RawPoint{10, 20}}));
    padRunner.start(GuidedTest{TestKind::trigger, "Left trigger", Target::trigger("lt", true), false});
    EXPECT_EQ(padRunner.active()->initialAxis, (RorozErurEvo::TriggerSample{102.0, 0.25, 64}));
    EXPECT_TRUE(padRunner.results().empty()); // dropped tests leave no result
    padRunner.cancel();

    // The demo lets go of whatever its pad held as a test starts.
    bench.demo()->buffer().recordAxis("Left Trigger", 0.25, std::nullopt, 101.5);
    runner.start(GuidedTest{TestKind::trigger, "Left trigger", Target::trigger("Left Trigger", true), false});
    EXPECT_EQ(runner.active()->initialAxis, (RorozErurEvo::TriggerSample{102.0, 0, std::nullopt}));

    // A processed deadzone test also notes the raw twin's matching stick: on the demo, where the
    // test's script puts it at the start.
    const auto& twin = bench.model->demo().raw();
    twin->buffer().recordStick("pair-1", 0.9, 0.02, RorozErurEvo::RawPoint{250, 126}, 101.0);
    runner.start(stickTest(TestKind::deadzone));
    const auto opening = twin->buffer().stick("pair-1", 102.0);
    ASSERT_TRUE(opening);
    EXPECT_EQ(opening->t, 102.0);
    EXPECT_EQ(runner.active()->partnerInitial, (StickSample{102.0, opening->x, opening->y, opening->raw}));
    runner.start(stickTest(TestKind::deadzone, "pair-1", true));
    EXPECT_FALSE(runner.active()->partnerInitial);

    // Cancelling returns the demo to its looping recording.
    runner.cancel();
    EXPECT_FALSE(runner.active());
    EXPECT_FALSE(demo.current());
    EXPECT_TRUE(demo.looping());
    EXPECT_EQ(demo.actions().size(), demo.scenarioActions().size());
}

TEST(TestRunnerStart, TheDemoLetsGoOfTheStickBeforeTheStartValuesAreNoted) {
    Fakes::Bench bench;
    auto& runner = bench.model->runner(bench.demo());
    // Its looping recording holds the left stick out at the rim when Run is pressed.
    bench.demo()->buffer().recordStick("Left Thumbstick", 0.97, 0.05, std::nullopt, 99.9);
    runner.start(stickTest(TestKind::deadzone));
    const auto& initial = runner.active()->initial;
    ASSERT_TRUE(initial);
    EXPECT_LT(std::hypot(initial->x, initial->y), 0.1); // measured from rest, not from the rim
    EXPECT_EQ(initial->t, 100.0);
}

TEST(TestRunnerStart, AxisTestsNoteTheRawCountAndTheTwinDrivesTheDemo) {
    Fakes::Bench bench;
    const auto& twin = bench.model->demo().raw();
    auto& runner = bench.model->runner(twin);
    const GuidedTest sweep{TestKind::axisSweep, "X", Target::axis("e1", AxisRole::steering), true};

    // The stick was pushed to 250 before; the demo lets go of it as the test starts, so the
    // count noted is the resting stick's.
    twin->buffer().recordRaw("e1", 250, 99.0);
    runner.start(sweep);
    EXPECT_EQ(runner.active()->initialRaw, 128);
    EXPECT_FALSE(runner.active()->initial);
    EXPECT_EQ(bench.model->demo().current(), sweep);

    // A raw HID device's axis whose tracker has no value yet notes none.
    auto& hid = bench.model->runner(std::make_shared<InputDevice>(
        "hid-1", InputDevice::Kind::hid, RorozErurEvo::DeviceInfo{}, std::vector<ElementInfo>{}));
    hid.start(sweep);
    EXPECT_FALSE(hid.active()->initialRaw);
}

TEST(TestRunnerStart, SecondTestCleansUpTheFirst) {
    Fakes::Bench bench;
    auto outputs = std::make_shared<Fakes::RecordingOutputs>();
    auto pad = Fakes::controller(outputs);
    auto& runner = bench.model->runner(pad);
    QSignalSpy activeSpy(&runner, &TestRunner::activeChanged);

    const GuidedTest motion{TestKind::motion, "", Target::device(), false};
    runner.start(motion);
    EXPECT_EQ(outputs->calls, std::vector<std::string>{"motion on"});
    runner.start(stickTest(TestKind::drift, "ls"));
    EXPECT_EQ(outputs->calls, (std::vector<std::string>{"motion on", "motion off"}));
    EXPECT_EQ(runner.active()->test.kind, TestKind::drift);
    EXPECT_TRUE(runner.results().empty());
    // Dropping and starting are two changes; a controller's test leaves the demo alone.
    EXPECT_EQ(activeSpy.count(), 3);
    EXPECT_TRUE(bench.model->demo().looping());

    // An equal value written back is no change.
    runner.setActive(runner.active());
    EXPECT_EQ(activeSpy.count(), 3);
}

TEST(TestRunnerStart, BatteryEndsInTheCallThatStartsIt) {
    Fakes::Bench bench;
    auto& runner = bench.model->runner(bench.demo());
    const GuidedTest battery{TestKind::battery, "", Target::device(), false};
    runner.start(battery);
    EXPECT_FALSE(runner.active());
    ASSERT_TRUE(runner.result(battery));
    EXPECT_EQ(runner.result(battery)->kind, TestKind::battery);
    const auto said = spoken(bench);
    ASSERT_GE(said.size(), 2);
    EXPECT_EQ(said[said.size() - 2], "Battery started. Reads the charge the controller reports.");
    EXPECT_TRUE(said.back().startsWith("Battery: "));
    EXPECT_TRUE(bench.model->demo().looping()); // cleaned up after
}

TEST(TestRunnerResults, RawPartnerRule) {
    Fakes::Bench bench;
    auto& demoRunner = bench.model->runner(bench.demo());
    const auto& twin = bench.model->demo().raw();
    EXPECT_EQ(&demoRunner.testDevice(stickTest(TestKind::drift, "pair-1", true)), twin.get());
    EXPECT_EQ(&demoRunner.testDevice(stickTest(TestKind::drift)), bench.demo().get());
    // The pad's own sensors are read whatever the flag says.
    for (TestKind kind : {TestKind::touchpad, TestKind::motion, TestKind::battery})
        EXPECT_EQ(&demoRunner.testDevice(GuidedTest{kind, "", Target::device(), true}), bench.demo().get());
    // A raw device reads itself, and so does a controller without a partner.
    auto& twinRunner = bench.model->runner(twin);
    EXPECT_EQ(&twinRunner.testDevice(stickTest(TestKind::drift, "pair-1", true)), twin.get());
    auto pad = Fakes::controller(std::make_shared<Fakes::RecordingOutputs>());
    auto& padRunner = bench.model->runner(pad);
    EXPECT_EQ(&padRunner.testDevice(stickTest(TestKind::drift, "ls", true)), pad.get());
}

TEST(TestRunnerResults, OrderedByCatalogueThenKind) {
    Fakes::Bench bench;
    auto& runner = bench.model->runner(bench.demo());
    const GuidedTest touchpad{TestKind::touchpad, "", Target::touchpad(), false};
    const GuidedTest buttons{TestKind::buttons, "", Target::buttons({}), false};

    // Filed under the test's identifier; the touchpad's result names its element itself.
    runner.record(made(TestKind::touchpad, "Touchpad"), touchpad);
    runner.store("soak||processed", made(TestKind::soak, ""));
    runner.store("axisNoise|X|raw", made(TestKind::axisNoise, "X", ValueSource::raw));
    runner.record(made(TestKind::buttons, ""), buttons);
    runner.store("drift|Right stick|processed", made(TestKind::drift, "Right stick"));
    runner.store("circularity|Left stick|processed", made(TestKind::circularity, "Left stick"));
    EXPECT_TRUE(runner.result(touchpad));

    std::vector<std::string> keys;
    for (const auto& r : runner.orderedResults()) keys.push_back(TestRunner::resultKey(r));
    EXPECT_EQ(keys, (std::vector<std::string>{"circularity|Left stick|processed", "drift|Right stick|processed",
                                              "buttons||processed", "soak||processed", "touchpad|Touchpad|processed",
                                              "axisNoise|X|raw"}));

    // Merging adds what is missing and never replaces a result the runner holds.
    QSignalSpy spy(&runner, &TestRunner::resultsChanged);
    const auto own = *runner.result(buttons);
    runner.mergeResults({{buttons.id(), made(TestKind::buttons, "")}, {"hold||processed", made(TestKind::hold, "")}});
    EXPECT_EQ(*runner.result(buttons), own);
    EXPECT_EQ(runner.results().size(), 7u);
    EXPECT_EQ(spy.count(), 1);
    runner.mergeResults({{buttons.id(), made(TestKind::buttons, "")}});
    EXPECT_EQ(spy.count(), 1);
}

TEST(TestRunnerManual, SavesOnlyAnsweredItems) {
    Fakes::Bench bench;
    auto outputs = std::make_shared<Fakes::RecordingOutputs>();
    auto pad = Fakes::controller(outputs);
    auto& runner = bench.model->runner(pad);
    const GuidedTest rumble{TestKind::rumble, "", Target::device(), false};
    const auto before = spoken(bench).size();

    // Nothing answered: nothing filed, nothing said, the motors left alone.
    runner.saveManualResult(rumble);
    EXPECT_FALSE(runner.result(rumble));
    EXPECT_EQ(spoken(bench).size(), before);
    EXPECT_TRUE(outputs->calls.empty());

    // Two of four answered: the result covers those two only; the motors stop.
    runner.setAnswer(true, "Left, gentle", rumble);
    runner.setAnswer(false, "Right, strong", rumble);
    runner.setAnswer(true, "Not an item", rumble);
    runner.saveManualResult(rumble);
    const auto result = runner.result(rumble);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->source, ValueSource::manual);
    EXPECT_EQ(result->measure("checked")->value, 2);
    EXPECT_EQ(result->verdict, Verdict::fail);
    EXPECT_EQ(result->details, (std::vector<std::string>{"OK: Left, gentle", "Not working: Right, strong"}));
    EXPECT_EQ(outputs->calls, std::vector<std::string>{"stopRumble"});
    EXPECT_EQ(spoken(bench).back(), "Rumble: Fail, rumble: 2 of 4 checked, \u201CRight, strong\u201D not working");

    // Answers stay, so one changed answer updates the result; with two items unanswered it
    // cannot pass.
    runner.setAnswer(true, "Right, strong", rumble);
    runner.saveManualResult(rumble);
    EXPECT_EQ(runner.result(rumble)->verdict, Verdict::warn);
    EXPECT_EQ(runner.result(rumble)->headline, "rumble: 2 of 4 checked, OK so far");
    // Every item answered: the checklist passes.
    for (const auto& item : GuidedTests::manualItems(rumble.kind, *pad)) runner.setAnswer(true, item.name, rumble);
    runner.saveManualResult(rumble);
    EXPECT_EQ(runner.result(rumble)->verdict, Verdict::pass);
    EXPECT_EQ(runner.result(rumble)->headline, "rumble OK");

    // A lights check leaves the light on; an adaptive-trigger check resets the triggers.
    const GuidedTest lights{TestKind::lights, "", Target::device(), false};
    const GuidedTest adaptive{TestKind::adaptiveTriggers, "", Target::device(), false};
    outputs->calls.clear();
    runner.setAnswer(true, "Light: red", lights);
    runner.saveManualResult(lights);
    runner.setAnswer(true, "Left trigger: vibration", adaptive);
    runner.saveManualResult(adaptive);
    EXPECT_EQ(outputs->calls, std::vector<std::string>{"resetTriggers"});
}

TEST(TestRunnerManual, PlaysItemsOnTheOutputs) {
    Fakes::Bench bench;
    auto outputs = std::make_shared<Fakes::RecordingOutputs>();
    auto pad = Fakes::controller(outputs);
    auto& runner = bench.model->runner(pad);
    using Action = GuidedTests::ManualItem::Action;
    QSignalSpy lightSpy(pad.get(), &InputDevice::lightColorChanged);

    runner.perform(Action{Action::Rumble{"Left", 1.0f, 0.6f}});
    runner.perform(Action{Action::Light{0, 1, 0}});
    runner.perform(Action{Action::Light{0, 1, 0}});
    runner.perform(Action{Action::Player{2}});
    runner.perform(Action{Action::Adaptive{AdaptiveMode::weapon, true}});
    EXPECT_EQ(outputs->calls, (std::vector<std::string>{"rumble Left 1 0.8", "light 0 1 0", "light 0 1 0",
                                                        "player 2", "trigger weapon left"}));
    EXPECT_EQ(pad->lightColor(), (std::array<double, 3>{0, 1, 0}));
    EXPECT_EQ(lightSpy.count(), 1);
    EXPECT_EQ(pad->playerLight(), 2);

    // Without an output channel nothing plays and nothing changes.
    auto bare = std::make_shared<InputDevice>("gc-9", InputDevice::Kind::controller, RorozErurEvo::DeviceInfo{},
                                              std::vector<ElementInfo>{});
    bench.model->runner(bare).perform(Action{Action::Light{1, 0, 0}});
    EXPECT_FALSE(bare->lightColor());
}

TEST(TestRunnerManual, GateAndFitChoices) {
    Fakes::Bench bench;
    auto& runner = bench.model->runner(bench.demo());
    const auto processed = stickTest(TestKind::circularity);
    const auto raw = stickTest(TestKind::circularity, "pair-1", true);

    EXPECT_EQ(runner.gate(processed), bench.model->thresholds(*bench.demo()).gate);
    EXPECT_FALSE(runner.fit(raw)); // round gate: no fitting

    auto octagon = bench.model->thresholds();
    octagon.gate = GateShape::octagonN64;
    bench.model->settings().setUseFamilyProfiles(false);
    bench.model->settings().setThresholds(octagon);
    EXPECT_EQ(runner.gate(raw), GateShape::octagonN64);
    EXPECT_TRUE(runner.fit(raw));
    EXPECT_FALSE(runner.fit(processed));

    QSignalSpy gates(&runner, &TestRunner::gatesChanged);
    runner.setGate(raw, GateShape::round);
    runner.setGate(raw, GateShape::round);
    EXPECT_EQ(gates.count(), 1);
    EXPECT_EQ(runner.gate(raw), GateShape::round);
    EXPECT_FALSE(runner.fit(raw));
    runner.setFit(processed, true);
    EXPECT_TRUE(runner.fit(processed));
}

TEST(TestRunnerStart, MotionCleanUpLeavesASoakRunsSensorsOn) {
    Fakes::Bench bench;
    auto outputs = std::make_shared<Fakes::RecordingOutputs>();
    auto pad = Fakes::controller(outputs);
    auto& runner = bench.model->runner(pad);
    const GuidedTest motion{TestKind::motion, "", Target::device(), false};

    bench.model->soak()->start(*pad, 10);
    runner.start(motion);
    runner.cancel();
    // Switching them off would read as dropouts in the soak run's timeline.
    EXPECT_EQ(outputs->calls, (std::vector<std::string>{"motion on", "motion on"}));

    // Another device's soak run does not keep this one's sensors on.
    auto other = std::make_shared<Fakes::RecordingOutputs>();
    auto second = Fakes::controller(other, "gc-2");
    bench.model->runner(second).start(motion);
    bench.model->runner(second).cancel();
    EXPECT_EQ(other->calls, (std::vector<std::string>{"motion on", "motion off"}));
}
