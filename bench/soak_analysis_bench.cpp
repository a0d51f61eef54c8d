// A long soak at 1 kHz analysed in one go, and the live analysis of a run of three 1 kHz streams
// once a second, ten minutes, an hour and eight hours in (target: under 0.5 ms of CPU time per
// second of the run at every length).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "testkit/SoakAnalysis.h"
#include "testkit/SoakLiveAnalysis.h"
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

// Three streams a third of a millisecond apart with a little jitter, stamped to the microsecond
// as device events are, taken in every quarter second as the runner does; settled up to the
// latest time of the slowest stream.
struct LiveRun {
    SoakLiveAnalysis live;
    std::mt19937 random{3};
    std::uniform_real_distribution<double> jitter{-0.00005, 0.00005};
    double now = 0;
    std::vector<double> batch;

    LiveRun() { live.begin(0, Thresholds{}); }
    double quarter() {
        batch.clear();
        const double to = now + 0.25;
        for (double t = now; t < to; t += reportInterval)
            for (double offset : {0.0, 0.0003, 0.0006}) batch.push_back(std::round((t + offset + jitter(random)) * 1e6) / 1e6);
        now = to;
        live.take(batch);
        return now - 0.001;
    }
    SoakReport second() {
        double settled = 0;
        for (int q = 0; q < 4; ++q) settled = quarter();
        return live.analyze(now, {}, settled);
    }
};

void liveSecond(benchmark::State& state) {
    LiveRun run;
    while (run.now < static_cast<double>(state.range(0)) * 60) run.second();
    for (auto _ : state) benchmark::DoNotOptimize(run.second());
}
BENCHMARK(liveSecond)->Name("BM_SoakLiveSecond")->ArgName("minutes")->Arg(10)->Arg(60)->Arg(480)
    ->Iterations(50)->Unit(benchmark::kMillisecond);

} // namespace
