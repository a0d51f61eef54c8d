#pragma once
// What the runners (a device's guided tests, the soak test, the batch drift test) need of the
// application around them, and no more: the clock, the demo driver, whether a soak runs, the
// limits, the devices and their runners, and the two ways of telling the user. The application model is the one
// implementation; a runner reaches nothing past this interface.
//
// The context outlives every runner. Runners are created on first use and never removed while
// the application runs, because views keep references to them.
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QString;

namespace RorozErurEvo {
struct Thresholds;
}

namespace Tessarine {

class Clock;
class DemoDriver;
class InputDevice;
class TestRunner;

class RunnerContext {
public:
    using Devices = std::vector<std::shared_ptr<InputDevice>>;

    virtual const Clock& clock() const = 0;
    virtual DemoDriver& demo() = 0;
    // Whether the soak test is running on the device: it switched the device's sensors on for
    // itself and still needs them.
    virtual bool soaking(const InputDevice& device) const = 0;

    // The user's limits, and the ones that apply to a device (its family's profile, if any).
    virtual const RorozErurEvo::Thresholds& thresholds() const = 0;
    virtual RorozErurEvo::Thresholds thresholds(const InputDevice& device) const = 0;

    virtual std::shared_ptr<InputDevice> device(const std::string& id) const = 0;
    virtual const Devices& controllerDevices() const = 0;
    virtual const Devices& allHID() const = 0;
    // The device's runner, created on first use and kept.
    virtual TestRunner& runner(const std::shared_ptr<InputDevice>& device) = 0;
    // Hands the unit record, results and selection of `oldID` to a device that came back under
    // a new identifier.
    virtual void carryOver(const std::string& oldID, const std::shared_ptr<InputDevice>& device) = 0;

    // Speaks the text to accessibility clients.
    virtual void announce(const QString& text) = 0;
    // The short notice at the bottom of the window; none hides it.
    virtual void setToast(std::optional<std::string> value) = 0;

protected:
    ~RunnerContext() = default;
};

} // namespace Tessarine
