// The demo's recordings, played through the driver into its buffers and judged by the same
// analyses a real pad meets: each scenario must show the fault it is named after, and only it.
#include "app/devices/DemoDevice.h"
#include "support/ManualTimers.h"

#include <gtest/gtest.h>

#include "testkit/ButtonTest.h"
#include "testkit/ChatterAnalysis.h"
#include "testkit/DriftAnalysis.h"
#include "testkit/Thresholds.h"

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

struct Player {
    explicit Player(DemoScenario scenario) { driver.setScenario(scenario); }

    // Plays for `seconds` at the timer's 8 ms pace.
    void play(double seconds) {
        for (double t = 0; t < seconds; t += DemoDriver::tickInterval) {
            clock.advance(DemoDriver::tickInterval);
            driver.tick();
        }
    }

    // Loads a test's script as the runner does, plays it, and returns the script's start.
    double runTest(const GuidedTest& test, double seconds) {
        driver.setCurrent(test);
        driver.load(driver.testActions(test, thresholds.driftSeconds), false);
        const double start = driver.scriptStart();
        play(seconds);
        return start;
    }

    // The drift verdict of a stick over the runner's window: 2 s to let go, then the measurement.
    Verdict drift(const std::string& stick, bool raw) {
        const GuidedTest test{TestKind::drift, "Left stick", GuidedTest::Target::stick(stick), raw};
        const double start = runTest(test, thresholds.driftSeconds + 4.0);
        auto& device = raw ? *driver.raw() : *driver.device();
        const std::string key = DemoScripts::displayName(test) == DemoScripts::leftStick
                                    ? (raw ? "pair-1" : DemoScripts::leftStick)
                                    : (raw ? "pair-2" : DemoScripts::rightStick);
        // As the runner does: a still stick records nothing new, so the window is resampled at
        // 100 per second, holding the value from before it.
        const double from = start + 2.0, to = from + thresholds.driftSeconds;
        const auto samples =
            Resample::hold(device.buffer().sticks(key, from, to), from, to, 100, device.buffer().stick(key, from));
        EXPECT_GT(samples.size(), 400u);
        return DriftAnalysis::result(samples, "Left stick", raw ? ValueSource::raw : ValueSource::processed,
                                     thresholds, Dates::now())
            .verdict;
    }

    FakeClock clock{1000.0};
    ManualTimers timers;
    DemoDriver driver{clock, timers.factory()};
    Thresholds thresholds;
};

std::vector<InputName> loopButtons() {
    std::vector<InputName> names;
    for (int i = 0; i < 9; ++i) names.push_back({DemoScripts::buttonNumbers()[i], DemoScripts::buttonNumbers()[i]});
    return names;
}

} // namespace

TEST(DemoRecordings, OnlyTheDriftingPadDrifts) {
    Player healthy(DemoScenario::healthy);
    EXPECT_EQ(healthy.drift("Left Thumbstick", false), Verdict::pass);
    EXPECT_EQ(healthy.drift("pair-1", true), Verdict::pass);
    EXPECT_EQ(healthy.drift("Right Thumbstick", false), Verdict::pass);

    Player drifting(DemoScenario::drift);
    EXPECT_NE(drifting.drift("Left Thumbstick", false), Verdict::pass);
    EXPECT_EQ(drifting.drift("pair-1", true), Verdict::fail); // no dead zone hides it in raw counts
    EXPECT_EQ(drifting.drift("Right Thumbstick", false), Verdict::pass);
}

TEST(DemoRecordings, OnlyTheChatteringPadChattersAndOnlyOnA) {
    for (auto scenario : {DemoScenario::healthy, DemoScenario::chatter}) {
        Player player(scenario);
        player.driver.start();
        player.play(player.driver.length() + 0.1);
        const auto events = player.driver.device()->buffer().events(-1e9, 1e9);
        const auto chatter = ChatterAnalysis::analyze(events, player.thresholds.chatterWindowMs);
        const bool chatters = scenario == DemoScenario::chatter;
        ASSERT_TRUE(chatter.contains("Button A"));
        EXPECT_EQ(chatter.at("Button A").chatters, chatters ? 1 : 0);
        EXPECT_EQ(ChatterAnalysis::total(chatter), chatters ? 1 : 0);

        const auto result = ButtonTest::result(loopButtons(), events, player.thresholds.chatterWindowMs,
                                               TestKind::buttons, "", "buttons", ValueSource::processed, Dates::now());
        EXPECT_EQ(result.verdict, chatters ? Verdict::warn : Verdict::pass) << result.headline;

        // The raw twin sees the same bounce on its first button.
        const auto twin = ChatterAnalysis::analyze(player.driver.raw()->buffer().events(-1e9, 1e9),
                                                   player.thresholds.chatterWindowMs);
        EXPECT_EQ(ChatterAnalysis::total(twin), chatters ? 1 : 0);
        if (chatters) {
            EXPECT_EQ(twin.at("b1").chatters, 1);
        }
    }
}

TEST(DemoRecordings, ButtonsTestFindsEveryButtonAndBothTriggers) {
    Player player(DemoScenario::healthy);
    const GuidedTest test{TestKind::buttons, "", GuidedTest::Target::buttons({}), false};
    const double start = player.runTest(test, 6.0);
    std::vector<InputName> expected;
    for (const auto& e : player.driver.device()->buttons()) expected.push_back({e.id, e.name});
    ASSERT_EQ(expected.size(), 15u); // thirteen buttons and two triggers
    const auto events = player.driver.device()->buffer().events(start, start + 6.0);
    const auto result = ButtonTest::result(expected, events, player.thresholds.chatterWindowMs, TestKind::buttons, "",
                                           "buttons", ValueSource::processed, Dates::now());
    EXPECT_EQ(result.verdict, Verdict::pass) << result.headline;

    // The twin's catalogue, triggers included, is found on the twin in the same way.
    std::vector<InputName> twinExpected;
    for (const auto& e : player.driver.raw()->buttons()) twinExpected.push_back({e.id, e.name});
    const auto twinResult =
        ButtonTest::result(twinExpected, player.driver.raw()->buffer().events(start, start + 6.0),
                           player.thresholds.chatterWindowMs, TestKind::buttons, "", "buttons", ValueSource::raw,
                           Dates::now());
    EXPECT_EQ(twinResult.verdict, Verdict::pass) << twinResult.headline;
}
