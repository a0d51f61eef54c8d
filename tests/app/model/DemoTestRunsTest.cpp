// Every guided test the tick drives, played by the demo controller's own scripts from start
// to result, on the pad and on its raw twin, in each scenario.
#include "ModelFakes.h"

#include <gtest/gtest.h>

#include "app/model/TestRunner.h"

using namespace Tessarine;
using namespace RorozErurEvo;

using Fakes::tickDriven;

namespace {

using Fakes::play;

struct Outcome {
    std::map<std::string, TestResult> results;
    std::vector<std::string> unfinished;
};

Outcome runAll(Fakes::Bench& bench, const std::shared_ptr<InputDevice>& device) {
    Outcome outcome;
    for (const auto& test : GuidedTests::allTests(*device)) {
        if (!tickDriven(test.kind)) continue;
        if (auto result = play(bench, device, test)) outcome.results.emplace(test.id(), *result);
        else outcome.unfinished.push_back(test.id());
    }
    return outcome;
}

std::string describe(const std::map<std::string, TestResult>& results) {
    std::string text;
    for (const auto& [id, r] : results) text += id + ": " + word(r.verdict) + ", " + r.headline + "\n";
    return text;
}

} // namespace

TEST(DemoTestRuns, HealthyPadPassesEveryTest) {
    Fakes::Bench bench;
    const auto outcome = runAll(bench, bench.demo());
    EXPECT_TRUE(outcome.unfinished.empty());
    EXPECT_EQ(outcome.results.size(), 16u);
    for (const auto& [id, result] : outcome.results)
        EXPECT_EQ(result.verdict, Verdict::pass) << describe(outcome.results);
}

TEST(DemoTestRuns, RawTwinRunsEveryTest) {
    Fakes::Bench bench;
    const auto& twin = bench.model->demo().raw();
    const auto outcome = runAll(bench, twin);
    EXPECT_TRUE(outcome.unfinished.empty());
    EXPECT_EQ(outcome.results.size(), 13u);
    // Its triggers press like buttons, so every input of its buttons test can register.
    EXPECT_EQ(outcome.results.at("buttons||raw").verdict, Verdict::pass) << describe(outcome.results);
}

TEST(DemoTestRuns, DriftingStickIsCaught) {
    Fakes::Bench bench;
    bench.model->demo().setScenario(DemoScenario::drift);
    const GuidedTest left{TestKind::drift, "Left stick", GuidedTest::Target::stick("Left Thumbstick"), false};
    const GuidedTest right{TestKind::drift, "Right stick", GuidedTest::Target::stick("Right Thumbstick"), false};
    const auto drifting = play(bench, bench.demo(), left);
    const auto steady = play(bench, bench.demo(), right);
    ASSERT_TRUE(drifting && steady);
    // The pad's own dead zone hides part of the offset; the raw twin shows all of it.
    EXPECT_EQ(drifting->verdict, Verdict::warn) << drifting->headline;
    EXPECT_EQ(steady->verdict, Verdict::pass) << steady->headline;
    const auto& twin = bench.model->demo().raw();
    const auto raw = play(bench, twin, GuidedTest{TestKind::drift, "Left stick", GuidedTest::Target::stick("pair-1"), true});
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->verdict, Verdict::fail) << raw->headline;
}

TEST(DemoTestRuns, ChatteringButtonIsCaught) {
    Fakes::Bench bench;
    bench.model->demo().setScenario(DemoScenario::chatter);
    const auto tests = GuidedTests::allTests(*bench.demo());
    const auto buttons = std::find_if(tests.begin(), tests.end(), [](const auto& t) { return t.kind == TestKind::buttons; });
    ASSERT_NE(buttons, tests.end());
    const auto result = play(bench, bench.demo(), *buttons);
    ASSERT_TRUE(result);
    EXPECT_NE(result->verdict, Verdict::pass) << result->headline;
    EXPECT_NE(result->headline.find("A"), std::string::npos) << result->headline;
}
