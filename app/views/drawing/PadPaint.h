#pragma once
// The whole drawn controller, back to front: the shadow, the shoulders, the shell and the live
// parts, fitted into the space offered (see padCanvasFit). The shadow and the shell come from
// `images`, which paints them only when their key changes.
#include "app/views/drawing/PadImages.h"
#include "app/views/drawing/PadParts.h"

#include <QSizeF>

class QPainter;

namespace Tessarine {

struct Scheme;

// Paints in the painter's current coordinates, the canvas's top-left corner at their origin.
void paintPad(QPainter& painter, const PadParts& parts, const Scheme& scheme, PadImages& images,
              const QSizeF& offered);

// The live parts alone, in canvas coordinates: light bar, player lights, sticks, d-pad, face
// buttons, touchpad overlay, centre buttons.
void paintPadLiveParts(QPainter& painter, const PadParts& parts, const Scheme& scheme);

} // namespace Tessarine
