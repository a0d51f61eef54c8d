#pragma once
// A controller service played by hand, for tests: the test adds and removes controllers and
// moves their inputs, and every call reaches the listener at once on the test's own thread.
// Output commands are recorded for the test to read.
#include <map>
#include <mutex>

#include "app/devices/ControllerBackend.h"

namespace Tessarine {

class FakeControllerBackend final : public ControllerBackend {
public:
    struct Command {
        enum class Kind { rumble, stopRumble, light, playerIndex, effect, sensors };
        Kind kind = Kind::rumble;
        int instance = -1;
        RorozErurEvo::RumbleMixer::Motor motor = RorozErurEvo::RumbleMixer::Motor::low;
        float strength = 0;
        double seconds = 0;
        std::array<std::uint8_t, 3> color{};
        int index = 0;
        std::vector<std::uint8_t> packet;
        bool enabled = false;
        friend bool operator==(const Command&, const Command&) = default;
    };

    void start(Listener& listener) override;
    void stop() override;
    void post(std::function<void()> work) override;
    std::optional<ControllerState> state(int instance) override;
    std::optional<JoystickState> joystickState(int instance) override;

    void rumble(int instance, RorozErurEvo::RumbleMixer::Motor motor, float strength, double seconds) override;
    void stopRumble(int instance) override;
    void setLight(int instance, std::uint8_t red, std::uint8_t green, std::uint8_t blue) override;
    void setPlayerIndex(int instance, int index) override;
    void sendEffect(int instance, std::vector<std::uint8_t> packet) override;
    void setSensorsEnabled(int instance, bool enabled) override;

    // Driving the controllers (each reaches the listener when the backend runs).
    void add(const ControllerDescription& controller, const ControllerState& state = {});
    void remove(int instance);
    // The service stops for good with `reason`, as SDL does when its subsystem fails to start.
    void fail(const std::string& reason);
    void axis(int instance, PadAxis axis, std::int16_t value, double stamp = 0);
    void button(int instance, PadButton button, bool down, double stamp = 0);
    void touch(int instance, int finger, TouchPhase phase, float x, float y, double stamp = 0);
    void sensor(int instance, Sensor sensor, std::array<float, 3> values, double stamp = 0);

    // Joysticks that are no game controllers.
    void addJoystick(const JoystickDescription& joystick, const JoystickState& state = {});
    void removeJoystick(int instance);
    void joystickAxis(int instance, int axis, std::int16_t value, double stamp = 0);
    void joystickHat(int instance, int hat, int bits, double stamp = 0);
    void joystickButton(int instance, int button, bool down, double stamp = 0);

    bool running() const;
    std::vector<Command> commands() const;

private:
    void record(Command command);
    // Runs `edit` on the state under the lock and returns the listener to tell, if any; it is told
    // outside the lock, so that it may call back into the backend.
    Listener* changed(const std::function<void()>& edit = {});

    mutable std::mutex lock_;
    Listener* listener_ = nullptr;
    bool stopped_ = false;
    std::map<int, ControllerState> states_;
    std::map<int, JoystickState> joysticks_;
    std::vector<Command> commands_;
};

} // namespace Tessarine
