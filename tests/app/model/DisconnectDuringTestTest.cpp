// A device that goes away while one of its tests runs: the test ends without a result, as a
// cancel does, and the user is told; a result held from before stays. The batch drift test
// drops only that device.
#include <gtest/gtest.h>

#include <algorithm>

#include "CommandFakes.h"
#include "app/model/GuidedTests.h"

using namespace Tessarine;
using RorozErurEvo::TestKind;

namespace {

struct DisconnectBench {
    DisconnectBench() {
        auto t = RorozErurEvo::Thresholds::standard();
        t.driftSeconds = 3;
        m.settings().setThresholds(t);
    }

    // A raw joystick (X, Y and two buttons) plugged in and seen by the model.
    std::shared_ptr<InputDevice> plugJoystick() {
        tap = Fakes::tap(1, "Stick", bench.clock);
        bench.hid->plug(1, tap);
        m.refreshHID();
        tap->inputReport(std::vector<std::uint8_t>{0x80, 0x80, 0x00}, bench.clock.now());
        return m.device("hid-1");
    }
    void unplugJoystick() {
        bench.hid->unplug(1);
        m.refreshHID();
    }

    GuidedTest test(const InputDevice& device, TestKind kind) {
        const auto tests = GuidedTests::allTests(device);
        const auto it = std::find_if(tests.begin(), tests.end(), [&](const GuidedTest& t) { return t.kind == kind; });
        EXPECT_NE(it, tests.end());
        return *it;
    }

    // Ticks the runner every frame for `seconds`.
    void run(TestRunner& runner, double seconds) {
        for (double end = bench.clock.now() + seconds; bench.clock.now() < end;) {
            bench.clock.advance(1.0 / 60);
            runner.tick(bench.clock.now());
        }
    }

    Fakes::Bench bench;
    AppModel& m = *bench.model;
    std::shared_ptr<HIDTap> tap;
};

} // namespace

TEST(DisconnectDuringTest, ARawJoysticksDriftTestEndsWithoutAResultAndKeepsTheOneItHad) {
    DisconnectBench b;
    const auto joystick = b.plugJoystick();
    ASSERT_TRUE(joystick);
    auto& runner = b.m.runner(joystick);
    const GuidedTest drift = b.test(*joystick, TestKind::drift);

    runner.start(drift);
    b.run(runner, 6);
    ASSERT_FALSE(runner.active());
    const auto held = runner.result(drift);
    ASSERT_TRUE(held);

    runner.start(drift);
    b.run(runner, 0.5);
    b.unplugJoystick();
    b.run(runner, 1.0 / 60);
    EXPECT_FALSE(runner.active());
    EXPECT_EQ(runner.result(drift), held);
    const std::string text = drift.title() + " stopped: Stick was disconnected.";
    EXPECT_TRUE(Fakes::said(b.m, QString::fromStdString(text)));
    EXPECT_EQ(b.m.toast(), text);
    // Ticks and a late Done after the stop change nothing.
    b.run(runner, 6);
    runner.finish(b.bench.clock.now());
    EXPECT_EQ(runner.result(drift), held);
}

TEST(DisconnectDuringTest, ACentreAtRestTestEndsWithoutAResult) {
    DisconnectBench b;
    const auto joystick = b.plugJoystick();
    joystick->setAxisRoles({{"e1", RorozErurEvo::AxisRole::steering}}); // X as a wheel
    auto& runner = b.m.runner(joystick);
    const GuidedTest center = b.test(*joystick, TestKind::axisCenter);
    runner.start(center);
    b.run(runner, 0.5);
    b.unplugJoystick();
    b.run(runner, 5);
    EXPECT_FALSE(runner.active());
    EXPECT_FALSE(runner.result(center));
    EXPECT_TRUE(Fakes::said(b.m, QString::fromStdString(center.title() + " stopped: Stick was disconnected.")));
}

TEST(DisconnectDuringTest, AControllersDriftTestEndsWithoutAResultAlsoOnDone) {
    DisconnectBench b;
    auto pad = Fakes::pad("gc-1", "Pad One");
    b.bench.controllers->list = {pad};
    b.m.refreshControllers();
    auto& runner = b.m.runner(pad);
    const GuidedTest drift = b.test(*pad, TestKind::drift);
    runner.start(drift);
    b.run(runner, 0.5);
    pad->setConnected(false);
    b.bench.controllers->list.clear();
    b.m.refreshControllers();
    // Done pressed before the next frame.
    runner.finish(b.bench.clock.now());
    EXPECT_FALSE(runner.active());
    EXPECT_FALSE(runner.result(drift));
    EXPECT_EQ(b.m.toast(), drift.title() + " stopped: Pad One was disconnected.");
}

TEST(DisconnectDuringTest, ARawTestOfAControllerStopsWhenItsRawPartnerGoes) {
    DisconnectBench b;
    const auto partner = b.plugJoystick();
    auto pad = Fakes::pad("gc-1", "Stick");
    b.bench.controllers->list = {pad};
    b.m.refreshControllers();
    ASSERT_EQ(pad->rawPartner(), partner);
    pad->setUseRaw(true);
    auto& runner = b.m.runner(pad);
    GuidedTest drift = b.test(*pad, TestKind::drift);
    ASSERT_TRUE(drift.raw);
    runner.start(drift);
    b.run(runner, 0.5);
    b.unplugJoystick();
    EXPECT_EQ(pad->rawPartner(), nullptr);
    b.run(runner, 5);
    EXPECT_FALSE(runner.result(drift)) << "the controller itself was never measured";
}

TEST(DisconnectDuringTest, TheBatchDriftTestDropsOnlyTheDeviceThatWent) {
    DisconnectBench b;
    std::vector<std::shared_ptr<InputDevice>> pads{Fakes::pad("gc-1", "Pad One"), Fakes::pad("gc-2", "Pad Two")};
    b.bench.controllers->list = pads;
    b.m.refreshControllers();
    for (double t = 100; t <= 106; t += 0.01)
        for (const auto& p : pads) {
            p->buffer().recordStick("ls", 0.001, 0, std::nullopt, t);
            p->buffer().recordStick("rs", 0, 0.001, std::nullopt, t);
        }
    BatchRunner& batch = *b.m.batch();
    batch.start(pads);
    batch.tick(102.5);
    pads[1]->setConnected(false);
    b.bench.controllers->list = {pads[0]};
    b.m.refreshControllers();
    batch.tick(103);
    EXPECT_TRUE(Fakes::said(b.m, "Drift at rest stopped: Pad Two was disconnected."));
    batch.tick(106);
    EXPECT_FALSE(batch.isRunning());
    EXPECT_EQ(b.m.runner(pads[0]).results().size(), 2u);
    EXPECT_TRUE(b.m.runner(pads[1]).results().empty());
}
