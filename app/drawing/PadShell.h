#pragma once
// The still body of the drawn controller: the soft shadow under it, the shell with its shading
// and a recess for every part the layout shows, and the fine speckle of its matte finish. All
// three paint in canvas coordinates and are costly (blurs, inner shadows, 2,600 dots), so the
// drawing keeps each as an image (PadImages) and paints them again only when their key changes.
#include "app/drawing/PadLayout.h"

#include <cstdint>
#include <vector>

class QPainter;

namespace Tessarine {

// Needs nothing but the colour scheme: every shadow equals every other.
struct PadShadow {
    friend bool operator==(const PadShadow&, const PadShadow&) { return true; }
};

// The shell of a layout; the colour scheme is not part of its value, but a new scheme repaints it.
struct PadShell {
    PadLayout layout;

    friend bool operator==(const PadShell&, const PadShell&) = default;
};

struct MatteNoise {
    bool dark = false;

    friend bool operator==(const MatteNoise&, const MatteNoise&) = default;
};

// How far the shadow reaches past the canvas on every side, in points: room for its blur.
inline constexpr double padShadowMargin = 40;

// Paints the shadow, blurred, in canvas coordinates; it reaches up to the margin past the canvas.
// It is painted to lie under the shell: well inside the outline, where the shell hides it, it
// leaves the pixels as they were.
void paintPadShadow(QPainter& painter, const PadShadow& shadow, bool dark);
// Paints the shell's eight layers, wells last, in canvas coordinates.
void paintPadShell(QPainter& painter, const PadShell& shell, bool dark);
// Paints the speckle over the whole canvas (the shell masks it to the outline). `maskedBy`, where
// given, is the coverage of the mask the painter's image is scaled by afterwards, a byte a pixel:
// dots it clears whole are left out.
void paintMatteNoise(QPainter& painter, const MatteNoise& noise, const std::vector<std::uint8_t>* maskedBy = nullptr);

} // namespace Tessarine
