// Opening the history over 5,000 saved sessions (a shop's history of a few years): the groups by
// unit, the list's rows, and the detail of the newest session, shown and painted once. Also a
// save while the history is open, which groups the list again and keeps the detail.
// Target: opening under 200 ms.
#include "tests/app/model/ModelFakes.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>

#include "app/views/history/HistoryView.h"
#include "app/views/history/SessionDetail.h"
#include "bench/RealisticSession.h"

using namespace Tessarine;

namespace {

constexpr int listed = 5000;

void BM_OpenHistoryOfFiveThousand(benchmark::State& state) {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    model.library().setSessions(RealisticSession::history(listed));
    for (auto _ : state) {
        model.navigation().setSelectedSession(std::nullopt);
        HistoryView view(model.library(), model.navigation(), model);
        view.resize(1100, 720);
        view.show();
        QPixmap picture = view.grab(); // lays out and paints the list and the detail
        if (!qobject_cast<SessionDetail*>(view.detail())) state.SkipWithError("no session detail shown");
        benchmark::DoNotOptimize(picture.cacheKey());
    }
}
BENCHMARK(BM_OpenHistoryOfFiveThousand)->Unit(benchmark::kMillisecond);

void BM_SaveWhileHistoryOfFiveThousandIsOpen(benchmark::State& state) {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    model.library().setSessions(RealisticSession::history(listed));
    HistoryView view(model.library(), model.navigation(), model);
    view.resize(1100, 720);
    view.show();
    auto session = *model.library().atHand(model.library().sessions()[listed / 2].id);
    double seconds = 1.7e9 + 3600.0 * listed;
    for (auto _ : state) {
        session.date = RorozErurEvo::Dates::fromSeconds(seconds += 60);
        model.library().save(session);
        QPixmap picture = view.grab();
        benchmark::DoNotOptimize(picture.cacheKey());
    }
}
BENCHMARK(BM_SaveWhileHistoryOfFiveThousandIsOpen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
