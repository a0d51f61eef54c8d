#pragma once
// The InputDevice of a raw reader's tap (a hidraw node's, or a joystick's read through the
// system's joystick layer): kind hid, the tap's identity, catalogue and buffer, the axis roles
// guessed from the usages, and the stick pairs, whose edits go back to the tap.
#include <memory>
#include <string>

#include "app/devices/HIDTap.h"
#include "app/devices/InputDevice.h"

namespace Tessarine {

std::shared_ptr<InputDevice> makeRawDevice(std::string id, const std::shared_ptr<HIDTap>& tap);

} // namespace Tessarine
