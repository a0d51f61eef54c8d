// Scenes of the history: the list by unit beside a session's detail, the empty history, the
// history while the saved sessions load, a history whose session folder cannot be read, a
// session's detail whole, a keyboard that failed, a pad whose rumble, lights and adaptive triggers
// all failed (its detail and its report's page), a before/after comparison, and the Compare With
// picker as it opens and with a search typed.
#include "../app/model/ModelFakes.h"

#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "Gallery.h"
#include "app/model/KeyboardTester.h"
#include "app/model/TesterSessions.h"
#include "app/report/ReportPDF.h"
#include "app/views/history/ComparePicker.h"
#include "app/views/history/CompareView.h"
#include "app/views/history/HistoryView.h"
#include "app/views/history/SessionDetail.h"
#include "bench/RealisticSession.h"
#include "support/ChecklistSamples.h"

namespace Tessarine {
namespace {

using RorozErurEvo::TestSession;
using RorozErurEvo::Verdict;

// Views over a model of their own; the views go before the model does.
class HistoryHost final : public QWidget {
public:
    // A model that persists has a session folder (in a temporary folder) to load at start.
    explicit HistoryHost(bool persist = false) : bench(persist), layout_(new QVBoxLayout(this)) {
        layout_->setContentsMargins(0, 0, 0, 0);
    }
    ~HistoryHost() override { qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)); }

    AppModel& model() { return *bench.model; }
    void add(QWidget* widget) { layout_->addWidget(widget); }
    TestSession save(TestSession session) {
        model().library().save(session);
        return session;
    }

    Fakes::Bench bench;

private:
    QVBoxLayout* layout_;
};

// A full check of a pad (see RealisticSession), with the unit, stage and time given.
TestSession pad(int n, const std::string& unit, const std::string& stage, double hoursAgo) {
    TestSession s = RealisticSession::make(n);
    s.unit = unit;
    s.label = stage;
    s.date = RorozErurEvo::Dates::fromSeconds(1.78e9 - 3600.0 * hoursAgo);
    s.ticket = "T-" + std::to_string(4100 + n);
    s.technician = "Sam";
    return s;
}

// The same unit before its repair: the left stick drifted and read out of round.
TestSession worn(TestSession s) {
    for (auto& r : s.results) {
        if (r.element != "Left stick") continue;
        for (auto& m : r.measures) m.value *= 2.6;
        r.verdict = RorozErurEvo::verdictOfMeasures(r.measures);
        if (!r.plot) continue;
        for (std::size_t k = 0; k < r.plot->radii.size(); ++k)
            if (auto& radius = r.plot->radii[k]) *radius *= 0.9 + 0.02 * static_cast<double>(k % 5);
    }
    return s;
}

// The left stick's drift measured once more on the pad's raw HID values, which show more of it
// than the processed ones: the same test twice, told apart by the raw one's mark.
TestSession withRawDrift(TestSession s, double factor) {
    for (const auto& r : s.results) {
        if (r.kind != RorozErurEvo::TestKind::drift || r.element != "Left stick") continue;
        RorozErurEvo::TestResult raw = r;
        raw.id = RorozErurEvo::Uuid::random();
        raw.source = RorozErurEvo::ValueSource::raw;
        for (auto& m : raw.measures)
            m.value *= factor;
        raw.verdict = RorozErurEvo::verdictOfMeasures(raw.measures);
        s.results.push_back(raw);
        break;
    }
    return s;
}

void fillLibrary(HistoryHost& host) {
    host.save(worn(pad(1, "SN-100231", "Before repair", 30)));
    host.save(withRawDrift(pad(2, "SN-100231", "After repair", 2), 3.2));
    host.save(pad(3, "T-4471", "Intake", 26));
    auto quick = pad(4, "T-4471", "", 50);
    quick.results.resize(3);
    host.save(quick);
    host.save(worn(pad(5, "SN-099812", "Returned", 120)));
}

std::unique_ptr<QWidget> history() {
    auto host = std::make_unique<HistoryHost>();
    fillLibrary(*host);
    host->add(new HistoryView(host->model().library(), host->model().navigation(), host->model()));
    return host;
}

std::unique_ptr<QWidget> emptyHistory() {
    auto host = std::make_unique<HistoryHost>();
    host->add(new HistoryView(host->model().library(), host->model().navigation(), host->model()));
    return host;
}

// Started, with the folder read but its list not landed yet.
std::unique_ptr<QWidget> loadingHistory() {
    auto host = std::make_unique<HistoryHost>(true);
    host->model().start(false);
    host->add(new HistoryView(host->model().library(), host->model().navigation(), host->model()));
    return host;
}

// The session folder replaced by a file (a drive mounted over it, say): the history says so
// rather than showing an empty list.
std::unique_ptr<QWidget> unreadableHistory() {
    auto host = std::make_unique<HistoryHost>(true);
    auto& library = host->model().library();
    const auto folder = library.archive()->folder;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder.parent_path());
    std::ofstream(folder) << "not a folder";
    library.load();
    host->add(new HistoryView(host->model().library(), host->model().navigation(), host->model()));
    return host;
}

std::unique_ptr<QWidget> detail() {
    auto host = std::make_unique<HistoryHost>();
    fillLibrary(*host);
    auto& library = host->model().library();
    auto s = *library.atHand(library.sessions().front().id);
    s.notes = "Replaced the left stick module; cleaned the triggers.";
    host->add(new SessionDetail(host->model().library(), host->model().navigation(), host->model(), s));
    return host;
}

// A full-size keyboard saved from the tester with Scroll Lock, Pause and F5 never registering,
// beside the pads of the history.
std::unique_ptr<QWidget> failedKeyboard() {
    using RorozErurEvo::KeyboardBoard;
    using RorozErurEvo::LinuxKeyCodes::lifted;
    auto host = std::make_unique<HistoryHost>();
    fillLibrary(*host);
    KeyboardTester& keyboard = host->model().keyboard();
    keyboard.setBoard(KeyboardBoard::fullSize);
    keyboard.start();
    const std::set<int> dead{lifted(70), lifted(119), 96};
    double t = 1;
    for (const auto& key : RorozErurEvo::KeyboardLayout::ansi().keys(KeyboardBoard::fullSize)) {
        if (dead.contains(key.code) || key.code == 55) continue; // the desktop kept left Super
        keyboard.record(key.code, true, t);
        keyboard.record(key.code, false, t + 0.06);
        t += 0.3;
    }
    auto s = host->save(testerSession(keyboard.results(30), "Keyboard (US (ANSI))", "KB-2207", "Sam",
                                      RorozErurEvo::Dates::fromSeconds(1.78e9 - 600), "2.4.1"));
    host->model().navigation().setSelectedSession(s.id);
    host->add(new HistoryView(host->model().library(), host->model().navigation(), host->model()));
    return host;
}

// A pad whose every rumble motor, light and trigger effect was answered "Doesn't", beside its
// triggers, buttons and touchpad that passed.
TestSession failedOutputs() {
    using RorozErurEvo::TestKind;
    TestSession s = pad(6, "SN-100877", "Intake", 4);
    s.notes.clear();
    std::vector<RorozErurEvo::TestResult> kept;
    for (auto r : s.results) {
        if (r.kind == TestKind::trigger) r.headline = "full travel, no dead spots";
        else if (r.kind == TestKind::buttons) r.headline = "all 16 buttons OK, no chatter";
        else if (r.kind == TestKind::touchpad) r.headline = "both fingers track the whole pad";
        else continue;
        kept.push_back(std::move(r));
    }
    for (auto& r : ChecklistSamples::allFailed(s.date)) kept.push_back(std::move(r));
    s.results = std::move(kept);
    return s;
}

std::unique_ptr<QWidget> failedOutputsDetail() {
    auto host = std::make_unique<HistoryHost>();
    const TestSession s = host->save(failedOutputs());
    host->add(new SessionDetail(host->model().library(), host->model().navigation(), host->model(), s));
    return host;
}

// The first page of the same session's PDF report, drawn on the picture as on the sheet.
std::unique_ptr<QWidget> failedOutputsReport() {
    return Gallery::painted([](QPainter& painter, const QRectF& area, const Scheme&) {
        static const TestSession session = failedOutputs();
        const ReportInput input{.sessions = std::span(&session, 1),
                                .app = {.version = QStringLiteral("2.4.1"), .scopeNote = AppInfo::current().scopeNote}};
        const double scale = std::min(area.width() / ReportPDF::pageWidth, area.height() / ReportPDF::pageHeight);
        int pages = 0;
        ReportPDF::paintPages(painter, input, [&] { ++pages; }, [&] {
            painter.translate(area.topLeft());
            painter.scale(scale, scale);
            // Only the first page is shown: any later one is drawn outside the picture.
            if (pages > 0) painter.translate(0, 2 * ReportPDF::pageHeight);
        });
    });
}

// Sets a measure of one result (by kind and element) and judges the result again.
void remeasure(TestSession& s, RorozErurEvo::TestKind kind, const std::string& element, const std::string& id,
               double value) {
    for (auto& r : s.results) {
        if (r.kind != kind || r.element != element) continue;
        for (auto& m : r.measures)
            if (m.id == id) m.value = value;
        r.verdict = RorozErurEvo::verdictOfMeasures(r.measures);
    }
}

std::unique_ptr<QWidget> comparison() {
    using RorozErurEvo::TestKind;
    auto host = std::make_unique<HistoryHost>();
    auto before = withRawDrift(worn(pad(1, "SN-100231", "Before repair", 30)), 1.6);
    auto after = withRawDrift(pad(2, "SN-100231", "After repair", 2), 3.2);
    after.results.erase(after.results.begin() + 10); // the buttons were not tested again
    // Sides decided by different measures: the right stick passed on its average error before
    // and fails on the directions it reaches after; the left trigger warned on its rest reading
    // before, and the reading after has no rest measure at all. Each row reads one measure.
    remeasure(after, TestKind::circularity, "Right stick", "coverage", 0.68);
    remeasure(before, TestKind::trigger, "Left trigger", "rest", 0.051);
    for (auto& r : after.results)
        if (r.kind == TestKind::trigger && r.element == "Left trigger") r.measures.erase(r.measures.begin());
    host->add(new CompareView(host->model(), host->model().navigation(), before, after));
    return host;
}

// The picker over a shop's history, set in the picture as it shows in its own window.
std::unique_ptr<QWidget> comparePicker(const QString& typed) {
    auto host = std::make_unique<HistoryHost>();
    fillLibrary(*host);
    const char* stages[] = {"Intake", "Before repair", "After repair", "Final check"};
    for (int n = 0; n < 36; ++n) {
        auto s = pad(10 + n, "SN-1004" + std::to_string(10 + n / 4), stages[n % 4], 60.0 + 5 * n);
        s.device.serial = "A1B2C3" + std::to_string(4410 + n / 4);
        host->save(s);
    }
    auto& library = host->model().library();
    const auto shown = *std::find_if(library.sessions().begin(), library.sessions().end(),
                                     [](const auto& s) { return s.label == "After repair" && s.unit == "SN-100231"; });
    auto* picker = new ComparePicker(library, shown);
    picker->setWindowFlags(Qt::Widget);
    picker->searchField()->setText(typed);
    host->add(picker);
    return host;
}

const bool historyScenesAdded = Gallery::add({
    {"history-list", {1100, 720}, history},
    {"history-empty", {900, 500}, emptyHistory},
    {"history-loading", {900, 500}, loadingHistory},
    {"history-unreadable", {900, 500}, unreadableHistory},
    {"history-detail", {760, 1500}, detail},
    {"history-keyboard-fail", {1100, 720}, failedKeyboard},
    {"history-outputs-fail", {760, 1200}, failedOutputsDetail},
    {"history-outputs-fail-report", {612, 792}, failedOutputsReport},
    {"history-compare", {820, 1200}, comparison},
    {"history-compare-picker", {480, 460}, [] { return comparePicker(QString()); }},
    {"history-compare-picker-search", {480, 460}, [] { return comparePicker(QStringLiteral("a1b2c34412 after")); }},
});

} // namespace
} // namespace Tessarine
