#include "app/model/CommandFakes.h"
#include "app/model/KeyboardTester.h"
#include "app/model/TesterSessions.h"

#include "app/report/PdfTools.h"
#include "app/report/ReportPage.h"
#include "app/views/history/ComparePicker.h"
#include "app/views/history/CompareView.h"
#include "app/views/device/DeviceTabs.h"
#include "app/views/device/DeviceView.h"
#include "app/views/kit/EmptyState.h"
#include "app/views/history/ExportMenu.h"
#include "app/views/kit/DisclosureBox.h"
#include "app/views/history/HistoryTexts.h"
#include "app/views/history/HistoryView.h"
#include "app/views/shell/ReportService.h"
#include "app/views/history/ResultsTable.h"
#include "app/views/history/SessionDetail.h"
#include "app/views/history/SessionList.h"
#include "app/views/kit/SoakStripView.h"
#include "app/views/kit/StickPlotView.h"
#include "app/views/kit/SymbolText.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStackedLayout>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "support/ChecklistSamples.h"
#include "support/TestLog.h"
#include "support/Unremovable.h"
#include "testkit/ListingText.h"
#include "testkit/SessionSamples.h"

using namespace Tessarine;
using RorozErurEvo::TestKind;
using RorozErurEvo::TestResult;
using RorozErurEvo::TestSession;
using RorozErurEvo::Verdict;
namespace Samples = RorozErurEvo::Samples;

namespace {

// As the library lists them.
RorozErurEvo::SessionSummary listed(const TestSession& s) { return RorozErurEvo::SessionSummary::of(s); }
std::vector<RorozErurEvo::SessionSummary> listed(const std::vector<TestSession>& sessions) {
    std::vector<RorozErurEvo::SessionSummary> list;
    for (const auto& s : sessions) list.push_back(listed(s));
    return list;
}

TestSession session(std::string unit, const char* iso, std::string label = {}, std::vector<TestResult> results = {}) {
    TestSession s = Samples::session(std::move(unit), iso, std::move(results));
    s.label = std::move(label);
    return s;
}

// `n` drift results on elements "Stick 1", "Stick 2", …, each a test of its own.
std::vector<TestResult> results(int n, Verdict verdict = Verdict::pass) {
    std::vector<TestResult> list;
    for (int i = 1; i <= n; ++i)
        list.push_back(Samples::result(TestKind::drift, "Stick " + std::to_string(i), verdict,
                                       {Samples::percent("offset", 0.01 * i)}));
    return list;
}

TestResult plotted(const std::string& element) {
    TestResult r = Samples::result(TestKind::circularity, element, Verdict::pass, {Samples::percent("error", 0.05)});
    r.plot = RorozErurEvo::StickPlot{RorozErurEvo::GateShape::round, 1.0, std::vector<std::optional<double>>(72, 0.95)};
    return r;
}

TestResult onRaw(TestResult r) {
    r.source = RorozErurEvo::ValueSource::raw;
    return r;
}

// A session as the keyboard or mouse tester saves it: that tester's one result.
TestSession testerSaved(std::string unit, const char* iso, TestKind kind) {
    TestSession s = session(std::move(unit), iso, "Tested", {Samples::result(kind, "", Verdict::pass)});
    s.device.name = kind == TestKind::keyboard ? "Keyboard" : "Mouse";
    return s;
}

// The menu's entries, separators left out.
std::vector<QAction*> entries(const QMenu& menu) {
    std::vector<QAction*> list;
    for (QAction* action : menu.actions())
        if (!action->isSeparator()) list.push_back(action);
    return list;
}

QStringList texts(const QMenu& menu) {
    QStringList list;
    for (QAction* action : entries(menu)) list << action->text();
    return list;
}

// What the compare picker lists, headers and sessions, top to bottom.
QStringList pickerRows(const ComparePicker& picker) {
    QStringList rows;
    for (int r = 0; r < picker.model()->rowCount(); ++r) rows << picker.model()->index(r, 0).data().toString();
    return rows;
}

// Deletes the views that an action replaced (they go late, the action may have been theirs).
void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

struct HistoryFixture : ::testing::Test {
    Fakes::Bench bench{true}; // sessions are written into the bench's temporary folder
    AppModel& model = *bench.model;
    std::shared_ptr<Fakes::Clipboard> clipboard = std::make_shared<Fakes::Clipboard>();
    std::shared_ptr<Fakes::Chooser> chooser = std::make_shared<Fakes::Chooser>();

    HistoryFixture() {
        model.setClipboard(clipboard);
        model.setFileChooser(chooser);
    }

    TestSession saved(TestSession s) {
        EXPECT_TRUE(model.library().save(s));
        return s;
    }
    TestSession saved(std::string unit, const char* iso, std::string label = {}, std::vector<TestResult> r = {}) {
        return saved(session(std::move(unit), iso, std::move(label), std::move(r)));
    }

    std::unique_ptr<HistoryView> open(std::optional<std::string> unit = std::nullopt) {
        auto view =
            std::make_unique<HistoryView>(model.library(), model.navigation(), model, std::move(unit));
        view->resize(1100, 760);
        view->show();
        return view;
    }

    template <class T> static T* find(const QWidget& root, const char* name) {
        auto* found = root.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Compares the two sessions in the open history and saves their PDF with "PDF of Both…";
    // the file's path.
    QString pdfOfBoth(HistoryView& view, const TestSession& before, const TestSession& after) {
        model.navigation().setCompareBefore(before.id);
        model.navigation().setCompareAfter(after.id);
        auto* compare = qobject_cast<CompareView*>(view.detail());
        EXPECT_NE(compare, nullptr);
        const QString path = QDir(bench.folder.path()).filePath("both.pdf");
        chooser->answer = path;
        if (compare) find<QPushButton>(*compare, "compare-pdf")->click();
        bench.executor->runAll(); // the file is written off the main thread
        return path;
    }
    QString sessionFile(const TestSession& s) const {
        return QDir(model.sessionsFolder()).filePath(QString::fromStdString(s.id.text()) + QStringLiteral(".json"));
    }
};

} // namespace

// ---- texts

TEST(HistoryTexts, RowsSubtitlesAndMenuItems) {
    TestSession s = session("SN-1", "2026-03-01T09:00:00Z");
    EXPECT_EQ(HistoryTexts::rowTitle(listed(s)), "Session");
    s.label = "   ";
    EXPECT_EQ(HistoryTexts::rowTitle(listed(s)), "   "); // shown as typed
    s.label = {};
    const QString shortDate = ReportText::shortDateText(s.date);
    EXPECT_EQ(HistoryTexts::rowCaption(listed(s)), shortDate + " · Wireless Pad");
    EXPECT_EQ(HistoryTexts::compareItemTitle(listed(s)), "Session, " + shortDate);
    EXPECT_EQ(HistoryTexts::otherUnitItemTitle(listed(s)), "SN-1: Session, " + shortDate);
    EXPECT_EQ(HistoryTexts::deleteMessage(s), "Wireless Pad, " + shortDate + ". This can't be undone.");

    // Without ticket and technician: the date and the unit only.
    const QString longDate = ReportText::dateText(s.date);
    EXPECT_EQ(HistoryTexts::subtitle(s), longDate + " · Unit SN-1");
    s.ticket = "T-9";
    s.technician = "Ana";
    s.label = "After repair";
    EXPECT_EQ(HistoryTexts::subtitle(s), longDate + " · Unit SN-1 · Ticket T-9 · Tested by Ana");
    EXPECT_EQ(HistoryTexts::deleteMessage(s), "Wireless Pad — After repair, " + shortDate + ". This can't be undone.");

    EXPECT_EQ(HistoryTexts::emptyTitle(std::nullopt), "No saved sessions yet");
    EXPECT_EQ(HistoryTexts::emptyTitle(std::string("SN-1")), "No sessions for SN-1 yet");
    // The short date has no weekday and is shorter than the long one.
    EXPECT_LT(shortDate.size(), longDate.size());
    EXPECT_TRUE(shortDate.contains("2026")) << shortDate.toStdString();
}

TEST(HistoryTexts, CompareOrderAndChoices) {
    const TestSession shown = session("SN-1", "2026-03-02T09:00:00Z");
    const TestSession older = session("SN-1", "2026-03-01T09:00:00Z");
    const TestSession newer = session("SN-1", "2026-03-03T09:00:00Z");
    const TestSession sameTime = session("SN-1", "2026-03-02T09:00:00Z");
    const auto [shownL, olderL, newerL, sameTimeL] = std::tuple(listed(shown), listed(older), listed(newer), listed(sameTime));
    EXPECT_EQ(HistoryTexts::compareOrder(shownL, olderL), std::pair(&olderL, &shownL));
    EXPECT_EQ(HistoryTexts::compareOrder(shownL, newerL), std::pair(&shownL, &newerL));
    EXPECT_EQ(HistoryTexts::compareOrder(shownL, sameTimeL), std::pair(&shownL, &sameTimeL));

    const TestSession other = session(" SN-2 ", "2026-03-04T09:00:00Z");
    auto choices = HistoryTexts::compareChoices(listed({other, newer, shown, older}), listed(shown));
    EXPECT_EQ(choices.sameUnit, (std::vector<std::size_t>{1, 3}));
    EXPECT_EQ(choices.otherUnits, (std::vector<std::size_t>{0}));
    EXPECT_TRUE(HistoryTexts::compareChoices(std::vector{listed(shown)}, listed(shown)).empty());

    // Only sessions of the same kind of device are offered, whatever their unit.
    const TestSession keyboard = testerSaved("SN-1", "2026-03-05T09:00:00Z", TestKind::keyboard);
    const TestSession mouse = testerSaved("SN-2", "2026-03-05T09:00:00Z", TestKind::mouse);
    const TestSession keyboard2 = testerSaved("KB-9", "2026-03-06T09:00:00Z", TestKind::keyboard);
    const std::vector<TestSession> mixed{keyboard, other, mouse, keyboard2, shown};
    choices = HistoryTexts::compareChoices(listed(mixed), listed(shown));
    EXPECT_TRUE(choices.sameUnit.empty());
    EXPECT_EQ(choices.otherUnits, (std::vector<std::size_t>{1}));
    choices = HistoryTexts::compareChoices(listed(mixed), listed(keyboard));
    EXPECT_TRUE(choices.sameUnit.empty());
    EXPECT_EQ(choices.otherUnits, (std::vector<std::size_t>{3}));
    EXPECT_TRUE(HistoryTexts::compareChoices(listed(mixed), listed(mouse)).empty());
}

TEST(HistoryTexts, ComparisonHeadersAndExportSections) {
    TestSession before = session("SN-1", "2026-03-01T09:00:00Z");
    TestSession after = session("SN-1", "2026-03-02T09:00:00Z", "After repair");
    EXPECT_EQ(HistoryTexts::beforeHeader(before), "Before: session");
    EXPECT_EQ(HistoryTexts::afterHeader(after), "After: After repair");
    EXPECT_EQ(HistoryTexts::bothFileName(after), "SN-1 before and after");

    auto one = HistoryTexts::exportSections(before, 1, 4);
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[0].header, "This session");
    EXPECT_EQ(one[0].fileName, "SN-1 "); // the model trims the name when it offers it
    EXPECT_EQ(one[1].header, "Every saved session (4)");
    EXPECT_EQ(one[1].fileName, "Tessarine sessions");
    auto three = HistoryTexts::exportSections(after, 3, 12);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(three[0].fileName, "SN-1 After repair");
    EXPECT_EQ(three[1].header, "All 3 sessions for SN-1");
    EXPECT_EQ(three[1].fileName, "SN-1 sessions");
    EXPECT_EQ(three[2].header, "Every saved session (12)");
}

// ---- the list

TEST_F(HistoryFixture, SessionFilesThatCouldNotBeReadAreCountedAndNamedOnRequest) {
    saved("SN-1", "2026-03-01T09:00:00Z");
    for (const char* name : {"broken.json", "empty.json"}) {
        QFile file(QDir(model.sessionsFolder()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        if (name[0] == 'b') file.write("{\"id\": ");
    }
    auto view = open();
    auto* note = find<QWidget>(*view, "history-skipped");
    EXPECT_FALSE(note->isVisible()) << "nothing was loaded yet";

    TestLog::ExpectedWarnings logged("tessarine.model", "skipped the session file");
    model.library().load();
    EXPECT_EQ(logged.count(), 2);
    EXPECT_TRUE(note->isVisible());
    auto* box = note->findChild<DisclosureBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->header()->text(), "2 session files could not be read");
    auto* files = find<QLabel>(*view, "history-skipped-files");
    EXPECT_FALSE(files->isVisible()) << "the names wait until asked for";
    box->header()->click();
    EXPECT_TRUE(files->isVisible());
    const QStringList lines = files->text().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("broken.json: ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("empty.json: ")) << lines[1].toStdString();
    EXPECT_EQ(HistoryTexts::skippedTitle(1), "1 session file could not be read");
    using Skipped = std::vector<RorozErurEvo::SkippedFile>;
    const RorozErurEvo::SkippedFile folder{"/data/Sessions", "the folder could not be read: Not a directory", true};
    const RorozErurEvo::SkippedFile file{"a.json", "not a session file"};
    EXPECT_EQ(HistoryTexts::skippedTitle(Skipped{folder}), "The session folder could not be read");
    EXPECT_EQ(HistoryTexts::skippedTitle(Skipped{folder, file}),
              "The session folder could not be read; 1 session file could not be read");
    EXPECT_EQ(HistoryTexts::skippedTitle(Skipped{file, file}), "2 session files could not be read");

    EXPECT_EQ(open(std::string("SN-1"))->findChild<QWidget*>("history-skipped"), nullptr)
        << "one unit's history does not repeat it";
}

TEST_F(HistoryFixture, AFolderThatCannotBeReadIsSaidInsteadOfAnEmptyHistory) {
    // The session folder replaced by a file: sessions may be somewhere, none could be read.
    const QString folder = model.sessionsFolder();
    QDir(folder).removeRecursively();
    QFile stand(folder);
    ASSERT_TRUE(stand.open(QIODevice::WriteOnly));
    stand.write("not a folder");
    stand.close();
    auto view = open();
    TestLog::ExpectedWarnings logged("tessarine.model", "could not list the session folder");
    model.library().load();
    EXPECT_EQ(logged.count(), 1);

    auto* pages = view->findChild<QStackedLayout*>();
    auto* unreadable = view->findChild<EmptyState*>("history-unreadable");
    ASSERT_NE(unreadable, nullptr);
    EXPECT_EQ(pages->currentWidget(), unreadable) << "not \"No saved sessions yet\"";
    EXPECT_EQ(unreadable->title(), "Saved sessions could not be read");
    EXPECT_TRUE(unreadable->description().startsWith(folder + ": the folder could not be read"))
        << unreadable->description().toStdString();
    auto unit = open(std::string("SN-1"));
    EXPECT_EQ(unit->findChild<QStackedLayout*>()->currentWidget(), unit->findChild<EmptyState*>("history-unreadable"))
        << "one unit's history does not read as empty either";

    // Once a session is saved the folder is a folder again (the file is gone): the list shows it.
    QFile::remove(folder);
    saved("SN-1", "2026-03-01T09:00:00Z");
    model.library().load();
    EXPECT_NE(pages->currentWidget(), unreadable);
}

TEST_F(HistoryFixture, SaysLoadingUntilTheSavedSessionsLandThenListsThem) {
    // From an earlier launch: on disk, not in the library.
    RorozErurEvo::SessionArchive folder{model.sessionsFolder().toStdString()};
    const TestSession older = session("SN-1", "2026-03-01T09:00:00Z");
    const TestSession newest = session("SN-2", "2026-03-02T09:00:00Z");
    folder.save(older);
    folder.save(newest);
    QFile broken(QDir(model.sessionsFolder()).filePath("broken.json"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.close();
    model.deviceLists().setUnit(bench.demo()->id(), UnitRecord{.unit = "SN-1"});
    model.navigation().setTab(DetailTab::history);

    model.start(false); // the folder is read; its list waits for the main thread
    auto view = open();
    DeviceView device(model, bench.demo());
    device.resize(1200, 800);
    device.show();
    auto* unitHistory = device.findChild<HistoryView*>("device-history");
    ASSERT_NE(unitHistory, nullptr);
    for (HistoryView* shown : {view.get(), unitHistory}) {
        EXPECT_TRUE(shown->loadingState()->isVisible());
        EXPECT_EQ(shown->loadingState()->title(), "Loading…");
        EXPECT_FALSE(shown->emptyState()->isVisible()) << "not \"no sessions\" before they are read";
        EXPECT_FALSE(shown->list()->isVisible());
    }
    EXPECT_FALSE(find<QWidget>(*view, "history-skipped")->isVisible());
    // A session saved meanwhile is kept, and the history still waits for the rest.
    const TestSession during = saved("SN-1", "2026-03-03T09:00:00Z", "During");
    EXPECT_TRUE(view->loadingState()->isVisible());
    EXPECT_EQ(model.navigation().selectedSession(), std::nullopt) << "nothing picked from a partial list";

    TestLog::ExpectedWarnings logged("tessarine.model", "skipped the session file broken.json");
    EXPECT_EQ(bench.executor->runAll(), 1);
    EXPECT_FALSE(view->loadingState()->isVisible());
    EXPECT_TRUE(view->list()->isVisible());
    EXPECT_EQ(view->listModel()->groupCount(), 2);
    EXPECT_EQ(view->listModel()->rowCount(), 5); // two headers, three sessions
    EXPECT_EQ(model.navigation().selectedSession(), during.id)
        << "the newest is picked once the list is whole";
    EXPECT_TRUE(unitHistory->list()->isVisible());
    EXPECT_EQ(unitHistory->listModel()->rowCount(), 3); // SN-1's header, "During" and the older one
    EXPECT_TRUE(find<QWidget>(*view, "history-skipped")->isVisible()) << "an unreadable file is still reported";
    EXPECT_EQ(logged.count(), 1);

    // An empty folder ends in the empty state, not in "Loading…".
    Fakes::Bench empty;
    empty.model->start(false);
    HistoryView none(empty.model->library(), empty.model->navigation(), *empty.model);
    EXPECT_EQ(none.findChild<QStackedLayout*>()->currentWidget(), none.loadingState());
    empty.executor->runAll();
    EXPECT_EQ(none.findChild<QStackedLayout*>()->currentWidget(), none.emptyState());
}

TEST_F(HistoryFixture, ListGroupsByExactUnitKeyNewestFirst) {
    saved("abc", "2026-03-01T09:00:00Z", "Before repair");
    saved("ABC", "2026-03-03T09:00:00Z");
    saved("  abc\n", "2026-03-02T09:00:00Z", "   ");
    auto view = open();
    SessionListModel& rows = *view->listModel();
    ASSERT_EQ(rows.groupCount(), 2);
    ASSERT_EQ(rows.rowCount(), 5);
    auto text = [&](int row, int role = Qt::DisplayRole) { return rows.index(row).data(role).toString(); };
    EXPECT_EQ(text(0), "ABC");
    EXPECT_TRUE(rows.index(0).data(SessionListModel::HeaderRole).toBool());
    EXPECT_EQ(rows.flags(rows.index(0)), Qt::NoItemFlags); // a header is never picked
    EXPECT_EQ(text(1), "Session");
    EXPECT_EQ(text(2), "abc");
    EXPECT_EQ(text(3), "   "); // a label of spaces is shown as it is
    EXPECT_EQ(text(4), "Before repair");
    EXPECT_TRUE(text(4, Qt::AccessibleTextRole).endsWith(", Pass")) << text(4, Qt::AccessibleTextRole).toStdString();
}

TEST_F(HistoryFixture, EmptyHistoriesSaySo) {
    auto all = open();
    ASSERT_EQ(all->emptyState(), all->findChild<EmptyState*>("history-empty"));
    EXPECT_TRUE(all->emptyState()->isVisible());
    EXPECT_EQ(all->emptyState()->title(), "No saved sessions yet");
    EXPECT_EQ(all->emptyState()->symbol(), "tray");
    EXPECT_EQ(all->emptyState()->description(), "Run tests on a device, then choose Save Session…");
    EXPECT_FALSE(model.navigation().selectedSession());

    saved("SN-2", "2026-03-01T09:00:00Z");
    auto one = open(std::string("SN-1"));
    EXPECT_TRUE(one->emptyState()->isVisible());
    EXPECT_EQ(one->emptyState()->title(), "No sessions for SN-1 yet");
    // The first save of the unit brings the list with it, and picks that session.
    model.navigation().setSelectedSession(std::nullopt);
    const TestSession first = saved("SN-1", "2026-03-02T09:00:00Z");
    EXPECT_TRUE(one->list()->isVisible());
    EXPECT_EQ(model.navigation().selectedSession(), first.id);
}

TEST_F(HistoryFixture, OpeningPicksTheNewestSessionAndClickingARowPicksIt) {
    const TestSession old = saved("SN-1", "2026-03-01T09:00:00Z", "Before repair");
    const TestSession newest = saved("SN-2", "2026-03-05T09:00:00Z");
    auto view = open();
    EXPECT_EQ(model.navigation().selectedSession(), newest.id);
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->session().id, newest.id);
    EXPECT_EQ(view->list()->currentIndex().row(), 1);

    const QModelIndex row = view->listModel()->index(view->listModel()->row(old.id));
    QTest::mouseClick(view->list()->viewport(), Qt::LeftButton, {}, view->list()->visualRect(row).center());
    EXPECT_EQ(model.navigation().selectedSession(), old.id);
    settle();
    detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->session().id, old.id);
    EXPECT_EQ(find<QLabel>(*detail, "detail-title")->text(), "Wireless Pad — Before repair");
}

TEST_F(HistoryFixture, HomeAndEndGoToTheFirstAndLastSessionPastTheHeaders) {
    const TestSession oldest = saved("SN-1", "2026-03-01T09:00:00Z", "Before repair");
    saved("SN-1", "2026-03-02T09:00:00Z", "After repair");
    const TestSession newest = saved("SN-2", "2026-03-05T09:00:00Z");
    auto view = open();
    view->list()->setFocus();
    EXPECT_EQ(model.navigation().selectedSession(), newest.id);

    // End picks the last session; Home, from anywhere, the newest again, below the first header.
    QTest::keyClick(view->list(), Qt::Key_End);
    EXPECT_EQ(model.navigation().selectedSession(), oldest.id);
    QTest::keyClick(view->list(), Qt::Key_Home);
    EXPECT_EQ(model.navigation().selectedSession(), newest.id);
    EXPECT_EQ(view->list()->currentIndex().row(), 1);
    QTest::keyClick(view->list(), Qt::Key_End);
    QTest::keyClick(view->list(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(model.navigation().selectedSession(), newest.id);
    settle();
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->session().id, newest.id);
}

TEST_F(HistoryFixture, APickOfAnotherUnitStaysWhenOneUnitIsListed) {
    saved("SN-1", "2026-03-01T09:00:00Z");
    const TestSession other = saved("SN-2", "2026-03-05T09:00:00Z");
    model.navigation().setSelectedSession(other.id);
    auto view = open(std::string("SN-1"));
    EXPECT_EQ(model.navigation().selectedSession(), other.id);
    EXPECT_TRUE(view->list()->selectionModel()->selectedRows().isEmpty());
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->session().id, other.id);
}

TEST_F(HistoryFixture, BothComparisonIdsShowTheComparisonUntilDone) {
    const TestSession before = saved("SN-1", "2026-03-01T09:00:00Z", "Before repair");
    const TestSession after = saved("SN-1", "2026-03-02T09:00:00Z", "After repair");
    auto view = open();
    EXPECT_EQ(model.navigation().selectedSession(), after.id);
    model.navigation().setCompareBefore(before.id);
    EXPECT_NE(qobject_cast<SessionDetail*>(view->detail()), nullptr); // one id is not a comparison
    model.navigation().setCompareAfter(after.id);
    auto* compare = qobject_cast<CompareView*>(view->detail());
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(compare->before().id, before.id);

    // Return ends it, as Done does.
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    EXPECT_TRUE(compare->hasFocus());
    QTest::keyClick(compare, Qt::Key_Return);
    EXPECT_FALSE(model.navigation().compareBefore());
    EXPECT_FALSE(model.navigation().compareAfter());
    settle();
    EXPECT_NE(qobject_cast<SessionDetail*>(view->detail()), nullptr);

    // A comparison whose session is deleted gives way to the picked session.
    model.navigation().setCompareBefore(before.id);
    model.navigation().setCompareAfter(after.id);
    model.removeSession(before.id);
    bench.executor->runAll(); // the file is deleted off the main thread
    ASSERT_FALSE(model.library().session(before.id));
    settle();
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->session().id, after.id);
}

TEST_F(HistoryFixture, ChoosingARowWhileComparingShowsThatSession) {
    const TestSession other = saved("SN-2", "2026-03-05T09:00:00Z", "Intake");
    const TestSession before = saved("SN-1", "2026-03-01T09:00:00Z", "Before repair");
    const TestSession after = saved("SN-1", "2026-03-02T09:00:00Z", "After repair");
    auto view = open();
    model.navigation().setSelectedSession(after.id);
    model.navigation().setCompareBefore(before.id);
    model.navigation().setCompareAfter(after.id);
    ASSERT_NE(qobject_cast<CompareView*>(view->detail()), nullptr);
    auto click = [&](const TestSession& s) {
        const QModelIndex row = view->listModel()->index(view->listModel()->row(s.id));
        QTest::mouseClick(view->list()->viewport(), Qt::LeftButton, {}, view->list()->visualRect(row).center());
        settle();
    };

    // Another row: the pane shows that session, and the comparison is over.
    click(other);
    EXPECT_EQ(model.navigation().selectedSession(), other.id);
    EXPECT_FALSE(model.navigation().compareBefore());
    EXPECT_FALSE(model.navigation().compareAfter());
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->session().id, other.id);

    // The row already highlighted, clicked while comparing, shows its session too.
    model.navigation().setSelectedSession(after.id);
    model.navigation().setCompareBefore(before.id);
    model.navigation().setCompareAfter(after.id);
    ASSERT_NE(qobject_cast<CompareView*>(view->detail()), nullptr);
    click(after);
    detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->session().id, after.id);

    // Moving through the list with the keyboard does the same.
    model.navigation().setCompareBefore(before.id);
    model.navigation().setCompareAfter(after.id);
    ASSERT_NE(qobject_cast<CompareView*>(view->detail()), nullptr);
    view->list()->setFocus();
    QTest::keyClick(view->list(), Qt::Key_Up);
    settle();
    EXPECT_FALSE(model.navigation().compareAfter());
    detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->session().id, model.navigation().selectedSession());
    EXPECT_NE(detail->session().id, after.id);
}

// ---- the session detail

TEST_F(HistoryFixture, CompareWithOffersTheOtherSessionsByUnit) {
    const TestSession shown = saved("SN-1", "2026-03-02T09:00:00Z", "Before repair");
    model.navigation().setSelectedSession(shown.id);
    auto view = open();
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_FALSE(detail->compareButton()->isEnabled()); // nothing else saved

    const TestSession other = saved("SN-2", "2026-03-01T09:00:00Z");
    EXPECT_TRUE(detail->compareButton()->isEnabled());
    detail->compareButton()->click();
    ASSERT_NE(detail->comparePicker(), nullptr);
    EXPECT_EQ(pickerRows(*detail->comparePicker()),
              (QStringList{"Other units", "SN-2: " + HistoryTexts::compareItemTitle(listed(other))}));
    QTest::keyClick(detail->comparePicker()->searchField(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(detail->comparePicker(), nullptr);
    EXPECT_FALSE(model.navigation().compareBefore());

    model.removeSession(other.id);
    bench.executor->runAll();
    const TestSession sameTime = saved("SN-1", "2026-03-02T09:00:00Z", "After repair");
    detail->compareButton()->click();
    ComparePicker* picker = detail->comparePicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(pickerRows(*picker), (QStringList{"Same unit", HistoryTexts::compareItemTitle(listed(sameTime))}));
    EXPECT_FALSE(picker->model()->flags(picker->model()->index(0, 0)) & Qt::ItemIsSelectable); // a header
    ASSERT_NE(picker->current(), nullptr);
    EXPECT_EQ(picker->current()->id, sameTime.id);
    QTest::keyClick(picker->searchField(), Qt::Key_Return);
    // Saved at the same time: the shown session is the before one.
    EXPECT_EQ(model.navigation().compareBefore(), shown.id);
    EXPECT_EQ(model.navigation().compareAfter(), sameTime.id);
    settle();
    EXPECT_NE(qobject_cast<CompareView*>(view->detail()), nullptr);
}

TEST_F(HistoryFixture, CompareWithNeverOffersAnotherKindOfDevice) {
    const TestSession pad = saved("SN-1", "2026-03-02T09:00:00Z", "Before repair", results(1));
    saved(testerSaved("SN-1", "2026-03-03T09:00:00Z", TestKind::keyboard));
    saved(testerSaved("SN-1", "2026-03-04T09:00:00Z", TestKind::mouse));
    model.navigation().setSelectedSession(pad.id);
    auto view = open();
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_FALSE(detail->compareButton()->isEnabled()) << "a keyboard or mouse is no partner for a pad";

    const TestSession later = saved("SN-1", "2026-03-05T09:00:00Z", "After repair", results(1));
    EXPECT_TRUE(detail->compareButton()->isEnabled());
    detail->compareButton()->click();
    ASSERT_NE(detail->comparePicker(), nullptr);
    EXPECT_EQ(pickerRows(*detail->comparePicker()), (QStringList{"Same unit", HistoryTexts::compareItemTitle(listed(later))}));
}

TEST_F(HistoryFixture, ResultsOnRawValuesAreMarkedInTheDetailTheComparisonAndThePdf) {
    REQUIRE_PDF_TOOLS();
    model.setReportRenderer(std::make_shared<ReportService>(nullptr));
    // The same drift test on processed and on raw HID values, with different verdicts.
    auto drift = [](Verdict verdict, double offset) {
        return Samples::result(TestKind::drift, "Left stick", verdict, {Samples::percent("offset", offset)});
    };
    TestResult rawPlot = onRaw(plotted("Left stick"));
    TestSession before = saved("SN-1", "2026-03-01T09:00:00Z", "Before repair",
                               {drift(Verdict::pass, 0.005), onRaw(drift(Verdict::fail, 0.12))});
    TestSession after = saved("SN-1", "2026-03-02T09:00:00Z", "After repair",
                              {drift(Verdict::pass, 0.005), onRaw(drift(Verdict::warn, 0.079)), rawPlot});
    const QString plain = QStringLiteral("Left stick: Drift at rest");
    const QString marked = QStringLiteral("Left stick: Drift at rest (Raw HID)");

    model.navigation().setSelectedSession(after.id);
    auto view = open();
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    QStringList titles, spoken;
    for (auto* label : detail->findChildren<QLabel*>("result-title"))
        titles << label->text();
    for (auto* row : detail->findChildren<QWidget*>("result-row"))
        spoken << row->accessibleName();
    EXPECT_EQ(titles, (QStringList{plain, marked, "Left stick: Circularity (Raw HID)"}));
    EXPECT_TRUE(spoken[0].startsWith(plain + ": Pass")) << spoken[0].toStdString();
    EXPECT_TRUE(spoken[1].startsWith(marked + ": Warn")) << spoken[1].toStdString();
    EXPECT_EQ(detail->findChild<StickPlotView*>("result-plot")->accessibleName(),
              "Left stick (Raw HID) circularity plot");
    EXPECT_EQ(detail->findChild<StickPlotView*>("result-plot")->accessibleValue(),
              QString::fromStdString(rawPlot.measures.front().spoken()));
    EXPECT_TRUE(find<QLabel>(*detail, "detail-listing-text")
                    ->text()
                    .contains("left stick (Raw HID) 5% circularity, drift 7.9%"));

    // Each side pairs with the same test on the same values.
    CompareView compare(model, model.navigation(), before, after);
    QStringList rows, changes;
    for (auto* label : compare.findChildren<QLabel*>("compare-title"))
        rows << label->text();
    for (auto* change : compare.findChildren<SymbolText*>("compare-change"))
        changes << change->accessibleName();
    EXPECT_EQ(rows, (QStringList{plain, marked, "Left stick: Circularity (Raw HID)"}));
    EXPECT_EQ(changes, (QStringList{plain + ": Same", marked + ": Better",
                                    "Left stick: Circularity (Raw HID): Only after"}));

    const QString path = QDir(bench.folder.path()).filePath("raw.pdf");
    chooser->answer = path;
    find<QPushButton>(*detail, "detail-pdf")->click();
    bench.executor->runAll();
    ASSERT_EQ(model.toast(), "Report saved");
    const QString text = PdfTools::Document(path).text(1);
    EXPECT_EQ(text.count(marked), 1) << text.toStdString();
    EXPECT_EQ(text.count(QRegularExpression(QRegularExpression::escape(plain) + "(?! \\(Raw HID\\))")), 1)
        << text.toStdString();
    EXPECT_TRUE(text.contains("Left stick (Raw HID): 5% circularity")) << text.toStdString();
}

TEST_F(HistoryFixture, AFailedKeyboardNamesItsMissingKeysAndItsBoardInTheDetailTheListingAndThePdf) {
    REQUIRE_PDF_TOOLS();
    model.setReportRenderer(std::make_shared<ReportService>(nullptr));
    // Every key of a full-size board but Scroll Lock, as a user would press them.
    KeyboardTester& keyboard = model.keyboard();
    keyboard.setBoard(RorozErurEvo::KeyboardBoard::fullSize);
    keyboard.start();
    const int scrollLock = RorozErurEvo::LinuxKeyCodes::lifted(70);
    double t = 1;
    for (const auto& key : RorozErurEvo::KeyboardLayout::ansi().keys(RorozErurEvo::KeyboardBoard::fullSize)) {
        if (key.code == scrollLock) continue;
        keyboard.record(key.code, true, t);
        keyboard.record(key.code, false, t + 0.05);
        t += 0.2;
    }
    const TestSession s = saved(testerSession(keyboard.results(30), "Keyboard (US (ANSI))", "Keyboard (US (ANSI))", "",
                                              RorozErurEvo::Dates::now(), "2.4.1"));
    const QString headline = QStringLiteral("Scroll Lock not registered, 99 of 100 keys of the full-size board");

    model.navigation().setSelectedSession(s.id);
    auto view = open();
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_TRUE(find<QLabel>(*detail, "result-headline")->text().startsWith(headline))
        << find<QLabel>(*detail, "result-headline")->text().toStdString();
    EXPECT_TRUE(find<QLabel>(*detail, "detail-listing-text")->text().contains(headline));

    const QString path = QDir(bench.folder.path()).filePath("keyboard.pdf");
    chooser->answer = path;
    find<QPushButton>(*detail, "detail-pdf")->click();
    bench.executor->runAll();
    ASSERT_EQ(model.toast(), "Report saved");
    EXPECT_TRUE(PdfTools::Document(path).flatText(1).contains(headline)) << PdfTools::Document(path).text(1).toStdString();

    // A keyboard result saved before names its keys only in its details: it opens and reads as saved.
    TestResult older = Samples::result(TestKind::keyboard, "", Verdict::fail);
    older.headline = "85 of 86 keys registered, no chatter";
    older.details = {"Not registered: Scroll Lock.", "Layout: US (ANSI). Most keys registered together: 4."};
    const TestSession old = saved("Keyboard (US (ANSI))", "2025-11-02T09:00:00Z", "Tested", {older});
    model.navigation().setSelectedSession(old.id);
    settle();
    detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(find<QLabel>(*detail, "result-headline")->text(), "85 of 86 keys registered, no chatter");
}

// Every item of the rumble, lights and adaptive-trigger checklists not working: the detail, its
// listing text and the PDF name every item, nothing cut.
TEST_F(HistoryFixture, AChecklistFailedWholeIsShownWholeInTheDetailTheListingAndThePdf) {
    REQUIRE_PDF_TOOLS();
    model.setReportRenderer(std::make_shared<ReportService>(nullptr));
    const TestSession s = saved("SN-7", "2026-03-04T09:00:00Z", "Intake", ChecklistSamples::allFailed());
    auto view = open();
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    QStringList shown;
    for (auto* label : detail->findChildren<QLabel*>("result-headline")) shown << label->text().remove(QChar(0x200B));
    const QString listing = find<QLabel>(*detail, "detail-listing-text")->text().remove(QChar(0x200B));
    EXPECT_FALSE(listing.contains(QChar(0x2026))) << listing.toStdString();

    const QString path = QDir(bench.folder.path()).filePath("checklists.pdf");
    chooser->answer = path;
    find<QPushButton>(*detail, "detail-pdf")->click();
    bench.executor->runAll();
    ASSERT_EQ(model.toast(), "Report saved");
    const QString pdf = PdfTools::Document(path).flatText(1);
    EXPECT_FALSE(pdf.contains(QChar(0x2026))) << pdf.toStdString();
    for (const auto& result : s.results) {
        const QString headline = QString::fromStdString(result.headline);
        EXPECT_TRUE(shown.contains(headline)) << result.headline;
        EXPECT_TRUE(listing.contains(headline)) << result.headline;
        EXPECT_TRUE(pdf.contains(headline)) << result.headline;
    }

    // A checklist an earlier version saved, its items parted by semicolons, reads whole as saved.
    TestResult older = Samples::result(TestKind::rumble, "", Verdict::fail);
    older.headline = "rumble: Left handle, gentle; Left handle, strong; Right handle, gentle; Right handle, strong; "
                     "Left trigger, gentle; Left trigger, strong; Right trigger, gentle and Right trigger, strong "
                     "not working";
    const TestSession old = saved("SN-7", "2025-11-02T09:00:00Z", "Intake", {older});
    model.navigation().setSelectedSession(old.id);
    settle();
    detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(find<QLabel>(*detail, "result-headline")->text().toStdString(), older.headline);
}

TEST_F(HistoryFixture, DetailShowsDeviceResultsNotesAndListing) {
    TestSession s = session("SN-1", "2026-03-02T09:00:00Z", "After repair", results(2, Verdict::warn));
    s.notes = "  ";
    s.device.vendor = "Maker";
    s.results.push_back(plotted("Left stick"));
    s.results.back().timeline = RorozErurEvo::SoakStrip{60, std::vector<RorozErurEvo::SoakStrip::State>(12)};
    saved(s);
    auto view = open();
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(find<QWidget>(*detail, "detail-verdict")->accessibleName(), "Warn");
    EXPECT_NE(find<QGroupBox>(*detail, "detail-notes"), nullptr); // notes of spaces are notes
    EXPECT_EQ(find<QLabel>(*detail, "detail-listing-text")->text().toStdString(),
              RorozErurEvo::ListingSummary::text(s, "Tessarine"));
    EXPECT_EQ(find<QLabel>(*detail, "detail-scope-note")->text(), AppInfo::current().scopeNote);
    QStringList device;
    for (auto* label : find<QGroupBox>(*detail, "detail-device")->findChildren<QLabel*>()) device << label->text();
    EXPECT_EQ(device, (QStringList{"Device", "Wireless Pad", "Vendor", "Maker"}));

    auto* table = find<ResultsTable>(*detail, "results-table");
    auto rows = table->findChildren<QWidget*>("result-row");
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0]->accessibleName().toStdString(), s.sortedResults()[0].spoken());
    EXPECT_EQ(table->findChildren<StickPlotView*>().size(), 1);
    EXPECT_EQ(table->findChildren<SoakStripView*>().size(), 1);
    EXPECT_EQ(table->findChildren<QLabel*>("result-value").size(), 3);

    TestSession quiet = session("SN-2", "2026-03-03T09:00:00Z");
    quiet.results.push_back(Samples::result(TestKind::rumble, "", Verdict::pass));
    saved(quiet);
    model.navigation().setSelectedSession(quiet.id);
    settle();
    detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->findChild<QGroupBox*>("detail-notes"), nullptr);
    // A result without measures has no value column.
    EXPECT_TRUE(detail->findChildren<QLabel*>("result-value").isEmpty());
}

TEST_F(HistoryFixture, DeleteAsksFirstThenRemovesTheFile) {
    const TestSession s = saved("SN-1", "2026-03-02T09:00:00Z", "Before repair");
    auto view = open();
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    find<QPushButton>(*detail, "detail-delete")->click();
    ASSERT_NE(detail->confirmation(), nullptr);
    EXPECT_EQ(detail->confirmation()->text(), "Delete this session?");
    EXPECT_EQ(detail->confirmation()->informativeText(), HistoryTexts::deleteMessage(s));
    detail->confirmation()->button(QMessageBox::Cancel)->click();
    EXPECT_TRUE(QFile::exists(sessionFile(s)));
    EXPECT_EQ(model.library().sessions().size(), 1u);
    settle();
    EXPECT_EQ(detail->confirmation(), nullptr);

    find<QPushButton>(*detail, "detail-delete")->click();
    find<QPushButton>(*detail->confirmation(), "detail-confirm-delete-button")->click();
    bench.executor->runAll();
    EXPECT_FALSE(QFile::exists(sessionFile(s)));
    EXPECT_TRUE(model.library().sessions().empty());
    EXPECT_TRUE(view->emptyState()->isVisible()); // the last one: nothing is listed

    // With others left, the deleted id stays picked and the pane asks for a pick.
    saved("SN-1", "2026-03-01T09:00:00Z");
    const TestSession second = saved("SN-1", "2026-03-03T09:00:00Z");
    model.navigation().setSelectedSession(second.id);
    settle();
    detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    find<QPushButton>(*detail, "detail-delete")->click();
    find<QPushButton>(*detail->confirmation(), "detail-confirm-delete-button")->click();
    bench.executor->runAll();
    settle();
    EXPECT_EQ(model.navigation().selectedSession(), second.id);
    auto* pick = qobject_cast<EmptyState*>(view->detail());
    ASSERT_NE(pick, nullptr);
    EXPECT_EQ(pick->title(), "Pick a session");
    EXPECT_EQ(pick->symbol(), "list.bullet.rectangle");
}

TEST_F(HistoryFixture, ADeleteThatFailsKeepsTheSessionAndSaysWhy) {
    const TestSession s = saved("SN-1", "2026-03-02T09:00:00Z");
    auto view = open();
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);
    TestFiles::Unremovable lock(model.sessionsFolder());
    if (!lock.ok()) GTEST_SKIP() << "this file system cannot make a folder unremovable";
    TestLog::ExpectedWarnings expected("tessarine.model", "delete");
    find<QPushButton>(*detail, "detail-delete")->click();
    find<QPushButton>(*detail->confirmation(), "detail-confirm-delete-button")->click();
    bench.executor->runAll();
    EXPECT_EQ(expected.count(), 1);
    ASSERT_TRUE(model.toast());
    EXPECT_TRUE(model.toast()->starts_with("Couldn't delete the session: ")) << *model.toast();
    EXPECT_TRUE(QFile::exists(sessionFile(s)));
    EXPECT_EQ(model.library().sessions().size(), 1u);
    settle();
    EXPECT_NE(qobject_cast<SessionDetail*>(view->detail()), nullptr);
}

TEST_F(HistoryFixture, CopyPdfPrintAndExportGoThroughTheModel) {
    auto renderer = std::make_shared<Fakes::Renderer>();
    model.setReportRenderer(renderer);
    const TestSession s = saved("SN-1", "2026-03-02T09:00:00Z", "After repair", results(1));
    auto view = open();
    auto* detail = qobject_cast<SessionDetail*>(view->detail());
    ASSERT_NE(detail, nullptr);

    find<QPushButton>(*detail, "detail-copy")->click();
    ASSERT_EQ(clipboard->texts.size(), 1);
    EXPECT_EQ(clipboard->texts[0].toStdString(), RorozErurEvo::ListingSummary::text(s, "Tessarine"));
    EXPECT_EQ(model.toast(), "Listing text copied");

    chooser->answer = QDir(bench.folder.path()).filePath("report.pdf");
    find<QPushButton>(*detail, "detail-pdf")->click();
    ASSERT_EQ(chooser->asked.size(), 1u);
    EXPECT_EQ(chooser->asked[0].name, "SN-1 After repair.pdf");
    bench.executor->runAll();
    EXPECT_EQ(model.toast(), "Report saved");
    find<QPushButton>(*detail, "detail-print")->click();
    EXPECT_EQ(renderer->printed, 1);

    // The export menu counts again each time it opens.
    auto* exportMenu = find<ExportMenu>(*detail, "export-menu");
    EXPECT_EQ(exportMenu->toolTip(), "Export sessions and results as CSV (one row per result) or JSON (everything)");
    exportMenu->menu()->popup(QPoint(0, 0));
    EXPECT_EQ(texts(*exportMenu->menu()),
              (QStringList{"This session", "CSV…", "JSON…", "Every saved session (1)", "CSV…", "JSON…"}));
    exportMenu->menu()->hide();
    saved("SN-1", "2026-03-01T09:00:00Z");
    saved("SN-2", "2026-03-01T10:00:00Z");
    exportMenu->menu()->popup(QPoint(0, 0));
    EXPECT_EQ(texts(*exportMenu->menu()), (QStringList{"This session", "CSV…", "JSON…", "All 2 sessions for SN-1", "CSV…",
                                                       "JSON…", "Every saved session (3)", "CSV…", "JSON…"}));
    chooser->answer = QDir(bench.folder.path()).filePath("unit.json");
    entries(*exportMenu->menu())[5]->trigger(); // the unit's JSON…
    exportMenu->menu()->hide();
    EXPECT_EQ(chooser->asked.back().name, "SN-1 sessions.json");
    EXPECT_EQ(chooser->asked.back().type, FileChooser::Type::json);
    bench.executor->runAll();
    EXPECT_EQ(model.toast(), "Exported 2 sessions");
}

// ---- the comparison

TEST_F(HistoryFixture, ComparisonMarksChangesAndShowsPlotsOnlyWhenThereAreAny) {
    TestSession before = session("SN-1", "2026-03-01T09:00:00Z", {}, results(2, Verdict::fail));
    before.results.push_back(Samples::result(TestKind::rumble, "", Verdict::pass));
    TestSession after = session("SN-1", "2026-03-02T09:00:00Z", {}, results(2, Verdict::pass));
    after.results.push_back(Samples::result(TestKind::hold, "", Verdict::pass));
    CompareView view(model, model.navigation(), before, after);
    QStringList headers;
    for (auto* label : view.findChildren<QLabel*>("compare-header")) headers << label->text();
    EXPECT_EQ(headers, (QStringList{"Test", "Before: session", "After: session", "Change"}));
    QStringList changes;
    for (auto* change : view.findChildren<SymbolText*>("compare-change"))
        changes << change->textLabel()->text() + "/" + change->symbol();
    EXPECT_EQ(changes, (QStringList{"Better/arrow.up.circle.fill", "Better/arrow.up.circle.fill",
                                    "Only after/plus.circle.fill", "Only before/minus.circle.fill"}));
    EXPECT_EQ(view.findChildren<QLabel*>("compare-none").size(), 2); // one "–" on each side
    EXPECT_EQ(view.findChild<QWidget*>("compare-plots"), nullptr);

    after.results.push_back(plotted("Left stick"));
    CompareView plots(model, model.navigation(), before, after);
    ASSERT_NE(plots.findChild<QWidget*>("compare-plots"), nullptr);
    auto pictures = plots.findChildren<StickPlotView*>();
    ASSERT_EQ(pictures.size(), 1);
    EXPECT_EQ(pictures[0]->accessibleName(), "After plot"); // the before side is a faint placeholder
    // A saved outline has no live reading: a screen reader hears the result, not "No reading yet".
    EXPECT_EQ(pictures[0]->accessibleValue(), "error 5 percent, Warn, warn above 4 percent, fail above 8 percent");
}

TEST_F(HistoryFixture, EachComparisonRowShowsOneMeasureOnBothSides) {
    // Failed by the second measure; the first one, with a limit too, passed.
    TestResult failed = Samples::result(
        TestKind::circularity, "Left stick", Verdict::fail,
        {Samples::percent("error", 0.058, RorozErurEvo::Limit{0.08, 0.15, RorozErurEvo::Limit::Direction::above}),
         Samples::percent("short", 0.319, RorozErurEvo::Limit{0.10, 0.20, RorozErurEvo::Limit::Direction::above})});
    failed.measures[1].label = "Directions short of the edge";
    TestResult passed = failed;
    passed.measures[1].value = 0.02;
    passed.verdict = Verdict::pass;
    TestSession before = session("SN-1", "2026-03-01T09:00:00Z", {}, {failed});
    TestSession after = session("SN-1", "2026-03-02T09:00:00Z", {}, {passed});
    CompareView view(model, model.navigation(), before, after);
    QStringList values, names;
    for (auto* label : view.findChildren<QLabel*>("compare-value")) values << label->text();
    for (auto* label : view.findChildren<QLabel*>("compare-measure")) names << label->text();
    // The measure that decided the worse side, on both sides: never 5.8% "error" beside 31.9%
    // "short".
    EXPECT_EQ(values, (QStringList{"31.9%", "2%"}));
    EXPECT_EQ(names, (QStringList{"Directions short of the edge", "Directions short of the edge"}));

    // A side without that measure says so, rather than showing another one.
    TestResult trimmed = passed;
    trimmed.measures.pop_back();
    CompareView lacking(model, model.navigation(), before, session("SN-1", "2026-03-02T09:00:00Z", {}, {trimmed}));
    values.clear();
    names.clear();
    for (auto* label : lacking.findChildren<QLabel*>("compare-value")) values << label->text();
    for (auto* label : lacking.findChildren<QLabel*>("compare-measure")) names << label->text();
    EXPECT_EQ(values, (QStringList{"31.9%", "\u2014"}));
    EXPECT_EQ(names, (QStringList{"Directions short of the edge", "Directions short of the edge"}));

    // The session's own table names the measure that decided each row, as the cards do.
    ResultsTable table(before.results);
    EXPECT_EQ(table.findChild<QLabel*>("result-value")->text(), "31.9%");
    ASSERT_NE(table.findChild<QLabel*>("result-measure"), nullptr);
    EXPECT_EQ(table.findChild<QLabel*>("result-measure")->text(), "Directions short of the edge");
    EXPECT_EQ(table.findChild<QLabel*>("result-limit")->text(), "warn > 10%, fail > 20%");
}

TEST_F(HistoryFixture, PdfOfBothNumbersEachSessionsPagesApart) {
    REQUIRE_PDF_TOOLS();
    model.setReportRenderer(std::make_shared<ReportService>(nullptr));
    const TestSession before = saved("SN-1", "2026-03-01T09:00:00Z", "Before repair", results(20));
    const TestSession after = saved("SN-1", "2026-03-02T09:00:00Z", "After repair", results(5));
    auto view = open();
    const QString path = pdfOfBoth(*view, before, after);
    CompareView* compare = qobject_cast<CompareView*>(view->detail());
    ASSERT_NE(compare, nullptr);
    ASSERT_EQ(chooser->asked.size(), 1u);
    EXPECT_EQ(chooser->asked[0].name, "SN-1 before and after.pdf");
    EXPECT_EQ(model.toast(), "Report saved");
    PdfTools::Document pdf(path);
    ASSERT_EQ(pdf.pageCount(), 3);
    EXPECT_TRUE(pdf.text(1).contains("Page 1 of 2"));
    EXPECT_TRUE(pdf.text(1).contains("Before repair"));
    EXPECT_TRUE(pdf.text(2).contains("Page 2 of 2"));
    EXPECT_FALSE(pdf.text(3).contains("Page ")); // the after session's one page is not numbered
    EXPECT_TRUE(pdf.text(3).contains("After repair"));

    find<QPushButton>(*compare, "compare-copy")->click();
    ASSERT_EQ(clipboard->texts.size(), 1);
    EXPECT_EQ(clipboard->texts[0].toStdString(), RorozErurEvo::ListingSummary::text(after, "Tessarine"));
}

// The PDF of a comparison sets like beside like too: a test whose sides were decided by
// different measures reads the same measure on both sessions' pages, while a session's own PDF
// names what decided each of its results.
TEST_F(HistoryFixture, PdfOfBothReadsEachTestByOneMeasure) {
    REQUIRE_PDF_TOOLS();
    model.setReportRenderer(std::make_shared<ReportService>(nullptr));
    using RorozErurEvo::Limit;
    auto circle = [](Verdict verdict, double error, double reach) {
        TestResult r = Samples::result(TestKind::circularity, "Left stick", verdict,
                                       {Samples::percent("error", error, Limit{0.08, 0.15, Limit::Direction::above}),
                                        Samples::percent("reach", reach, Limit{0.9, 0.8, Limit::Direction::below})});
        r.measures[0].label = "Average error";
        r.measures[1].label = "Directions reached";
        return r;
    };
    TestResult rest = Samples::result(TestKind::trigger, "Left trigger", Verdict::warn,
                                      {Samples::percent("rest", 0.051, Limit{0.05, 0.1, Limit::Direction::above})});
    rest.measures[0].label = "At rest";
    TestResult full = Samples::result(TestKind::trigger, "Left trigger", Verdict::pass,
                                      {Samples::percent("full", 0.922, Limit{0.9, 0.8, Limit::Direction::below})});
    full.measures[0].label = "Full pull";
    const TestSession before = saved("SN-1", "2026-03-01T09:00:00Z", "Before repair", {circle(Verdict::pass, 0.022, 0.97), rest});
    const TestSession after = saved("SN-1", "2026-03-02T09:00:00Z", "After repair", {circle(Verdict::fail, 0.03, 0.681), full});
    auto view = open();
    const QString path = pdfOfBoth(*view, before, after);
    ASSERT_EQ(model.toast(), "Report saved");
    PdfTools::Document pdf(path);
    ASSERT_EQ(pdf.pageCount(), 2);
    const QString first = pdf.text(1), second = pdf.text(2);
    EXPECT_TRUE(first.contains("Directions reached: 97%")) << first.toStdString();
    EXPECT_TRUE(second.contains("Directions reached: 68.1%")) << second.toStdString();
    EXPECT_FALSE(first.contains("Average error")) << first.toStdString();
    EXPECT_TRUE(first.contains("At rest: 5.1%")) << first.toStdString();
    EXPECT_TRUE(second.contains("At rest: \u2014")) << second.toStdString();
    EXPECT_FALSE(second.contains("Full pull")) << second.toStdString();

    // The before session's own PDF names what decided each of its results.
    SessionDetail detail(model.library(), model.navigation(), model, before);
    const QString alone = QDir(bench.folder.path()).filePath("alone.pdf");
    chooser->answer = alone;
    find<QPushButton>(detail, "detail-pdf")->click();
    EXPECT_TRUE(PdfTools::Document(alone).text(1).contains("Average error: 2.2%"));
}

// ---- the device's History tab

TEST_F(HistoryFixture, DeviceTabListsTheUnitTheDeviceWouldSaveUnder) {
    model.deviceLists().setUnit(bench.demo()->id(), UnitRecord{.unit = "DEMO-7"});
    saved("DEMO-7", "2026-03-01T09:00:00Z");
    saved("SN-2", "2026-03-02T09:00:00Z");
    model.navigation().setTab(DetailTab::history);
    DeviceView device(model, bench.demo());
    device.resize(1200, 800);
    device.show();
    auto* history = device.findChild<HistoryView*>("device-history");
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->unit(), "DEMO-7");
    EXPECT_EQ(history->listModel()->groupCount(), 1);
}

// A verdict's colour is chosen against the page: on a selected row it keeps a ring of the page's
// colour, or a green mark on a teal highlight could hardly be told from it.
TEST(SessionRows, ASelectedRowsVerdictMarkKeepsThePagesColourAroundIt) {
    QStandardItemModel model;
    auto* item = new QStandardItem(QStringLiteral("After repair"));
    item->setData(QStringLiteral("28 May 2026 18:26 · Wireless Controller"), SessionListModel::CaptionRole);
    item->setData(static_cast<int>(RorozErurEvo::Verdict::pass), SessionListModel::VerdictRole);
    model.appendRow(item);

    const QColor page(QStringLiteral("#1e1e1e"));
    const QColor teal(QStringLiteral("#138a8e"));
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 300, SessionRowDelegate::rowHeight);
    option.palette.setColor(QPalette::Base, page);
    option.palette.setColor(QPalette::Highlight, teal);
    option.palette.setColor(QPalette::HighlightedText, Qt::white);
    SessionRowDelegate delegate;
    // The point just right of the mark's square, in the middle of the row.
    const QPoint ring(option.rect.right() - SessionRowDelegate::horizontalPadding + 1, option.rect.center().y());
    for (const bool selected : {false, true}) {
        option.state = selected ? QStyle::State_Selected | QStyle::State_Enabled : QStyle::State_Enabled;
        QImage image(option.rect.size(), QImage::Format_ARGB32);
        image.fill(page);
        QPainter painter(&image);
        delegate.paint(&painter, option, model.index(0, 0));
        painter.end();
        const QColor seen = image.pixelColor(ring);
        SCOPED_TRACE(selected ? "selected" : "not selected");
        EXPECT_NEAR(seen.red(), page.red(), 20);
        EXPECT_NEAR(seen.green(), page.green(), 20);
        EXPECT_NEAR(seen.blue(), page.blue(), 20);
    }
}
