// Rendering the PDF report: one full session with its plots and soak timeline (a report made
// from the history, under 100 ms), and a hundred sessions of twenty results (a whole batch,
// under 5 s).
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "app/report/ReportPDF.h"
#include "tests/support/ReportSamples.h"

namespace {

// Fonts need a GUI application; it runs on the offscreen platform.
void needApplication() {
    static int argc = 1;
    static char name[] = "report_render_bench";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
}

void BM_RenderSessionWithPlotsAndSoak(benchmark::State& state) {
    needApplication();
    std::vector<RorozErurEvo::TestSession> sessions{ReportSamples::session(22, true, true)};
    sessions.front().notes = "Replaced the left stick module; recalibrated both triggers.";
    for (auto _ : state) {
        QByteArray pdf = Tessarine::ReportPDF::render({.sessions = sessions, .app = Tessarine::AppInfo::current()});
        benchmark::DoNotOptimize(pdf.data());
    }
}
BENCHMARK(BM_RenderSessionWithPlotsAndSoak)->Unit(benchmark::kMillisecond);

void BM_RenderHundredSessions(benchmark::State& state) {
    needApplication();
    std::vector<RorozErurEvo::TestSession> sessions;
    for (int i = 0; i < 100; ++i) sessions.push_back(ReportSamples::session(20, true, i % 10 == 0));
    for (auto _ : state) {
        QByteArray pdf = Tessarine::ReportPDF::render({.sessions = sessions, .app = Tessarine::AppInfo::current()});
        benchmark::DoNotOptimize(pdf.data());
    }
}
BENCHMARK(BM_RenderHundredSessions)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
