// A long soak at 1 kHz, analysed as the soak runner does once a second during the run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "testkit/SoakAnalysis.h"
#include "testkit/SoakResult.h"
#include "testkit/Thresholds.h"

using namespace RorozErurEvo;

namespace {

constexpr int reportCount = 1'000'000;
constexpr double reportInterval = 0.001; // seconds: a 1 kHz device

// Reports in arrival order with a little jitter, a 0.3 s dropout every 10 s, a 5 s pause every
// 2 minutes and one disconnect of 4 s.
SoakTimeline longRun() {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> jitter(-0.0001, 0.0001);
    SoakTimeline timeline;
    timeline.start = 0;
    timeline.reports.reserve(reportCount);
    double t = 0.001;
    for (int i = 0; i < reportCount; ++i) {
        timeline.reports.push_back(t + jitter(random));
        t += reportInterval;
        if (i % 10'000 == 9'999) t += 0.3;
        if (i % 120'000 == 119'999) t += 5;
    }
    timeline.end = t;
    timeline.outages = {{t / 2, t / 2 + 4}};
    return timeline;
}

void analyzeInArrivalOrder(benchmark::State& state) {
    const auto timeline = longRun();
    const Thresholds thresholds;
    for (auto _ : state) benchmark::DoNotOptimize(SoakAnalysis::analyze(timeline, thresholds));
    state.SetItemsProcessed(state.iterations() * reportCount);
}
BENCHMARK(analyzeInArrivalOrder)->Unit(benchmark::kMillisecond);

void analyzeShuffled(benchmark::State& state) {
    auto timeline = longRun();
    std::shuffle(timeline.reports.begin(), timeline.reports.end(), std::mt19937(7));
    const Thresholds thresholds;
    for (auto _ : state) benchmark::DoNotOptimize(SoakAnalysis::analyze(timeline, thresholds));
    state.SetItemsProcessed(state.iterations() * reportCount);
}
BENCHMARK(analyzeShuffled)->Unit(benchmark::kMillisecond);

void resultWithStrip(benchmark::State& state) {
    const auto timeline = longRun();
    const Thresholds thresholds;
    const Date date = Dates::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(SoakAnalysis::result(timeline, "Pad", ValueSource::processed, thresholds, date));
}
BENCHMARK(resultWithStrip)->Unit(benchmark::kMillisecond);

} // namespace
