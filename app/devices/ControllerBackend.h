#pragma once
// What the game-controller source needs of the system's controller service, behind an
// interface: the real one runs SDL on a thread of its own (SDLBackend), the fake one plays
// scripted controllers in tests (FakeControllerBackend).
//
// Controllers are keyed by the service's instance id, which names one connection of one
// controller and is never reused; a controller that comes back has a new id. Every call of the
// listener runs on the backend's thread. Output commands may be given on any thread: they are
// carried out on the backend's thread, and one for a controller that is gone does nothing.
#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "testkit/HIDDescriptor.h"
#include "testkit/RumbleMixer.h"

namespace Tessarine {

// The inputs of a standard game pad, numbered as the service numbers them.
enum class PadAxis { leftX, leftY, rightX, rightY, leftTrigger, rightTrigger };
inline constexpr std::size_t padAxisCount = 6;

enum class PadButton {
    a,             // bottom face button
    b,             // right
    x,             // left
    y,             // top
    back,
    guide,
    start,
    leftStick,
    rightStick,
    leftShoulder,
    rightShoulder,
    dpadUp,
    dpadDown,
    dpadLeft,
    dpadRight,
    misc1,         // share, capture or microphone button
    paddle1,
    paddle2,
    paddle3,
    paddle4,
    touchpad       // touchpad click
};
inline constexpr std::size_t padButtonCount = 21;

// The family a controller belongs to, as far as the service knows it.
enum class PadType { unknown, xbox360, xboxOne, ps3, ps4, ps5, switchPro, joyConLeft, joyConRight, joyConPair, other };

enum class TouchPhase { down, motion, up };

// One finger of the first touchpad: position 0 … 1 from the top-left corner.
struct FingerState {
    bool down = false;
    float x = 0;
    float y = 0;
    friend bool operator==(const FingerState&, const FingerState&) = default;
};

// The state of a controller's inputs at one moment. Axis values are the service's: sticks
// −32768 … 32767 with y growing downwards, triggers 0 … 32767.
struct ControllerState {
    std::array<std::int16_t, padAxisCount> axes{};
    std::bitset<padButtonCount> buttons;
    std::vector<FingerState> fingers;
    friend bool operator==(const ControllerState&, const ControllerState&) = default;
};

// What a controller is and has, as read once when it connects.
struct ControllerDescription {
    int instance = -1;
    std::string name;
    PadType type = PadType::unknown;
    std::optional<std::string> path;         // the service's device node, e.g. "/dev/hidraw3"
    std::optional<std::string> hidraw;       // the controller's hidraw node, when known
    std::optional<std::string> powerSupply;  // the kernel's power_supply device (sysfs path)
    // What the service tells of the model and the unit; absent when it does not know.
    std::optional<int> vendorID;
    std::optional<int> productID;
    std::optional<std::string> serial;
    std::optional<int> firmwareVersion;
    std::optional<std::string> guid;         // 32 hexadecimal digits
    std::bitset<padAxisCount> axes;          // the axes it has
    std::bitset<padButtonCount> buttons;     // the buttons it has
    int fingers = 0;                         // fingers its first touchpad tracks; 0 without one
    bool accelerometer = false;
    bool gyroscope = false;
    bool rumble = false;                     // motors in the handles
    bool triggerRumble = false;              // motors behind the triggers
    bool light = false;
    // Whether each trigger (0 left, 1 right) reports its travel; a trigger that is a plain
    // button reads only as released or fully pulled.
    std::bitset<2> analogTriggers{0b11};

    bool has(PadAxis a) const { return axes.test(static_cast<std::size_t>(a)); }
    bool has(PadButton b) const { return buttons.test(static_cast<std::size_t>(b)); }

    friend bool operator==(const ControllerDescription&, const ControllerDescription&) = default;
};

enum class Sensor { accelerometer, gyroscope };

// A joystick the service lists that is no game controller (a wheel, pedals, a flight stick, a pad
// it has no mapping for), as read once when it connects. Its inputs are numbered.
struct JoystickDescription {
    int instance = -1;
    std::string name{};
    std::optional<int> vendorID = std::nullopt;
    std::optional<int> productID = std::nullopt;
    std::optional<std::string> serial = std::nullopt;
    std::optional<int> firmwareVersion = std::nullopt;
    std::optional<std::string> guid = std::nullopt;
    std::optional<std::string> path = std::nullopt;   // the service's device node, e.g. "/dev/input/event7"
    std::optional<std::string> hidraw = std::nullopt; // the same device's hidraw node, when known
    // The HID usage of each axis, in the service's order: from the device's axis codes when they
    // can be read, else by number (X, Y, Z, Rx, …).
    std::vector<RorozErurEvo::HIDUsagePair> axes{};
    int hats = 0;
    int buttons = 0;

    friend bool operator==(const JoystickDescription&, const JoystickDescription&) = default;
};

// A joystick's inputs at one moment: axes −32768 … 32767, hats as the service's direction bits
// (1 up, 2 right, 4 down, 8 left).
struct JoystickState {
    std::vector<std::int16_t> axes;
    std::vector<int> hats;
    std::vector<bool> buttons;
    friend bool operator==(const JoystickState&, const JoystickState&) = default;
};

class ControllerBackend {
public:
    // Told about controllers and their input; every call on the backend's thread. Times are
    // seconds of uptime as the service stamped the event; 0 when it gave none.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void controllerAdded(const ControllerDescription& controller) = 0;
        virtual void controllerRemoved(int instance) = 0;
        virtual void axisMoved(int instance, PadAxis axis, std::int16_t value, double stamp) = 0;
        virtual void buttonChanged(int instance, PadButton button, bool down, double stamp) = 0;
        // Finger of the first touchpad; position 0 … 1 from the top-left corner.
        virtual void touched(int instance, int finger, TouchPhase phase, float x, float y, double stamp) = 0;
        // Accelerometer in m/s² (gravity included), gyroscope in radians per second.
        virtual void sensorRead(int instance, Sensor sensor, std::array<float, 3> values, double stamp) = 0;
        // The service could not start (or stopped for good) and reports no controller; `reason`
        // is the service's own words.
        virtual void serviceFailed(const std::string& reason) = 0;
        // Something the user should learn once, in plain words, such as a mapping file that was
        // refused; the service runs on.
        virtual void noticed(const std::string& text) { (void)text; }

        // Joysticks that are no game controllers, by the same instance ids; stamps as above.
        virtual void joystickAdded(const JoystickDescription& joystick) { (void)joystick; }
        virtual void joystickRemoved(int instance) { (void)instance; }
        virtual void joystickAxis(int instance, int axis, std::int16_t value, double stamp) {
            (void)instance, (void)axis, (void)value, (void)stamp;
        }
        virtual void joystickHat(int instance, int hat, int bits, double stamp) {
            (void)instance, (void)hat, (void)bits, (void)stamp;
        }
        virtual void joystickButton(int instance, int button, bool down, double stamp) {
            (void)instance, (void)button, (void)down, (void)stamp;
        }
    };

    virtual ~ControllerBackend() = default;

    // Starts the backend's thread; the controllers already connected are reported first. Once.
    virtual void start(Listener& listener) = 0;
    // Stops and joins the backend's thread; no listener call and no system call happens after
    // it returns, and later commands are dropped.
    virtual void stop() = 0;

    // Runs `work` on the backend's thread; dropped when the backend is not running.
    virtual void post(std::function<void()> work) = 0;
    // The current state of a controller; absent when it is gone. Backend's thread only.
    virtual std::optional<ControllerState> state(int instance) = 0;
    // The current state of a joystick; absent when it is gone. Backend's thread only.
    virtual std::optional<JoystickState> joystickState(int instance) {
        (void)instance;
        return std::nullopt;
    }

    // Output commands.
    virtual void rumble(int instance, RorozErurEvo::RumbleMixer::Motor motor, float strength, double seconds) = 0;
    virtual void stopRumble(int instance) = 0;
    virtual void setLight(int instance, std::uint8_t red, std::uint8_t green, std::uint8_t blue) = 0;
    virtual void setPlayerIndex(int instance, int index) = 0;
    virtual void sendEffect(int instance, std::vector<std::uint8_t> packet) = 0;
    virtual void setSensorsEnabled(int instance, bool enabled) = 0;
};

} // namespace Tessarine
