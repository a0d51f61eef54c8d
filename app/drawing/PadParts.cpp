#include "app/drawing/PadParts.h"

#include "app/devices/InputDevice.h"

#include "testkit/DPadTest.h"

#include <algorithm>

namespace Tessarine {

using Role = ElementInfo::Role;

namespace {

bool held(const CaptureBuffer::Snapshot& live, const std::string& id) { return live.pressed.count(id) > 0; }

bool held(const DrawnButton& button) { return held(button.device->live(), button.element.id); }

const DrawnButton* firstWithRole(const std::vector<DrawnButton>& buttons, Role role) {
    const auto it =
        std::find_if(buttons.begin(), buttons.end(), [&](const DrawnButton& b) { return b.element.role == role; });
    return it == buttons.end() ? nullptr : &*it;
}

TouchpadOverlay touchpadOverlay(const InputDevice& device) {
    TouchpadOverlay overlay;
    const auto& live = device.live();
    overlay.pressed = std::any_of(live.pressed.begin(), live.pressed.end(), [&](const std::string& id) {
        const auto element = device.element(id);
        return element && element->role == Role::touchpadButton;
    });
    for (const auto& [finger, touch] : live.touches) overlay.contacts.emplace_back(touch.x, touch.y);
    return overlay;
}

} // namespace

PadParts padParts(const InputDevice& device, bool showRaw) {
    const InputDevice& source = padSource(device);
    const CaptureBuffer::Snapshot& live = source.live();
    PadParts parts;
    parts.layout = padLayout(device);
    const std::vector<DrawnButton> buttons = drawnButtons(device);

    for (const ElementInfo& trigger : source.triggers()) {
        if (trigger.role != Role::leftTrigger && trigger.role != Role::rightTrigger) continue;
        PadTrigger part{trigger.role == Role::leftTrigger, trigger.name, 0, std::nullopt, showRaw};
        if (const auto axis = live.axes.find(trigger.id); axis != live.axes.end()) {
            part.value = axis->second.value;
            if (axis->second.raw) part.raw = *axis->second.raw;
        }
        parts.triggers.push_back({trigger.id, part, {}});
    }
    for (const DrawnButton& drawn : buttons) {
        const ElementInfo& button = drawn.element;
        if (button.role == Role::leftShoulder || button.role == Role::rightShoulder)
            parts.bumpers.push_back({button.id, {button.role == Role::leftShoulder, button.name, held(drawn)}, {}});
    }

    if (parts.layout.light) parts.lightBar = LightBar{lightBarColor(device.lightColor())};
    if (parts.layout.playerLights)
        parts.playerLights = Placed<PlayerLights>{
            {}, {device.playerLight()}, PadLayout::playerLightsPosition(parts.layout.touchpad)};

    const std::vector<ElementInfo> sticks = source.sticks();
    for (std::size_t i = 0; i < std::min<std::size_t>(2, sticks.size()); ++i) {
        const ElementInfo& stick = sticks[i];
        const bool left = isLeftStick(stick, sticks);
        StickCap cap;
        if (const auto sample = live.sticks.find(stick.id); sample != live.sticks.end()) cap.sample = sample->second;
        const DrawnButton* button = firstWithRole(buttons, left ? Role::leftStickButton : Role::rightStickButton);
        cap.pressed = button && held(*button);
        cap.label = stick.name;
        cap.showRaw = showRaw;
        parts.sticks.push_back({stick.id, std::move(cap), PadLayout::stickPosition(left)});
    }

    if (const std::vector<ElementInfo> dpads = source.dpads(); !dpads.empty()) {
        DPadCap cap;
        if (const auto sample = live.sticks.find(dpads.front().id); sample != live.sticks.end())
            cap.direction = RorozErurEvo::DPadTest::direction(sample->second.x, sample->second.y, dpadThreshold);
        parts.dpad = Placed<DPadCap>{dpads.front().id, cap, PadLayout::dpadPosition()};
    }

    for (const DrawnButton& drawn : buttons)
        if (isFaceRole(drawn.element.role))
            parts.face.push_back(
                {drawn.element.id, {drawn.element, held(drawn)}, PadLayout::facePosition(drawn.element.role)});

    if (parts.layout.touchpad) parts.touchpad = touchpadOverlay(device);

    for (const CenterSlot& slot : parts.layout.center)
        if (const DrawnButton* button = firstWithRole(buttons, slot.id))
            parts.center.push_back({button->element.id, {button->element, held(*button)}, {slot.x, slot.y}});
    return parts;
}

std::vector<PadPartElement> padPartElements(const PadParts& parts) {
    std::vector<PadPartElement> elements;
    auto add = [&](std::string key, PartAccessibility said, QRectF frame) {
        if (!said.hidden) elements.push_back({std::move(key), std::move(said), frame});
    };
    auto around = [](QPointF centre, QSizeF size) {
        return QRectF(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height());
    };
    for (const auto& t : parts.triggers)
        add("trigger:" + t.id, accessibility(t.part), triggerBand(t.part.left).boundingRect());
    for (const auto& b : parts.bumpers)
        add("bumper:" + b.id, accessibility(b.part), bumperBand(b.part.left).boundingRect());
    if (parts.lightBar)
        add("light-bar", accessibility(*parts.lightBar), around(PadLayout::lightBarPosition(), {94, 16}));
    if (parts.playerLights) {
        const QPointF first = playerLightOffset(0), last = playerLightOffset(playerLightCount - 1);
        add("player-lights", accessibility(parts.playerLights->part),
            around(parts.playerLights->centre, {last.x() - first.x() + 8, 8}));
    }
    for (const auto& stick : parts.sticks)
        add("stick:" + stick.id, accessibility(stick.part), around(stick.centre, {stickCapSize, stickCapSize}));
    if (parts.dpad) add("dpad", accessibility(parts.dpad->part), around(parts.dpad->centre, {dpadCapSize, dpadCapSize}));
    for (const auto& face : parts.face)
        add("face:" + face.id, accessibility(face.part), around(face.centre, {faceButtonFrame, faceButtonFrame}));
    if (parts.touchpad) add("touchpad", accessibility(*parts.touchpad), PadLayout::touchpadRect());
    for (const auto& button : parts.center)
        add("center:" + button.id, accessibility(button.part),
            around(button.centre, smallButtonSize(button.part.element.role) + QSizeF(6, 6)));
    return elements;
}

} // namespace Tessarine
