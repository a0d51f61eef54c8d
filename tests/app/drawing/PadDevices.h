#pragma once
// Devices for the drawn controller's tests and gallery scenes: a pad with every part the drawing
// knows, a bare one, and a way to set what they report now.
#include "app/devices/InputDevice.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace PadDevices {

using Tessarine::ElementInfo;
using Tessarine::InputDevice;
using Kind = ElementInfo::Kind;
using Role = ElementInfo::Role;

inline ElementInfo element(std::string id, Kind kind, Role role, std::string name,
                           std::optional<std::string> symbol = std::nullopt, int finger = 0) {
    ElementInfo e;
    e.id = std::move(id);
    e.kind = kind;
    e.role = role;
    e.name = std::move(name);
    e.symbol = std::move(symbol);
    e.analog = kind == Kind::stick || kind == Kind::trigger;
    e.finger = finger;
    return e;
}

inline std::vector<ElementInfo> fullElements() {
    return {
        element("ls", Kind::stick, Role::leftStick, "Left Stick"),
        element("rs", Kind::stick, Role::rightStick, "Right Stick"),
        element("dp", Kind::dpad, Role::dpad, "D-pad"),
        element("lt", Kind::trigger, Role::leftTrigger, "LT"),
        element("rt", Kind::trigger, Role::rightTrigger, "RT"),
        element("a", Kind::button, Role::south, "A", "a.circle"),
        element("b", Kind::button, Role::east, "B", "b.circle"),
        element("x", Kind::button, Role::west, "X", "x.circle"),
        element("y", Kind::button, Role::north, "Y", "y.circle"),
        element("lb", Kind::button, Role::leftShoulder, "LB"),
        element("rb", Kind::button, Role::rightShoulder, "RB"),
        element("l3", Kind::button, Role::leftStickButton, "Left stick press"),
        element("r3", Kind::button, Role::rightStickButton, "Right stick press"),
        element("menu", Kind::button, Role::menu, "Menu", "line.3.horizontal.circle"),
        element("view", Kind::button, Role::options, "View", "ellipsis.circle"),
        element("home", Kind::button, Role::home, "Home", "house.circle"),
        element("share", Kind::button, Role::share, "Share", "square.and.arrow.up.circle"),
        element("click", Kind::button, Role::touchpadButton, "Touchpad click"),
        element("t1", Kind::touchpad, Role::touchpad, "Touchpad, first finger", std::nullopt, 0),
        element("t2", Kind::touchpad, Role::touchpad, "Touchpad, second finger", std::nullopt, 1),
    };
}

inline std::shared_ptr<InputDevice> device(std::string id, std::vector<ElementInfo> elements,
                                           InputDevice::Kind kind = InputDevice::Kind::controller) {
    return std::make_shared<InputDevice>(std::move(id), kind, RorozErurEvo::DeviceInfo{.name = "Pad"},
                                         std::move(elements));
}

// Every part, with a light bar and player lights.
inline std::shared_ptr<InputDevice> fullPad() {
    auto pad = device("full", fullElements());
    Tessarine::Capabilities caps;
    caps.light = true;
    caps.playerLights = true;
    pad->setCapabilities(caps);
    return pad;
}

// Nothing the drawing shows.
inline std::shared_ptr<InputDevice> barePad() {
    return device("bare", {element("gyro", Kind::axis, Role::other, "Gyro")});
}

// Publishes what was recorded into the device's buffer, as the application's frame tick does.
inline void publish(InputDevice& device) { device.update(10, 1.5); }

// The gallery's pose: left bumper held, left trigger half pulled, left stick pushed up and to
// the right, d-pad up-left, A held, two fingers on the touchpad, a red light bar and the third
// player's lights.
inline void pose(InputDevice& pad) {
    auto& buffer = pad.buffer();
    buffer.recordButton("lb", true, 1);
    buffer.recordAxis("lt", 0.5, std::nullopt, 1);
    buffer.recordAxis("rt", 0, std::nullopt, 1);
    buffer.recordStick("ls", 0.6, 0.45, std::nullopt, 1);
    buffer.recordStick("rs", 0, 0, std::nullopt, 1);
    buffer.recordStick("dp", -1, 1, std::nullopt, 1);
    buffer.recordButton("a", true, 1);
    buffer.recordTouch({1, 0, -0.5, 0.3});
    buffer.recordTouch({1, 1, 0.6, -0.4});
    pad.setLightColor(std::array<double, 3>{1, 0, 0});
    pad.setPlayerLight(2);
    publish(pad);
}

} // namespace PadDevices
