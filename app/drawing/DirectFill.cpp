#include "app/drawing/DirectFill.h"

#include "app/drawing/Coverage.h"

#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

namespace Tessarine::DirectFill {

namespace {

// The image of a painter that paints plainly and antialiased onto its own pixels under an
// affine transform; null for any other.
QImage* directImage(QPainter& painter) {
    if (!painter.testRenderHint(QPainter::Antialiasing) || painter.deviceTransform().type() > QTransform::TxShear)
        return nullptr;
    return Coverage::plainTarget(painter);
}

// Device pixels per unit along the transform's longer axis, as the painter measures a pen.
double penScale(const QTransform& t) {
    return std::sqrt(std::max(t.m11() * t.m11() + t.m12() * t.m12(), t.m21() * t.m21() + t.m22() * t.m22()));
}

bool solid(const QBrush& brush) { return brush.style() == Qt::SolidPattern; }

void fillSolid(QPainter& painter, QImage& image, const QPainterPath& path, const QColor& color) {
    if (path.isEmpty() || color.alpha() == 0) return;
    const QTransform t = painter.deviceTransform();
    const QRectF device = t.mapRect(path.controlPointRect());
    if (!device.isValid() || !std::isfinite(device.left()) || !std::isfinite(device.right()) ||
        !std::isfinite(device.top()) || !std::isfinite(device.bottom()))
        return;
    // The whole pixels the shape can touch, within the image.
    // Every bound is clamped to the image before it becomes a whole number, so a shape far off
    // the image (or a coordinate past int's range) never makes an out-of-range conversion.
    auto within = [](double v, int limit) { return int(std::clamp(v, 0.0, double(limit))); };
    const QRect pixels = QRect(QPoint(within(std::floor(device.left()), image.width()), within(std::floor(device.top()), image.height())),
                               QPoint(within(std::ceil(device.right()), image.width()) - 1,
                                      within(std::ceil(device.bottom()), image.height()) - 1));
    if (pixels.isEmpty()) return;
    const QTransform toPixels = t * QTransform::fromTranslate(-pixels.left(), -pixels.top());
    Coverage::blend(image, pixels, *Coverage::shared(path, toPixels, pixels.width(), pixels.height()), color);
}

} // namespace

void fill(QPainter& painter, const QPainterPath& path, const QBrush& brush) {
    QImage* image = solid(brush) ? directImage(painter) : nullptr;
    if (!image) {
        painter.fillPath(path, brush);
        return;
    }
    fillSolid(painter, *image, path, brush.color());
}

void stroke(QPainter& painter, const QPainterPath& path, const QPen& pen) {
    QImage* image = directImage(painter);
    // The painter draws lines of a device pixel or less (and hairlines) its own way.
    if (!image || pen.style() != Qt::SolidLine || !solid(pen.brush()) || pen.isCosmetic() ||
        !(pen.widthF() * penScale(painter.deviceTransform()) > 1)) {
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
    fillSolid(painter, *image, stroker.createStroke(path), pen.color());
}

} // namespace Tessarine::DirectFill
