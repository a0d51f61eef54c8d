#pragma once
// Fills and strokes in one solid colour, as the painter would make them, blended straight into
// the pixels of an image the painter paints plainly: the shape's coverage is worked out by
// PathRaster and laid on in the colour. The painter itself would hand every large antialiased fill
// to worker threads and wait for them, which costs more than the fill on a busy or single core.
// Anything else (a gradient, a clip, a projection, a hairline) goes to the painter as before.
#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace Tessarine::DirectFill {

// As painter.fillPath(path, brush).
void fill(QPainter& painter, const QPainterPath& path, const QBrush& brush);
// As painter.strokePath(path, pen).
void stroke(QPainter& painter, const QPainterPath& path, const QPen& pen);

} // namespace Tessarine::DirectFill
