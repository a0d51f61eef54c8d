#include "app/model/ModelFakes.h"

#include "support/TestLog.h"
#include "support/ManualTimers.h"
#include "app/views/shell/RootView.h"
#include "app/views/device/SaveSessionSheet.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

using namespace Tessarine;
using RorozErurEvo::TestKind;
using RorozErurEvo::TestResult;
using RorozErurEvo::ValueSource;
using RorozErurEvo::Verdict;

namespace {

TestResult result(const std::string& element) {
    return TestResult(TestKind::drift, element, ValueSource::processed, Verdict::pass, "Centred", {}, {});
}

struct SheetFixture : ::testing::Test {
    Fakes::Bench bench{true}; // sessions are written into the bench's temporary folder
    AppModel& model = *bench.model;
    ManualTimers toastTimers;
    RootView root{model, Destinations::standard(), toastTimers.factory()};

    SheetFixture() {
        root.setReduceMotion(true);
        root.resize(1320, 860);
        root.show();
    }

    SaveSessionSheet* open() {
        model.requestSave(bench.demo());
        return qobject_cast<SaveSessionSheet*>(root.saveSheet());
    }
    // The default button clicks itself a moment after Return.
    void waitForClose(const QPointer<SaveSessionSheet>& sheet) {
        for (int i = 0; i < 500 && sheet && sheet->isVisible(); ++i) QTest::qWait(10);
    }
    QStringList sessionFiles() const {
        return QDir(model.sessionsFolder()).entryList({QStringLiteral("*.json")}, QDir::Files);
    }
};

} // namespace

TEST(SaveSessionSheetText, SummaryCountsTheResults) {
    EXPECT_EQ(SaveSessionSheet::summary(0), "No results yet: the session will be empty.");
    EXPECT_EQ(SaveSessionSheet::summary(1), "1 result will be saved.");
    EXPECT_EQ(SaveSessionSheet::summary(2), "2 results will be saved.");
    EXPECT_EQ(SaveSessionSheet::summary(11), "11 results will be saved.");
}

TEST_F(SheetFixture, LoadsTheUnitRecordWithTheDefaultTechnicianAndFollowsTheResults) {
    model.settings().setDefaultTechnician("Ana");
    SaveSessionSheet* sheet = open();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->unitField()->objectName(), "save-unit");
    EXPECT_EQ(sheet->saveButton()->objectName(), "save-confirm");
    EXPECT_EQ(sheet->record(), (UnitRecord{.unit = "DEMO-0001", .stage = "Before repair", .technician = "Ana"}));
    EXPECT_EQ(sheet->summaryLabel()->text(), "No results yet: the session will be empty.");
    model.runner(bench.demo()).store("a", result("left"));
    EXPECT_EQ(sheet->summaryLabel()->text(), "1 result will be saved.");
    sheet->reject();

    // A technician of the unit's own stays.
    model.deviceLists().setUnit("demo", UnitRecord{.unit = "U1", .stage = "Intake", .technician = "Bo"});
    sheet = open();
    EXPECT_EQ(sheet->technicianField()->text(), "Bo");
    EXPECT_EQ(sheet->stageField()->text(), "Intake");

    // A preset replaces the stage; any other text is fine too.
    QMenu* presets = sheet->presetsButton()->menu();
    ASSERT_EQ(presets->actions().size(), 6);
    EXPECT_EQ(presets->actions().at(0)->text(), "Before repair");
    presets->actions().at(3)->trigger();
    EXPECT_EQ(sheet->stageField()->text(), "After stick swap");
}

TEST_F(SheetFixture, ReturnSavesExactlyOneSessionFileAndClosesTheSheet) {
    TestRunner& runner = model.runner(bench.demo());
    runner.store("one", result("left"));
    runner.store("two", result("right"));
    QPointer<SaveSessionSheet> sheet = open();
    ASSERT_TRUE(sheet);
    // The prefilled unit is selected where typing goes, so a scanned serial replaces it.
    EXPECT_EQ(sheet->focusWidget(), sheet->unitField());
    EXPECT_EQ(sheet->unitField()->selectedText(), "DEMO-0001");
    QTest::keyClicks(sheet->unitField(), "SN-42");
    sheet->stageField()->setText("After repair");
    QTest::keyClick(sheet->unitField(), Qt::Key_Return);
    waitForClose(sheet);
    bench.executor->runAll(); // the file is written off the main thread

    const QStringList files = sessionFiles();
    ASSERT_EQ(files.size(), 1);
    const QRegularExpression uuidName(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.json$"));
    EXPECT_TRUE(uuidName.match(files.front()).hasMatch()) << files.front().toStdString();
    QFile file(QDir(model.sessionsFolder()).filePath(files.front()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto saved = nlohmann::json::parse(file.readAll().toStdString());
    EXPECT_EQ(saved.at("unit"), "SN-42");
    EXPECT_EQ(saved.at("label"), "After repair");
    EXPECT_EQ(saved.at("results").size(), 2u);

    EXPECT_EQ(model.toast(), "Saved: SN-42, After repair");
    EXPECT_EQ(model.deviceLists().unit(*bench.demo()).unit, "SN-42");
    EXPECT_EQ(model.navigation().saveSheetDevice(), nullptr);
    EXPECT_EQ(root.saveSheet(), nullptr);
}

TEST_F(SheetFixture, EscapeForgetsTheEditsAndTheNextOpenShowsTheModelsRecord) {
    const UnitRecord before{.unit = "U7", .stage = "Intake", .ticket = "T1", .notes = "scuffed", .technician = "Cy"};
    model.deviceLists().setUnit("demo", before);
    SaveSessionSheet* sheet = open();
    sheet->unitField()->setText("changed");
    sheet->notesField()->setPlainText("other notes");
    QTest::keyClick(sheet->unitField(), Qt::Key_Escape);
    EXPECT_EQ(model.navigation().saveSheetDevice(), nullptr);
    EXPECT_EQ(model.deviceLists().unit(*bench.demo()), before);
    EXPECT_TRUE(sessionFiles().isEmpty());

    sheet = open();
    EXPECT_EQ(sheet->record(), before);
}

TEST_F(SheetFixture, AFailedSaveToastsWhyAndKeepsTheTypedRecord) {
    // A regular file where the session folder should be.
    QDir(model.sessionsFolder()).removeRecursively();
    QFile blocker(model.sessionsFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QPointer<SaveSessionSheet> sheet = open();
    sheet->unitField()->setText("SN-9");
    sheet->ticketField()->setText("T-77");
    TestLog::ExpectedWarnings logged("tessarine.model", QString::fromUtf8("Couldn't save the session \u201CSN-9, "));
    QTest::mouseClick(sheet->saveButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet && sheet->isVisible());
    bench.executor->runAll();
    ASSERT_TRUE(model.toast().has_value());
    EXPECT_TRUE(model.toast()->starts_with("Couldn't save the session: ")) << *model.toast();
    EXPECT_EQ(model.library().sessions().size(), 0u);

    sheet = open();
    EXPECT_EQ(sheet->unitField()->text(), "SN-9");
    EXPECT_EQ(sheet->ticketField()->text(), "T-77");
}
