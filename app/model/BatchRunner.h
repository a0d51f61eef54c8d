#pragma once
// The batch drift test: the drift test on every stick of several devices at once, so that a row
// of controllers on the bench gets one drift result per stick from one run. Each result lands in
// its device's own runner under the key of the catalogue's drift test of that stick, so it shows
// on the bench and is saved with the device's session like any other drift result.
//
// The run's cases, driven by the model's frame tick (e = seconds since the start):
//   idle       no run (start absent).
//   settling   0 ≤ e < 2: the user lets go of every controller; a countdown prompt.
//   measuring  e ≥ 2: the sticks rest while the drift measuring time passes. When it has
//              passed, every stick's window is analysed and filed, and the run ends → idle.
//   cancel() returns to idle from either running case without results; start() during a run
//   starts afresh. A device that disconnects during a run (or whose raw partner it is measured
//   on does) leaves it at once: it gets no result, the user is told, and the others go on.
//
// Main thread only.
#include <QObject>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/devices/InputDevice.h"
#include "app/model/PhaseTimings.h"

namespace Tessarine {

class RunnerContext;

class BatchRunner : public QObject {
    Q_OBJECT

public:
    // Time to let go of every controller before measuring, seconds.
    static constexpr double settleSeconds = PhaseTimings::settleSeconds;
    // Rate of the resampled drift window, samples per second.
    static constexpr double sampleRate = 100;

    // The context is not owned and outlives the runner.
    explicit BatchRunner(RunnerContext& context) : context_(context) {}

    RunnerContext& context() const { return context_; }

    // Uptime seconds when the run began; absent while idle.
    const std::optional<double>& start() const { return start_; }
    bool isRunning() const { return start_.has_value(); }
    const std::vector<std::string>& deviceIDs() const { return deviceIDs_; }
    const std::string& prompt() const { return prompt_; }
    double progress() const { return progress_; } // 0 … 1 of the measuring time

    // Begins a run over the devices, in the order given.
    void start(const std::vector<std::shared_ptr<InputDevice>>& devices);
    // Advances a run to uptime `now` (seconds); idle, it does nothing.
    void tick(double now);
    // Ends a run without results.
    void cancel();

signals:
    void startChanged();
    void deviceIDsChanged();
    void promptChanged();
    void progressChanged();

private:
    void setStart(std::optional<double> value);
    void setPrompt(std::string value);
    void setProgress(double value);
    // Analyses and files every stick of every device of the run, measured up to `now`.
    void fileResults(double now);
    // The demo controller goes back to its looping recording.
    void releaseDemo();
    // Drops the devices that disconnected since the start, telling the user of each.
    void dropDisconnected();

    // A device of the run and the device its sticks are measured on (itself or its raw partner).
    struct Member {
        std::shared_ptr<InputDevice> device;
        std::shared_ptr<InputDevice> measured;
    };

    RunnerContext& context_;
    std::optional<double> start_;
    std::vector<std::string> deviceIDs_;
    std::vector<Member> members_;
    std::string prompt_;
    double progress_ = 0;
};

} // namespace Tessarine
