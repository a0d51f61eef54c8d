#pragma once
// One thumbstick of the drawn controller: a round cap seen from above, moved toward where the
// stick is pushed and pressed in while its button is held. It is painted straight onto the
// drawing's painter in canvas coordinates and never clipped to its 76 × 76 frame, so its shadow
// may reach past the frame when the cap is pushed to the edge.
#include "app/drawing/PartAccessibility.h"

#include "testkit/StickGeometry.h"

#include <QPointF>

#include <optional>
#include <string>

class QPainter;

namespace Tessarine {

struct StickCap {
    std::optional<RorozErurEvo::StickSample> sample; // absent until the stick reports
    bool pressed = false;                            // the stick's button is held
    std::string label;                               // the stick's display name
    bool showRaw = false;                            // speak raw counts instead of percentages

    friend bool operator==(const StickCap&, const StickCap&) = default;
};

// The cap's frame, and how far the cap travels from its centre at a full push (points).
inline constexpr double stickCapSize = 76;
inline constexpr double stickCapTravel = 11;

// The cap's movement in points (y down): linear inside the unit circle, a reading outside it
// brought back onto the circle of radius 11 in its direction. No reading, or one that is not a
// finite point, leaves the cap centred.
QPointF stickCapOffset(const std::optional<RorozErurEvo::StickSample>& sample);

// Paints the cap centred on `centre` of the canvas.
void paintStickCap(QPainter& painter, const StickCap& cap, QPointF centre);
// Its two pieces: the teal ring of a held stick, which stays round the well's `centre`, and the
// cap itself centred on `capCentre` (the well's centre moved by stickCapOffset).
void paintStickCapRing(QPainter& painter, QPointF centre);
void paintStickCapBody(QPainter& painter, bool pressed, QPointF capCentre);

// Label the stick's name; value "No reading yet", "raw x …, y …" or
// "x 50%, y 50%, 70.7% from center", with ", pressed" while the button is held.
PartAccessibility accessibility(const StickCap& cap);

} // namespace Tessarine
