// The main thread's frame while raw HID pads flood it with 64,000 reports a second: eight pads at
// 8 kHz each (the USB high-speed limit for eight pads), or one device sending all of them. Every
// pad has an input thread of its own that decodes and records its reports in real time, as the
// HID monitor's threads do, while the main thread ticks the model every 16.7 ms with the batch
// view in sight and a drift test running on the first pad. The logs start full, as in a long run. Unlike the paused-feed tick benchmark, the frame here competes with the
// writers for the capture buffers' locks, so lock waits show in its time. Each iteration is one
// frame's tick; the median and 99th percentile of the frames are reported as counters.
// Target: a frame's tick under 4 ms at the 99th percentile.
#include "bench/RawPads.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

using namespace Tessarine;

namespace {

// Seconds logged before the first frame: past the point where every log of a pad reaches its
// entry limit (100,000 entries are 12.5 s at 8 kHz).
constexpr double logged = 20;
constexpr std::size_t streamLength = 16384;

double percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
    return values[at];
}

void BM_FrameWhilePadsFlood(benchmark::State& state) {
    const int padCount = static_cast<int>(state.range(0));
    const double reportRate = static_cast<double>(state.range(1));
    const Clock& clock = Clock::system();
    Fakes::Bench bench(false);
    AppModel& model = *bench.model;
    const RawPads::Pads pads = RawPads::plug(bench, padCount, streamLength, clock);
    const auto& taps = pads.taps;
    const auto& streams = pads.streams;

    // Logs already full, so the frame reads full windows from the start.
    const double start = clock.now();
    std::vector<std::size_t> sent(padCount, 0);
    for (int i = 0; i < padCount; ++i)
        for (double t = start - logged; t < start; t += 1 / reportRate) taps[i]->inputReport(streams[i][sent[i]++ % streamLength], t);
    // The writers take over from the moment the logs are full: the reports due while they were
    // filling would otherwise come all at once, a burst no device sends, and the first frames
    // would measure it.
    const double resumed = clock.now();
    bench.clock.set(resumed);
    const auto first = RawPads::startLongDrift(model);

    // Each pad sends what is due at its rate since its last report, then waits a quarter of a
    // millisecond, as reports arrive from the USB host controller in small bursts.
    std::atomic<bool> running{true};
    std::vector<std::thread> writers;
    for (int i = 0; i < padCount; ++i) {
        writers.emplace_back([&, i] {
            double next = resumed;
            while (running.load(std::memory_order_relaxed)) {
                const double now = clock.now();
                for (; next <= now; next += 1 / reportRate) taps[i]->inputReport(streams[i][sent[i]++ % streamLength], next);
                std::this_thread::sleep_for(std::chrono::microseconds(250));
            }
        });
    }

    using Steady = std::chrono::steady_clock;
    const auto frame = std::chrono::duration_cast<Steady::duration>(std::chrono::duration<double>(AppModel::frameInterval));
    auto due = Steady::now() + frame;
    std::vector<double> frames;
    for (auto _ : state) {
        std::this_thread::sleep_until(due);
        due += frame;
        const double now = clock.now();
        bench.clock.set(now);
        const auto begin = Steady::now();
        model.tick(now);
        const double seconds = std::chrono::duration<double>(Steady::now() - begin).count();
        state.SetIterationTime(seconds);
        frames.push_back(seconds * 1e3);
    }
    running = false;
    for (auto& w : writers) w.join();

    if (!model.runner(first).active()) state.SkipWithError("the drift test is not running");
    std::size_t reports = 0;
    for (std::size_t n : sent) reports += n;
    state.counters["median_ms"] = percentile(frames, 0.5);
    state.counters["p99_ms"] = percentile(frames, 0.99);
    state.counters["reports_per_s"] = static_cast<double>(reports) / std::max(clock.now() - resumed + logged, 1e-9);
}
// 600 frames: ten seconds of real time.
BENCHMARK(BM_FrameWhilePadsFlood)->ArgNames({"pads", "hz"})->Args({8, 8000})->Args({1, 64000})
    ->UseManualTime()->Iterations(600)->Unit(benchmark::kMillisecond);

} // namespace
