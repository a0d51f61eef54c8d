// One frame of a running guided test on a controller that reports at 250 Hz or 1 kHz, just before the
// test's time limit (or a minute in, for tests without one). Most kinds re-read the whole
// window since the test began; the circularity count and plot outline and the snapback count
// take in only the readings that arrived since the last frame.
// Target: a frame under 1 ms, so the 60 Hz tick keeps most of its 16.7 ms for drawing.
#include "tests/app/model/ModelFakes.h"
#include "tests/app/model/RunnerFakes.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

#include "app/model/TestRunner.h"

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {


// The stick circles slowly at its rim (one turn in 20 s, so circularity never completes), or
// is pushed out and let go every 5 s (in 4 directions); the trigger is
// pulled back and forth, never let go; a button is pressed four times a second.
void feed(CaptureBuffer& buffer, TestKind kind, double from, double to, double reportRate) {
    const double step = 1 / reportRate;
    for (double t = from; t < to; t += step) {
        double x = 0, y = 0;
        if (kind == TestKind::snapback) {
            const double phase = std::fmod(t, 5.0);
            const double a = std::floor(std::fmod(t / 5.0, 4.0)) * std::numbers::pi / 2;
            const double r = phase < 1.0 ? phase : (phase < 1.05 ? 1.0 - (phase - 1.0) * 20 : 0.0);
            x = r * std::cos(a) + 0.001 * std::sin(t * 50);
            y = r * std::sin(a);
        } else {
            const double a = t * 2 * std::numbers::pi / 20;
            x = std::cos(a) + 0.002 * std::sin(t * 40);
            y = std::sin(a);
        }
        buffer.recordStick("ls", x, y, std::nullopt, t);
        buffer.recordAxis("lt", 0.5 + 0.45 * std::sin(t * 3), std::nullopt, t);
        if (static_cast<long>(t * reportRate) % static_cast<long>(reportRate / 8) == 0)
            buffer.recordButton("a", static_cast<long>(t * 8) % 2 == 0, t);
    }
}

// `history`: seconds of the test already recorded.
// `step`: seconds between two frames.
void runnerTick(benchmark::State& state, TestKind kind, GuidedTest::Target target, double history,
                double step = AppModel::frameInterval) {
    Fakes::Bench bench(false);
    auto pad = std::make_shared<InputDevice>(
        "gc-1", InputDevice::Kind::controller, DeviceInfo{.name = "Pad"},
        std::vector<ElementInfo>{Fakes::element("ls", ElementInfo::Kind::stick, ElementInfo::Role::leftStick, "ls"),
                                 Fakes::element("lt", ElementInfo::Kind::trigger, ElementInfo::Role::leftTrigger, "lt"),
                                 Fakes::element("a", ElementInfo::Kind::button, ElementInfo::Role::south, "a"),
                                 Fakes::element("b", ElementInfo::Kind::button, ElementInfo::Role::east, "b")});
    // A measuring time longer than the run, so the drift test is still going.
    auto thresholds = bench.model->thresholds();
    thresholds.driftSeconds = 600;
    bench.model->settings().setUseFamilyProfiles(false);
    bench.model->settings().setThresholds(thresholds);
    TestRunner& runner = bench.model->runner(pad);
    runner.start(GuidedTest{kind, "ls", std::move(target), false});
    const double start = bench.clock.now();
    double now = start + history;
    // Reports per second: 250 for a typical pad, 1000 for the fastest wired ones.
    const auto reportRate = static_cast<double>(state.range(0));
    feed(pad->buffer(), kind, start, now, reportRate);
    for (auto _ : state) {
        state.PauseTiming();
        feed(pad->buffer(), kind, now, now + step, reportRate);
        now += step;
        state.ResumeTiming();
        runner.tick(now);
    }
    if (!runner.active()) state.SkipWithError("the test ended during the run");
}

void BM_RunnerTickCircularity(benchmark::State& state) {
    runnerTick(state, TestKind::circularity, GuidedTest::Target::stick("ls"), 42.5);
}
// Only the frames that redraw the live plot: the slowest frame of the circularity test.
void BM_RunnerTickCircularityPlotFrame(benchmark::State& state) {
    runnerTick(state, TestKind::circularity, GuidedTest::Target::stick("ls"), 42.5, 0.11);
}
void BM_RunnerTickSnapback(benchmark::State& state) {
    runnerTick(state, TestKind::snapback, GuidedTest::Target::stick("ls"), 50);
}
void BM_RunnerTickButtons(benchmark::State& state) {
    runnerTick(state, TestKind::buttons, GuidedTest::Target::buttons({{"a", "A"}, {"b", "B"}}), 60);
}
void BM_RunnerTickTrigger(benchmark::State& state) {
    runnerTick(state, TestKind::trigger, GuidedTest::Target::trigger("lt", true), 17.5);
}
void BM_RunnerTickDrift(benchmark::State& state) {
    runnerTick(state, TestKind::drift, GuidedTest::Target::stick("ls"), 60);
}
BENCHMARK(BM_RunnerTickCircularity)->Arg(250)->Arg(1000)->Unit(benchmark::kMicrosecond)->Iterations(120);
BENCHMARK(BM_RunnerTickCircularityPlotFrame)->Arg(250)->Arg(1000)->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_RunnerTickSnapback)->Arg(250)->Arg(1000)->Unit(benchmark::kMicrosecond)->Iterations(120);
BENCHMARK(BM_RunnerTickButtons)->Arg(250)->Arg(1000)->Unit(benchmark::kMicrosecond)->Iterations(120);
BENCHMARK(BM_RunnerTickTrigger)->Arg(250)->Arg(1000)->Unit(benchmark::kMicrosecond)->Iterations(120);
BENCHMARK(BM_RunnerTickDrift)->Arg(250)->Arg(1000)->Unit(benchmark::kMicrosecond)->Iterations(120);

} // namespace
