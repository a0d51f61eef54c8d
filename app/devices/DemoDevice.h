#pragma once
// The demo controller and its raw HID twin: two always-connected devices fed from scripts of
// time-stamped actions, so that the bench works without hardware. Between tests a recording
// loops; during a guided test the runner loads that test's script instead.
//
// Main thread only: the playback timer fires on the main event loop every 8 ms.
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/base/Clock.h"
#include "app/devices/DeviceOutputs.h"
#include "app/devices/InputDevice.h"
#include "app/base/RepeatingTimer.h"
#include "testkit/DemoScripts.h"
#include "testkit/GuidedTest.h"

namespace Tessarine {

// The demo controller's outputs: nothing to drive, a battery that is always at 80 %, and motion
// sensors whose switch is handed to the driver.
class DemoOutputs final : public SilentOutputs {
public:
    explicit DemoOutputs(std::function<void(bool)> motion)
        : SilentOutputs(Battery{0.8, "On battery"}), motion_(std::move(motion)) {}
    void setMotionActive(bool active) override { motion_(active); }

private:
    std::function<void(bool)> motion_;
};

class DemoDriver : public QObject {
    Q_OBJECT

public:
    using Scenario = RorozErurEvo::DemoScenario;
    using Action = RorozErurEvo::DemoAction;

    // Seconds between two playback ticks.
    static constexpr double tickInterval = 0.008;
    // Seconds of stillness after a script's last action before a loop starts again.
    static constexpr double tailSeconds = 0.5;
    // A tick this late or later (the machine slept) plays only the loop's last rounds.
    static constexpr double catchUpSeconds = 60;

    explicit DemoDriver(const Clock& clock = Clock::system(), TimerFactory timers = QtRepeatingTimer::factory(),
                        QObject* parent = nullptr);

    const std::shared_ptr<InputDevice>& device() const { return device_; }
    const std::shared_ptr<InputDevice>& raw() const { return raw_; }
    const std::shared_ptr<DemoOutputs>& outputs() const { return outputs_; }

    Scenario scenario() const { return scenario_; }
    // Switches the looping recording; a running test's script plays on untouched.
    void setScenario(Scenario value);
    // The guided test whose script is playing; the test runner sets and clears it.
    const std::optional<RorozErurEvo::GuidedTest>& current() const { return current_; }
    void setCurrent(std::optional<RorozErurEvo::GuidedTest> test) { current_ = std::move(test); }

    const std::vector<Action>& actions() const { return actions_; }
    std::size_t cursor() const { return cursor_; }
    double scriptStart() const { return start_; }
    bool looping() const { return looping_; }
    double length() const { return length_; }
    bool isStarted() const { return timer_ != nullptr; }

    // The motion sensors switched on (the soak test asks for them): like a pad lying on a
    // table, the demo controller then streams its resting readings on a grid of its own, at
    // restingMotionRate from the moment they were switched on, whatever its script plays. A
    // script that carries motion of its own (the motion test's) plays instead while it runs.
    void setMotionActive(bool active);
    bool motionActive() const { return motionActive_; }

    // Starts the loop and the playback timer; a second call does nothing.
    void start();
    // Stops the playback timer (on quit).
    void stop() { timer_.reset(); }
    // Replaces the script (sorted by time, equal times in given order) and restarts its clock:
    // its time 0 lies at `at` (uptime seconds), or now when not given.
    void load(std::vector<Action> script, bool loop, std::optional<double> at = std::nullopt);
    // Applies every action due by `now` (uptime seconds), each stamped with its own time. A loop
    // goes round again as soon as it has run its full length, so a late tick plays what it
    // missed exactly as timely ticks would have: how often and how regularly the ticks come
    // changes no reading. Rounds that ended more than catchUpSeconds ago (the machine slept)
    // are skipped whole, keeping the loop's rhythm.
    void tick(double now);
    void tick() { tick(clock.now()); }
    // Writes one action into both capture buffers; scriptStart is the uptime of script time 0.
    void apply(const Action& action, double scriptStart);

    std::vector<Action> scenarioActions() const;
    std::vector<Action> testActions(const RorozErurEvo::GuidedTest& test, double driftSeconds) const;

signals:
    void scenarioChanged();

private:
    void applyStick(const std::string& element, const RorozErurEvo::StickSample& sample, double t);
    void applyAxis(const std::string& element, double value, double t);
    // The script's actions due by `now`, a loop going round as often as it ended.
    void playScript(double now);
    // The resting motion readings due by `now`, while the sensors are on.
    void streamMotion(double now);

    const Clock& clock;
    TimerFactory timers;
    std::shared_ptr<InputDevice> device_;
    std::shared_ptr<InputDevice> raw_;
    Scenario scenario_ = Scenario::healthy;
    std::optional<RorozErurEvo::GuidedTest> current_;
    std::vector<Action> actions_;
    std::size_t cursor_ = 0;
    double start_ = 0;   // uptime seconds of script time 0
    bool looping_ = true;
    double length_ = 0;  // seconds
    bool scriptMotion_ = false; // the loaded script carries motion readings of its own
    std::unique_ptr<RepeatingTimer> timer_;
    bool motionActive_ = false;
    double motionFrom_ = 0;         // uptime seconds of the stream's first reading
    std::uint64_t motionNext_ = 0;  // index of the stream's next reading
    std::shared_ptr<DemoOutputs> outputs_;
};

} // namespace Tessarine
