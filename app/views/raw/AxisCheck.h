#pragma once
// A two-step check of one raw axis: hands off for a few seconds (noise at rest), then moved
// from end to end and Done (range). AxisCheckRecorder reads, analyses and files the result in
// the runner of the page's device; it is shown under the controls.
//
// Phases:
//   idle  --Measure at Rest-->  rest  --wait ends-->  range  --Done-->  idle
//   rest  --wait ends, axis gone-->  idle
//   range --Done, axis gone-->  idle (nothing recorded)
//   rest, range --Escape-->  idle (nothing recorded)
// While a step runs the keyboard waits in its box, never on Done: Space pressed again or held
// after "Measure at Rest" does nothing, and Return finishes the range step only when it was not
// the key that started the check.
// The wait is a timer owned by the widget, so a view closed during it is never called back.
#include <QGroupBox>
#include <QPointer>
#include <QTimer>

#include <array>

#include <memory>
#include <string>
#include <vector>

#include "app/devices/InputDevice.h"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QShortcut;
class QVBoxLayout;

namespace Tessarine {

class Clock;
class UserSettings;
class StartKey;
class TestRunner;
class VerdictLabel;

class AxisCheck : public QGroupBox {
    Q_OBJECT

public:
    enum class Phase { idle, rest, range };

    // Milliseconds the user keeps hands off.
    static constexpr int restWait = 3000;

    AxisCheck(std::shared_ptr<InputDevice> device, TestRunner& runner, const UserSettings& settings,
              const Clock& clock, QWidget* parent = nullptr);

    Phase phase() const { return phase_; }
    const std::string& axisID() const { return axisID_; }
    void setAxisID(const std::string& id);
    const std::vector<int>& restValues() const { return restValues_; }
    // Tests shorten the wait.
    void setWaitMilliseconds(int ms) { waitMs_ = ms; }

    void measureAtRest();
    void done();
    // Ends the running step without a result.
    void cancel();

    QComboBox* picker() const { return picker_; }
    QPushButton* measureButton() const { return measure_; }
    QPushButton* doneButton() const { return done_; }
    QWidget* resultBox() const { return resultBox_; }

private:
    // Builders of the box's parts, each run once by the constructor.
    void buildPicker(QHBoxLayout* row);
    void buildRestBox(QHBoxLayout* row);
    void buildRangeBox(QHBoxLayout* row);
    void buildResultBox(QVBoxLayout* box);

    void restEnded();
    void setPhase(Phase phase);
    void rebuildPicker();
    void refreshResult();
    std::string axisName() const;

    std::shared_ptr<InputDevice> device_;
    QPointer<TestRunner> runner_;
    const UserSettings& settings_;
    const Clock& clock_;
    std::string axisID_;
    Phase phase_ = Phase::idle;
    std::vector<int> restValues_;
    double restStart_ = 0;  // uptime seconds
    double rangeStart_ = 0; // uptime seconds
    int waitMs_ = restWait;
    QTimer wait_;

    QComboBox* picker_;
    QPushButton* measure_;
    QWidget* restBox_;
    QWidget* rangeBox_;
    QPushButton* done_;
    StartKey* startKey_;
    std::array<QShortcut*, 2> returnKeys_{};
    QShortcut* escape_;
    QWidget* resultBox_;
    VerdictLabel* verdict_;
    QLabel* headline_;
    QVBoxLayout* measures_;
};

} // namespace Tessarine
