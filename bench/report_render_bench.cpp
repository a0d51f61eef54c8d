// Rendering the PDF report: one full session with its plots and soak timeline (a report made
// from the history, under 100 ms), and a hundred sessions of twenty results (a whole batch,
// under 5 s). A page of the report is held against the floor of the PDF writer itself: the same
// page's texts, in the same fonts and places, drawn plainly onto a PDF page; a report page should
// take at most half as long again.
#include <benchmark/benchmark.h>

#include <QPainter>
#include <QPdfWriter>
#include <QTextItem>

#include <vector>

#include "app/report/ReportPDF.h"
#include "app/report/ReportPage.h"
#include "tests/support/RecordingDevice.h"
#include "tests/support/ReportPdf.h"
#include "tests/support/ReportSamples.h"

namespace {

void BM_RenderSessionWithPlotsAndSoak(benchmark::State& state) {
    std::vector<RorozErurEvo::TestSession> sessions{ReportSamples::session(22, true, true)};
    sessions.front().notes = "Replaced the left stick module; recalibrated both triggers.";
    qsizetype size = 0;
    for (auto _ : state) {
        QByteArray pdf = Tessarine::ReportPDF::render({.sessions = sessions, .app = Tessarine::AppInfo::current()});
        benchmark::DoNotOptimize(pdf.data());
        size = pdf.size();
    }
    state.counters["bytes"] = double(size);
}
BENCHMARK(BM_RenderSessionWithPlotsAndSoak)->Unit(benchmark::kMillisecond);

void BM_RenderHundredSessions(benchmark::State& state) {
    std::vector<RorozErurEvo::TestSession> sessions;
    for (int i = 0; i < 100; ++i) sessions.push_back(ReportSamples::session(20, true, i % 10 == 0));
    for (auto _ : state) {
        QByteArray pdf = Tessarine::ReportPDF::render({.sessions = sessions, .app = Tessarine::AppInfo::current()});
        benchmark::DoNotOptimize(pdf.data());
    }
}
BENCHMARK(BM_RenderHundredSessions)->Unit(benchmark::kMillisecond)->Iterations(3);

// A text as a page drew it: where its baseline starts on the page, its font and its letters.
struct DrawnText {
    QPointF at;
    QFont font;
    QString text;
};

// Keeps the texts painted on a page and nothing else.
class TextRecorder : public RecordingEngine {
public:
    std::vector<DrawnText> texts;

    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        texts.push_back({painter()->worldTransform().map(p), item.font(), item.text()});
    }
};

// Ten sessions of twenty results, every other with a soak timeline, and notes: pages of the
// table, of plots and of notes. Both programs below paint all their pages into one document and
// count the time per page.
std::vector<RorozErurEvo::TestSession> pageSessions() {
    std::vector<RorozErurEvo::TestSession> sessions;
    for (int i = 0; i < 10; ++i) {
        sessions.push_back(ReportSamples::session(20, true, i % 2 == 0));
        sessions.back().notes = "Replaced the left stick module; recalibrated both triggers.";
    }
    return sessions;
}

benchmark::Counter perPage(std::size_t pages) {
    return benchmark::Counter(double(pages), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ReportPage(benchmark::State& state) {
    const std::vector<RorozErurEvo::TestSession> sessions = pageSessions();
    const Tessarine::ReportInput input{.sessions = sessions, .app = Tessarine::AppInfo::current()};
    qsizetype size = 0;
    for (auto _ : state) {
        QByteArray pdf = Tessarine::ReportPDF::render(input);
        benchmark::DoNotOptimize(pdf.data());
        size = pdf.size();
    }
    state.counters["s/page"] = perPage(Tessarine::ReportPDF::pages(input).size());
    state.counters["bytes"] = double(size);
}
BENCHMARK(BM_ReportPage)->Unit(benchmark::kMillisecond);

void BM_PlainTextPage(benchmark::State& state) {
    const std::vector<RorozErurEvo::TestSession> sessions = pageSessions();
    const Tessarine::ReportInput input{.sessions = sessions, .app = Tessarine::AppInfo::current()};
    const std::vector<Tessarine::ReportPDF::Page> pages = Tessarine::ReportPDF::pages(input);
    std::vector<std::vector<DrawnText>> texts;
    for (const auto& page : pages) {
        TextRecorder recorder;
        RecordingDevice sheet(recorder, int(Tessarine::ReportPDF::pageWidth), int(Tessarine::ReportPDF::pageHeight));
        QPainter painter(&sheet);
        Tessarine::paintReportPage(painter, {.page = page, .branding = input.branding, .app = input.app});
        painter.end();
        texts.push_back(std::move(recorder.texts));
    }
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray bytes = ReportPdf::painted([&](QPdfWriter& writer, QPainter& painter) {
            for (std::size_t i = 0; i < texts.size(); ++i) {
                if (i > 0) writer.newPage();
                for (const DrawnText& text : texts[i]) {
                    painter.setFont(text.font);
                    painter.drawText(text.at, text.text);
                }
            }
        });
        benchmark::DoNotOptimize(bytes.data());
        size = bytes.size();
    }
    state.counters["s/page"] = perPage(pages.size());
    state.counters["bytes"] = double(size);
}
BENCHMARK(BM_PlainTextPage)->Unit(benchmark::kMillisecond);

} // namespace
