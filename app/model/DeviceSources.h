#pragma once
// What the model needs of its device sources, behind interfaces: the application plugs in the
// real sources (SDL game controllers, the HID monitor), tests plug in fakes
// that hold devices in plain lists. Every source is started once by the model and stopped by
// it before the model goes away; stop() joins any thread the source runs.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/devices/SkippedHID.h"

namespace Tessarine {

class InputDevice;
class HIDTap;

// The game controllers the system's controller service reports.
class ControllerSource {
public:
    virtual ~ControllerSource() = default;
    // The connected controllers' devices, in any order. Main thread.
    virtual std::vector<std::shared_ptr<InputDevice>> devices() const = 0;
    // `onChange` runs on the main thread after a controller connects or disconnects.
    virtual void start(std::function<void()> onChange) = 0;
    virtual void stop() = 0;
    // Why the source reports no controller, in the service's words; empty while it runs.
    virtual std::string failure() const { return {}; }
    // What the source had to tell the user since the last call, such as a mapping file it
    // refused; onChange runs after each. Main thread.
    virtual std::vector<std::string> takeNotices() { return {}; }
    // The joysticks the service reads that are no game controllers, as raw devices (kind hid);
    // they change with the controllers. Main thread.
    virtual std::vector<std::shared_ptr<InputDevice>> joysticks() const { return {}; }
};

// The raw HID devices the monitor has open, and the ones it left aside.
class HIDSource {
public:
    virtual ~HIDSource() = default;
    // Copies taken under the source's own lock; any thread.
    virtual std::map<std::uint64_t, std::shared_ptr<HIDTap>> taps() const = 0;
    // The devices left closed, and why.
    virtual std::vector<SkippedHID> skipped() const = 0;
    // `onChange` may run on the source's own thread.
    virtual void start(std::function<void()> onChange) = 0;
    virtual void stop() = 0;
    // Why the source stopped reading, empty while it reads; any thread.
    virtual std::string failure() const { return {}; }
};

} // namespace Tessarine
