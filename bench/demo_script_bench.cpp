// Loading a demo script of 1,500 actions, as the runner does when a guided test starts.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "app/devices/DemoDevice.h"

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

struct NoTimers {
    static TimerFactory factory() { return [] { return std::unique_ptr<RepeatingTimer>(); }; }
};

// The snapback script (over a thousand stick samples at 125 per second) followed by the loop's
// actions, cut to exactly 1,500. Like every script it is a run of parts that each go forward
// in time, so load() has real sorting to do.
std::vector<DemoDriver::Action> script(const DemoDriver& driver) {
    const GuidedTest test{TestKind::snapback, "Left stick", GuidedTest::Target::stick("Left Thumbstick"), false};
    auto actions = driver.testActions(test, 5);
    auto more = driver.scenarioActions();
    actions.insert(actions.end(), more.begin(), more.end());
    actions.resize(1500);
    return actions;
}

void BM_LoadScript(benchmark::State& state) {
    FakeClock clock;
    DemoDriver driver(clock, NoTimers::factory());
    const auto actions = script(driver);
    for (auto _ : state) {
        driver.load(actions, false);
        benchmark::DoNotOptimize(driver.length());
    }
    state.counters["actions"] = static_cast<double>(actions.size());
}
BENCHMARK(BM_LoadScript)->Unit(benchmark::kMicrosecond);

// Building the script and loading it, as a test start does both.
void BM_BuildAndLoadSnapbackScript(benchmark::State& state) {
    FakeClock clock;
    DemoDriver driver(clock, NoTimers::factory());
    const GuidedTest test{TestKind::snapback, "Left stick", GuidedTest::Target::stick("Left Thumbstick"), false};
    for (auto _ : state) {
        driver.load(driver.testActions(test, 5), false);
        benchmark::DoNotOptimize(driver.length());
    }
    state.counters["actions"] = static_cast<double>(driver.actions().size());
}
BENCHMARK(BM_BuildAndLoadSnapbackScript)->Unit(benchmark::kMicrosecond);

} // namespace
