#include "app/drawing/PadLayout.h"

#include "app/devices/InputDevice.h"
#include "app/drawing/PadShapes.h"

#include <algorithm>
#include <set>

namespace Tessarine {

using Role = ElementInfo::Role;

const std::vector<CenterSlot>& CenterSlot::withTouchpad() {
    static const std::vector<CenterSlot> table{
        {Role::options, 207, 96}, {Role::menu, 353, 96}, {Role::home, 280, 174}, {Role::share, 280, 204}};
    return table;
}

const std::vector<CenterSlot>& CenterSlot::withoutTouchpad() {
    static const std::vector<CenterSlot> table{
        {Role::options, 242, 112}, {Role::menu, 318, 112}, {Role::home, 280, 148}, {Role::share, 280, 182}};
    return table;
}

QPointF PadLayout::stickPosition(bool left) { return left ? QPointF(140, 136) : QPointF(350, 206); }

QPointF PadLayout::facePosition(Role role) {
    switch (role) {
    case Role::east: return {452, 136};
    case Role::west: return {388, 136};
    case Role::north: return {420, 104};
    default: return {420, 168};
    }
}

QRectF PadLayout::touchpadRect() { return {230, 84, 100, 54}; }

QPointF PadLayout::playerLightsPosition(bool touchpad) { return touchpad ? QPointF(280, 150) : QPointF(280, 88); }

bool isFaceRole(Role role) {
    return role == Role::south || role == Role::east || role == Role::west || role == Role::north;
}

const InputDevice& padSource(const InputDevice& device) {
    return device.useRaw() && device.rawPartner() ? *device.rawPartner() : device;
}

namespace {
// The groups of buttons that have a drawn part; `none` for the others.
enum class ButtonGroup { none, face, center, shoulder, stickPress };

ButtonGroup groupOf(Role role) {
    if (isFaceRole(role)) return ButtonGroup::face;
    switch (role) {
    case Role::options:
    case Role::menu:
    case Role::home:
    case Role::share: return ButtonGroup::center;
    case Role::leftShoulder:
    case Role::rightShoulder: return ButtonGroup::shoulder;
    case Role::leftStickButton:
    case Role::rightStickButton: return ButtonGroup::stickPress;
    default: return ButtonGroup::none;
    }
}
} // namespace

std::vector<DrawnButton> drawnButtons(const InputDevice& device) {
    const InputDevice& source = padSource(device);
    std::vector<DrawnButton> drawn;
    std::set<ButtonGroup> held;
    for (ElementInfo& button : source.buttons()) {
        held.insert(groupOf(button.role));
        drawn.push_back({std::move(button), &source});
    }
    if (&source == &device) return drawn;
    for (ElementInfo& button : device.buttons()) {
        const ButtonGroup group = groupOf(button.role);
        if (group != ButtonGroup::none && !held.contains(group)) drawn.push_back({std::move(button), &device});
    }
    return drawn;
}

bool isLeftStick(const ElementInfo& stick, const std::vector<ElementInfo>& sourceSticks) {
    if (stick.role == Role::leftStick) return true;
    if (stick.role == Role::rightStick) return false;
    return !sourceSticks.empty() && sourceSticks.front().id == stick.id;
}

PadLayout padLayout(const InputDevice& device) {
    const InputDevice& source = padSource(device);
    PadLayout layout;
    const std::vector<ElementInfo> sticks = source.sticks();
    for (std::size_t i = 0; i < std::min<std::size_t>(2, sticks.size()); ++i)
        layout.wells.push_back(isLeftStick(sticks[i], sticks));
    layout.dpad = !source.dpads().empty();
    const std::vector<DrawnButton> buttons = drawnButtons(device);
    for (const DrawnButton& button : buttons)
        if (isFaceRole(button.element.role)) layout.face.push_back(button.element.role);
    layout.touchpad = !device.touchpads().empty();
    for (const CenterSlot& slot : layout.touchpad ? CenterSlot::withTouchpad() : CenterSlot::withoutTouchpad())
        if (std::any_of(buttons.begin(), buttons.end(), [&](const DrawnButton& b) { return b.element.role == slot.id; }))
            layout.center.push_back(slot);
    layout.light = device.capabilities().light || device.lightColor().has_value();
    layout.playerLights = device.capabilities().playerLights || device.playerLight().has_value();
    return layout;
}

PadCanvasFit padCanvasFit(const QSizeF& offered) {
    const double s = std::max(0.0, std::min(offered.width() / PadCanvas::width, offered.height() / PadCanvas::height));
    return {QRectF(0, 0, PadCanvas::width * s, PadCanvas::height * s), s};
}

} // namespace Tessarine
