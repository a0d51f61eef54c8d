// The soak card driven through a run on the demo controller.
#include "app/model/ModelFakes.h"

#include "app/views/bench/CardHeader.h"
#include "app/views/bench/ResultView.h"
#include "app/views/bench/SoakCard.h"
#include "app/views/bench/SoakLiveView.h"
#include "app/views/kit/SoakStripView.h"
#include "StrayKeys.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

struct SoakFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    SoakRunner& soak = *model.soak();
    SoakCard card{bench.demo(), model.runner(bench.demo()), model.settings(), *model.soak(), model.batch()};

    void frames(double seconds) {
        for (double t = 0; t < seconds; t += 1.0 / 60) {
            bench.clock.advance(1.0 / 60);
            model.demo().tick();
            model.tick(bench.clock.now());
        }
    }
    QPushButton* button(const char* name) const { return card.findChild<QPushButton*>(name); }
    bool shown(const QWidget* widget) const { return widget && widget->isVisibleTo(&card); }
    SoakLiveView* live() const { return card.findChild<SoakLiveView*>(); }
};

} // namespace

TEST_F(SoakFixture, LengthPickerFollowsTheSoakMinutes) {
    QComboBox* length = card.lengthPicker();
    ASSERT_EQ(length->count(), 3);
    EXPECT_EQ(length->itemText(0), "5 min");
    EXPECT_EQ(length->currentText(), "10 min"); // the default length

    length->activated(2);
    EXPECT_EQ(model.thresholds().soakMinutes, 15);

    auto thresholds = model.thresholds();
    thresholds.soakMinutes = 7; // set in the settings
    model.settings().setThresholds(thresholds);
    EXPECT_EQ(length->currentIndex(), -1);
    QTest::mouseClick(button("run-soak"), Qt::LeftButton);
    EXPECT_TRUE(soak.isRunning(*bench.demo()));
    EXPECT_EQ(soak.seconds(), 420);
}

TEST_F(SoakFixture, RunShowsTheLiveViewThenTheJudgedResult) {
    EXPECT_TRUE(shown(card.findChild<QLabel*>("instructions")));
    EXPECT_EQ(button("run-soak")->text(), "Run");
    QTest::mouseClick(button("run-soak"), Qt::LeftButton);
    ASSERT_TRUE(shown(live()));
    EXPECT_FALSE(shown(card.lengthPicker()));
    EXPECT_EQ(live()->status()->text(), "Keep a stick moving. 10:00 left.");
    EXPECT_FALSE(shown(live()->caption()));

    frames(75.5);
    EXPECT_EQ(live()->status()->text(), "Keep a stick moving. 8:45 left.");
    EXPECT_NEAR(live()->progress()->value(), 126, 2);
    ASSERT_TRUE(shown(live()->caption()));
    EXPECT_TRUE(live()->caption()->text().endsWith(" reports/s now")) << live()->caption()->text().toStdString();
    ASSERT_TRUE(shown(live()->strip()));
    EXPECT_EQ(live()->strip()->strip().seconds, 600); // drawn against the planned length
    EXPECT_NEAR(live()->strip()->fraction(), 75.5 / 600, 0.01);

    QTest::mouseClick(button("soak-stop"), Qt::LeftButton);
    EXPECT_FALSE(soak.isRunning());
    const auto result = model.runner(bench.demo()).result(SoakRunner::soakTest());
    ASSERT_TRUE(result);
    EXPECT_FALSE(shown(live()));
    ASSERT_TRUE(shown(card.findChild<ResultView*>()));
    EXPECT_EQ(card.findChild<ResultView*>()->headline()->objectName(), "headline-soak");
    EXPECT_TRUE(card.findChild<ResultView*>()->findChild<SoakStripView*>());
    EXPECT_EQ(card.findChild<CardHeader*>()->verdict(), result->verdict);
    EXPECT_EQ(button("run-soak")->text(), "Run Again");
}

// The untouched demo streams its resting motion readings while the run has its sensors on:
// the live caption and the judged result read no dropouts and the rate the demo sent.
TEST_F(SoakFixture, TheUntouchedDemoShowsASteadyRunAndPasses) {
    QTest::mouseClick(button("run-soak"), Qt::LeftButton);
    frames(65.2);
    ASSERT_TRUE(shown(live()->caption()));
    EXPECT_EQ(live()->caption()->text(),
              QString::fromUtf8("0 dropouts \u00B7 0 disconnects \u00B7 input 100% of the time \u00B7 250 reports/s now"));
    EXPECT_EQ(live()->strip()->accessibleValue(), "input steady throughout");

    QTest::mouseClick(button("soak-stop"), Qt::LeftButton);
    auto* result = card.findChild<ResultView*>();
    ASSERT_TRUE(shown(result));
    EXPECT_EQ(card.findChild<CardHeader*>()->verdict(), Verdict::pass);
    EXPECT_EQ(result->headline()->text().toLower().toStdString(), "no dropouts or disconnects in 1 min 5 s");
    auto* rate = result->findChild<QWidget*>("measure-hz");
    ASSERT_TRUE(rate);
    EXPECT_TRUE(rate->accessibleName().contains("250")) << rate->accessibleName().toStdString();
    EXPECT_TRUE(result->findChild<QWidget*>("measure-gaps")->accessibleName().endsWith(" 0"))
        << result->findChild<QWidget*>("measure-gaps")->accessibleName().toStdString();
}

TEST_F(SoakFixture, WaitingLineWhileTheControllerIsAway) {
    QTest::mouseClick(button("run-soak"), Qt::LeftButton);
    frames(2);
    bench.demo()->setConnected(false);
    frames(1);
    EXPECT_TRUE(soak.waiting());
    EXPECT_TRUE(shown(live()->waitingLine()));
    EXPECT_FALSE(shown(live()->status()));
    EXPECT_EQ(live()->waitingText(),
              "Disconnected. Waiting for it to reconnect (turn it back on, or bring it closer)\u2026");
}

TEST_F(SoakFixture, CancelSpeaksOnlyWhileTheRunGoesOn) {
    QTest::mouseClick(button("run-soak"), Qt::LeftButton);
    frames(3);
    QTest::mouseClick(button("soak-cancel"), Qt::LeftButton);
    EXPECT_FALSE(soak.isRunning());
    EXPECT_EQ(model.announcer().spoken().back(), "Wireless soak test cancelled.");
    EXPECT_FALSE(model.runner(bench.demo()).result(SoakRunner::soakTest()));
    EXPECT_TRUE(shown(card.findChild<QLabel*>("instructions")));

    // A press that arrives after the run ended on its own does nothing.
    QTest::mouseClick(button("run-soak"), Qt::LeftButton);
    QPushButton* cancel = button("soak-cancel");
    frames(10 * 60 + 1);
    ASSERT_FALSE(soak.isRunning());
    const auto spoken = model.announcer().spoken();
    cancel->click();
    EXPECT_EQ(model.announcer().spoken(), spoken);
    EXPECT_TRUE(model.runner(bench.demo()).result(SoakRunner::soakTest()));
}

TEST_F(SoakFixture, RunWaitsForOtherRunsAndNamesOneElsewhere) {
    const auto twin = model.demo().raw();
    SoakCard other{twin, model.runner(twin), model.settings(), *model.soak(), model.batch()};
    QLabel* elsewhere = other.findChild<QLabel*>("soak-elsewhere");
    EXPECT_FALSE(elsewhere->isVisibleTo(&other));

    QTest::mouseClick(button("run-soak"), Qt::LeftButton);
    EXPECT_FALSE(other.findChild<QPushButton*>("run-soak")->isEnabled());
    EXPECT_TRUE(elsewhere->isVisibleTo(&other));
    EXPECT_EQ(elsewhere->text(), "A soak test is running on another device.");
    EXPECT_FALSE(shown(card.findChild<QLabel*>("soak-elsewhere")));
    soak.stop();
    EXPECT_TRUE(other.findChild<QPushButton*>("run-soak")->isEnabled());

    // A guided test of the device, or the batch drift test, holds it back too.
    auto& runner = model.runner(bench.demo());
    runner.start(GuidedTests::allTests(*bench.demo()).front());
    EXPECT_FALSE(button("run-soak")->isEnabled());
    EXPECT_TRUE(other.findChild<QPushButton*>("run-soak")->isEnabled());
    runner.cancel();
    model.batch()->start({twin});
    EXPECT_FALSE(button("run-soak")->isEnabled());
}

TEST_F(SoakFixture, StrayKeysNeverJudgeTheRunAndEscapeCancelsIt) {
    card.show();
    card.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&card));
    QPushButton* run = button("run-soak");
    run->setFocus();
    StrayKeys::press(Qt::Key_Space);
    ASSERT_TRUE(soak.isRunning(*bench.demo()));
    // The keyboard waits on the live view, not on "Stop and Judge".
    EXPECT_EQ(QApplication::focusWidget(), live());
    frames(5);
    StrayKeys::press(Qt::Key_Space);
    StrayKeys::hold(Qt::Key_Space, 5);
    StrayKeys::press(Qt::Key_Return);
    EXPECT_TRUE(soak.isRunning(*bench.demo()));

    StrayKeys::press(Qt::Key_Escape);
    EXPECT_FALSE(soak.isRunning());
    EXPECT_FALSE(model.runner(bench.demo()).result(SoakRunner::soakTest()));
    EXPECT_EQ(model.announcer().spoken().back(), "Wireless soak test cancelled.");
    EXPECT_EQ(QApplication::focusWidget(), run);
}
