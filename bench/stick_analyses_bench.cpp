// The stick analyses run every frame over a window of up to a minute of 1 kHz readings; each
// call over 60,000 readings should take well under 2 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "testkit/CircularityAnalysis.h"
#include "testkit/DeadzoneAnalysis.h"
#include "testkit/DriftAnalysis.h"
#include "testkit/SnapbackAnalysis.h"

using namespace RorozErurEvo;

namespace {

constexpr int minuteAt1kHz = 60'000; // readings

// Three slow turns around the edge with a little wobble in the radius.
std::vector<StickSample> turning() {
    std::vector<StickSample> samples;
    samples.reserve(minuteAt1kHz);
    for (int i = 0; i < minuteAt1kHz; ++i) {
        const double a = 3 * 2 * std::numbers::pi * i / minuteAt1kHz;
        const double r = 0.96 + 0.02 * std::sin(17 * a);
        samples.push_back(StickSample{i * 0.001, r * std::cos(a), r * std::sin(a), RawPoint{i, -i}});
    }
    return samples;
}

// A push to the edge once a second, round the compass, let go and left to settle.
std::vector<StickSample> pushing() {
    std::vector<StickSample> samples;
    samples.reserve(minuteAt1kHz);
    for (int i = 0; i < minuteAt1kHz; ++i) {
        const int second = i / 1000, ms = i % 1000;
        const double a = second * std::numbers::pi / 4;
        double r = 0;
        if (ms >= 200 && ms < 500)
            r = 1.0;
        else if (ms >= 500 && ms < 530)
            r = 0.05 * std::cos(ms * 0.3);
        samples.push_back(StickSample{i * 0.001, r * std::cos(a) + 0.01, r * std::sin(a), std::nullopt});
    }
    return samples;
}

void circularityResultRound(benchmark::State& state) {
    const auto samples = turning();
    const Date date = Dates::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(CircularityAnalysis::result(samples, "Left stick", ValueSource::processed,
                                                             GateShape::round, true, Thresholds{}, date));
}
BENCHMARK(circularityResultRound)->Unit(benchmark::kMillisecond);

void circularityResultOctagon(benchmark::State& state) {
    const auto samples = turning();
    const Date date = Dates::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(CircularityAnalysis::result(
            samples, "Left stick", ValueSource::processed, GateShape::octagonN64, false, Thresholds{}, date));
}
BENCHMARK(circularityResultOctagon)->Unit(benchmark::kMillisecond);

void circularityProgress(benchmark::State& state) {
    const auto samples = turning();
    for (auto _ : state)
        benchmark::DoNotOptimize(CircularityAnalysis::progress(samples));
}
BENCHMARK(circularityProgress)->Unit(benchmark::kMillisecond);

void snapbackReleases(benchmark::State& state) {
    const auto samples = pushing();
    for (auto _ : state)
        benchmark::DoNotOptimize(SnapbackAnalysis::releases(samples, std::nullopt));
}
BENCHMARK(snapbackReleases)->Unit(benchmark::kMillisecond);

void snapbackResult(benchmark::State& state) {
    const auto samples = pushing();
    const Date date = Dates::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(SnapbackAnalysis::result(samples, "Left stick", ValueSource::processed,
                                                          std::nullopt, Thresholds{}, date));
}
BENCHMARK(snapbackResult)->Unit(benchmark::kMillisecond);

void driftResult(benchmark::State& state) {
    const auto samples = turning();
    const Date date = Dates::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            DriftAnalysis::result(samples, "Left stick", ValueSource::processed, Thresholds{}, date));
}
BENCHMARK(driftResult)->Unit(benchmark::kMillisecond);

void deadzoneFromPush(benchmark::State& state) {
    const auto samples = pushing();
    for (auto _ : state)
        benchmark::DoNotOptimize(DeadzoneAnalysis::fromPush(samples, 0.15));
}
BENCHMARK(deadzoneFromPush)->Unit(benchmark::kMillisecond);

} // namespace
