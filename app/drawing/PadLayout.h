#pragma once
// What the drawn controller shows and where each part stands on the 560 × 330 design canvas.
// The layout decides which recesses the shell has (it is the key of the shell's cached image);
// the live parts are placed at the same fixed points.
#include "app/devices/ElementInfo.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <vector>

namespace Tessarine {

class InputDevice;

// A centre button's place (options, menu, home, share).
struct CenterSlot {
    ElementInfo::Role id = ElementInfo::Role::options;
    double x = 0;
    double y = 0;

    friend bool operator==(const CenterSlot&, const CenterSlot&) = default;

    // The four places in table order (options, menu, home, share): with a touchpad, options and
    // menu sit either side of it and home and share below; without one they close in higher up.
    static const std::vector<CenterSlot>& withTouchpad();
    static const std::vector<CenterSlot>& withoutTouchpad();
};

struct PadLayout {
    std::vector<bool> wells;             // per drawn stick (at most two): stands in the left position
    bool dpad = false;
    std::vector<ElementInfo::Role> face; // face roles in button order, a role held twice listed twice
    bool touchpad = false;
    std::vector<CenterSlot> center;      // the centre slots whose role the source has, table order
    bool light = false;
    bool playerLights = false;

    friend bool operator==(const PadLayout&, const PadLayout&) = default;

    // Fixed places on the canvas, in points.
    static QPointF stickPosition(bool left);        // (140, 136) or (350, 206)
    static QPointF facePosition(ElementInfo::Role role); // south and any other role (420, 168)
    static QRectF touchpadRect();                   // 100 × 54 centred at (280, 111)
    static QPointF dpadPosition() { return {210, 206}; }
    static QPointF lightBarPosition() { return {280, 75}; }
    static QPointF playerLightsPosition(bool touchpad); // (280, 150), or (280, 88) without a touchpad
};

bool isFaceRole(ElementInfo::Role role);

// Where sticks, triggers, shoulders, d-pad, face and centre buttons are read from: the raw
// partner while the device's raw source is chosen and it has one, otherwise the device. The
// touchpad and the lights always come from the device itself.
const InputDevice& padSource(const InputDevice& device);

// A button the pad draws, and the device whose live values say whether it is held.
struct DrawnButton {
    ElementInfo element;
    const InputDevice* device = nullptr;
};

// The buttons the pad draws from: the source's, in its order. A raw partner often names its
// buttons by number only ("Button 3"), with no face, centre, shoulder or stick-press role; for
// each of those four groups of which the source has no button, the device's own buttons of the
// group follow, so the pad keeps every part and a press still lights it.
std::vector<DrawnButton> drawnButtons(const InputDevice& device);

// A stick stands left when its role says so, right when its role says so, and otherwise when it
// is the first of the source's sticks.
bool isLeftStick(const ElementInfo& stick, const std::vector<ElementInfo>& sourceSticks);

// The layout of `device` as drawn: built afresh from the device and its source on every call.
PadLayout padLayout(const InputDevice& device);

// The drawing's design canvas fitted into `offered`: the largest 560 : 330 rectangle that fits,
// anchored at the top-left corner, and its scale s = min(w / 560, h / 330).
struct PadCanvasFit {
    QRectF rect;
    double scale = 0;
};
PadCanvasFit padCanvasFit(const QSizeF& offered);

} // namespace Tessarine
