#pragma once
// The batch drift test: the drift test on every stick of every connected device at once.
// For now it holds its place in the model and its frame tick; the test itself is added later.
#include <QObject>

namespace Tessarine {

class AppModel;

class BatchRunner : public QObject {
    Q_OBJECT

public:
    // The model is not owned and outlives the runner.
    explicit BatchRunner(AppModel& model) : model_(model) {}

    AppModel& model() const { return model_; }
    bool isRunning() const { return false; }
    // Advances a running batch to uptime `now` (seconds); idle, it does nothing.
    void tick(double /*now*/) {}

private:
    AppModel& model_;
};

} // namespace Tessarine
