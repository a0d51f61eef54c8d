// Capture buffer costs: appends from many input threads while the main thread reads windows,
// and a window query over a full log.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "app/devices/CaptureBuffer.h"

using namespace Tessarine;
using namespace RorozErurEvo;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// 8 writers append distinct stick samples as fast as they can while a reader takes a
// 60-second window 60 times a second. Reports the average time one append call takes, as the
// writer thread sees it (lock waits included), and the aggregate cost per append.
void BM_AppendUnderLoad(benchmark::State& state) {
    constexpr int writers = 8;
    const int perWriter = static_cast<int>(state.range(0));
    const auto origin = Clock::now();
    auto nowSeconds = [&] { return seconds(Clock::now() - origin); };

    for (auto _ : state) {
        CaptureBuffer buffer;
        std::atomic<bool> running{true};
        std::atomic<long> windows{0};
        std::vector<double> perAppend(writers, 0);

        std::thread reader([&] {
            while (running.load(std::memory_order_relaxed)) {
                const double t = nowSeconds();
                for (int key = 0; key < writers; ++key)
                    benchmark::DoNotOptimize(buffer.sticks("stick" + std::to_string(key), t - 60, t));
                windows.fetch_add(1, std::memory_order_relaxed);
                std::this_thread::sleep_for(std::chrono::microseconds(16'667));
            }
        });

        const auto start = Clock::now();
        std::vector<std::thread> threads;
        for (int w = 0; w < writers; ++w) {
            threads.emplace_back([&, w] {
                const std::string key = "stick" + std::to_string(w);
                const auto begin = Clock::now();
                for (int i = 0; i < perWriter; ++i)
                    buffer.recordStick(key, (i % 2000) * 0.001 - 1.0, (i % 7) * 0.1, std::nullopt, nowSeconds());
                perAppend[w] = seconds(Clock::now() - begin) / perWriter;
            });
        }
        for (auto& t : threads) t.join();
        const double wall = seconds(Clock::now() - start);
        running = false;
        reader.join();

        double mean = 0;
        for (double p : perAppend) mean += p / writers;
        state.SetIterationTime(wall);
        state.counters["append_ns_per_writer_call"] = mean * 1e9;
        state.counters["append_ns_aggregate"] = wall / (double(writers) * perWriter) * 1e9;
        state.counters["reader_windows"] = static_cast<double>(windows.load());
    }
}
BENCHMARK(BM_AppendUnderLoad)->Arg(1'000'000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// A window over a log that holds the full 150,000 entries, all of them inside the window.
void BM_WindowOverFullLog(benchmark::State& state) {
    CaptureBuffer buffer;
    const bool inOrder = state.range(0) != 0;
    for (int i = 0; i < 150'000; ++i) {
        // Times 0.4 ms apart cover 60 s; the out-of-order log swaps neighbours.
        const double t = (inOrder ? i : (i ^ 1)) * 0.0004;
        buffer.recordStick("L", (i % 2000) * 0.001 - 1.0, 0.0, RawPoint{i, i}, t);
    }
    for (auto _ : state) {
        auto samples = buffer.sticks("L", 0.0, 60.0);
        benchmark::DoNotOptimize(samples.data());
        if (samples.size() != 150'000) state.SkipWithError("window lost samples");
    }
}
BENCHMARK(BM_WindowOverFullLog)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// A single writer without contention, for comparison.
void BM_AppendAlone(benchmark::State& state) {
    CaptureBuffer buffer;
    long i = 0;
    for (auto _ : state) {
        buffer.recordStick("L", (i % 2000) * 0.001 - 1.0, 0.0, std::nullopt, i * 1e-4);
        ++i;
    }
}
BENCHMARK(BM_AppendAlone);

} // namespace
