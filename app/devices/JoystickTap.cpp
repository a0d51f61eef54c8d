#include "app/devices/JoystickTap.h"

#include <algorithm>

#include "app/devices/ControllerTap.h"

namespace Tessarine {

RorozErurEvo::DeviceInfo JoystickTap::identity(const JoystickDescription& joystick) {
    RorozErurEvo::DeviceInfo info;
    info.name = joystick.name;
    info.vendorID = joystick.vendorID;
    info.productID = joystick.productID;
    info.serial = joystick.serial;
    info.firmwareVersion = joystick.firmwareVersion;
    info.guid = joystick.guid;
    return info;
}

JoystickTap::JoystickTap(int instance, std::uint64_t key, const JoystickDescription& joystick, const Clock& clock)
    : instance_(instance), layout_(joystick.axes, joystick.hats, joystick.buttons), clock_(clock),
      tap_(std::make_shared<HIDTap>(key, joystick.hidraw.value_or(joystick.path.value_or(std::string())),
                                    identity(joystick), layout_.descriptor(), clock)),
      report_(layout_.restingReport()) {}

void JoystickTap::snapshot(const JoystickState& state, double t) {
    const int axes = std::min(layout_.axes(), static_cast<int>(state.axes.size()));
    for (int i = 0; i < axes; ++i) layout_.setAxis(report_, i, state.axes[i]);
    const int hats = std::min(layout_.hats(), static_cast<int>(state.hats.size()));
    for (int i = 0; i < hats; ++i) layout_.setHat(report_, i, state.hats[i]);
    const int buttons = std::min(layout_.buttons(), static_cast<int>(state.buttons.size()));
    for (int i = 0; i < buttons; ++i) layout_.setButton(report_, i, state.buttons[i]);
    tap_->inputReport(report_, t);
}

void JoystickTap::axisMoved(int axis, std::int16_t value, double stamp) {
    layout_.setAxis(report_, axis, value);
    send(stamp);
}

void JoystickTap::hatMoved(int hat, int bits, double stamp) {
    layout_.setHat(report_, hat, bits);
    send(stamp);
}

void JoystickTap::buttonChanged(int button, bool down, double stamp) {
    layout_.setButton(report_, button, down);
    send(stamp);
}

void JoystickTap::send(double stamp) { tap_->inputReport(report_, ControllerTap::sampleTime(stamp, clock_.now())); }

} // namespace Tessarine
