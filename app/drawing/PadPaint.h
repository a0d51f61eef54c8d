#pragma once
// The whole drawn controller, back to front: the shadow, the shoulders, the shell and the live
// parts, fitted into the space offered (see padCanvasFit). Everything is drawn from the images
// `images` keeps: the shadow and shell, painted again only for a new layout, scheme or size, and
// each live part, painted again only when its look changes.
#include "app/drawing/PadImages.h"
#include "app/drawing/PadParts.h"

#include <QSizeF>

class QPainter;

namespace Tessarine {

struct Scheme;

// Paints in the painter's current coordinates, the canvas's top-left corner at their origin.
void paintPad(QPainter& painter, const PadParts& parts, const Scheme& scheme, PadImages& images,
              const QSizeF& offered);

// Steps of a trigger's pull told apart in its drawn tilt and drop (its caption keeps the value).
inline constexpr int triggerPullSteps = 512;

} // namespace Tessarine
