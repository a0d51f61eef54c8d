// The all-devices view with the demo controller and two pads: the header and its two states, the
// cards with their plots, result lines and "Open", Save All with its stage prompt (and a save that
// fails among ones that work), and PDF for All.
#include "app/model/CommandFakes.h"

#include "app/views/batch/BatchCard.h"
#include "app/views/batch/BatchStageDialog.h"
#include "app/views/batch/BatchTexts.h"
#include "app/views/batch/BatchView.h"
#include "app/views/kit/ElidedLabel.h"
#include "app/views/kit/StickPlotView.h"
#include "app/views/kit/VerdictLabel.h"
#include "support/StrayKeys.h"
#include "support/TestLog.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using namespace Tessarine;
using RorozErurEvo::Measure;
using RorozErurEvo::TestKind;
using RorozErurEvo::TestResult;
using RorozErurEvo::ValueSource;
using RorozErurEvo::Verdict;

namespace {

TestResult result(TestKind kind, const std::string& element, Verdict verdict, const std::string& headline,
                  std::vector<Measure> measures = {}) {
    return TestResult(kind, element, ValueSource::processed, verdict, headline, std::move(measures), {});
}

struct BatchFixture : ::testing::Test {
    Fakes::Bench bench{true}; // sessions are written into the bench's temporary folder
    AppModel& model = *bench.model;
    std::shared_ptr<InputDevice> one = Fakes::pad("gc-1", "Pad One", "SN-1");
    std::shared_ptr<InputDevice> two = Fakes::pad("gc-2", "Pad Two");
    // What the stage prompt was asked with, and what it answers.
    QStringList asked;
    BatchStageDialog::Answer answer{QStringLiteral("Before repair"), true};
    BatchView view{model.deviceLists(),
                   model.navigation(),
                   *model.batch(),
                   model,
                   [this](QWidget*, const QString& stage) {
                       asked.append(stage);
                       return answer;
                   }};

    BatchFixture() {
        auto t = RorozErurEvo::Thresholds::standard();
        t.driftSeconds = 3;
        model.settings().setThresholds(t);
        bench.controllers->list = {one, two};
        model.refreshControllers();
        model.navigation().setSelection(SidebarItem::batch());
        view.resize(1000, 700);
    }

    // The demo's playback, the pads' resting sticks and the frame tick, as the application runs
    // them, for `seconds`.
    void frames(double seconds) {
        for (double t = 0; t < seconds; t += 1.0 / 60) {
            bench.clock.advance(1.0 / 60);
            const double now = bench.clock.now();
            for (const auto& pad : {one, two}) {
                pad->buffer().recordStick("ls", 0.002, 0, std::nullopt, now);
                pad->buffer().recordStick("rs", 0, -0.001, std::nullopt, now);
            }
            model.demo().tick();
            model.tick(now);
        }
    }
    QStringList sessionFiles() const {
        return QDir(model.sessionsFolder()).entryList({QStringLiteral("*.json")}, QDir::Files);
    }
    std::vector<std::string> cardIDs() const {
        std::vector<std::string> ids;
        for (BatchCard* card : view.cards()) ids.push_back(card->device()->id());
        return ids;
    }
};

} // namespace

TEST_F(BatchFixture, HeaderCountsTheConnectedDevicesAndTheGridFollowsThem) {
    view.show();
    EXPECT_EQ(view.countLabel()->text(), "3 connected");
    EXPECT_EQ(cardIDs(), (std::vector<std::string>{"gc-1", "gc-2", "demo"}));
    EXPECT_TRUE(view.driftButton()->isVisible());
    EXPECT_EQ(view.driftButton()->toolTip(), "Hands off: measures where every stick on every device rests, at once.");
    EXPECT_EQ(view.saveAllButton()->text(), "Save All…");
    EXPECT_EQ(view.pdfButton()->text(), "PDF for All…");
    EXPECT_TRUE(view.pdfButton()->isEnabled());
    EXPECT_FALSE(view.cancelButton()->isVisible());

    BatchCard* kept = view.card("demo");
    two->setConnected(false);
    EXPECT_EQ(view.countLabel()->text(), "2 connected");
    EXPECT_EQ(cardIDs(), (std::vector<std::string>{"gc-1", "demo"}));
    EXPECT_EQ(view.card("demo"), kept) << "a card outlives changes of the others";
    two->setConnected(true);
    bench.controllers->list = {two};
    model.refreshControllers();
    EXPECT_EQ(cardIDs(), (std::vector<std::string>{"gc-2", "demo"}));
    EXPECT_EQ(view.countLabel()->text(), "2 connected");
}

TEST_F(BatchFixture, DriftTestAllRunsToAResultOnEveryStickAndTheCardsShowThem) {
    model.demo().start();
    view.show();
    QTest::mouseClick(view.driftButton(), Qt::LeftButton);
    ASSERT_TRUE(model.batch()->isRunning());
    EXPECT_EQ(model.batch()->deviceIDs(), (std::vector<std::string>{"gc-1", "gc-2", "demo"}));
    EXPECT_FALSE(view.driftButton()->isVisible());
    EXPECT_FALSE(view.saveAllButton()->isVisible());
    EXPECT_TRUE(view.cancelButton()->isVisible());
    EXPECT_TRUE(view.progressBar()->isVisible());
    EXPECT_EQ(view.progressBar()->width(), 120);

    frames(0.5);
    EXPECT_EQ(view.promptLabel()->text(), "Let go of every controller… 2");
    frames(3.0); // 1.5 s into the 3 s of measuring
    EXPECT_EQ(view.promptLabel()->text(), "Hands off. Measuring every stick…");
    EXPECT_NEAR(view.progressBar()->value(), 500, 20);
    frames(1.6);
    ASSERT_FALSE(model.batch()->isRunning());
    EXPECT_TRUE(view.driftButton()->isVisible());
    EXPECT_FALSE(view.cancelButton()->isVisible());

    for (BatchCard* card : view.cards()) {
        const auto sticks = card->device()->sticks();
        ASSERT_EQ(card->resultRows().size(), sticks.size()) << card->device()->id();
        for (std::size_t i = 0; i < sticks.size(); ++i)
            EXPECT_TRUE(card->resultRows()[i]->text().startsWith(QString::fromStdString(sticks[i].name) + ": "))
                << card->resultRows()[i]->text().toStdString();
        EXPECT_TRUE(card->verdictLabel()->isVisible());
        EXPECT_EQ(card->verdictLabel()->verdict(), Verdict::pass) << card->device()->id();
        EXPECT_EQ(card->resultRows()[0]->symbol(), "checkmark.circle.fill");
        EXPECT_EQ(card->resultRows()[0]->accessibleName(), card->resultRows()[0]->text());
    }
}

TEST_F(BatchFixture, CancelBringsTheButtonsBackWithoutResults) {
    view.show();
    QTest::mouseClick(view.driftButton(), Qt::LeftButton);
    frames(1);
    QTest::mouseClick(view.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(model.batch()->isRunning());
    EXPECT_TRUE(view.driftButton()->isVisible());
    frames(5);
    for (BatchCard* card : view.cards()) {
        EXPECT_TRUE(card->resultRows().empty());
        EXPECT_FALSE(card->verdictLabel()->isVisible());
    }
}

TEST_F(BatchFixture, StrayKeysLeaveTheRunningTestAloneAndEscapeCancelsIt) {
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.driftButton()->setFocus();
    StrayKeys::press(Qt::Key_Space);
    ASSERT_TRUE(model.batch()->isRunning());
    EXPECT_EQ(QApplication::focusWidget(), view.progressBar());
    frames(0.5);
    StrayKeys::press(Qt::Key_Space);
    StrayKeys::hold(Qt::Key_Space, 5);
    EXPECT_TRUE(model.batch()->isRunning());
    EXPECT_EQ(model.navigation().selection(), SidebarItem::batch()) << "a stray key opened a device";

    StrayKeys::press(Qt::Key_Escape);
    EXPECT_FALSE(model.batch()->isRunning());
    EXPECT_EQ(QApplication::focusWidget(), view.driftButton());
    frames(5);
    for (BatchCard* card : view.cards()) EXPECT_TRUE(card->resultRows().empty());
}

TEST_F(BatchFixture, CardsPlotTheFirstTwoSticksLiveAndListOnlyDriftResults) {
    // A third stick on the first pad; the second pad has no sticks.
    auto sticks = one->elements();
    sticks.push_back(Fakes::stickElement("ts", ElementInfo::Role::other, "Thumb Stick"));
    one->setElements(sticks);
    two->setElements({});
    BatchCard* first = view.card("gc-1");
    BatchCard* second = view.card("gc-2");
    ASSERT_EQ(first->plots().size(), 2u);
    EXPECT_EQ(first->plots()[0]->accessibleName(), "Pad One, Left Stick");
    EXPECT_EQ(first->plots()[1]->accessibleName(), "Pad One, Right Stick");
    EXPECT_EQ(first->plots()[0]->size(), QSize(96, 96));
    EXPECT_TRUE(second->plots().empty());

    // Live values reach every card while the view is shown.
    EXPECT_EQ(first->plots()[0]->accessibleValue(), "No reading yet");
    frames(0.1);
    EXPECT_EQ(first->plots()[0]->accessibleValue(), "x 0.2%, y 0%, 0.2% from center");
    EXPECT_FALSE(first->plots()[0]->params().trail.empty());

    // Only drift results get a line; every result counts for the verdict.
    TestRunner& runner = model.runner(second->device());
    runner.store("trigger|L2|processed", result(TestKind::trigger, "L2", Verdict::fail, "Stuck at 40%"));
    EXPECT_TRUE(second->resultRows().empty());
    ASSERT_FALSE(second->verdictLabel()->isHidden());
    EXPECT_EQ(second->verdictLabel()->verdict(), Verdict::fail);
    EXPECT_TRUE(second->verdictLabel()->compact());
    runner.store("drift|Left Stick|processed", result(TestKind::drift, "Left Stick", Verdict::warn, "Rests 5% off"));
    ASSERT_EQ(second->resultRows().size(), 1u);
    EXPECT_EQ(second->resultRows()[0]->text(), "Left Stick: Rests 5% off");
    EXPECT_EQ(second->resultRows()[0]->symbol(), "exclamationmark.triangle.fill");
    EXPECT_EQ(second->verdictLabel()->verdict(), Verdict::fail);

    // Unit lines.
    EXPECT_EQ(first->unitLabel()->text(), "Unit SN-1");
    EXPECT_EQ(second->unitLabel()->text(), "No unit ID yet");
    model.deviceLists().setUnit("gc-2", UnitRecord{.unit = "Ticket 88", .stage = "Intake"});
    EXPECT_EQ(second->unitLabel()->text(), "Unit Ticket 88");
    EXPECT_EQ(second->nameLabel()->text(), "Pad Two");
}

TEST_F(BatchFixture, ACardOnItsRawPartnerPlotsThePartnersSticks) {
    auto partner = Fakes::pad("hid-7", "Pad One HID", std::nullopt, InputDevice::Kind::hid);
    auto elements = partner->elements();
    elements[0].name = "X/Y";
    partner->setElements(elements);
    one->setRawPartner(partner);
    one->setUseRaw(true);
    BatchCard* card = view.card("gc-1");
    ASSERT_EQ(card->plots().size(), 2u);
    EXPECT_EQ(card->plots()[0]->accessibleName(), "Pad One, X/Y");
    partner->buffer().recordStick("ls", -0.5, 0, std::nullopt, bench.clock.now());
    partner->update(bench.clock.now(), 1.5);
    EXPECT_EQ(card->plots()[0]->accessibleValue(), "x -50%, y 0%, 50% from center");
    one->setUseRaw(false);
    EXPECT_EQ(card->plots()[0]->accessibleName(), "Pad One, Left Stick");
}

TEST_F(BatchFixture, OpenSelectsTheDeviceOnItsBench) {
    model.navigation().setTab(DetailTab::raw);
    QTest::mouseClick(view.card("gc-2")->openButton(), Qt::LeftButton);
    EXPECT_EQ(model.navigation().selection(), SidebarItem::device("gc-2"));
    EXPECT_EQ(model.navigation().tab(), DetailTab::bench);
}

TEST_F(BatchFixture, SaveAllAsksForTheStageAndSavesEveryDeviceWithResults) {
    model.runner(two).store("drift|Left Stick|processed",
                            result(TestKind::drift, "Left Stick", Verdict::pass, "Centred"));
    model.runner(bench.demo()).store("drift|Left Stick|processed",
                                     result(TestKind::drift, "Left Stick", Verdict::pass, "Centred"));

    answer = {QStringLiteral("After repair"), false}; // typed, then cancelled
    QTest::mouseClick(view.saveAllButton(), Qt::LeftButton);
    EXPECT_EQ(asked, QStringList{"Before repair"});
    EXPECT_TRUE(sessionFiles().isEmpty());
    EXPECT_EQ(view.stage(), "After repair") << "what was typed stays for the next time";

    answer = {QStringLiteral("After repair"), true};
    QTest::mouseClick(view.saveAllButton(), Qt::LeftButton);
    bench.executor->runAll(); // the files are written off the main thread
    EXPECT_EQ(asked.last(), "After repair");
    EXPECT_EQ(sessionFiles().size(), 2);
    const auto& sessions = model.library().sessions();
    ASSERT_EQ(sessions.size(), 2u);
    for (const auto& s : sessions) {
        EXPECT_EQ(s.label, "After repair");
        EXPECT_NE(s.device.name, "Pad One") << "a device without results gets no session";
    }
    EXPECT_EQ(model.deviceLists().unit(*two).stage, "After repair") << "the stage is kept with the unit";
    EXPECT_EQ(model.deviceLists().units().count("gc-1"), 0u);
    EXPECT_EQ(model.toast(), "Saved: DEMO-0001, After repair");
}

TEST_F(BatchFixture, AFailedSaveIsTheToastThatStaysAndTheOthersAreStillWritten) {
    // The first pad's result holds a number no session file can hold: its save fails.
    Measure broken{.id = "offset", .label = "Rest offset", .value = std::numeric_limits<double>::quiet_NaN(), .unit = RorozErurEvo::MeasureUnit::percent, .limit = std::nullopt};
    model.runner(one).store("drift|Left Stick|processed",
                            result(TestKind::drift, "Left Stick", Verdict::fail, "No reading", {broken}));
    model.runner(two).store("drift|Left Stick|processed",
                            result(TestKind::drift, "Left Stick", Verdict::pass, "Centred"));
    model.runner(bench.demo()).store("drift|Left Stick|processed",
                                     result(TestKind::drift, "Left Stick", Verdict::pass, "Centred"));

    TestLog::ExpectedWarnings expected("tessarine.model", QString::fromUtf8("Couldn't save the session \u201CSN-1, "));
    QTest::mouseClick(view.saveAllButton(), Qt::LeftButton);
    bench.executor->runAll();
    EXPECT_EQ(expected.count(), 1);
    ASSERT_TRUE(model.toast().has_value());
    EXPECT_TRUE(model.toast()->starts_with("Couldn't save the session: ")) << *model.toast();
    EXPECT_EQ(sessionFiles().size(), 2) << "the other devices' sessions are written";
    EXPECT_EQ(model.library().sessions().size(), 2u);
}

TEST_F(BatchFixture, PDFForAllReportsTheDevicesWithResultsAndAsksNothingWithoutThem) {
    auto chooser = std::make_shared<Fakes::Chooser>();
    auto renderer = std::make_shared<Fakes::Renderer>();
    model.setFileChooser(chooser);
    model.setReportRenderer(renderer);
    chooser->answer = QDir(bench.folder.path()).filePath(QStringLiteral("Batch report.pdf"));

    QTest::mouseClick(view.pdfButton(), Qt::LeftButton);
    EXPECT_TRUE(chooser->asked.empty()) << "no results: no file panel";
    EXPECT_EQ(model.toast(), std::nullopt);

    model.runner(one).store("drift|Left Stick|processed", result(TestKind::drift, "Left Stick", Verdict::pass, "Centred"));
    model.runner(bench.demo()).store("buttons||processed", result(TestKind::buttons, "", Verdict::pass, "All found"));
    const auto sessions = BatchView::reportSessions(model.deviceLists(), model);
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[0].unit, "SN-1");
    EXPECT_EQ(sessions[1].device.name, "Demo controller");

    QTest::mouseClick(view.pdfButton(), Qt::LeftButton);
    ASSERT_EQ(chooser->asked.size(), 1u);
    EXPECT_EQ(chooser->asked[0].type, FileChooser::Type::pdf);
    EXPECT_EQ(chooser->asked[0].name, "Batch report.pdf");
    EXPECT_EQ(renderer->rendered, 2);
    bench.executor->runAll();
    EXPECT_EQ(model.toast(), "Report saved");
    EXPECT_TRUE(QFile::exists(*chooser->answer));
}

TEST(BatchStageDialog, SavesWithReturnAndCancelsWithEscape) {
    BatchStageDialog dialog(QStringLiteral("Before repair"));
    EXPECT_EQ(dialog.windowTitle(), "Save a session for every device");
    EXPECT_EQ(dialog.stageField()->text(), "Before repair");
    EXPECT_EQ(dialog.stageField()->accessibleName(), "Stage");
    bool hasMessage = false;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        hasMessage |= label->text() == "Devices with results get a session each, under their unit (serial when known).";
    EXPECT_TRUE(hasMessage);
    EXPECT_TRUE(dialog.saveButton()->isDefault());

    dialog.show();
    dialog.stageField()->setFocus();
    dialog.stageField()->clear();
    QTest::keyClicks(dialog.stageField(), "Final check");
    QTest::keyClick(dialog.stageField(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.stageField()->text(), "Final check");

    BatchStageDialog other(QStringLiteral("Intake"));
    other.show();
    QTest::keyClick(other.stageField(), Qt::Key_Escape);
    EXPECT_EQ(other.result(), QDialog::Rejected);
    EXPECT_FALSE(other.isVisible());
}

TEST(BatchTexts, UnitLinesCountsAndWorstVerdicts) {
    EXPECT_EQ(BatchTexts::unitLine(""), "No unit ID yet");
    EXPECT_EQ(BatchTexts::unitLine("SN 4"), "Unit SN 4");
    EXPECT_EQ(BatchTexts::connected(1), "1 connected");
    EXPECT_EQ(BatchTexts::worstVerdict({}), std::nullopt);
    EXPECT_EQ(BatchTexts::worstVerdict({result(TestKind::drift, "A", Verdict::warn, "x"),
                                        result(TestKind::buttons, "", Verdict::pass, "y")}),
              Verdict::warn);
}
