#pragma once
// The runner of one device's guided tests and the keeper of their results. One per device
// identifier, created by the model on first use and never removed, so results outlive a
// disconnection for the rest of the process.
//
// For now it only keeps results; the test itself (start, phase machine, analysis) is added on
// top of this without changing what the model relies on: hasActiveTest(), tick() and the results.
#include <QObject>

#include <map>
#include <memory>
#include <string>

#include "testkit/TestResult.h"

namespace Tessarine {

class AppModel;
class InputDevice;

class TestRunner : public QObject {
    Q_OBJECT

public:
    using Results = std::map<std::string, RorozErurEvo::TestResult>; // by guided-test identifier

    // The model is not owned and outlives the runner; the device is kept.
    TestRunner(std::shared_ptr<InputDevice> device, AppModel& model);

    const std::shared_ptr<InputDevice>& device() const { return device_; }
    AppModel& model() const { return model_; }

    // Whether a guided test is running; the model ticks only runners that have one.
    bool hasActiveTest() const { return false; }
    // Advances the running test to uptime `now` (seconds).
    void tick(double now);

    const Results& results() const { return results_; }
    // Stores one result under its key, replacing the earlier one of the same test.
    void store(const std::string& key, RorozErurEvo::TestResult result);
    // Adds the results of tests this runner has no result for; its own results are kept.
    void mergeResults(const Results& other);

signals:
    void resultsChanged();

private:
    const std::shared_ptr<InputDevice> device_;
    AppModel& model_;
    Results results_;
};

} // namespace Tessarine
