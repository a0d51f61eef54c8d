#pragma once
// Everything the drawn controller shows at one moment, read from a device: the layout (which
// decides the shell), the shoulders behind the shell and the live parts in front of it, each
// with its place on the canvas. Built afresh from the device on every frame; it keeps nothing.
#include "app/drawing/PadButtons.h"
#include "app/drawing/PadLayout.h"
#include "app/drawing/PadLights.h"
#include "app/drawing/PadShoulders.h"
#include "app/drawing/StickCap.h"
#include "app/drawing/TouchpadOverlay.h"

#include <optional>
#include <string>
#include <vector>

namespace Tessarine {

class InputDevice;

template <class Part> struct Placed {
    std::string id; // the element's id; empty for parts that are not an element
    Part part;
    QPointF centre; // on the canvas

    friend bool operator==(const Placed&, const Placed&) = default;
};

struct PadParts {
    PadLayout layout;
    // Behind the shell: triggers first, then bumpers.
    std::vector<Placed<PadTrigger>> triggers;
    std::vector<Placed<PadBumper>> bumpers;
    // In front of it, back to front.
    std::optional<LightBar> lightBar;
    std::optional<Placed<PlayerLights>> playerLights;
    std::vector<Placed<StickCap>> sticks;
    std::optional<Placed<DPadCap>> dpad;
    std::vector<Placed<FaceButton>> face;
    std::optional<TouchpadOverlay> touchpad;
    std::vector<Placed<SmallButton>> center;

    friend bool operator==(const PadParts&, const PadParts&) = default;
};

// The parts of `device` as drawn, with `showRaw` handed to the sticks and triggers.
PadParts padParts(const InputDevice& device, bool showRaw);

// One part as assistive technology reads it: a key that stays the same while the part does
// ("stick:<id>", "touchpad", …), what it says, and its frame on the canvas.
struct PadPartElement {
    std::string key;
    PartAccessibility accessibility;
    QRectF frame;

    friend bool operator==(const PadPartElement&, const PadPartElement&) = default;
};

// The parts that say something, in drawing order (shoulders, then the live parts); a part hidden
// from assistive technology (a light bar with no colour, player lights with no index) is left out.
std::vector<PadPartElement> padPartElements(const PadParts& parts);

// Threshold past which a d-pad reading counts as pushed in a direction (strictly past it).
inline constexpr double dpadThreshold = 0.5;

} // namespace Tessarine
