// One second of a wireless soak run of a controller reporting at 1 kHz, five to ten minutes
// into the run: four intake ticks (each reads only the quarter second of new reports) and the
// live analysis over everything taken in so far. Target: the tick that analyses stays far
// below one 16.7 ms frame, so the soak card never stutters late in a long run.
#include "tests/app/model/ModelFakes.h"

#include <benchmark/benchmark.h>

using namespace Tessarine;

namespace {

constexpr double reportRate = 1000; // reports per second
constexpr double warmUp = 300;      // seconds of the run taken in before measuring

void feed(CaptureBuffer& buffer, double from, double to) {
    bool down = false;
    for (double t = from; t < to; t += 1 / reportRate) {
        down = !down;
        buffer.recordButton("a", down, t);
    }
}

void BM_SoakSecondAt1kHz(benchmark::State& state) {
    Fakes::Bench bench(false);
    AppModel& model = *bench.model;
    auto pad = Fakes::controller("gc-1", "Wireless Pad", "SN-1");
    bench.controllers->list = {pad};
    model.refreshControllers();
    SoakRunner& soak = *model.soak();
    soak.setSleepInhibitor(nullptr);
    soak.start(*pad, 60); // an hour: it never ends while measuring

    double now = bench.clock.now();
    auto second = [&] {
        for (int quarter = 0; quarter < 4; ++quarter) {
            feed(pad->buffer(), now, now + 0.25);
            now += 0.25;
            soak.tick(now);
        }
    };
    while (now < 100 + warmUp) second();

    for (auto _ : state) second();
    state.counters["reports"] = static_cast<double>(soak.reports().size());
}
BENCHMARK(BM_SoakSecondAt1kHz)->Iterations(300)->Unit(benchmark::kMillisecond);

} // namespace
