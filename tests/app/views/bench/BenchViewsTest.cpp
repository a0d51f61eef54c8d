// The bench page driven as a technician does: typing the unit, picking a stage, running up
// results and clearing them, overriding the controller family, and the cards the page keeps.
#include "app/model/CommandFakes.h"

#include "app/views/bench/BenchPanel.h"
#include "app/views/bench/BenchTexts.h"
#include "app/views/bench/CardText.h"
#include "app/views/bench/ManualChecks.h"
#include "app/views/bench/ProfileRow.h"
#include "app/views/kit/SegmentedControl.h"
#include "app/views/bench/SoakCard.h"
#include "app/views/bench/TestCard.h"
#include "app/views/kit/SymbolText.h"
#include "app/views/bench/UnitBar.h"
#include "app/views/device/DeviceTabs.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

TestResult resultOf(Verdict verdict) {
    TestResult result;
    result.verdict = verdict;
    return result;
}

QAction* menuItem(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions())
        if (action->text() == text) return action;
    return nullptr;
}

struct BenchFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    std::shared_ptr<InputDevice> demo = bench.demo();
    TestRunner& runner = model.runner(demo);

    GuidedTest test(TestKind kind) const {
        for (const auto& each : GuidedTests::allTests(*demo))
            if (each.kind == kind) return each;
        return {};
    }
    // The demo's 8 ms playback and the model's 60 Hz tick on one clock, as the application runs them.
    void play(double seconds) {
        for (double t = 0; t < seconds; t += 1.0 / 60) {
            bench.clock.advance(0.008);
            model.demo().tick();
            bench.clock.advance(1.0 / 60 - 0.008);
            model.demo().tick();
            model.tick(bench.clock.now());
        }
    }
};

} // namespace

TEST(BenchTexts, CountsStagesAndFamilies) {
    EXPECT_EQ(BenchTexts::resultsHeading(0), "No results yet. Run a test below.");
    EXPECT_EQ(BenchTexts::resultsHeading(1), "1 result:");
    EXPECT_EQ(BenchTexts::resultsHeading(12), "12 results:");
    EXPECT_EQ(BenchTexts::verdictCount(1, Verdict::pass), "1 Pass");
    EXPECT_EQ(BenchTexts::verdictCount(3, Verdict::fail), "3 Fail");

    EXPECT_EQ(BenchTexts::stageOptions("After repair").size(), 6);
    const QStringList typed = BenchTexts::stageOptions("Customer return");
    ASSERT_EQ(typed.size(), 7);
    EXPECT_EQ(typed.back(), "Customer return");
    EXPECT_EQ(BenchTexts::stageOptions("intake").size(), 7); // an exact comparison

    EXPECT_EQ(BenchTexts::familyMenuText(ControllerFamily::nintendoSwitch), "Family: Switch");
    EXPECT_EQ(BenchTexts::familyMenuName(ControllerFamily::nintendoSwitch),
              "Controller family, Switch (Pro Controller, Joy-Con)");
    EXPECT_EQ(BenchTexts::familyMenuText(ControllerFamily::generic), "Family: Other controllers");
    EXPECT_EQ(BenchTexts::buttonValue(true, 3), "pressed, pressed 3 times");
    EXPECT_EQ(BenchTexts::buttonValue(false, 0), "pressed 0 times");
    EXPECT_TRUE(BenchTexts::benchCaption("Note.").startsWith("Note. Thresholds and family profiles"));
}

TEST_F(BenchFixture, UnitFieldAndStageWriteTheDevicesRecord) {
    UnitBar bar(demo, runner, model.deviceLists(), model.navigation(), model);
    EXPECT_TRUE(model.deviceLists().units().empty()); // an unedited record is not kept
    bar.unitField()->selectAll(); // the demo's serial stands there at first
    QTest::keyClicks(bar.unitField(), "SN-42");
    EXPECT_EQ(model.deviceLists().unit(*demo).unit, "SN-42");
    EXPECT_EQ(model.deviceLists().unit(*demo).stage, "Before repair");
    // Each keystroke goes to the model and comes back without moving the cursor.
    QTest::keyClick(bar.unitField(), Qt::Key_Home);
    QTest::keyClicks(bar.unitField(), "AB");
    EXPECT_EQ(model.deviceLists().unit(*demo).unit, "ABSN-42");
    EXPECT_EQ(bar.unitField()->cursorPosition(), 2);

    bar.stagePicker()->activated(1);
    EXPECT_EQ(model.deviceLists().unit(*demo).stage, "After repair");
    EXPECT_EQ(model.deviceLists().unit(*demo).unit, "ABSN-42");

    // A stage typed in the save sheet stays selectable as a seventh option.
    UnitRecord record = model.deviceLists().unit(*demo);
    record.stage = "Customer return";
    model.deviceLists().setUnit(demo->id(), record);
    ASSERT_EQ(bar.stagePicker()->count(), 7);
    EXPECT_EQ(bar.stagePicker()->currentText(), "Customer return");
    bar.stagePicker()->activated(5);
    EXPECT_EQ(model.deviceLists().unit(*demo).stage, "Final check");
    EXPECT_EQ(bar.stagePicker()->count(), 6);
}

TEST_F(BenchFixture, SummaryCountsVerdictsAndClearKeepsTheUnit) {
    QWidget page;
    auto* column = new QVBoxLayout(&page);
    auto& bar = *new UnitBar(demo, runner, model.deviceLists(), model.navigation(), model);
    column->addWidget(&bar);
    column->addStretch(1);
    page.resize(700, 600);
    page.show();
    EXPECT_EQ(bar.summary()->text(), "No results yet. Run a test below.");
    auto* clear = bar.findChild<QPushButton*>("clear-results");
    EXPECT_FALSE(clear->isVisibleTo(&bar));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(bar.count(i)->isVisibleTo(&bar));
    const int actionsTop = bar.actions()->y();

    bar.unitField()->selectAll(); // the demo's serial stands there at first
    QTest::keyClicks(bar.unitField(), "T-7");
    runner.record(resultOf(Verdict::pass), test(TestKind::drift));
    EXPECT_EQ(bar.summary()->text(), "1 result:");
    page.layout()->activate();
    bar.layout()->activate();
    EXPECT_EQ(bar.actions()->y(), actionsTop); // the counts do not push the actions down
    EXPECT_EQ(bar.count(0)->textLabel()->text(), "1 Pass");
    EXPECT_FALSE(bar.count(2)->isVisibleTo(&bar));
    runner.record(resultOf(Verdict::fail), test(TestKind::buttons));
    EXPECT_EQ(bar.summary()->text(), "2 results:");
    EXPECT_EQ(bar.count(2)->textLabel()->text(), "1 Fail");
    EXPECT_FALSE(bar.count(1)->isVisibleTo(&bar));

    // A running test idles every action, clearing with them.
    runner.start(test(TestKind::deadzone));
    EXPECT_FALSE(bar.actions()->isEnabled());
    ASSERT_TRUE(clear->isVisibleTo(&bar));
    runner.cancel();
    EXPECT_TRUE(bar.actions()->isEnabled());
    // Nothing was saved, so clearing asks first, and Cancel (the default) keeps every result.
    clear->click();
    ASSERT_NE(bar.confirmation(), nullptr);
    EXPECT_EQ(bar.confirmation()->defaultButton(), bar.confirmation()->button(QMessageBox::Cancel));
    bar.confirmation()->button(QMessageBox::Cancel)->click();
    EXPECT_EQ(runner.results().size(), 2u);
    clear->click();
    bar.confirmation()->findChild<QPushButton*>("clear-confirm-button")->click();
    EXPECT_TRUE(runner.results().empty());
    EXPECT_TRUE(runner.answers().empty());
    EXPECT_EQ(bar.summary()->text(), "No results yet. Run a test below.");
    EXPECT_EQ(model.deviceLists().unit(*demo).unit, "T-7");
}

TEST_F(BenchFixture, ClearingResultsThatAreAllSavedDoesNotAsk) {
    UnitBar bar(demo, runner, model.deviceLists(), model.navigation(), model);
    auto* clear = bar.findChild<QPushButton*>("clear-results");
    runner.record(resultOf(Verdict::pass), test(TestKind::drift));
    model.saveSession(demo, model.deviceLists().unit(*demo));
    ASSERT_FALSE(runner.hasUnsavedResults()) << model.toast().value_or("");
    clear->click();
    EXPECT_EQ(bar.confirmation(), nullptr);
    EXPECT_TRUE(runner.results().empty());

    // A result filed after the save is unsaved work again.
    runner.record(resultOf(Verdict::pass), test(TestKind::drift));
    model.saveSession(demo, model.deviceLists().unit(*demo));
    runner.record(resultOf(Verdict::fail), test(TestKind::buttons));
    clear->click();
    ASSERT_NE(bar.confirmation(), nullptr);
    EXPECT_EQ(runner.results().size(), 2u);
}

TEST_F(BenchFixture, ActionsBuildTheSessionAtTheClick) {
    auto clipboard = std::make_shared<Fakes::Clipboard>();
    auto chooser = std::make_shared<Fakes::Chooser>();
    model.setClipboard(clipboard);
    model.setFileChooser(chooser);
    UnitBar bar(demo, runner, model.deviceLists(), model.navigation(), model);
    bar.unitField()->selectAll(); // the demo's serial stands there at first
    QTest::keyClicks(bar.unitField(), "SN-9");
    runner.record(resultOf(Verdict::warn), test(TestKind::drift));

    bar.findChild<QPushButton*>("copy-listing")->click();
    ASSERT_EQ(clipboard->texts.size(), 1);
    EXPECT_EQ(model.toast(), std::optional<std::string>("Listing text copied"));

    bar.findChild<QPushButton*>("export-pdf")->click();
    ASSERT_EQ(chooser->asked.size(), 1u);
    EXPECT_TRUE(chooser->asked.front().name.startsWith("SN-9 Before repair")) << chooser->asked.front().name.toStdString();

    // Every action shows its symbol: a name the symbol set does not know draws nothing.
    for (const char* name : {"save-session", "copy-listing", "export-pdf", "unit-history"})
        EXPECT_FALSE(bar.findChild<QPushButton*>(name)->icon().isNull()) << name;

    bar.findChild<QPushButton*>("save-session")->click();
    EXPECT_EQ(model.navigation().saveSheetDevice(), demo);
    bar.findChild<QPushButton*>("unit-history")->click();
    EXPECT_EQ(model.navigation().tab(), DetailTab::history);
}

TEST_F(BenchFixture, FamilyMenuOverridesAndReturnsToDetection) {
    auto pad = Fakes::controller("pad", "Pro Controller");
    bench.controllers->list.push_back(pad);
    model.refreshControllers();
    ProfileRow row(pad, model.settings());
    const ControllerFamily detected = model.settings().family(*pad);
    EXPECT_TRUE(row.limits()->text().startsWith("Limits: "));
    ASSERT_TRUE(row.familyButton()->isVisibleTo(&row));
    EXPECT_EQ(row.familyButton()->text(), BenchTexts::familyMenuText(detected));

    menuItem(row.familyMenu(), "Switch (Pro Controller, Joy-Con)")->trigger();
    EXPECT_EQ(row.familyButton()->text(), "Family: Switch");
    EXPECT_EQ(row.familyButton()->accessibleName(), "Controller family, Switch (Pro Controller, Joy-Con)");
    EXPECT_EQ(row.limits()->text(), BenchTexts::limitsText(model.settings().thresholdsLabel(*pad)));
    menuItem(row.familyMenu(), "Detect Automatically")->trigger();
    EXPECT_EQ(row.familyButton()->text(), BenchTexts::familyMenuText(detected));
    EXPECT_FALSE(model.settings().familyChoice().contains("pad"));

    model.settings().setUseFamilyProfiles(false);
    EXPECT_FALSE(row.familyButton()->isVisibleTo(&row));
    EXPECT_EQ(row.limits()->text(), "Limits: Your thresholds");
}

// The family button's menu mark is a chevron on the text's line, apart from the last letter:
// a small arrow in the button's bottom corner against the text reads as a stray character.
TEST_F(BenchFixture, TheFamilyButtonsMenuMarkStandsApartOnTheTextsLine) {
    ProfileRow row(demo, model.settings());
    row.show();
    QToolButton* button = row.familyButton();
    const QImage image = button->grab().toImage();
    const QColor background = image.pixelColor(0, 0);
    auto ink = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return std::abs(c.lightness() - background.lightness()) > 60;
    };
    // Columns with ink, left to right, and the runs of rows they cover.
    std::vector<int> columns;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (ink(x, y)) {
                columns.push_back(x);
                break;
            }
    ASSERT_FALSE(columns.empty());
    // The mark is the last group of ink columns; before it, a gap of blank columns.
    std::size_t start = columns.size() - 1;
    while (start > 0 && columns[start - 1] == columns[start] - 1) --start;
    ASSERT_GT(start, 0u);
    const int gap = columns[start] - columns[start - 1] - 1;
    EXPECT_GE(gap, 4) << "the mark touches the text";
    int top = image.height(), bottom = -1;
    for (std::size_t i = start; i < columns.size(); ++i)
        for (int y = 0; y < image.height(); ++y)
            if (ink(columns[i], y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    // Centred on the line of text: the text's small letters sit around the button's middle.
    const QFontMetrics metrics(button->font());
    const double textMiddle = (image.height() + metrics.ascent() - metrics.descent()) / 2.0 - metrics.xHeight() / 2.0;
    EXPECT_NEAR((top + bottom) / 2.0, textMiddle, 2.5) << "mark rows " << top << "…" << bottom;
    EXPECT_GE(columns.back() - columns[start] + 1, metrics.xHeight() - 1) << "a mark as wide as a small letter";
}

TEST_F(BenchFixture, PageHasOneSectionPerGroupAndTheSoakCard) {
    BenchPanel panel(demo, DeviceTabs::benchFaces(model));
    const auto sections = GuidedTests::sections(*demo);
    ASSERT_EQ(panel.sectionTitles().size(), qsizetype(sections.size()));
    for (const auto& section : sections)
        for (const auto& each : section.tests) {
            Card* card = panel.card(each.id());
            ASSERT_TRUE(card) << each.id();
            EXPECT_EQ(qobject_cast<SoakCard*>(card) != nullptr, each.kind == TestKind::soak) << each.id();
        }
    EXPECT_TRUE(panel.caption()->text().endsWith("change them in Settings."));

    // Changes that leave the identifiers alone keep the sections and the cards' state.
    auto* kept = qobject_cast<TestCard*>(panel.card(test(TestKind::drift).id()));
    ASSERT_TRUE(kept);
    kept->setShowDetails(true);
    demo->setAxisRoles(demo->axisRoles());
    panel.refresh();
    EXPECT_EQ(panel.builds(), 1);
    EXPECT_EQ(panel.card(test(TestKind::drift).id()), kept);
    EXPECT_TRUE(kept->showDetails());
}

TEST_F(BenchFixture, DeviceWithoutTestsShowsBarRowAndCaptionOnly) {
    auto bare = Fakes::controller("bare", "Nothing");
    BenchPanel panel(bare, DeviceTabs::benchFaces(model));
    EXPECT_TRUE(panel.sectionTitles().isEmpty() || !GuidedTests::sections(*bare).empty());
    EXPECT_TRUE(panel.unitBar());
    EXPECT_TRUE(panel.profileRow());
    EXPECT_FALSE(panel.caption()->text().isEmpty());
}

TEST_F(BenchFixture, EveryTestOfTheHealthyDemoReachesAResultFromItsCard) {
    BenchPanel panel(demo, DeviceTabs::benchFaces(model));
    int automatic = 0, answered = 0;
    for (const auto& section : GuidedTests::sections(*demo))
        for (const GuidedTest& each : section.tests) {
            Card* card = panel.card(each.id());
            ASSERT_TRUE(card) << each.id();
            if (each.kind == TestKind::soak) {
                QTest::mouseClick(card->findChild<QPushButton*>("run-soak"), Qt::LeftButton);
                play(20);
                QTest::mouseClick(card->findChild<QPushButton*>("soak-stop"), Qt::LeftButton);
                EXPECT_TRUE(runner.result(each)) << each.id();
                continue;
            }
            if (auto* checks = card->findChild<ManualChecks*>()) {
                // A person answers every item as working, then saves.
                for (const auto& item : GuidedTests::manualItems(each.kind, *demo))
                    QTest::mouseClick(checks->answer(item.name)->button(1), Qt::LeftButton);
                QTest::mouseClick(checks->saveButton(), Qt::LeftButton);
                const auto result = runner.result(each);
                ASSERT_TRUE(result) << each.id();
                EXPECT_EQ(result->verdict, Verdict::pass) << each.id() << ": " << result->headline;
                ++answered;
                continue;
            }
            auto* run = card->findChild<QPushButton*>(CardText::runName(card->objectName()));
            ASSERT_TRUE(run && run->isEnabled()) << each.id();
            QTest::mouseClick(run, Qt::LeftButton); // the battery test ends right there
            for (int second = 0; runner.active() && second < 90; ++second) play(1);
            ASSERT_FALSE(runner.active()) << each.id() << " did not end";
            const auto result = runner.result(each);
            ASSERT_TRUE(result) << each.id();
            EXPECT_EQ(result->verdict, Verdict::pass) << each.id() << ": " << result->headline;
            ++automatic;
        }
    EXPECT_GT(automatic, 0);
    EXPECT_GT(answered, 0);
    EXPECT_EQ(panel.unitBar()->summary()->text(),
              BenchTexts::resultsHeading(int(runner.orderedResults().size())));
}
