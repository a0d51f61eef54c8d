// Start-up against a history of 50,000 saved sessions (a busy shop's years): how long the main
// thread is held by the session folder. Reading the folder on the main thread, as start-up once
// did, against the main thread's share of a background load: starting the reader, then landing
// its list in one call. Target: the main thread's share well under 50 ms, so that the window
// answers within 50 ms of appearing at any history size.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <memory>

#include "app/model/BackgroundWorker.h"
#include "app/model/Services.h"
#include "app/model/SessionLibrary.h"
#include "bench/LibraryLoads.h"
#include "bench/RealisticSession.h"
#include "support/ManualExecutor.h"

using namespace Tessarine;

namespace {

constexpr int sessionCount = 50000;

struct History {
    QTemporaryDir dir;
    RorozErurEvo::SessionArchive archive{std::filesystem::path(dir.path().toStdString()) / "Sessions"};
    History() { RealisticSession::writeFiles(archive.folder, sessionCount); }
};

History& history() {
    static History shared;
    return shared;
}

void BM_LoadOnTheMainThread(benchmark::State& state) {
    LibraryLoads::timeWholeLoads(state, history().archive, sessionCount);
}
BENCHMARK(BM_LoadOnTheMainThread)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Only the main thread's part is timed: the reader's own second goes by on its thread.
void BM_MainThreadShareOfABackgroundLoad(benchmark::State& state) {
    const auto& archive = history().archive;
    for (auto _ : state) {
        auto library = std::make_unique<SessionLibrary>(archive);
        auto executor = std::make_shared<ManualExecutor>();
        BackgroundThreads worker;
        library->loadInBackground(worker, executor);
        state.PauseTiming();
        worker.wait();
        state.ResumeTiming();
        executor->runAll();
        state.PauseTiming();
        if (library->sessions().size() != sessionCount) state.SkipWithError("not every session landed");
        library.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MainThreadShareOfABackgroundLoad)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
