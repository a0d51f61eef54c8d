#include "app/devices/ControllerCatalogue.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "testkit/Text.h"

namespace Tessarine::ControllerCatalogue {

namespace {

using K = ElementInfo::Kind;
using R = ElementInfo::Role;
using T = ControllerInput::Type;

enum class Family { xbox, playStation, nintendo, generic };

Family family(PadType type) {
    switch (type) {
    case PadType::xbox360:
    case PadType::xboxOne: return Family::xbox;
    case PadType::ps3:
    case PadType::ps4:
    case PadType::ps5: return Family::playStation;
    case PadType::switchPro:
    case PadType::joyConLeft:
    case PadType::joyConRight:
    case PadType::joyConPair: return Family::nintendo;
    default: return Family::generic;
    }
}

// Buttons: the input name that is their id, their role, and the label printed on them per
// family (xbox, playStation, nintendo, generic). The face buttons are numbered by position,
// bottom, right, left, top, so the labels differ between families while the roles do not.
struct ButtonRow {
    PadButton button;
    const char* id;
    R role;
    std::array<const char*, 4> names;
};

constexpr std::array buttonRows{
    ButtonRow{PadButton::a, "Button A", R::south, {"A", "Cross", "B", "A"}},
    ButtonRow{PadButton::b, "Button B", R::east, {"B", "Circle", "A", "B"}},
    ButtonRow{PadButton::x, "Button X", R::west, {"X", "Square", "Y", "X"}},
    ButtonRow{PadButton::y, "Button Y", R::north, {"Y", "Triangle", "X", "Y"}},
    ButtonRow{PadButton::back, "Button Options", R::options, {"View", "Create", "Minus", "Back"}},
    ButtonRow{PadButton::guide, "Button Home", R::home, {"Home", "Home", "Home", "Home"}},
    ButtonRow{PadButton::start, "Button Menu", R::menu, {"Menu", "Options", "Plus", "Start"}},
    ButtonRow{PadButton::leftStick, "Left Thumbstick Button", R::leftStickButton,
              {"Left stick press", "L3", "Left stick press", "Left stick press"}},
    ButtonRow{PadButton::rightStick, "Right Thumbstick Button", R::rightStickButton,
              {"Right stick press", "R3", "Right stick press", "Right stick press"}},
    ButtonRow{PadButton::leftShoulder, "Left Shoulder", R::leftShoulder, {"LB", "L1", "L", "Left shoulder"}},
    ButtonRow{PadButton::rightShoulder, "Right Shoulder", R::rightShoulder, {"RB", "R1", "R", "Right shoulder"}},
    ButtonRow{PadButton::misc1, "Button Share", R::share, {"Share", "Mute", "Capture", "Share"}},
    ButtonRow{PadButton::paddle1, "Paddle 1", R::other, {"Paddle 1", "Paddle 1", "Paddle 1", "Paddle 1"}},
    ButtonRow{PadButton::paddle2, "Paddle 2", R::other, {"Paddle 2", "Paddle 2", "Paddle 2", "Paddle 2"}},
    ButtonRow{PadButton::paddle3, "Paddle 3", R::other, {"Paddle 3", "Paddle 3", "Paddle 3", "Paddle 3"}},
    ButtonRow{PadButton::paddle4, "Paddle 4", R::other, {"Paddle 4", "Paddle 4", "Paddle 4", "Paddle 4"}},
    ButtonRow{PadButton::touchpad, "Touchpad Button", R::touchpadButton,
              {"Touchpad click", "Touchpad click", "Touchpad click", "Touchpad click"}},
};

ElementInfo element(std::string id, K kind, R role, std::string name, bool analog, int finger = 0) {
    ElementInfo e;
    e.id = std::move(id);
    e.kind = kind;
    e.role = role;
    e.name = std::move(name);
    // The service offers no symbol names of its own here; the role's neutral symbol is drawn.
    e.symbol = ElementInfo::neutralSymbol(std::nullopt, role);
    e.analog = analog;
    e.finger = finger;
    return e;
}

void byId(std::vector<DescribedElement>& group) {
    std::sort(group.begin(), group.end(),
              [](const DescribedElement& a, const DescribedElement& b) { return a.info.id < b.info.id; });
}

} // namespace

std::vector<DescribedElement> describe(const ControllerDescription& c) {
    std::vector<DescribedElement> pads;
    if (c.has(PadAxis::leftX) && c.has(PadAxis::leftY))
        pads.push_back({{T::stick, 0}, element("Left Thumbstick", K::stick, R::leftStick, "Left stick", true)});
    if (c.has(PadAxis::rightX) && c.has(PadAxis::rightY))
        pads.push_back({{T::stick, 1}, element("Right Thumbstick", K::stick, R::rightStick, "Right stick", true)});
    if (c.has(PadButton::dpadUp) || c.has(PadButton::dpadDown) || c.has(PadButton::dpadLeft) ||
        c.has(PadButton::dpadRight))
        pads.push_back({{T::dpad, 0}, element("Direction Pad", K::dpad, R::dpad, "D-pad", false)});
    if (c.fingers >= 1)
        pads.push_back({{T::touch, 0}, element("Touchpad 1", K::touchpad, R::touchpad, "Touchpad, first finger", true, 0)});
    if (c.fingers >= 2)
        pads.push_back(
            {{T::touch, 1}, element("Touchpad 2", K::touchpad, R::touchpad, "Touchpad, second finger", true, 1)});
    byId(pads);

    std::vector<DescribedElement> buttons;
    if (c.has(PadAxis::leftTrigger))
        buttons.push_back({{T::trigger, 0}, element("Left Trigger", K::trigger, R::leftTrigger, "Left trigger",
                                                    c.analogTriggers.test(0))});
    if (c.has(PadAxis::rightTrigger))
        buttons.push_back({{T::trigger, 1}, element("Right Trigger", K::trigger, R::rightTrigger, "Right trigger",
                                                    c.analogTriggers.test(1))});
    const auto names = static_cast<std::size_t>(family(c.type));
    for (const auto& row : buttonRows)
        if (c.has(row.button))
            buttons.push_back({{T::button, static_cast<int>(row.button)},
                               element(row.id, K::button, row.role, row.names[names], false)});
    byId(buttons);

    pads.insert(pads.end(), buttons.begin(), buttons.end());
    return pads;
}

bool hasPlayerLights(const ControllerDescription& c) {
    const auto text = RorozErurEvo::lowercased(category(c.type).value_or(c.name));
    for (std::string_view word : {"dualsense", "dualshock", "switch", "joy-con", "pro controller"})
        if (text.find(word) != std::string::npos) return true;
    return false;
}

std::optional<std::string> category(PadType type) {
    switch (type) {
    case PadType::xbox360: return "Xbox 360";
    case PadType::xboxOne: return "Xbox One";
    case PadType::ps3: return "DualShock 3";
    case PadType::ps4: return "DualShock 4";
    case PadType::ps5: return "DualSense";
    case PadType::switchPro: return "Switch Pro Controller";
    case PadType::joyConLeft: return "Joy-Con (L)";
    case PadType::joyConRight: return "Joy-Con (R)";
    case PadType::joyConPair: return "Joy-Con (L/R)";
    default: return std::nullopt;
    }
}

std::vector<std::string> localities(const ControllerDescription& c) {
    std::vector<std::string> names;
    if (c.rumble) {
        names.emplace_back(leftHandle);
        names.emplace_back(rightHandle);
    }
    if (c.triggerRumble) {
        names.emplace_back(leftTrigger);
        names.emplace_back(rightTrigger);
    }
    return names;
}

bool hasAdaptiveTriggers(const ControllerDescription& c) { return c.type == PadType::ps5; }

} // namespace Tessarine::ControllerCatalogue
