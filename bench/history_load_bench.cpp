// Loading the history of 5,000 saved sessions into the session library, as the application does
// (it lists each session's summary): what each listed session costs in memory once the list has
// landed, and how long the load takes on one core against simdjson's own parse of the same files
// (the least any reading of them can cost). Run pinned to one core (taskset -c N): times are the
// process's CPU time, the loader's threads included.
// Targets: the library's share of the 1 KiB a listed session may cost the application with History
// open (view_history_memory_bench measures the whole); the load at most twice simdjson's own parse.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <malloc.h>
#include <simdjson.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "app/model/SessionLibrary.h"
#include "bench/LibraryLoads.h"
#include "bench/RealisticSession.h"
#include "testkit/BoundedFile.h"
#include "tests/support/PeakMemory.h"

using namespace Tessarine;
namespace fs = std::filesystem;

namespace {

constexpr int sessionCount = 5000;

struct History {
    QTemporaryDir dir;
    RorozErurEvo::SessionArchive archive{fs::path(dir.path().toStdString()) / "Sessions"};
    std::vector<fs::path> files;
    History() {
        RealisticSession::writeFiles(archive.folder, sessionCount);
        for (const auto& entry : fs::directory_iterator(archive.folder)) files.push_back(entry.path());
    }
};

History& history() {
    static History shared;
    return shared;
}

// Resident memory of the process, bytes, with freed memory handed back first.
double residentBytes() {
    malloc_trim(0);
    return static_cast<double>(PeakMemory::resident());
}

// Resident memory with the history listed, less with an empty one, per listed session.
void BM_MemoryPerListedSession(benchmark::State& state) {
    const auto& archive = history().archive;
    for (auto _ : state) {
        state.PauseTiming();
        auto empty = std::make_unique<SessionLibrary>(RorozErurEvo::SessionArchive{archive.folder / "none"});
        empty->load();
        const double before = residentBytes();
        auto library = std::make_unique<SessionLibrary>(archive);
        state.ResumeTiming();
        library->load();
        state.PauseTiming();
        const double after = residentBytes();
        if (library->sessions().size() != sessionCount) state.SkipWithError("not every session loaded");
        state.counters["KiB_per_session"] = (after - before) / 1024.0 / sessionCount;
        library.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MemoryPerListedSession)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadFiveThousandSessions(benchmark::State& state) {
    LibraryLoads::timeWholeLoads(state, history().archive, sessionCount);
}
BENCHMARK(BM_LoadFiveThousandSessions)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The same files read the same way and parsed whole by simdjson, with nothing taken from them.
void BM_SimdjsonParseOfTheSameFiles(benchmark::State& state) {
    const auto& files = history().files;
    simdjson::dom::parser parser;
    for (auto _ : state) {
        std::size_t parsed = 0;
        for (const auto& file : files) {
            auto content = RorozErurEvo::BoundedFile::read(file, RorozErurEvo::SessionArchive::maxFileBytes);
            if (!content.text) continue;
            simdjson::dom::element root;
            if (!parser.parse(*content.text).get(root)) ++parsed;
        }
        if (parsed != files.size()) state.SkipWithError("simdjson refused a file");
    }
}
BENCHMARK(BM_SimdjsonParseOfTheSameFiles)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace
