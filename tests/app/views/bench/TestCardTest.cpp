// Test cards driven as a user drives them, on the demo controller and its raw twin.
#include "app/model/ModelFakes.h"
#include "app/model/RunnerFakes.h"

#include "app/views/bench/CardHeader.h"
#include "app/views/bench/CardParts.h"
#include "app/views/kit/Compass.h"
#include "app/views/kit/FlowChips.h"
#include "app/views/kit/MeasureRow.h"
#include "app/views/kit/MotionGraph.h"
#include "app/views/kit/TouchTrace.h"
#include "app/views/kit/DisclosureBox.h"
#include "app/views/bench/GateControls.h"
#include "app/views/bench/ResultView.h"
#include "app/views/bench/RunningView.h"
#include "app/views/kit/SoakStripView.h"
#include "app/views/kit/StickPlotView.h"
#include "app/views/bench/TestCard.h"
#include "StrayKeys.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include <cmath>
#include <set>

#include <gtest/gtest.h>

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

constexpr double frame = 1.0 / 60; // seconds

struct CardFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;

    // The device's test of this kind on this element ("" for the first of the kind).
    GuidedTest find(const InputDevice& device, TestKind kind, const std::string& element = {}) {
        for (const auto& test : GuidedTests::allTests(device))
            if (test.kind == kind && (element.empty() || test.element == element)) return test;
        ADD_FAILURE() << "no test " << rawValue(kind) << " " << element;
        return {};
    }
    std::unique_ptr<TestCard> card(const std::shared_ptr<InputDevice>& device, const GuidedTest& test) {
        return std::make_unique<TestCard>(test, device, model.runner(device), model.settings(),
                                          model.batch());
    }
    // The demo's playback and the model's frame tick on one clock, as the application runs them.
    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            bench.clock.advance(0.008);
            model.demo().tick();
            bench.clock.advance(frame - 0.008);
            model.demo().tick();
            model.tick(bench.clock.now());
        }
    }
    void runToEnd(TestRunner& runner, double cap = 60) {
        for (int i = 0; runner.active() && i < cap / frame; ++i) frames(1);
        ASSERT_FALSE(runner.active()) << "the test did not end";
    }

    static QPushButton* button(const QWidget& card, const QString& name) {
        return card.findChild<QPushButton*>(name);
    }
    static bool shown(const QWidget* widget, const QWidget& card) { return widget && widget->isVisibleTo(&card); }
    static QPushButton* titled(const QWidget& card, const QString& text) {
        for (auto* each : card.findChildren<QPushButton*>())
            if (each->text() == text) return each;
        ADD_FAILURE() << "no button " << text.toStdString();
        return nullptr;
    }
    static QString headerName(const QWidget& card) { return card.findChild<CardHeader*>()->accessibleName(); }
};

} // namespace

TEST_F(CardFixture, DriftCardRunsFromReadyToItsResult) {
    const auto demo = bench.demo();
    const GuidedTest test = find(*demo, TestKind::drift, "Left stick");
    auto left = card(demo, test);
    const QString key = "test-drift-left-stick-processed";
    ASSERT_EQ(left->objectName(), key);

    QPushButton* run = button(*left, "run-" + key);
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(left->state(), CardText::State::ready);
    EXPECT_EQ(run->text(), "Run");
    EXPECT_TRUE(run->isEnabled());
    EXPECT_TRUE(shown(left->findChild<QLabel*>("instructions"), *left));
    EXPECT_EQ(headerName(*left), "Left stick \u00B7 Drift at rest");

    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_EQ(left->state(), CardText::State::running);
    EXPECT_FALSE(shown(run, *left));
    EXPECT_TRUE(shown(button(*left, "done-" + key), *left));
    auto* running = left->findChild<RunningView*>();
    ASSERT_TRUE(shown(running, *left));
    EXPECT_FALSE(shown(left->findChild<QLabel*>("instructions"), *left));
    frames(240); // past the settling
    EXPECT_GT(running->progress()->value(), 0);
    EXPECT_FALSE(running->prompt()->text().isEmpty());

    runToEnd(model.runner(demo));
    EXPECT_EQ(left->state(), CardText::State::done);
    EXPECT_EQ(headerName(*left), "Left stick \u00B7 Drift at rest, Pass");
    auto* result = left->findChild<ResultView*>();
    ASSERT_TRUE(shown(result, *left));
    EXPECT_EQ(result->headline()->objectName(), "headline-drift");
    EXPECT_EQ(result->accessibleName(), QString::fromStdString(model.runner(demo).result(test)->spoken()));
    EXPECT_EQ(run->text(), "Run Again");
    EXPECT_TRUE(shown(run, *left));
}

TEST_F(CardFixture, DriftingStickReadsFailOnTheRawTwin) {
    model.demo().setScenario(DemoScenario::drift);
    const auto twin = model.demo().raw();
    const GuidedTest test = find(*twin, TestKind::drift, "Left stick");
    ASSERT_TRUE(test.raw);
    auto left = card(twin, test);
    QTest::mouseClick(button(*left, CardText::runName(left->objectName())), Qt::LeftButton);
    runToEnd(model.runner(twin));
    EXPECT_EQ(left->findChild<CardHeader*>()->verdict(), Verdict::fail);
    EXPECT_TRUE(left->objectName().endsWith("-raw"));
}

TEST_F(CardFixture, CancelDuringASecondRunKeepsTheFirstResult) {
    const auto demo = bench.demo();
    const GuidedTest test = find(*demo, TestKind::drift, "Right stick");
    auto right = card(demo, test);
    QPushButton* run = button(*right, CardText::runName(right->objectName()));
    QTest::mouseClick(run, Qt::LeftButton);
    runToEnd(model.runner(demo));
    const auto first = model.runner(demo).result(test);
    ASSERT_TRUE(first);

    QTest::mouseClick(run, Qt::LeftButton);
    frames(30);
    EXPECT_EQ(right->state(), CardText::State::running);
    EXPECT_EQ(right->findChild<CardHeader*>()->verdict(), std::nullopt); // no verdict while it runs
    const auto spoken = model.announcer().spoken().size();
    QTest::mouseClick(titled(*right, "Cancel"), Qt::LeftButton);
    EXPECT_FALSE(model.runner(demo).active());
    EXPECT_EQ(model.announcer().spoken().size(), spoken); // cancelling says nothing
    EXPECT_EQ(right->state(), CardText::State::done);
    EXPECT_EQ(model.runner(demo).result(test), first);
    EXPECT_EQ(right->findChild<CardHeader*>()->verdict(), first->verdict);
    EXPECT_TRUE(shown(right->findChild<ResultView*>(), *right));
    EXPECT_EQ(run->text(), "Run Again");
    EXPECT_TRUE(run->isEnabled());
}

// Done pressed before a run recorded anything to judge gives no new result; the card says so
// and marks the result it still shows as the earlier run's, with that run's time.
TEST_F(CardFixture, ARunEndedBeforeItRecordedAnythingIsNotTakenForTheEarlierResult) {
    const auto demo = bench.demo();
    for (const TestKind kind : {TestKind::snapback, TestKind::deadzone, TestKind::trigger, TestKind::buttons}) {
        SCOPED_TRACE(rawValue(kind));
        const GuidedTest test = find(*demo, kind);
        auto c = card(demo, test);
        auto* note = c->findChild<QLabel*>("ended-note");
        ASSERT_NE(note, nullptr);
        QPushButton* run = button(*c, CardText::runName(c->objectName()));

        // Ended at once, with nothing before it: no result, and the card says the run gave none.
        QTest::mouseClick(run, Qt::LeftButton);
        frames(2);
        QTest::mouseClick(titled(*c, "Done"), Qt::LeftButton);
        EXPECT_FALSE(model.runner(demo).active());
        EXPECT_FALSE(model.runner(demo).result(test));
        EXPECT_EQ(c->state(), CardText::State::ready);
        EXPECT_TRUE(shown(note, *c));
        EXPECT_EQ(note->text(), "This run ended without a result.");
        EXPECT_EQ(model.announcer().spoken().back().toStdString(), test.title() + ": ended without a new result.");

        // A whole run: its result, and no note.
        QTest::mouseClick(run, Qt::LeftButton);
        EXPECT_FALSE(shown(note, *c));
        runToEnd(model.runner(demo));
        const auto first = model.runner(demo).result(test);
        ASSERT_TRUE(first);
        EXPECT_EQ(first->verdict, Verdict::pass);
        EXPECT_FALSE(shown(note, *c));

        // Run again and ended at once: the earlier Pass stays, marked as earlier.
        QTest::mouseClick(run, Qt::LeftButton);
        frames(2);
        QTest::mouseClick(titled(*c, "Done"), Qt::LeftButton);
        EXPECT_EQ(model.runner(demo).result(test), first);
        EXPECT_EQ(c->state(), CardText::State::done);
        EXPECT_TRUE(shown(note, *c));
        EXPECT_EQ(note->text(), CardText::endedNote(first->date));
        EXPECT_TRUE(note->text().startsWith("This run ended without a new result. Below is the earlier result, from "));
    }

    // A cancelled run is marked the same way.
    const GuidedTest drift = find(*demo, TestKind::drift, "Left stick");
    auto c = card(demo, drift);
    QTest::mouseClick(button(*c, CardText::runName(c->objectName())), Qt::LeftButton);
    frames(30);
    QTest::mouseClick(titled(*c, "Cancel"), Qt::LeftButton);
    EXPECT_TRUE(shown(c->findChild<QLabel*>("ended-note"), *c));
}

// Done 1.3 s into a return to center, one release in: the card warns and its headline says how
// far the run got, over the measures of what it did record.
TEST_F(CardFixture, ARunEndedEarlyWarnsWithHowFarItGot) {
    const auto demo = bench.demo();
    const GuidedTest test = find(*demo, TestKind::snapback, "Left stick");
    auto c = card(demo, test);
    QTest::mouseClick(button(*c, CardText::runName(c->objectName())), Qt::LeftButton);
    frames(78);
    QTest::mouseClick(titled(*c, "Done"), Qt::LeftButton);
    ASSERT_FALSE(model.runner(demo).active());
    EXPECT_EQ(c->findChild<CardHeader*>()->verdict(), Verdict::warn);
    auto* result = c->findChild<ResultView*>();
    ASSERT_TRUE(shown(result, *c));
    EXPECT_EQ(result->headline()->text().toStdString(), "1 release, 1 of 8 directions: ended early");
    EXPECT_TRUE(result->findChild<QWidget*>("measure-releases"));
    EXPECT_EQ(model.announcer().spoken().back().toStdString(),
              test.title() + ": Warn, 1 release, 1 of 8 directions: ended early");
}

// A card narrower than its title (the smallest window on raw values) ends the title in "…"
// inside the card instead of running it past the card's edge, where it is cut.
TEST_F(CardFixture, ATitleWiderThanItsCardEndsInAnEllipsis) {
    const auto twin = model.demo().raw();
    const GuidedTest test = find(*twin, TestKind::snapback, "Left stick");
    QWidget holder;
    auto* layout = new QVBoxLayout(&holder);
    auto* narrow = new TestCard(test, twin, model.runner(twin), model.settings(), model.batch());
    layout->addWidget(narrow);
    holder.setFixedWidth(220);
    holder.show();
    QApplication::processEvents();
    auto* title = narrow->findChild<QLabel*>("card-title");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text().toStdString(), test.title()); // the whole title stays its text
    const int full = title->fontMetrics().horizontalAdvance(title->text());
    EXPECT_LT(title->width(), full);
    // Within the card, and the card within its place.
    EXPECT_LE(title->mapTo(narrow, QPoint(title->width(), 0)).x(), narrow->contentsRect().right() + 1);
    EXPECT_LE(narrow->width(), holder.contentsRect().width());
    // What is painted ends in an ellipsis, not in a letter cut through: the last ellipsis-wide
    // stretch of ink lies on the baseline only, as three dots do.
    const QImage image = title->grab().toImage();
    const QColor background = image.pixelColor(image.width() - 1, 0);
    auto ink = [&](int x, int y) { return std::abs(image.pixelColor(x, y).lightness() - background.lightness()) > 60; };
    int last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (ink(x, y)) last = x;
    ASSERT_GE(last, 0);
    const QFontMetrics metrics = title->fontMetrics();
    const int baseline = (image.height() - metrics.height()) / 2 + metrics.ascent();
    const int dotsTop = baseline - metrics.ascent() / 3;
    int highest = image.height();
    for (int x = last - metrics.horizontalAdvance(QStringLiteral("\u2026")) + 2; x <= last; ++x)
        for (int y = 0; y < image.height(); ++y)
            if (ink(x, y)) highest = std::min(highest, y);
    EXPECT_GE(highest, dotsTop) << "the title ends in a letter cut through, not an ellipsis";
    EXPECT_EQ(narrow->findChild<CardHeader*>()->accessibleName().toStdString(), test.title());
}

TEST_F(CardFixture, WhenATestEndsRunAgainHasTheKeyboardUnlessTheUserTypesElsewhere) {
    const auto demo = bench.demo();
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* unit = new QLineEdit;
    auto* drift = new TestCard(find(*demo, TestKind::drift, "Left stick"), demo, model.runner(demo),
                               model.settings(), model.batch());
    layout->addWidget(unit);
    layout->addWidget(drift);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QPushButton* run = button(*drift, CardText::runName(drift->objectName()));

    // Started with the mouse, the Run button hides; the running view, then Run Again, take the
    // keyboard.
    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), drift->findChild<RunningView*>());
    runToEnd(model.runner(demo));
    EXPECT_EQ(QApplication::focusWidget(), run);
    EXPECT_EQ(run->text(), "Run Again");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(model.runner(demo).active()) << "Space on the focused Run Again starts the test again";
    QTest::mouseClick(titled(*drift, "Cancel"), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), run) << "a cancelled run ends too";

    // A test that ends while the user types a serial leaves the keyboard in the field.
    QTest::mouseClick(run, Qt::LeftButton);
    unit->setFocus();
    runToEnd(model.runner(demo));
    EXPECT_EQ(QApplication::focusWidget(), unit);
}

TEST_F(CardFixture, ACardKeepsTheBenchWhereItWasWhenItsTestStartsAndEnds) {
    // On the bench the other cards' Run buttons wait while a test runs, so the next control
    // that takes a key may lie far below; the keyboard's move to Done and back must not scroll
    // the bench away from the card being watched.
    const auto demo = bench.demo();
    QScrollArea area;
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    auto* drift = new TestCard(find(*demo, TestKind::drift, "Left stick"), demo, model.runner(demo),
                               model.settings(), model.batch());
    layout->addWidget(drift);
    layout->addSpacing(3000);
    layout->addWidget(new QPushButton(QStringLiteral("Far below")));
    area.setWidget(column);
    area.setWidgetResizable(true);
    area.resize(500, 400);
    area.show();
    area.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&area));
    QPushButton* run = button(*drift, CardText::runName(drift->objectName()));

    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_EQ(area.verticalScrollBar()->value(), 0);
    runToEnd(model.runner(demo));
    EXPECT_EQ(QApplication::focusWidget(), run);
    EXPECT_EQ(area.verticalScrollBar()->value(), 0);
}

TEST_F(CardFixture, RunWaitsWhileAnotherTestOrTheBatchRuns) {
    const auto demo = bench.demo();
    auto left = card(demo, find(*demo, TestKind::drift, "Left stick"));
    auto right = card(demo, find(*demo, TestKind::drift, "Right stick"));
    QPushButton* runRight = button(*right, CardText::runName(right->objectName()));
    QTest::mouseClick(button(*left, CardText::runName(left->objectName())), Qt::LeftButton);
    EXPECT_EQ(right->state(), CardText::State::ready);
    EXPECT_FALSE(runRight->isEnabled());
    EXPECT_FALSE(shown(right->findChild<RunningView*>(), *right));
    QTest::mouseClick(titled(*left, "Cancel"), Qt::LeftButton);
    EXPECT_TRUE(runRight->isEnabled());

    model.batch()->start({demo});
    EXPECT_FALSE(runRight->isEnabled());
    EXPECT_FALSE(button(*left, CardText::runName(left->objectName()))->isEnabled());
    model.batch()->cancel();
    EXPECT_TRUE(runRight->isEnabled());
}

TEST_F(CardFixture, ReturnFinishesOnlyTheVisibleRunningCard) {
    const auto demo = bench.demo();
    const auto twin = model.demo().raw();
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* shownCard = new TestCard(find(*demo, TestKind::drift, "Left stick"), demo, model.runner(demo),
                                   model.settings(), model.batch());
    auto* hiddenCard = new TestCard(find(*twin, TestKind::drift, "Left stick"), twin, model.runner(twin),
                                    model.settings(), model.batch());
    layout->addWidget(shownCard);
    layout->addWidget(hiddenCard);
    hiddenCard->hide(); // another device's bench, not on screen
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    model.runner(demo).start(shownCard->test());
    model.runner(twin).start(hiddenCard->test());
    // Past the drift's two seconds of letting go: Done then files what it measured.
    frames(150);
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_FALSE(model.runner(demo).active());
    EXPECT_TRUE(model.runner(demo).result(shownCard->test()));
    EXPECT_TRUE(model.runner(twin).active());

    // Once nothing runs, Return does nothing at all.
    hiddenCard->show();
    model.runner(twin).cancel();
    const auto spoken = model.announcer().spoken().size();
    QTest::keyClick(&window, Qt::Key_Enter);
    EXPECT_EQ(model.announcer().spoken().size(), spoken);
}

TEST_F(CardFixture, TheKeyThatStartedATestNeverEndsIt) {
    const auto demo = bench.demo();
    TestRunner& runner = model.runner(demo);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* circle = new TestCard(find(*demo, TestKind::circularity, "Left stick"), demo, runner,
                                model.settings(), model.batch());
    layout->addWidget(circle);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QPushButton* run = button(*circle, CardText::runName(circle->objectName()));
    const auto runs = [&] { return runner.active().has_value(); };

    // Run clicked, then Space a moment later, tapped or held; a held Return's repeats.
    QTest::mouseClick(run, Qt::LeftButton);
    frames(30);
    StrayKeys::press(Qt::Key_Space);
    StrayKeys::hold(Qt::Key_Space, 5);
    StrayKeys::send(true, Qt::Key_Return, true);
    EXPECT_TRUE(runs());
    EXPECT_FALSE(runner.result(circle->test()));

    // Escape cancels it, as Cancel does: no result, nothing said.
    const auto spoken = model.announcer().spoken().size();
    StrayKeys::press(Qt::Key_Escape);
    EXPECT_FALSE(runs());
    EXPECT_FALSE(runner.result(circle->test()));
    EXPECT_EQ(model.announcer().spoken().size(), spoken);
    EXPECT_EQ(QApplication::focusWidget(), run);

    // Started with Space on the focused Run: Space again, tapped or held, changes nothing.
    StrayKeys::press(Qt::Key_Space);
    ASSERT_TRUE(runs());
    StrayKeys::hold(Qt::Key_Space, 5);
    EXPECT_TRUE(runs());
    StrayKeys::press(Qt::Key_Escape);
    ASSERT_FALSE(runs());

    // Where the desktop's buttons take Return, Return on Run starts the test and, pressed again,
    // does not end it; Tab to Done and a key there does.
    run->setAutoDefault(true);
    StrayKeys::press(Qt::Key_Return);
    ASSERT_TRUE(runs());
    StrayKeys::press(Qt::Key_Return);
    EXPECT_TRUE(runs());
    StrayKeys::press(Qt::Key_Escape);
    ASSERT_FALSE(runs());
    run->setAutoDefault(false);

    // Started with the mouse, a fresh Return finishes the test with its result.
    QTest::mouseClick(run, Qt::LeftButton);
    frames(30);
    StrayKeys::press(Qt::Key_Return);
    EXPECT_FALSE(runs());
    EXPECT_TRUE(runner.result(circle->test()));
}

TEST_F(CardFixture, EscapeCancelsTheRunningTestAndNothingElse) {
    // A bench inside a dialog: the Escape that cancels the test does not close it too.
    const auto demo = bench.demo();
    TestRunner& runner = model.runner(demo);
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* drift = new TestCard(find(*demo, TestKind::drift, "Left stick"), demo, runner, model.settings(),
                               model.batch());
    layout->addWidget(drift);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::mouseClick(button(*drift, CardText::runName(drift->objectName())), Qt::LeftButton);
    ASSERT_TRUE(runner.active());
    StrayKeys::press(Qt::Key_Escape);
    EXPECT_FALSE(runner.active());
    EXPECT_TRUE(dialog.isVisible());
    // With nothing running Escape is the dialog's again.
    StrayKeys::press(Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(CardFixture, GateControlsRecordTheChoiceAndLeaveTheResult) {
    const auto twin = model.demo().raw();
    const GuidedTest rawTest = find(*twin, TestKind::circularity, "Left stick");
    const auto demo = bench.demo();
    auto processed = card(demo, find(*demo, TestKind::circularity, "Left stick"));
    auto raw = card(twin, rawTest);
    auto* processedGate = processed->findChild<GateControls*>();
    auto* rawGate = raw->findChild<GateControls*>();
    ASSERT_TRUE(processedGate && rawGate);
    EXPECT_FALSE(shown(processedGate->fitToggle(), *processed));
    EXPECT_TRUE(shown(rawGate->fitToggle(), *raw));
    EXPECT_EQ(rawGate->gatePicker()->count(), 4);
    EXPECT_EQ(rawGate->gatePicker()->itemText(1), "Octagon (N64)");

    TestRunner& runner = model.runner(twin);
    QTest::mouseClick(button(*raw, CardText::runName(raw->objectName())), Qt::LeftButton);
    EXPECT_FALSE(shown(rawGate, *raw)); // never during its own run
    runToEnd(runner);
    const auto result = runner.result(rawTest);
    ASSERT_TRUE(result);
    EXPECT_TRUE(shown(rawGate, *raw));

    // An octagon gate makes fitting the default for raw values; the choice is only recorded.
    rawGate->gatePicker()->activated(1);
    EXPECT_EQ(runner.gates().at(rawTest.id()), GateShape::octagonN64);
    EXPECT_TRUE(rawGate->fitToggle()->isChecked());
    rawGate->fitToggle()->click();
    EXPECT_EQ(runner.fits().at(rawTest.id()), false);
    EXPECT_EQ(runner.result(rawTest), result);
    EXPECT_EQ(raw->findChild<ResultView*>()->result(), result);

    // Any test of the device running disables them, even on another card.
    runner.start(find(*twin, TestKind::drift, "Left stick"));
    EXPECT_TRUE(shown(rawGate, *raw));
    EXPECT_FALSE(rawGate->isEnabled());
    runner.cancel();
    EXPECT_TRUE(rawGate->isEnabled());
}

TEST_F(CardFixture, TheFrameTickNeverBuildsOrDropsWidgets) {
    // Counted by every child of the cards until they go at the end, so it has to outlive them.
    int destroyed = 0;
    const auto demo = bench.demo();
    std::vector<std::unique_ptr<TestCard>> cards;
    for (const auto& test : GuidedTests::allTests(*demo)) cards.push_back(card(demo, test));
    TestCard& circle = *cards[1];
    ASSERT_EQ(circle.test().kind, TestKind::circularity);
    QTest::mouseClick(button(circle, CardText::runName(circle.objectName())), Qt::LeftButton);
    frames(1); // the running view exists from the click on
    auto* live = circle.findChild<StickPlotView*>();
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(live->accessibleName(), "Left stick so far");

    std::set<QObject*> before;
    for (auto& each : cards)
        for (QObject* child : each->findChildren<QObject*>()) {
            before.insert(child);
            QObject::connect(child, &QObject::destroyed, [&destroyed] { ++destroyed; });
        }
    frames(120);
    EXPECT_TRUE(model.runner(demo).active());
    std::set<QObject*> after;
    for (auto& each : cards)
        for (QObject* child : each->findChildren<QObject*>()) after.insert(child);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(live->params().plot); // the outline grew on the same widget
}

TEST_F(CardFixture, DetailsStayAsTheUserLeftThemAcrossARerun) {
    const auto demo = bench.demo();
    const GuidedTest test = find(*demo, TestKind::drift, "Left stick");
    auto left = card(demo, test);
    QPushButton* run = button(*left, CardText::runName(left->objectName()));
    QTest::mouseClick(run, Qt::LeftButton);
    runToEnd(model.runner(demo));
    auto* details = left->findChild<ResultView*>()->details();
    ASSERT_NE(details, nullptr);
    EXPECT_FALSE(details->isExpanded());
    QTest::mouseClick(details->header(), Qt::LeftButton);
    EXPECT_TRUE(left->showDetails());

    QTest::mouseClick(run, Qt::LeftButton);
    runToEnd(model.runner(demo));
    details = left->findChild<ResultView*>()->details();
    ASSERT_NE(details, nullptr);
    EXPECT_TRUE(details->isExpanded());
}

TEST(ResultView, ShowsOnlyThePartsTheResultCarries) {
    ResultView view;
    TestResult result(TestKind::circularity, "Left stick", ValueSource::processed, Verdict::warn,
                      "\u00E9cart of 8% at the edge", {}, {});
    view.setResult(result);
    EXPECT_EQ(view.headline()->text(), "\u00C9cart of 8% at the edge");
    EXPECT_EQ(view.headline()->objectName(), "headline-circularity");
    EXPECT_EQ(view.accessibleName(), QString::fromStdString(result.spoken()));
    EXPECT_EQ(view.details(), nullptr);
    EXPECT_EQ(view.findChild<StickPlotView*>(), nullptr);
    EXPECT_EQ(view.findChild<SoakStripView*>(), nullptr);
    EXPECT_EQ(view.findChildren<MeasureRow*>().size(), 0);

    result.measures = {Measure{"circularity", "Circularity error", 0.08, MeasureUnit::percent, std::nullopt},
                       Measure{"coverage", "Coverage", 1.0, MeasureUnit::percent, std::nullopt}};
    result.details = {"Worst sector 8% short", "Gate round"};
    view.setShowDetails(true);
    view.setResult(result);
    ASSERT_NE(view.details(), nullptr);
    EXPECT_TRUE(view.details()->isExpanded());
    EXPECT_EQ(view.details()->body()->findChildren<QLabel*>().size(), 2);
    const auto rows = view.findChildren<MeasureRow*>();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0]->measure(), result.measures[0]); // in the result's order
    EXPECT_EQ(rows[1]->measure(), result.measures[1]);

    // The outline comes with its own gate and scale; only a soak result has a timeline.
    result.plot = StickPlot{GateShape::octagonN64, 0.9, std::vector<std::optional<double>>(32, 0.95)};
    result.timeline = SoakStrip{600, std::vector<SoakStrip::State>(120, SoakStrip::State::ok)};
    view.setResult(result);
    auto* plot = view.findChild<StickPlotView*>();
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->size(), QSize(110, 110));
    EXPECT_EQ(plot->accessibleName(), "Circularity plot");
    EXPECT_EQ(plot->params().gate, GateShape::octagonN64);
    EXPECT_EQ(plot->params().scale, 0.9);
    EXPECT_FALSE(plot->params().sample);
    auto* strip = view.findChild<SoakStripView*>();
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->fraction(), 1.0);
    EXPECT_EQ(strip->strip(), *result.timeline);
}

TEST_F(CardFixture, EachKindShowsItsLiveVisual) {
    const auto demo = bench.demo();
    auto& runner = model.runner(demo);

    const GuidedTest buttons = find(*demo, TestKind::buttons);
    auto buttonsCard = card(demo, buttons);
    runner.start(buttons);
    auto* chips = buttonsCard->findChild<FlowChips*>();
    ASSERT_NE(chips, nullptr);
    const auto& inputs = buttons.target.as<GuidedTest::Target::Buttons>()->inputs;
    ASSERT_EQ(chips->count(), int(inputs.size()));
    EXPECT_EQ(chips->chip(0)->name(), QString::fromStdString(inputs[0].name));
    auto active = *runner.active();
    active.registered = {inputs[1].id};
    runner.setActive(active);
    EXPECT_FALSE(chips->chip(0)->registered());
    EXPECT_TRUE(chips->chip(1)->registered());

    const GuidedTest dpad = find(*demo, TestKind::dpad);
    auto dpadCard = card(demo, dpad);
    runner.start(dpad);
    auto* compass = dpadCard->findChild<Compass*>();
    ASSERT_NE(compass, nullptr);
    EXPECT_EQ(compass->size(), QSize(84, 84));
    active = *runner.active();
    active.directions = {Direction8::up, Direction8::left};
    runner.setActive(active);
    EXPECT_EQ(compass->lit(), active.directions);

    const GuidedTest motion = find(*demo, TestKind::motion);
    auto motionCard = card(demo, motion);
    runner.start(motion);
    EXPECT_NE(motionCard->findChild<MotionGraph*>(), nullptr);

    // Drift has no visual: prompt, progress and status only.
    const GuidedTest drift = find(*demo, TestKind::drift, "Left stick");
    auto driftCard = card(demo, drift);
    runner.start(drift);
    ASSERT_NE(driftCard->findChild<RunningView*>(), nullptr);
    EXPECT_EQ(driftCard->findChild<RunningView*>()->visual(), nullptr);
    runner.cancel();
}

TEST_F(CardFixture, TouchTraceShowsOnlyTouchesOfThisRun) {
    auto pad = Fakes::controller(std::make_shared<Fakes::RecordingOutputs>());
    auto& runner = model.runner(pad);
    const GuidedTest touchpad{TestKind::touchpad, "", GuidedTest::Target::touchpad(), false};
    auto touchCard = card(pad, touchpad);
    pad->capture()->recordTouch({bench.clock.now() - 5, 0, 0.5, 0.5}); // before the run
    runner.start(touchpad);
    const TouchSample during{bench.clock.now() + 0.1, 1, -0.2, 0.3};
    pad->capture()->recordTouch(during);
    runner.setActive([&] {
        auto active = *runner.active();
        active.progress = 0.5; // the tick's next write
        return active;
    }());
    auto* trace = touchCard->findChild<TouchTrace*>();
    ASSERT_NE(trace, nullptr);
    EXPECT_EQ(trace->size(), QSize(220, 110));
    EXPECT_EQ(trace->samples(), std::vector<TouchSample>{during});
}

TEST(CardParts, ProgressHoldsToItsRange) {
    std::unique_ptr<QProgressBar> bar(CardParts::progressBar());
    EXPECT_EQ(bar->accessibleName(), "Progress");
    CardParts::setProgress(bar.get(), 0.25);
    const int quarter = bar->value();
    EXPECT_EQ(quarter * 4, bar->maximum());
    CardParts::setProgress(bar.get(), 1.7);
    EXPECT_EQ(bar->value(), bar->maximum());
    CardParts::setProgress(bar.get(), std::nan(""));
    EXPECT_EQ(bar->value(), bar->minimum());
}

TEST(ResultView, TheCircularityPlotReadsTheResultNotAMissingLiveReading) {
    ResultView view;
    TestResult result(TestKind::circularity, "Left stick", ValueSource::processed, Verdict::pass, "2.2% circularity",
                      {Measure{"error", "Average circularity error", 0.022, MeasureUnit::percent,
                               Limit{0.08, 0.15, Limit::Direction::above}},
                       Measure{"coverage", "Directions reached", 1.0, MeasureUnit::percent, std::nullopt}},
                      {}, StickPlot{GateShape::round, 1, std::vector<std::optional<double>>(32, 0.97)});
    view.setResult(result);
    StickPlotView* plot = view.findChild<StickPlotView*>();
    ASSERT_NE(plot, nullptr);
    auto* said = QAccessible::queryAccessibleInterface(plot);
    EXPECT_EQ(said->text(QAccessible::Name), "Circularity plot");
    EXPECT_EQ(said->text(QAccessible::Value), QString::fromStdString(result.measures[0].spoken()));

    // A result with no measures reads its headline; a live reading, where a plot has one, wins.
    result.measures.clear();
    view.setResult(result);
    // The parts of the earlier result go later; the shown plot is the new one.
    plot = nullptr;
    for (auto* each : view.findChildren<StickPlotView*>())
        if (each->isVisibleTo(&view)) plot = each;
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(plot)->text(QAccessible::Value), "2.2% circularity");
    plot->setLive(StickSample{1, 0.125, -0.03, std::nullopt}, {}, false);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(plot)->text(QAccessible::Value), "x 12.5%, y -3%, 12.9% from center");
}
