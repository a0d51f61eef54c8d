// Cost of the live chatter count, which the test runner and the testers recompute on every
// 60 Hz tick over the whole event log of the running test: 16 inputs clicked in turn, up to a
// full log of 150,000 events (the capture buffer's limit).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "testkit/ChatterAnalysis.h"

using namespace RorozErurEvo;

namespace {

std::vector<ButtonEvent> clicks(long count) {
    std::vector<ButtonEvent> events;
    events.reserve(static_cast<std::size_t>(count));
    double t = 0;
    for (long i = 0; static_cast<long>(events.size()) < count; ++i) {
        std::string input = "button" + std::to_string(i % 16);
        events.push_back({input, true, t});
        events.push_back({input, false, t + 0.05});
        t += 0.06;
    }
    events.resize(static_cast<std::size_t>(count));
    return events;
}

void BM_ChatterAnalyze(benchmark::State& state) {
    const auto events = clicks(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(ChatterAnalysis::analyze(events, 30));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ChatterAnalyze)->Arg(1'000)->Arg(10'000)->Arg(150'000)->Unit(benchmark::kMicrosecond);

} // namespace
