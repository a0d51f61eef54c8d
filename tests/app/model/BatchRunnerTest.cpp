// The batch drift test over several devices: its phases and prompts, the results it files in
// each device's runner, cancelling, and measuring times that leave nothing to wait for.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "CommandFakes.h"

using namespace Tessarine;
using RorozErurEvo::Verdict;

namespace {

struct BatchBench {
    BatchBench() {
        auto t = RorozErurEvo::Thresholds::standard();
        t.driftSeconds = 10;
        m.settings().setThresholds(t);
        pads = {Fakes::pad("gc-1", "Pad One"), Fakes::pad("gc-2", "Pad Two"), Fakes::pad("gc-3", "Pad Three")};
        bench.controllers->list = pads;
        m.refreshControllers();
    }
    // Every stick rests near centre; gc-2's left stick rests far off it.
    void restSticks(double from, double to) {
        for (double t = from; t <= to; t += 0.01)
            for (const auto& p : pads) {
                double x = p->id() == "gc-2" ? 0.3 : 0.001;
                p->buffer().recordStick("ls", x, 0, std::nullopt, t);
                p->buffer().recordStick("rs", 0, 0.001, std::nullopt, t);
            }
    }
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    BatchRunner& batch = *m.batch();
    std::vector<std::shared_ptr<InputDevice>> pads;
};

} // namespace

TEST(BatchRunner, FilesOneDriftResultPerStickInEachDevicesRunner) {
    BatchBench b;
    b.restSticks(100, 112);
    b.batch.start(b.pads); // the clock reads 100
    EXPECT_TRUE(Fakes::said(b.m, "Drift test on 3 devices. Let go of every controller."));

    b.batch.tick(100.5);
    EXPECT_EQ(b.batch.prompt(), "Let go of every controller… 2");
    b.batch.tick(101.2);
    EXPECT_EQ(b.batch.prompt(), "Let go of every controller… 1");
    EXPECT_EQ(b.batch.progress(), 0);
    b.batch.tick(107);
    EXPECT_EQ(b.batch.prompt(), "Hands off. Measuring every stick…");
    EXPECT_DOUBLE_EQ(b.batch.progress(), 0.5);
    EXPECT_TRUE(b.batch.isRunning());
    EXPECT_TRUE(b.m.runner(b.pads[0]).results().empty()) << "nothing is filed before the time is up";

    b.batch.tick(112);
    EXPECT_FALSE(b.batch.isRunning());
    EXPECT_TRUE(Fakes::said(b.m, "Batch drift test done."));
    for (const auto& p : b.pads) {
        const auto& results = b.m.runner(p).results();
        ASSERT_EQ(results.size(), 2u) << p->id();
        ASSERT_TRUE(results.contains("drift|Left Stick|processed"));
        ASSERT_TRUE(results.contains("drift|Right Stick|processed"));
        Verdict left = results.at("drift|Left Stick|processed").verdict;
        EXPECT_EQ(left, p->id() == "gc-2" ? Verdict::fail : Verdict::pass) << p->id();
        EXPECT_EQ(results.at("drift|Right Stick|processed").verdict, Verdict::pass);
    }
    EXPECT_EQ(b.batch.progress(), 1) << "the last prompt and progress stay";

    // A second run replaces each stick's result.
    auto first = b.m.runner(b.pads[1]).results().at("drift|Left Stick|processed");
    for (double t = 112.01; t <= 130; t += 0.01) b.pads[1]->buffer().recordStick("ls", 0, 0, std::nullopt, t);
    b.bench.clock.set(115);
    b.batch.start({b.pads[1]});
    b.batch.tick(127);
    auto second = b.m.runner(b.pads[1]).results().at("drift|Left Stick|processed");
    EXPECT_NE(second, first);
    EXPECT_EQ(second.verdict, Verdict::pass);
}

TEST(BatchRunner, ADeviceOnItsRawPartnerIsMeasuredThereButFiledInItsOwnRunner) {
    BatchBench b;
    auto partner = Fakes::pad("hid-7", "Pad One", std::nullopt, InputDevice::Kind::hid);
    b.pads[0]->setRawPartner(partner);
    b.pads[0]->setUseRaw(true);
    b.batch.start({b.pads[0], Fakes::pad("gc-404", "Gone Pad")}); // the second is unknown to the model
    b.batch.tick(112);

    const auto& results = b.m.runner(b.pads[0]).results();
    EXPECT_TRUE(results.contains("drift|Left Stick|raw"));
    EXPECT_TRUE(results.contains("drift|Right Stick|raw"));
    EXPECT_FALSE(results.contains("drift|Left Stick|processed"));
    EXPECT_EQ(b.m.deviceLists().existingRunner("hid-7"), nullptr) << "the partner gets no results of its own";
    EXPECT_EQ(b.m.deviceLists().existingRunner("gc-404"), nullptr)
        << "a device the model no longer knows is skipped";
    EXPECT_TRUE(Fakes::said(b.m, "Batch drift test done."));
}

TEST(BatchRunner, CancellingInTheSettlePhaseFilesNothingAndLetsTheDemoLoopAgain) {
    BatchBench b;
    auto demo = b.bench.demo();
    b.batch.start({b.pads[0], demo});
    ASSERT_TRUE(b.m.demo().current().has_value()) << "the demo plays a stick at rest for the run";
    EXPECT_FALSE(b.m.demo().looping());

    b.batch.tick(101);
    b.batch.cancel();
    EXPECT_FALSE(b.batch.isRunning());
    EXPECT_FALSE(b.m.demo().current().has_value());
    EXPECT_TRUE(b.m.demo().looping());

    b.batch.tick(130);
    EXPECT_TRUE(b.m.runner(b.pads[0]).results().empty());
    EXPECT_TRUE(b.m.runner(demo).results().empty());
    EXPECT_FALSE(Fakes::said(b.m, "Batch drift test done."));
}

TEST(BatchRunner, AMeasuringTimeWithNothingToWaitForEndsRightAfterTheSettlePhase) {
    for (double seconds : {0.0, -4.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        BatchBench b;
        auto t = b.m.thresholds();
        t.driftSeconds = seconds;
        if (b.m.settings().setThresholds(t)) {
            // An impossible length never reaches the batch: the model refuses it.
            EXPECT_NE(seconds, 0.0);
            EXPECT_EQ(b.m.thresholds().driftSeconds, 10);
            continue;
        }
        b.batch.start(b.pads);
        b.batch.tick(101.9);
        EXPECT_TRUE(b.batch.isRunning()) << seconds;
        b.batch.tick(102);
        EXPECT_FALSE(b.batch.isRunning()) << seconds << " must not leave the run waiting for ever";
        EXPECT_EQ(b.batch.progress(), 1) << seconds;
        EXPECT_EQ(b.m.runner(b.pads[2]).results().size(), 2u) << seconds;
    }
}

TEST(BatchRunner, AnEmptyRunStillAnnouncesItsStartAndEnd) {
    BatchBench b;
    b.batch.start({});
    EXPECT_TRUE(Fakes::said(b.m, "Drift test on 0 devices. Let go of every controller."));
    b.batch.tick(112);
    EXPECT_TRUE(Fakes::said(b.m, "Batch drift test done."));

    // One device is one device.
    b.batch.start({b.pads[0]});
    EXPECT_TRUE(Fakes::said(b.m, "Drift test on 1 device. Let go of every controller."));
}
