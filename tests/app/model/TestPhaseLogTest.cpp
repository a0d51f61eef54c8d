// A running test's phases, read back from the log: when it started, when it went on to its
// second stage, and how it ended.
#include "ModelFakes.h"

#include <gtest/gtest.h>

#include "TestLog.h"
#include "app/model/TestRunner.h"

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

GuidedTest firstOfKind(const InputDevice& device, TestKind kind) {
    for (const auto& test : GuidedTests::allTests(device))
        if (test.kind == kind && !test.raw) return test;
    ADD_FAILURE() << "the demo controller has no test of that kind";
    return {};
}

// The demo's 8 ms playback and the 60 Hz tick on one clock, until the test ends.
void playToTheEnd(Fakes::Bench& bench, TestRunner& runner) {
    for (int frame = 0; runner.active() && frame < 60 * 60; ++frame) {
        bench.clock.advance(0.008);
        bench.model->demo().tick();
        bench.clock.advance(1.0 / 60 - 0.008);
        bench.model->demo().tick();
        bench.model->tick(bench.clock.now());
    }
}

} // namespace

TEST(TestPhaseLog, EveryPhaseOfARunningTestIsLoggedInOrder) {
    Fakes::Bench bench;
    TestLog::CapturedMessages log("tessarine.model");
    auto& runner = bench.model->runner(bench.demo());
    // The deadzone test has two stages: hands off, then the push.
    const GuidedTest twoStages = firstOfKind(*bench.demo(), TestKind::deadzone);
    const QString prefix = QString::fromStdString(bench.demo()->info().name + ": " + twoStages.title() + " ");
    runner.start(twoStages);
    playToTheEnd(bench, runner);
    ASSERT_FALSE(runner.active());

    const QStringList lines = log.messages().filter(prefix);
    ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString();
    EXPECT_EQ(lines[0], prefix + "started at 0.00 s");
    EXPECT_TRUE(lines[1].startsWith(prefix + "entered stage 2 at ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(prefix + "finished at ")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].contains(" s: Pass, ")) << "with the verdict and headline: " << lines[2].toStdString();
}

TEST(TestPhaseLog, ATestThatEndsWithoutAResultSaysSo) {
    Fakes::Bench bench;
    TestLog::CapturedMessages log("tessarine.model");
    auto& runner = bench.model->runner(bench.demo());
    const GuidedTest drift = firstOfKind(*bench.demo(), TestKind::drift);
    runner.start(drift);
    bench.clock.advance(1.25);
    // Starting another test drops the running one: that too is a phase change.
    const GuidedTest deadzone = firstOfKind(*bench.demo(), TestKind::deadzone);
    runner.start(deadzone);
    runner.cancel();

    const QString device = QString::fromStdString(bench.demo()->info().name + ": ");
    const QStringList lines = log.messages().filter(device);
    EXPECT_EQ(lines, (QStringList{device + QString::fromStdString(drift.title()) + " started at 0.00 s",
                                  device + QString::fromStdString(drift.title()) + " cancelled at 1.25 s",
                                  device + QString::fromStdString(deadzone.title()) + " started at 0.00 s",
                                  device + QString::fromStdString(deadzone.title()) + " cancelled at 0.00 s"}));
}
