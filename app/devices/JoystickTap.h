#pragma once
// The tap of one joystick read through the system's joystick layer: it keeps the joystick's
// inputs as one report of a fixed layout (JoystickLayout) and hands every change to an HIDTap,
// which catalogues, records and pairs them as it does for a raw HID device.
//
// Built on the main thread; from then on fed only on the backend's thread, which alone touches
// the report kept here. The HIDTap is shared with the main thread as a raw HID reader's is.
#include <cstdint>
#include <memory>
#include <vector>

#include "app/base/Clock.h"
#include "app/devices/ControllerBackend.h"
#include "app/devices/HIDTap.h"
#include "testkit/JoystickLayout.h"

namespace Tessarine {

class JoystickTap {
public:
    // The joystick layer stamps events in whole milliseconds (seconds per step).
    static constexpr double stampResolution = 0.001;

    JoystickTap(int instance, std::uint64_t key, const JoystickDescription& joystick,
                const Clock& clock = Clock::system());

    int instance() const { return instance_; }
    const std::shared_ptr<HIDTap>& tap() const { return tap_; }
    const RorozErurEvo::JoystickLayout& layout() const { return layout_; }

    // The identity of a joystick as the rest of the system records it.
    static RorozErurEvo::DeviceInfo identity(const JoystickDescription& joystick);

    // Backend's thread only.
    // Records every input once from `state` at time t: the resting state before the first change.
    void snapshot(const JoystickState& state, double t);
    void axisMoved(int axis, std::int16_t value, double stamp);
    void hatMoved(int hat, int bits, double stamp);
    void buttonChanged(int button, bool down, double stamp);

private:
    void send(double stamp);

    const int instance_;
    const RorozErurEvo::JoystickLayout layout_;
    const Clock& clock_;
    const std::shared_ptr<HIDTap> tap_;
    std::vector<std::uint8_t> report_; // backend's thread
};

} // namespace Tessarine
