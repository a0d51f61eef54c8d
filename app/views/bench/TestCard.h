#pragma once
// One guided test on the bench. The card reads everything from the device's runner: ready
// (instructions, "Run"), running (the running view, "Done" on Return, "Cancel" on Escape), done
// (the compact verdict, the result, "Run Again"), or, for the checks a person answers, the
// checklist.
// Run waits while any test of the device or the batch drift test runs; Cancel records nothing
// and leaves an earlier result shown, which the card then marks as earlier, with its time.
//
// Built once and kept: the bench keeps one card per test identifier and hands it a changed test
// with setTest(). The card follows the runner, the batch runner and the thresholds by itself;
// its one piece of own state is whether the result's details are open.
#include <array>
#include <memory>

#include "app/model/TestRunner.h"
#include "app/views/kit/Card.h"
#include "app/views/bench/CardText.h"

class QLabel;
class QPushButton;
class QShortcut;

namespace Tessarine {

class BatchRunner;
class UserSettings;
class CardHeader;
class GateControls;
class InputDevice;
class ManualChecks;
class ResultView;
class RunningView;
class StartKey;

class TestCard : public Card {
    Q_OBJECT

public:
    TestCard(const GuidedTest& test, std::shared_ptr<InputDevice> device, TestRunner& runner,
             const UserSettings& settings, BatchRunner* batch, QWidget* parent = nullptr);

    const GuidedTest& test() const { return test_; }
    // The same test with a changed target (say, the device's button list); the key stays.
    void setTest(const GuidedTest& test);
    CardText::State state() const;
    bool showDetails() const { return showDetails_; }
    void setShowDetails(bool open);

    // Shows the runner's state. Connected to every change the card shows; cheap when nothing
    // changed, since it runs on every frame of a running test.
    void refresh();

private:
    bool running() const;
    // Whether the keyboard is in a text field outside this card.
    bool typingElsewhere() const;
    void showBody(QWidget* body);
    RunningView* ensureRunningView();
    ResultView* ensureResultView();
    ManualChecks* ensureManualChecks();

    GuidedTest test_;
    std::shared_ptr<InputDevice> device_;
    TestRunner& runner_;
    const UserSettings& settings_;
    BatchRunner* batch_;
    bool showDetails_ = false;
    bool wasRunning_ = false; // whether the last refresh showed this test running

    CardHeader* header_;
    QWidget* bodies_; // holds the one body shown
    QWidget* shownBody_ = nullptr;
    QLabel* instructions_;
    QLabel* ended_; // the last run ended without a result
    RunningView* runningView_ = nullptr;
    ResultView* resultView_ = nullptr;
    ManualChecks* manualChecks_ = nullptr;
    GateControls* gateControls_ = nullptr;
    QWidget* idleButtons_ = nullptr;
    QWidget* runningButtons_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* done_ = nullptr;
    QPushButton* cancel_ = nullptr;
    StartKey* startKey_ = nullptr;
    std::array<QShortcut*, 2> returnKeys_{};
};

} // namespace Tessarine
