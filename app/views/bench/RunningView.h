#pragma once
// What a test card shows while its test runs: the runner's prompt, the progress bar, the live
// status line, and under them the visual of the test's kind (the stick's outline so far, the
// directions reached, the buttons registered, the motion graphs or the touch trace). Built
// once per card; each refresh only sets values and repaints.
#include <QWidget>

#include <memory>

#include "app/model/TestRunner.h"

class QLabel;
class QProgressBar;

namespace Tessarine {

class InputDevice;

class RunningView : public QWidget {
    Q_OBJECT

public:
    RunningView(const GuidedTest& test, std::shared_ptr<InputDevice> device, TestRunner& runner,
                QWidget* parent = nullptr);

    // Shows the running test's state.
    void refresh(const TestRunner::Active& active);

    QLabel* prompt() const { return prompt_; }
    QProgressBar* progress() const { return progress_; }
    QLabel* status() const { return status_; }
    // The kind's live visual; none for kinds without one.
    QWidget* visual() const { return visual_; }

private:
    GuidedTest test_;
    std::shared_ptr<InputDevice> device_;
    TestRunner& runner_;
    QLabel* prompt_;
    QProgressBar* progress_;
    QLabel* status_;
    QWidget* visual_ = nullptr;
};

} // namespace Tessarine
