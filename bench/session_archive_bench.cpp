// Loading a full session folder: 5,000 session files of 21 results each, as the application
// writes them, as a shop's history grows over a few years. Targets: loadAll on one core under
// 250 ms and at least four times as fast as reading the same files with Python's json module
// (which uses one core). The Python figure comes from the same run (python3
// times its own loop over the same folder, without interpreter start-up) and is reported as
// the benchmark "PythonJsonLoad".
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sched.h>
#include <unistd.h>

#include "bench/RealisticSession.h"
#include "testkit/SessionArchive.h"

using namespace RorozErurEvo;
namespace fs = std::filesystem;

namespace {

constexpr int sessionCount = 5000;   // files in the folder

struct Folder {
    SessionArchive archive;
    Folder() : archive{fs::temp_directory_path() / ("tessarine-bench-" + std::to_string(::getpid()))} {
        archive.eraseAll();
        for (int n = 0; n < sessionCount; ++n) {
            archive.save(RealisticSession::make(n));
        }
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(archive.folder, ignored);
    }
};

Folder& folder() {
    static Folder shared;
    return shared;
}

void LoadAll(benchmark::State& state) {
    const auto& archive = folder().archive;
    std::size_t loaded = 0;
    for (auto _ : state) {
        auto sessions = archive.loadAll();
        loaded = sessions.size();
        benchmark::DoNotOptimize(sessions);
    }
    if (loaded != sessionCount) state.SkipWithError("not every session loaded");
    state.counters["sessions"] = static_cast<double>(loaded);
}
BENCHMARK(LoadAll)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// The same load held to one core (its worker threads inherit the affinity), for the per-core
// comparison with Python.
void LoadAllOneCore(benchmark::State& state) {
    cpu_set_t all, one;
    CPU_ZERO(&one);
    if (::sched_getaffinity(0, sizeof all, &all) != 0) {
        state.SkipWithError("no affinity");
        return;
    }
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
        if (CPU_ISSET(cpu, &all)) {
            CPU_SET(cpu, &one);
            break;
        }
    ::sched_setaffinity(0, sizeof one, &one);
    const auto& archive = folder().archive;
    std::size_t loaded = 0;
    for (auto _ : state) {
        auto sessions = archive.loadAll();
        loaded = sessions.size();
        benchmark::DoNotOptimize(sessions);
    }
    ::sched_setaffinity(0, sizeof all, &all);
    if (loaded != sessionCount) state.SkipWithError("not every session loaded");
}
BENCHMARK(LoadAllOneCore)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// The same folder read by Python's json module: every "*.json" file not starting with "._",
// parsed, then sorted by date. Python prints the seconds of its own loop.
void PythonJsonLoad(benchmark::State& state) {
    std::string command = "python3 -c '"
                          "import json, os, sys, time\n"
                          "d = sys.argv[1]\n"
                          "t = time.perf_counter()\n"
                          "out = []\n"
                          "for name in os.listdir(d):\n"
                          "    if name.endswith(\".json\") and not name.startswith(\"._\"):\n"
                          "        try:\n"
                          "            with open(os.path.join(d, name), \"rb\") as f: out.append(json.load(f))\n"
                          "        except Exception: pass\n"
                          "out.sort(key=lambda s: s[\"date\"], reverse=True)\n"
                          "print(time.perf_counter() - t, len(out))' " +
                          folder().archive.folder.string();
    for (auto _ : state) {
        FILE* pipe = ::popen(command.c_str(), "r");
        double seconds = 0;
        int count = 0;
        if (!pipe || std::fscanf(pipe, "%lf %d", &seconds, &count) != 2) {
            if (pipe) ::pclose(pipe);
            state.SkipWithError("python3 did not run");
            return;
        }
        ::pclose(pipe);
        if (count != sessionCount) state.SkipWithError("python3 did not load every session");
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(PythonJsonLoad)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace
