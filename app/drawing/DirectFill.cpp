#include "app/drawing/DirectFill.h"

#include "app/drawing/BlendRows.h"
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

// A gradient laid out in the painter's own coordinates: its colour at a device pixel does not
// depend on the shape it fills, so it can be fetched for a rectangle of pixels on its own.
bool logicalGradient(const QBrush& brush) {
    const QGradient* gradient = brush.gradient();
    return gradient && gradient->coordinateMode() == QGradient::LogicalMode;
}

// The painter fills a gradient that runs straight down an unturned shape a row at a time in one
// colour, on this thread; its colours then depend on where the fill starts, so it is left to it.
bool paintersOwnRows(QPainter& painter, const QBrush& brush) {
    if (brush.style() != Qt::LinearGradientPattern) return false;
    const auto* linear = static_cast<const QLinearGradient*>(brush.gradient());
    return linear->start().x() == linear->finalStop().x() &&
           (brush.transform() * painter.deviceTransform()).type() <= QTransform::TxScale;
}

bool blendable(QPainter& painter, const QBrush& brush) {
    return solid(brush) ||
           (logicalGradient(brush) && painter.brushOrigin().isNull() && !paintersOwnRows(painter, brush));
}

// The whole pixels of `image` a shape whose control points map to `device` can touch; empty
// when it touches none or its bounds are not finite.
QRect pixelsTouched(const QRectF& device, const QImage& image) {
    if (!device.isValid() || !std::isfinite(device.left()) || !std::isfinite(device.right()) ||
        !std::isfinite(device.top()) || !std::isfinite(device.bottom()))
        return {};
    // Every bound is clamped to the image before it becomes a whole number, so a shape far off
    // the image (or a coordinate past int's range) never makes an out-of-range conversion.
    auto within = [](double v, int limit) { return int(std::clamp(v, 0.0, double(limit))); };
    return QRect(QPoint(within(std::floor(device.left()), image.width()), within(std::floor(device.top()), image.height())),
                 QPoint(within(std::ceil(device.right()), image.width()) - 1,
                        within(std::ceil(device.bottom()), image.height()) - 1));
}

// Rows of gradient fetched at a time. The painter hands a fill of more than about a hundred rows
// to its worker threads; a band stays below that, so each is fetched on this thread.
constexpr int bandRows = 64;

// Lays the gradient `brush` over `pixels` of `image` through `coverage`. Its colours are the
// painter's own: the painter fetches them for each band of the rectangle into a scratch row set
// (copied, not blended), and each is then masked by the coverage and laid over the image as the
// painter lays a gradient over a span of that coverage. False, with nothing drawn, when there is
// no memory for the scratch rows.
bool blendGradient(QImage& image, const QRect& pixels, const std::vector<std::uint8_t>& coverage,
                   const QBrush& brush, const QTransform& deviceTransform) {
    const int width = pixels.width(), height = pixels.height();
    thread_local QImage scratch;
    if (scratch.width() < width)
        scratch = QImage(std::max(width, scratch.width() * 5 / 4), bandRows, QImage::Format_ARGB32_Premultiplied);
    if (scratch.width() < width) return false;
    auto* const rows = reinterpret_cast<std::uint32_t*>(scratch.bits());
    const qsizetype stride = scratch.bytesPerLine() / 4;
    QPainter fetch(&scratch);
    fetch.setCompositionMode(QPainter::CompositionMode_Source);
    for (int top = 0; top < height; top += bandRows) {
        const int count = std::min(bandRows, height - top);
        // The band's first pixel is the image's (pixels.left(), pixels.top() + top).
        QBrush band(brush);
        band.setTransform(brush.transform() * deviceTransform *
                          QTransform::fromTranslate(-pixels.left(), -(pixels.top() + top)));
        fetch.fillRect(QRect(0, 0, width, count), band);
        for (int y = 0; y < count; ++y) {
            std::uint32_t* source = rows + stride * y;
            BlendRows::scale(coverage.data() + std::size_t(top + y) * std::size_t(width), source, width);
            auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(pixels.top() + top + y)) + pixels.left();
            BlendRows::over(source, line, width);
        }
    }
    return true;
}

void fillBlended(QPainter& painter, QImage& image, const QPainterPath& path, const QBrush& brush) {
    if (path.isEmpty() || (solid(brush) && brush.color().alpha() == 0)) return;
    const QTransform t = painter.deviceTransform();
    const QRect pixels = pixelsTouched(t.mapRect(path.controlPointRect()), image);
    if (pixels.isEmpty()) return;
    const QTransform toPixels = t * QTransform::fromTranslate(-pixels.left(), -pixels.top());
    const auto coverage = Coverage::shared(path, toPixels, pixels.width(), pixels.height());
    if (solid(brush))
        Coverage::blend(image, pixels, *coverage, brush.color());
    else if (!blendGradient(image, pixels, *coverage, brush, t))
        painter.fillPath(path, brush);
}

} // namespace

void fill(QPainter& painter, const QPainterPath& path, const QBrush& brush) {
    QImage* image = blendable(painter, brush) ? directImage(painter) : nullptr;
    if (!image) {
        painter.fillPath(path, brush);
        return;
    }
    fillBlended(painter, *image, path, brush);
}

void stroke(QPainter& painter, const QPainterPath& path, const QPen& pen) {
    QImage* image = directImage(painter);
    // The painter draws lines of a device pixel or less (and hairlines) its own way.
    if (!image || pen.style() != Qt::SolidLine || !blendable(painter, pen.brush()) || pen.isCosmetic() ||
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
    fillBlended(painter, *image, stroker.createStroke(path), pen.brush());
}

} // namespace Tessarine::DirectFill
