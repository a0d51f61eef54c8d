// The history listed from summaries of the session files answers as the same history kept whole
// in memory: its rows and groups, unit lookup and the compare picker. What it opens, compares,
// exports and prints is the file's session byte for byte, and a file that changed or vanished
// after the listing is reported, never shown in its place.
#include "app/model/CommandFakes.h"

#include "app/model/CommandState.h"
#include "app/views/history/CompareView.h"
#include "app/views/history/ExportMenu.h"
#include "app/views/history/HistoryTexts.h"
#include "app/views/history/HistoryView.h"
#include "app/views/history/SessionDetail.h"
#include "app/views/history/SessionList.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

#include "support/ChangedSessionFiles.h"
#include "support/TestLog.h"
#include "testkit/SeededHistory.h"
#include "testkit/SessionExport.h"

using namespace Tessarine;
using RorozErurEvo::SessionArchive;
using RorozErurEvo::SessionSummary;
using RorozErurEvo::TestSession;
using RorozErurEvo::Uuid;
namespace SessionCoder = RorozErurEvo::SessionCoder;

namespace {

void settleDeletions() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Every row of a history list as it is shown and read aloud.
std::vector<QString> rows(const SessionListModel& list) {
    std::vector<QString> out;
    for (int r = 0; r < list.rowCount(); ++r) {
        const QModelIndex index = list.index(r, 0);
        out.push_back(index.data().toString() + "|" + index.data(SessionListModel::CaptionRole).toString() + "|" +
                      index.data(Qt::AccessibleTextRole).toString() + "|" +
                      index.data(SessionListModel::VerdictRole).toString() + "|" +
                      index.data(SessionListModel::HeaderRole).toString());
    }
    return out;
}

// A seeded history twice: written to the session folder and listed from summaries, and kept
// whole in a library without an archive, in the same order.
struct SummaryHistory : ::testing::Test {
    Fakes::Bench files{true};
    Fakes::Bench memory{false};
    SessionArchive archive{files.model->sessionsFolder().toStdString()};
    std::vector<TestSession> whole; // in the listed order
    std::shared_ptr<Fakes::Chooser> chooser = std::make_shared<Fakes::Chooser>();
    std::shared_ptr<Fakes::Renderer> renderer = std::make_shared<Fakes::Renderer>();

    SummaryHistory() {
        const auto seeded = RorozErurEvo::Samples::seededHistory(300);
        std::map<Uuid, const TestSession*> byID;
        for (const auto& s : seeded) {
            archive.save(s);
            byID[s.id] = &s;
        }
        files.model->library().load();
        // Equal dates keep the folder's order, which the memory twin takes as given.
        for (const auto& listed : files.model->library().sessions()) whole.push_back(*byID.at(listed.id));
        memory.model->library().setSessions(whole);
        files.model->setFileChooser(chooser);
        files.model->setReportRenderer(renderer);
    }

    AppModel& model() { return *files.model; }
    const std::vector<SessionSummary>& listed() { return files.model->library().sessions(); }
    // The session as its file reads whole, encoded.
    std::string fileBytes(const Uuid& id) { return SessionCoder::encode(SessionArchive::readFile(archive.url(id))); }
};

} // namespace

TEST_F(SummaryHistory, ListsGroupsLooksUpAndPairsAsTheWholeSessionsDo) {
    ASSERT_EQ(listed().size(), 300u);
    EXPECT_EQ(listed(), memory.model->library().sessions());

    HistoryView fromFiles(model().library(), model().navigation(), model());
    HistoryView fromMemory(memory.model->library(), memory.model->navigation(), *memory.model);
    const auto fileRows = rows(*fromFiles.listModel());
    EXPECT_EQ(fileRows, rows(*fromMemory.listModel()));
    // One header per unit, in the order the whole sessions group in, and every session once.
    const auto groups = TestSession::byUnitIndex(whole);
    ASSERT_EQ(fromFiles.listModel()->groupCount(), static_cast<int>(groups.size()));
    EXPECT_EQ(fileRows.size(), groups.size() + whole.size());
    int row = 0;
    for (const auto& group : groups) {
        EXPECT_TRUE(fromFiles.listModel()->index(row, 0).data(SessionListModel::HeaderRole).toBool());
        for (std::size_t i : group.sessions) EXPECT_EQ(fromFiles.listModel()->session(++row)->id, whole[i].id);
        ++row;

        // A unit's own history and the unit lookup hold that unit's sessions, newest first.
        HistoryView unit(model().library(), model().navigation(), model(), group.unit);
        EXPECT_EQ(unit.listModel()->rowCount(), static_cast<int>(group.sessions.size()) + 1) << group.unit;
        std::vector<Uuid> expected;
        for (const auto& s : whole)
            if (s.unitKey() == group.unit) expected.push_back(s.id);
        std::vector<Uuid> found;
        for (const auto& s : model().library().sessions(group.unit)) found.push_back(s.id);
        EXPECT_EQ(found, expected) << group.unit;
    }

    // The compare picker offers what the whole sessions call for: the same kind of device, split
    // by unit, in list order.
    for (std::size_t i = 0; i < whole.size(); ++i) {
        HistoryTexts::CompareChoices expected;
        for (std::size_t j = 0; j < whole.size(); ++j) {
            if (whole[j].id == whole[i].id || whole[j].deviceKind() != whole[i].deviceKind()) continue;
            (whole[j].unitKey() == whole[i].unitKey() ? expected.sameUnit : expected.otherUnits).push_back(j);
        }
        const auto choices = HistoryTexts::compareChoices(listed(), listed()[i]);
        EXPECT_EQ(choices.sameUnit, expected.sameUnit) << i;
        EXPECT_EQ(choices.otherUnits, expected.otherUnits) << i;
    }
}

TEST_F(SummaryHistory, WhatIsOpenedComparedExportedOrPrintedIsTheFilesSession) {
    HistoryView view(model().library(), model().navigation(), model());
    view.resize(1100, 760);
    view.show();
    // Realistic sessions (every fifth of the seed) and plain ones, from all over the list.
    for (std::size_t i : {std::size_t(0), std::size_t(7), std::size_t(100), std::size_t(299)}) {
        model().navigation().setSelectedSession(listed()[i].id);
        files.executor->runAll();
        settleDeletions();
        auto* detail = qobject_cast<SessionDetail*>(view.detail());
        ASSERT_NE(detail, nullptr) << i;
        EXPECT_EQ(SessionCoder::encode(detail->session()), fileBytes(listed()[i].id)) << i;
        EXPECT_EQ(detail->session(), whole[i]);

        detail->findChild<QPushButton*>("detail-print")->click();
        ASSERT_EQ(renderer->printedSessions.size(), 1u);
        EXPECT_EQ(renderer->printedSessions[0], whole[i]);
    }

    model().navigation().setCompareBefore(listed()[20].id);
    model().navigation().setCompareAfter(listed()[5].id);
    files.executor->runAll();
    settleDeletions();
    auto* compare = qobject_cast<CompareView*>(view.detail());
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(SessionCoder::encode(compare->before()), fileBytes(listed()[20].id));
    EXPECT_EQ(SessionCoder::encode(compare->after()), fileBytes(listed()[5].id));
    model().navigation().setCompareBefore(std::nullopt);
    model().navigation().setCompareAfter(std::nullopt);
    settleDeletions();

    // The menus' commands on the picked saved session hand over the file's session too.
    model().navigation().setSelection(SidebarItem::history());
    std::vector<TestSession> current;
    Commands::withCurrentSessions(model(), [&](std::vector<TestSession> sessions) { current = std::move(sessions); });
    files.executor->runAll();
    ASSERT_EQ(current.size(), 1u);
    EXPECT_EQ(current[0], whole[299]);

    // Every saved session exported from the list: the CSV of the whole sessions, in list order.
    auto* detail = qobject_cast<SessionDetail*>(view.detail());
    ASSERT_NE(detail, nullptr);
    auto* menu = detail->findChild<ExportMenu*>("export-menu");
    ASSERT_NE(menu, nullptr);
    menu->refresh();
    QAction* everyCSV = nullptr;
    for (QAction* action : menu->menu()->actions())
        if (action->text() == "CSV…") everyCSV = action; // the last section's
    ASSERT_NE(everyCSV, nullptr);
    const QString path = QDir(files.folder.path()).filePath("all.csv");
    chooser->answer = path;
    everyCSV->trigger();
    EXPECT_EQ(model().exportProgress().count(), (ExportProgress::Count{0, 300})) << "read a session at a time as it is written";
    files.executor->runAll();
    EXPECT_EQ(model().toast(), "Exported 300 sessions");
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), RorozErurEvo::SessionExport::csv(whole));
}

TEST_F(SummaryHistory, FilesThatChangedOrVanishedAfterTheListingAreReportedNotShown) {
    const SessionSummary gone = listed()[3];
    const SessionSummary replaced = listed()[4];
    const SessionSummary garbled = listed()[5];
    const SessionSummary fine = listed()[6];
    ChangedSessionFiles::change(archive, gone.id, replaced.id, garbled.id);

    TestLog::ExpectedWarnings logged("tessarine.model", "could not open the session file");
    HistoryView view(model().library(), model().navigation(), model());
    view.resize(1100, 760);
    view.show();
    auto pick = [&](const SessionSummary& s) {
        model().setToast(std::nullopt);
        model().navigation().setSelectedSession(s.id);
        EXPECT_TRUE(view.opening());
        // What the pane showed is greyed meanwhile: nothing in it acts on the wrong session.
        EXPECT_FALSE(view.detail()->isEnabled());
        files.executor->runAll();
        settleDeletions();
        EXPECT_FALSE(view.opening());
        return view.detail()->objectName().toStdString();
    };
    // A read that takes long says "Loading…" in place of the greyed view.
    files.executor->runAll();
    model().navigation().setSelectedSession(listed()[7].id);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.detail()->objectName() == "history-opening"; }, 5000));
    files.executor->runAll();
    settleDeletions();
    EXPECT_EQ(view.detail()->objectName(), "session-detail");

    EXPECT_EQ(pick(gone), "history-unopened");
    EXPECT_EQ(model().toast(), "Couldn't open the session: its file was deleted after the history was listed");
    EXPECT_EQ(pick(replaced), "history-unopened");
    EXPECT_EQ(model().toast(), "Couldn't open the session: its file was replaced after the history was listed");
    EXPECT_EQ(pick(garbled), "history-unopened");
    EXPECT_TRUE(model().toast()->starts_with("Couldn't open the session: ")) << *model().toast();
    EXPECT_EQ(pick(fine), "session-detail");
    EXPECT_EQ(logged.count(), 3);

    // A change elsewhere in the library does not ask again, nor tell again.
    model().navigation().setSelectedSession(gone.id);
    files.executor->runAll();
    settleDeletions();
    model().setToast(std::nullopt);
    ASSERT_TRUE(model().library().save(whole[0]));
    files.executor->runAll();
    EXPECT_EQ(model().toast(), std::nullopt);
    EXPECT_EQ(view.detail()->objectName(), "history-unopened");

    // A comparison with a vanished session, and an export that needs it, say why and do nothing.
    model().navigation().setCompareBefore(gone.id);
    model().navigation().setCompareAfter(fine.id);
    files.executor->runAll();
    settleDeletions();
    EXPECT_EQ(view.detail()->objectName(), "history-unopened");
    chooser->answer = QDir(files.folder.path()).filePath("all.json");
    model().openSessions(listed(), [&](std::vector<TestSession> sessions) {
        model().exportSessions(sessions, AppModel::ExportFormat::json, "all");
    });
    files.executor->runAll();
    EXPECT_TRUE(model().toast()->starts_with("Couldn't open the session: ")) << *model().toast();
    EXPECT_TRUE(chooser->asked.empty()) << "nothing to save: the panel never opened";
    EXPECT_EQ(listed().size(), 300u) << "the listing stays as it was";
}
