// The checklist of the checks a person answers, on a controller whose outputs write down what
// they were asked to do.
#include "app/model/ModelFakes.h"
#include "app/model/RunnerFakes.h"

#include "app/views/bench/CardHeader.h"
#include "app/views/bench/ManualChecks.h"
#include "app/views/kit/ResultWords.h"
#include "app/views/kit/SegmentedControl.h"
#include "app/views/bench/TestCard.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

struct ManualFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    std::shared_ptr<Fakes::RecordingOutputs> outputs = std::make_shared<Fakes::RecordingOutputs>();
    std::shared_ptr<InputDevice> pad = Fakes::controller(outputs);
    TestRunner& runner = model.runner(pad);

    static GuidedTest manual(TestKind kind) { return {kind, "", GuidedTest::Target::device(), false}; }
    static void choose(SegmentedControl* answer, int code) { QTest::mouseClick(answer->button(code), Qt::LeftButton); }
};

} // namespace

TEST_F(ManualFixture, AnswersSaveAsAResultAndUpdateIt) {
    const GuidedTest rumble = manual(TestKind::rumble);
    TestCard card(rumble, pad, runner, model.settings(), model.batch());
    auto* checks = card.findChild<ManualChecks*>();
    ASSERT_NE(checks, nullptr);
    EXPECT_EQ(card.state(), CardText::State::manual);
    EXPECT_TRUE(card.findChildren<QPushButton*>(CardText::runName(card.objectName())).isEmpty()); // no Run
    const auto items = GuidedTests::manualItems(TestKind::rumble, *pad);
    ASSERT_EQ(checks->rowCount(), int(items.size()));
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(checks->status()->text(), QString::fromStdString(rumble.instructions()));
    EXPECT_EQ(checks->saveButton()->text(), "Save Result");
    EXPECT_FALSE(checks->saveButton()->isEnabled());

    SegmentedControl* first = checks->answer(items[0].name);
    SegmentedControl* second = checks->answer(items[1].name);
    EXPECT_EQ(first->accessibleName(), QString::fromStdString(items[0].name + " result"));
    choose(first, 1);
    EXPECT_EQ(runner.answers().at(rumble.id()).at(items[0].name), true);
    EXPECT_TRUE(checks->saveButton()->isEnabled());
    EXPECT_EQ(second->currentIndex(), 0); // still unanswered

    choose(second, 2);
    EXPECT_EQ(second->currentIndex(), 2);
    QTest::mouseClick(checks->saveButton(), Qt::LeftButton);
    const auto saved = runner.result(rumble);
    ASSERT_TRUE(saved);
    EXPECT_EQ(checks->status()->text(), ResultWords::capitalized(saved->headline));
    EXPECT_TRUE(checks->status()->text().at(0).isUpper());
    EXPECT_EQ(checks->saveButton()->text(), "Update Result");
    EXPECT_EQ(card.findChild<CardHeader*>()->verdict(), saved->verdict);

    // "–" cannot take an answer back: the recorded one stays and shows again.
    choose(second, 0);
    EXPECT_EQ(second->currentIndex(), 2);
    EXPECT_EQ(runner.answers().at(rumble.id()).at(items[1].name), false);

    // A changed answer waits for "Update Result".
    choose(second, 1);
    EXPECT_EQ(runner.result(rumble), saved);
    QTest::mouseClick(checks->saveButton(), Qt::LeftButton);
    EXPECT_NE(runner.result(rumble), saved);

    // The answers last until the bench clears them.
    TestCard again(rumble, pad, runner, model.settings(), model.batch());
    EXPECT_EQ(again.findChild<ManualChecks*>()->answer(items[1].name)->currentIndex(), 1);
    runner.setResults({});
    runner.setAnswers({});
    EXPECT_EQ(second->currentIndex(), 0);
    EXPECT_EQ(checks->saveButton()->text(), "Save Result");
    EXPECT_FALSE(checks->saveButton()->isEnabled());
    EXPECT_EQ(card.findChild<CardHeader*>()->verdict(), std::nullopt);
}

TEST_F(ManualFixture, PlayAndResetTriggersReachTheOutputs) {
    const GuidedTest triggers = manual(TestKind::adaptiveTriggers);
    ManualChecks checks(triggers, pad, runner);
    ASSERT_NE(checks.resetButton(), nullptr);
    EXPECT_EQ(checks.resetButton()->text(), "Reset Triggers");
    auto plays = checks.findChildren<QToolButton*>("manual-play");
    ASSERT_EQ(plays.size(), checks.rowCount());
    const auto items = GuidedTests::manualItems(TestKind::adaptiveTriggers, *pad);
    EXPECT_EQ(plays[0]->accessibleName(), QString::fromStdString("Play " + items[0].name));
    QTest::mouseClick(plays[0], Qt::LeftButton);
    QTest::mouseClick(checks.resetButton(), Qt::LeftButton);
    ASSERT_EQ(outputs->calls.size(), 2u);
    EXPECT_EQ(outputs->calls[0].rfind("trigger ", 0), 0u) << outputs->calls[0];
    EXPECT_EQ(outputs->calls[1], "resetTriggers");

    // Without an output channel nothing is played and nothing fails.
    pad->setOutputs(nullptr);
    QTest::mouseClick(checks.resetButton(), Qt::LeftButton);
    QTest::mouseClick(plays[0], Qt::LeftButton);
    EXPECT_EQ(outputs->calls.size(), 2u);

    EXPECT_EQ(ManualChecks(manual(TestKind::lights), pad, runner).resetButton(), nullptr);
    EXPECT_EQ(ManualChecks(manual(TestKind::rumble), pad, runner).resetButton(), nullptr);
}

TEST_F(ManualFixture, AScreenReaderHearsTheUnansweredSegmentAsNotAnswered) {
    const GuidedTest rumble = manual(TestKind::rumble);
    ManualChecks checks(rumble, pad, runner);
    const auto items = GuidedTests::manualItems(TestKind::rumble, *pad);
    ASSERT_FALSE(items.empty());
    SegmentedControl* answer = checks.answer(items[0].name);
    ASSERT_NE(answer, nullptr);
    auto said = [&](int code) { return QAccessible::queryAccessibleInterface(answer->button(code)); };
    EXPECT_EQ(answer->button(0)->text(), "\u2013"); // what the eye sees stays the dash
    EXPECT_EQ(said(0)->text(QAccessible::Name), "Not answered");
    EXPECT_TRUE(said(0)->state().checked);
    EXPECT_EQ(said(1)->text(QAccessible::Name), "Works");
    EXPECT_EQ(said(2)->text(QAccessible::Name), "Doesn't");
    choose(answer, 1);
    EXPECT_FALSE(said(0)->state().checked);
    EXPECT_TRUE(said(1)->state().checked);
}
