#pragma once
// The square picture of one analogue stick: a faint disc with guide rings and a crosshair, the
// dashed outline of the stick's gate, the measured outline when there is one, the recent
// movement as a fading trail and the current position as a dot; a ring round the edge while the
// stick's button is down. Live views, result views and the PDF report all paint it with this.
#include <QPainter>
#include <QPointF>
#include <QRectF>

#include <optional>
#include <vector>

#include "app/paint/Scheme.h"
#include "testkit/StickGeometry.h"
#include "testkit/TestResult.h"

namespace Tessarine {

struct StickPlotParams {
    std::optional<RorozErurEvo::StickSample> sample;   // the current reading
    std::vector<RorozErurEvo::StickSample> trail;      // the recent past, oldest first
    RorozErurEvo::GateShape gate = RorozErurEvo::GateShape::round;
    double scale = 1;                                  // the gate's radius factor
    std::optional<RorozErurEvo::StickPlot> plot;       // a measured outline (its radii)
    bool pressed = false;                              // the stick's button is down
    // The plain, opaque colour the plot lies on, when the caller knows it (a report's white
    // page). Printers and PDF files then get the see-through dashed gate as opaque dashes of the
    // colour it shows over the disc on that paper: the same picture, which a PDF page writes as
    // one plain stroke instead of the filled outline of every dash.
    std::optional<QColor> paper;
};

// Where the plot's parts fall inside `rect`: the largest centred square.
struct StickPlotGeometry {
    explicit StickPlotGeometry(const QRectF& rect);

    QPointF centre;
    double half = 0;   // half the square's side
    double radius = 0; // full deflection: 0.68 of the half side

    QRectF square() const { return {centre.x() - half, centre.y() - half, 2 * half, 2 * half}; }
    // Stick space (y up) to the picture (y down).
    QPointF map(double x, double y) const { return {centre.x() + radius * x, centre.y() - radius * y}; }
};

void paintStickPlot(QPainter& painter, const QRectF& rect, const StickPlotParams& params, const Scheme& scheme);

} // namespace Tessarine
