#pragma once
// The game-controller source: every controller the system's controller service reports becomes
// one testable InputDevice, and its input streams into that device's capture buffer.
//
// ControllerWatcher lives on the main thread. The backend reports controllers and their input on
// its own thread; connects and disconnects hop to the main thread through `post`, where the
// watcher builds or retires the device. Input goes straight from the backend's thread to the
// controller's tap, which the watcher installs on that thread once the device exists; the
// tap's first act is a snapshot of the controller's resting state.
//
// Per controller: attached (device connected, tap installed) → detached (tap removed, device
// marked disconnected and forgotten here; whoever still holds the device keeps its buffer). A
// controller that comes back is a new attach with a new device and a new id.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/base/Clock.h"
#include "app/devices/ControllerBackend.h"
#include "app/devices/ControllerTap.h"
#include "app/devices/InputDevice.h"
#include "app/devices/JoystickTap.h"

class QObject;

namespace Tessarine {

class ControllerWatcher final : private ControllerBackend::Listener {
public:
    // Runs a function on the main thread; see queuedOn() for the application's.
    using Post = std::function<void(std::function<void()>)>;
    using Described = DescribedElement;

    // Without `post`, connects and disconnects are handled on the backend's thread (tests whose
    // backend calls in on the test's thread).
    ControllerWatcher(std::shared_ptr<ControllerBackend> backend, Post post = {},
                      const Clock& clock = Clock::system());
    // Stops the backend first, so nothing of it runs once the watcher is gone.
    ~ControllerWatcher() override;
    ControllerWatcher(const ControllerWatcher&) = delete;
    ControllerWatcher& operator=(const ControllerWatcher&) = delete;

    // The application's main-thread hop: queued onto the thread of `context`, which must outlive
    // the watcher (the application model that owns it).
    static Post queuedOn(QObject* context);

    // Called on the main thread after every attach and detach.
    std::function<void()> onChange;

    // Starts the backend; the controllers already connected attach first. Later calls do nothing.
    void start();
    // Stops the backend and joins its thread. The devices stay as they are.
    void stop();

    // Main thread.
    void attach(const ControllerDescription& controller);
    void detach(int instance);
    // A joystick that is no game controller becomes a raw device read through the joystick
    // layer, id "js-" and a number that is never reused.
    void attachJoystick(const JoystickDescription& joystick);
    void detachJoystick(int instance);
    static std::vector<Described> describe(const ControllerDescription& controller);
    static bool hasPlayerLights(const ControllerDescription& controller);

    // By instance id; read by the application model after onChange.
    const std::map<int, std::shared_ptr<InputDevice>>& devices() const { return devices_; }
    const std::map<int, std::shared_ptr<ControllerTap>>& taps() const { return taps_; }
    const std::map<int, std::shared_ptr<InputDevice>>& joysticks() const { return joysticks_; }
    // Why the controller service reports nothing, in its own words; empty while it runs.
    const std::string& failure() const { return failure_; }
    // What the service had to tell the user since the last call (a mapping file it refused);
    // onChange runs after each. Main thread.
    std::vector<std::string> takeNotices() { return std::exchange(notices_, {}); }
    // Devices built so far; the next device is "gc-" and counter + 1.
    int counter() const { return counter_; }

private:
    // Backend's thread.
    void controllerAdded(const ControllerDescription& controller) override;
    void controllerRemoved(int instance) override;
    void axisMoved(int instance, PadAxis axis, std::int16_t value, double stamp) override;
    void buttonChanged(int instance, PadButton button, bool down, double stamp) override;
    void touched(int instance, int finger, TouchPhase phase, float x, float y, double stamp) override;
    void sensorRead(int instance, Sensor sensor, std::array<float, 3> values, double stamp) override;
    void serviceFailed(const std::string& reason) override;
    void noticed(const std::string& text) override;
    void joystickAdded(const JoystickDescription& joystick) override;
    void joystickRemoved(int instance) override;
    void joystickAxis(int instance, int axis, std::int16_t value, double stamp) override;
    void joystickHat(int instance, int hat, int bits, double stamp) override;
    void joystickButton(int instance, int button, bool down, double stamp) override;
    ControllerTap* route(int instance) const;
    JoystickTap* joystickRoute(int instance) const;
    void install(std::shared_ptr<ControllerTap> tap);
    void install(std::shared_ptr<JoystickTap> tap);

    // Runs `work` on the main thread while the watcher exists.
    void onMain(std::function<void()> work);

    const std::shared_ptr<ControllerBackend> backend_;
    const Post post_;
    const Clock& clock_;
    // Held only by the watcher; hops to the main thread check it so none runs after the watcher.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    bool started_ = false;

    // Main thread.
    std::map<int, std::shared_ptr<InputDevice>> devices_;
    std::map<int, std::shared_ptr<ControllerTap>> taps_;
    int counter_ = 0;
    std::string failure_;
    std::vector<std::string> notices_;
    std::map<int, std::shared_ptr<InputDevice>> joysticks_;
    std::map<int, std::shared_ptr<JoystickTap>> joystickTaps_;
    int joystickCounter_ = 0;

    // Backend's thread: the taps that receive input.
    std::map<int, std::shared_ptr<ControllerTap>> routes_;
    std::map<int, std::shared_ptr<JoystickTap>> joystickRoutes_;
};

} // namespace Tessarine
