#pragma once
// The wireless soak test: minutes of watching one controller for dropouts, pauses and
// disconnects. For now it holds its place in the model and its frame tick, and knows which
// device a run is bound to; the timeline, its analysis and the result are added later.
#include <QObject>

#include <optional>
#include <string>

namespace Tessarine {

class AppModel;
class InputDevice;

class SoakRunner : public QObject {
    Q_OBJECT

public:
    // The model is not owned and outlives the runner.
    explicit SoakRunner(AppModel& model) : model_(model) {}

    AppModel& model() const { return model_; }
    bool isRunning() const { return running_; }
    // Whether a run is in progress and bound to this device.
    bool isRunning(const InputDevice& device) const;
    const std::optional<std::string>& deviceID() const { return deviceID_; }

    // Binds a run to the device and keeps its motion sensors reporting while it sits still;
    // nothing when a run is in progress. `minutes` is kept for the run's length (at least 1).
    void start(InputDevice& device, double minutes);
    // Ends the run without a result and switches the bound device's motion sensors off.
    void stop();
    // Advances a running soak to uptime `now` (seconds); idle, it does nothing.
    void tick(double /*now*/) {}

signals:
    void runningChanged();
    void deviceIDChanged();

private:
    AppModel& model_;
    bool running_ = false;
    std::optional<std::string> deviceID_;
    double seconds_ = 600; // length of the run
};

} // namespace Tessarine
