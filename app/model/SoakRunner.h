#pragma once
// The wireless soak test: minutes of watching one controller for dropouts, pauses and
// disconnects. For now it holds its place in the model and its frame tick; the run itself is
// added later.
#include <QObject>

namespace Tessarine {

class AppModel;

class SoakRunner : public QObject {
    Q_OBJECT

public:
    // The model is not owned and outlives the runner.
    explicit SoakRunner(AppModel& model) : model_(model) {}

    AppModel& model() const { return model_; }
    bool isRunning() const { return false; }
    // Advances a running soak to uptime `now` (seconds); idle, it does nothing.
    void tick(double /*now*/) {}

private:
    AppModel& model_;
};

} // namespace Tessarine
