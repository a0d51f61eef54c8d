// The wireless soak on the demo controller, played on the demo's own script and clock as the
// application plays it: the demo's 8 ms playback and the model's 60 Hz frames.
#include "ModelFakes.h"

#include <gtest/gtest.h>

#include "app/model/TestRunner.h"

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

// Plays a soak of `minutes` on the untouched demo controller to its end; its result.
std::optional<TestResult> soakOnDemo(Fakes::Bench& bench, double minutes) {
    constexpr double frame = 1.0 / 60, playback = 0.008; // seconds
    SoakRunner& soak = *bench.model->soak();
    soak.setSleepInhibitor(nullptr);
    soak.start(*bench.demo(), minutes);
    const double cap = bench.clock.now() + minutes * 60 + 5;
    while (soak.isRunning() && bench.clock.now() < cap) {
        bench.clock.advance(playback);
        bench.model->demo().tick();
        bench.clock.advance(frame - playback);
        bench.model->demo().tick();
        bench.model->tick(bench.clock.now());
    }
    return bench.model->runner(bench.demo()).result(SoakRunner::soakTest());
}

} // namespace

// A pad lying untouched on the desk keeps reporting while the soak has its motion sensors on,
// so no scenario of the demo reads a dropout: what each is meant to show (a drifting stick, a
// chattering button) is no wireless fault. The rate is the resting stream's, which the loop's
// own reports fall between.
void passesItsSoak(DemoScenario scenario) {
    Fakes::Bench bench;
    bench.model->demo().start();
    bench.model->demo().setScenario(scenario);
    const auto result = soakOnDemo(bench, 5);
    ASSERT_TRUE(result);
    EXPECT_EQ(word(result->verdict), "Pass") << result->headline;
    EXPECT_EQ(result->headline, "no dropouts or disconnects in 5 min");
    EXPECT_EQ(result->measure("gaps")->value, 0);
    EXPECT_EQ(result->measure("gapRate")->value, 0);
    EXPECT_EQ(result->measure("coverage")->value, 1);
    ASSERT_TRUE(result->measure("hz"));
    EXPECT_NEAR(result->measure("hz")->value, DemoScripts::restingMotionRate, 0.01);
    EXPECT_FALSE(bench.model->demo().motionActive()) << "the run's end switches the sensors off";
}

TEST(DemoSoak, HealthyPadPasses) { passesItsSoak(DemoScenario::healthy); }
TEST(DemoSoak, DriftingStickPasses) { passesItsSoak(DemoScenario::drift); }
TEST(DemoSoak, ChatteringButtonPasses) { passesItsSoak(DemoScenario::chatter); }

// The live line reads the rate the result will read: the pad's reports, its raw twin's copies of
// them and its motion readings are one stream of reports, not three to be added up.
TEST(DemoSoak, TheLiveRateReadsWhatTheResultReads) {
    constexpr double frame = 1.0 / 60, playback = 0.008; // seconds
    Fakes::Bench bench;
    bench.model->demo().start();
    SoakRunner& soak = *bench.model->soak();
    soak.setSleepInhibitor(nullptr);
    soak.start(*bench.demo(), 5);
    for (int f = 0; f < 60 * 30; ++f) {
        bench.clock.advance(playback);
        bench.model->demo().tick();
        bench.clock.advance(frame - playback);
        bench.model->demo().tick();
        bench.model->tick(bench.clock.now());
        if (f % 60 != 59) continue;
        ASSERT_TRUE(soak.recentRate());
        EXPECT_NEAR(*soak.recentRate(), DemoScripts::restingMotionRate, 1) << "after " << f / 60 + 1 << " s";
    }
    ASSERT_TRUE(soak.report() && soak.report()->reportRate);
    EXPECT_NEAR(*soak.report()->reportRate, DemoScripts::restingMotionRate, 0.01);
}
