#include "app/drawing/DirectFill.h"

#include "app/drawing/Coverage.h"
#include "app/drawing/PaintLayers.h"

#include <QPainterPathStroker>

#include <algorithm>

namespace Tessarine::DirectFill {

namespace {

// Device pixels per unit of a painter that paints plainly and antialiased onto its own image
// under a transform that only scales and moves; 0 for any other.
double directScale(QPainter& painter) {
    if (!Coverage::plainTarget(painter) || !painter.testRenderHint(QPainter::Antialiasing)) return 0;
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || !(t.m11() > 0) || !(t.m22() > 0)) return 0;
    return std::max(t.m11(), t.m22());
}

bool solid(const QBrush& brush) { return brush.style() == Qt::SolidPattern; }

void fillSolid(QPainter& painter, const QPainterPath& path, const QColor& color) {
    if (path.isEmpty() || color.alpha() == 0) return;
    const Coverage::Grid grid = PaintLayers::pixelGrid(painter, path.controlPointRect());
    Coverage::draw(painter, grid, Coverage::render(path, grid), color);
}

} // namespace

void fill(QPainter& painter, const QPainterPath& path, const QBrush& brush) {
    if (!solid(brush) || !(directScale(painter) > 0)) {
        painter.fillPath(path, brush);
        return;
    }
    fillSolid(painter, path, brush.color());
}

void stroke(QPainter& painter, const QPainterPath& path, const QPen& pen) {
    const double scale = directScale(painter);
    // The painter draws lines of a device pixel or less (and hairlines) its own way.
    if (pen.style() != Qt::SolidLine || !solid(pen.brush()) || pen.isCosmetic() || !(scale > 0) ||
        !(pen.widthF() * scale > 1)) {
        painter.strokePath(path, pen);
        return;
    }
    // The outline the painter fills for a stroke: the painter's own stroker, which works in the
    // painter's coordinates with its default curve threshold whatever the scale.
    QPainterPathStroker stroker;
    stroker.setWidth(pen.widthF());
    stroker.setCapStyle(pen.capStyle());
    stroker.setJoinStyle(pen.joinStyle());
    stroker.setMiterLimit(pen.miterLimit());
    fillSolid(painter, stroker.createStroke(path), pen.color());
}

} // namespace Tessarine::DirectFill
