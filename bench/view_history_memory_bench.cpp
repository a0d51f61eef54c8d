// What a listed session costs the running application with History open: the main window over
// the application model, its saved sessions loaded from a folder of session files as at start,
// the History destination shown and painted with the newest session's detail. Each history is
// measured in a process of its own, and the resident size with 20,000 sessions is set against
// that with 100 (so the window, the list and the detail pane are there in both, and only the
// sessions differ). The resident size is taken as the process holds it (what the system
// counts against it) and again after freed memory is handed back (what is still in use); the
// model alone, without a window, is measured the same way, so the library's share shows apart.
// Target: the growth at most 1 KiB per listed session with History open (50,000 in 50 MiB).
#include "tests/app/model/ModelFakes.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

#include <malloc.h>

#include <filesystem>

#include "app/model/BackgroundWorker.h"
#include "app/model/Navigation.h"
#include "app/views/history/HistoryView.h"
#include "app/views/history/SessionList.h"
#include "app/views/shell/MainWindow.h"
#include "bench/RealisticSession.h"
#include "tests/support/PeakMemory.h"

using namespace Tessarine;
namespace fs = std::filesystem;

namespace {

constexpr int listed = 20000;
constexpr int few = 100;

// Where the histories' files are written once, for every measuring process to link to.
QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

fs::path historyFolder(int count) { return fs::path(scratch().path().toStdString()) / ("history-" + std::to_string(count)); }

void writeHistory(int count) {
    if (!fs::exists(historyFolder(count))) RealisticSession::writeFiles(historyFolder(count), count);
}

struct Resident {
    long held = -1;   // as the process holds it
    long inUse = -1;  // with freed memory handed back first
};

Resident now() {
    Resident r;
    r.held = PeakMemory::resident();
    malloc_trim(0);
    r.inUse = PeakMemory::resident();
    return r;
}

// The application's resident size with `count` sessions listed: with History open and painted
// when `window`, else the model alone.
Resident residentWith(int count, bool window) {
    int argc = 1;
    char name[] = "tessarine";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    // The folder is read on a thread of its own, as the application reads it.
    Fakes::Bench bench{true, {}, nullptr, nullptr, std::make_unique<BackgroundThreads>()};
    AppModel& model = *bench.model;
    fs::create_directory_symlink(historyFolder(count), fs::path(model.sessionsFolder().toStdString()));
    model.start(false);
    while (bench.executor->runAll() > 0 || model.library().loading()) QApplication::processEvents();
    if (model.library().sessions().size() != std::size_t(count)) return {};
    if (!window) return now();
    MainWindow main(model);
    model.navigation().setSelection(SidebarItem::history());
    main.show();
    // Until the newest session's detail has landed and the window is painted with it.
    for (int i = 0; i < 20; ++i) {
        bench.executor->runAll();
        QApplication::processEvents();
    }
    QPixmap picture = main.grab();
    benchmark::DoNotOptimize(picture.cacheKey());
    auto* history = main.findChild<HistoryView*>(QStringLiteral("history-view"));
    if (!history || history->listModel()->rowCount() <= count || !history->detail()) return {};
    return now();
}

Resident measured(int count, bool window) {
    return PeakMemory::inChild<Resident>([count, window](PeakMemory::Meter&) { return residentWith(count, window); },
                                         Resident{});
}

void BM_ResidentPerListedSessionWithHistoryOpen(benchmark::State& state) {
    writeHistory(few);
    writeHistory(listed);
    for (auto _ : state) {
        const Resident appFew = measured(few, true), appMany = measured(listed, true);
        const Resident modelFew = measured(few, false), modelMany = measured(listed, false);
        if (appFew.inUse < 0 || appMany.inUse < 0 || modelFew.inUse < 0 || modelMany.inUse < 0) {
            state.SkipWithError("a measuring process failed");
            return;
        }
        const auto perSession = [](long many, long fewer) { return double(many - fewer) / (listed - few); };
        state.counters["app_KiB_per_session"] = perSession(appMany.held, appFew.held) / 1024.0;
        state.counters["app_in_use_KiB_per_session"] = perSession(appMany.inUse, appFew.inUse) / 1024.0;
        state.counters["library_KiB_per_session"] = perSession(modelMany.held, modelFew.held) / 1024.0;
        state.counters["library_in_use_KiB_per_session"] = perSession(modelMany.inUse, modelFew.inUse) / 1024.0;
        state.counters["app_MiB_for_50000"] = perSession(appMany.held, appFew.held) * 50000 / 1024.0 / 1024.0;
    }
}
BENCHMARK(BM_ResidentPerListedSessionWithHistoryOpen)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
