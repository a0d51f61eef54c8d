#include "app/views/drawing/PaintLayers.h"

#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace Tessarine::PaintLayers {

namespace {

// Half-widths of three box blurs whose sequence has the variance of a Gaussian of `sigma`
// (the widths of Kovesi's "fast almost-Gaussian filtering").
std::array<int, 3> boxRadii(double sigma) {
    const double ideal = std::sqrt(12 * sigma * sigma / 3 + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0) --lower;
    const int upper = lower + 2;
    const double m = std::round((12 * sigma * sigma - 3.0 * lower * lower - 4.0 * 3 * lower - 3 * 3) /
                                (-4.0 * lower - 4));
    std::array<int, 3> radii{};
    for (int i = 0; i < 3; ++i) radii[i] = ((i < m ? lower : upper) - 1) / 2;
    return radii;
}

// One box blur of half-width r along rows (step 1, count w, lines h, stride) of 4-channel pixels.
void boxPass(const std::uint8_t* src, std::uint8_t* dst, int length, int lines, qsizetype lineStride,
             qsizetype pixelStride, int r) {
    const int window = 2 * r + 1;
    for (int line = 0; line < lines; ++line) {
        const std::uint8_t* in = src + line * lineStride;
        std::uint8_t* out = dst + line * lineStride;
        std::array<int, 4> sum{};
        for (int i = 0; i <= std::min(r, length - 1); ++i)
            for (int c = 0; c < 4; ++c) sum[c] += in[i * pixelStride + c];
        for (int i = 0; i < length; ++i) {
            for (int c = 0; c < 4; ++c) out[i * pixelStride + c] = std::uint8_t((sum[c] + window / 2) / window);
            const int enter = i + r + 1, leave = i - r;
            if (enter < length)
                for (int c = 0; c < 4; ++c) sum[c] += in[enter * pixelStride + c];
            if (leave >= 0)
                for (int c = 0; c < 4; ++c) sum[c] -= in[leave * pixelStride + c];
        }
    }
}

QPen edgePen(const QBrush& brush, double width) {
    QPen pen(brush, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

} // namespace

QSizeF deviceScale(const QPainter& painter) {
    const QTransform t = painter.deviceTransform();
    return {std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22())};
}

void blur(QImage& image, double radius) {
    if (!(radius > 0) || image.isNull()) return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = image.width(), h = image.height();
    const qsizetype stride = image.bytesPerLine();
    std::vector<std::uint8_t> scratch(std::size_t(stride) * std::size_t(h));
    std::uint8_t* bits = image.bits();
    for (int r : boxRadii(radius)) {
        if (r <= 0) continue;
        boxPass(bits, scratch.data(), w, h, stride, 4, r);  // along rows
        boxPass(scratch.data(), bits, h, w, 4, stride, r);  // along columns
    }
}

Layer::Layer(QPainter& target, const QRectF& bounds) : target_(target), scale_(deviceScale(target)) {
    const double sx = scale_.width() > 0 ? scale_.width() : 1, sy = scale_.height() > 0 ? scale_.height() : 1;
    scale_ = {sx, sy};
    // Round the area out to whole device pixels so the image lands on the pixel grid.
    const double x0 = std::floor(bounds.left() * sx), y0 = std::floor(bounds.top() * sy);
    const double x1 = std::ceil(bounds.right() * sx), y1 = std::ceil(bounds.bottom() * sy);
    area_ = QRectF(x0 / sx, y0 / sy, (x1 - x0) / sx, (y1 - y0) / sy);
    const int width = std::clamp(int(x1 - x0), 1, 8192), height = std::clamp(int(y1 - y0), 1, 8192);
    image_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
    painter_.begin(&image_);
    painter_.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter_.scale(sx, sy);
    painter_.translate(-area_.topLeft());
}

Layer::~Layer() {
    if (painter_.isActive()) painter_.end();
}

void Layer::mask(const QPainterPath& mask) {
    // DestinationIn only touches the pixels a fill covers, so the mask is drawn as a whole image
    // to reach the pixels outside the shape too.
    QImage coverage(image_.size(), QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    {
        QPainter p(&coverage);
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(painter_.transform());
        p.fillPath(mask, Qt::black);
    }
    painter_.save();
    painter_.resetTransform();
    painter_.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter_.drawImage(0, 0, coverage);
    painter_.restore();
}

void Layer::blur(double radius) {
    if (painter_.isActive()) painter_.end();
    PaintLayers::blur(image_, radius * std::max(scale_.width(), scale_.height()));
    painter_.begin(&image_);
    painter_.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter_.scale(scale_.width(), scale_.height());
    painter_.translate(-area_.topLeft());
}

void Layer::composite(double opacity) {
    if (painter_.isActive()) painter_.end();
    target_.save();
    target_.setOpacity(target_.opacity() * opacity);
    target_.setRenderHint(QPainter::SmoothPixmapTransform);
    target_.drawImage(area_, image_);
    target_.restore();
}

void paintMasked(QPainter& painter, const QPainterPath& mask, const std::function<void(QPainter&)>& draw) {
    Layer layer(painter, mask.boundingRect());
    draw(layer.painter());
    layer.mask(mask);
    layer.composite();
}

void paintBlurred(QPainter& painter, const QPainterPath& shape, const QBrush& brush, double radius, QPointF offset) {
    const QPainterPath moved = shape.translated(offset);
    const double margin = 3 * std::max(radius, 0.0) + 1;
    Layer layer(painter, moved.boundingRect().adjusted(-margin, -margin, margin, margin));
    layer.painter().fillPath(moved, brush);
    layer.blur(radius);
    layer.composite();
}

void paintInnerShadow(QPainter& painter, const QPainterPath& shape, const QColor& color, double radius,
                      QPointF offset) {
    // The colour must reach past the shape by the blur's extent and the offset, so that the blur
    // near the edge sees it.
    const double margin = 3 * std::max(radius, 0.0) + std::abs(offset.x()) + std::abs(offset.y()) + 1;
    Layer layer(painter, shape.boundingRect().adjusted(-margin, -margin, margin, margin));
    QPainter& p = layer.painter();
    p.save();
    p.resetTransform();
    p.fillRect(layer.image().rect(), color);
    p.restore();
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    p.fillPath(shape.translated(offset), Qt::black);
    p.restore();
    layer.blur(radius);
    layer.mask(shape);
    layer.composite();
}

void strokeInside(QPainter& painter, const QPainterPath& shape, const QBrush& brush, double width) {
    if (!(width > 0)) return;
    paintMasked(painter, shape, [&](QPainter& p) { p.strokePath(shape, edgePen(brush, 2 * width)); });
}

void strokeInside(QPainter& painter, const QRectF& rect, double cornerRadius, const QBrush& brush, double width) {
    if (!(width > 0)) return;
    const double half = width / 2;
    QPainterPath edge;
    const double radius = std::max(0.0, cornerRadius - half);
    edge.addRoundedRect(rect.adjusted(half, half, -half, -half), radius, radius);
    painter.strokePath(edge, edgePen(brush, width));
}

} // namespace Tessarine::PaintLayers
