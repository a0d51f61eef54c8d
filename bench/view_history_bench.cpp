// Opening the history over 5,000 saved sessions (a shop's history of a few years): the groups by
// unit, the list's rows, and the detail of the newest session, shown and painted once. Also a
// save while the history is open, which groups the list again and keeps the detail; and the
// Compare With picker over the same history: opened, laid out and painted, and a unit typed
// into its search letter by letter.
// Targets: opening the history under 200 ms; opening the picker under 50 ms, and each letter
// typed found and painted well within a frame or two. The picker is opened over 50,000 sessions
// too.
#include "tests/app/model/ModelFakes.h"

#include <benchmark/benchmark.h>

#include <QLineEdit>
#include <QPixmap>

#include "app/views/history/ComparePicker.h"
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

// Over 5,000 sessions, and over 50,000 (each cut to its first result, so that the whole
// sessions the library keeps without a folder fit in memory: the picker reads summaries alone).
void BM_OpenComparePicker(benchmark::State& state) {
    Fakes::Bench bench{false};
    SessionLibrary& library = bench.model->library();
    const int count = int(state.range(0));
    auto sessions = RealisticSession::history(count == listed ? listed : 0);
    for (int n = count == listed ? 0 : count; n-- > 0;) {
        sessions.push_back(RealisticSession::make(n));
        sessions.back().results.resize(1);
    }
    library.setSessions(std::move(sessions));
    const RorozErurEvo::SessionSummary shown = library.sessions()[std::size_t(count / 2)];
    for (auto _ : state) {
        ComparePicker picker(library, shown);
        picker.show();
        QPixmap picture = picker.grab(); // lays out and paints the rows in sight
        if (!picker.current()) state.SkipWithError("nothing picked");
        benchmark::DoNotOptimize(picture.cacheKey());
    }
}
BENCHMARK(BM_OpenComparePicker)->Unit(benchmark::kMillisecond)->Arg(listed)->Arg(50000);

// Per letter: "SN-101234" typed into the search, each letter searched and painted.
void BM_TypeAUnitIntoComparePickerOverFiveThousand(benchmark::State& state) {
    Fakes::Bench bench{false};
    SessionLibrary& library = bench.model->library();
    library.setSessions(RealisticSession::history(listed));
    const RorozErurEvo::SessionSummary shown = library.sessions()[listed / 2];
    ComparePicker picker(library, shown);
    picker.show();
    const QString typed = QStringLiteral("SN-101234");
    for (auto _ : state) {
        picker.searchField()->clear();
        for (const QChar letter : typed) {
            picker.searchField()->insert(QString(letter));
            QPixmap picture = picker.grab();
            benchmark::DoNotOptimize(picture.cacheKey());
        }
        if (!picker.current()) state.SkipWithError("the unit was not found");
    }
    state.SetItemsProcessed(state.iterations() * typed.size());
}
BENCHMARK(BM_TypeAUnitIntoComparePickerOverFiveThousand)->Unit(benchmark::kMillisecond);

} // namespace
