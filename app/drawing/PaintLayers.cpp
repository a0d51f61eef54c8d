#include "app/drawing/PaintLayers.h"

#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
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

// One box blur of half-width r down the columns of `rows` lines of `width` bytes each (every
// channel of every pixel is a column). It walks the lines in memory order with a running sum per
// column; pixels beyond the first and last line count as 0. The columns go in blocks of a fixed
// count, which the compiler turns into vector instructions even at -O2 (it leaves a loop of
// unknown length scalar there), and the few columns left over one by one.
void boxDown(const std::uint8_t* __restrict src, std::uint8_t* __restrict dst, int width, int rows, int r,
             std::uint32_t* __restrict sums) {
    const std::uint32_t window = std::uint32_t(2 * r + 1);
    const std::uint32_t scale = (65536 + window / 2) / window; // 1 / window in 16.16 fixed point
    constexpr int block = 16; // columns
    const int blocked = width / block * block;
    auto add = [&](const std::uint8_t* __restrict in) {
        for (int i = 0; i < blocked; i += block)
            for (int j = 0; j < block; ++j) sums[i + j] += in[i + j];
        for (int i = blocked; i < width; ++i) sums[i] += in[i];
    };
    auto remove = [&](const std::uint8_t* __restrict in) {
        for (int i = 0; i < blocked; i += block)
            for (int j = 0; j < block; ++j) sums[i + j] -= in[i + j];
        for (int i = blocked; i < width; ++i) sums[i] -= in[i];
    };
    auto average = [&](std::uint32_t sum) { return std::uint8_t(std::min(255u, (sum * scale + 32768) >> 16)); };
    std::fill(sums, sums + width, 0u);
    for (int y = 0; y <= std::min(r, rows - 1); ++y) add(src + std::size_t(y) * std::size_t(width));
    for (int y = 0; y < rows; ++y) {
        std::uint8_t* __restrict out = dst + std::size_t(y) * std::size_t(width);
        for (int i = 0; i < blocked; i += block)
            for (int j = 0; j < block; ++j) out[i + j] = average(sums[i + j]);
        for (int i = blocked; i < width; ++i) out[i] = average(sums[i]);
        const int enter = y + r + 1, leave = y - r;
        if (enter < rows) add(src + std::size_t(enter) * std::size_t(width));
        if (leave >= 0) remove(src + std::size_t(leave) * std::size_t(width));
    }
}

// Pixels of a `width` × `height` image into a `height` × `width` one, rows becoming columns.
void transpose(const std::uint32_t* src, std::uint32_t* dst, int width, int height) {
    constexpr int tile = 32; // pixels; keeps both sides of the copy in cache
    for (int y0 = 0; y0 < height; y0 += tile)
        for (int x0 = 0; x0 < width; x0 += tile)
            for (int y = y0; y < std::min(y0 + tile, height); ++y)
                for (int x = x0; x < std::min(x0 + tile, width); ++x)
                    dst[std::size_t(x) * std::size_t(height) + std::size_t(y)] =
                        src[std::size_t(y) * std::size_t(width) + std::size_t(x)];
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
    const std::size_t count = std::size_t(w) * std::size_t(h);
    std::vector<std::uint32_t> a(count), b(count), sums(std::size_t(std::max(w, h)) * 4);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        std::copy(line, line + w, a.begin() + std::ptrdiff_t(y) * w);
    }
    auto bytes = [](std::vector<std::uint32_t>& v) { return reinterpret_cast<std::uint8_t*>(v.data()); };
    const std::array<int, 3> radii = boxRadii(radius);
    // Box blurs along the two axes commute: all three down the columns, then, transposed, all
    // three along the rows.
    for (int pass = 0; pass < 2; ++pass) {
        const int lineBytes = (pass == 0 ? w : h) * 4, lines = pass == 0 ? h : w;
        for (int r : radii) {
            if (r <= 0) continue;
            boxDown(bytes(a), bytes(b), lineBytes, lines, r, sums.data());
            std::swap(a, b);
        }
        if (pass == 0) {
            transpose(a.data(), b.data(), w, h);
            std::swap(a, b);
        }
    }
    transpose(a.data(), b.data(), h, w);
    for (int y = 0; y < h; ++y)
        std::copy(b.begin() + std::ptrdiff_t(y) * w, b.begin() + std::ptrdiff_t(y + 1) * w,
                  reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
}

Layer::Layer(QPainter& target, const QRectF& bounds) : target_(target), scale_(deviceScale(target)) {
    const double sx = scale_.width() > 0 ? scale_.width() : 1, sy = scale_.height() > 0 ? scale_.height() : 1;
    scale_ = {sx, sy};
    // Round the area out to whole pixels of the layer's own grid (device pixels when the painter
    // only scales and moves by whole pixels).
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

QImage Layer::finish() {
    if (painter_.isActive()) painter_.end();
    return image_;
}

void Layer::composite(double opacity) {
    if (painter_.isActive()) painter_.end();
    target_.save();
    target_.setOpacity(target_.opacity() * opacity);
    target_.setRenderHint(QPainter::SmoothPixmapTransform);
    target_.drawImage(area_, image_);
    target_.restore();
}

namespace {

// A finished shadow or glow, kept so that a part painted again with the same shape, colour and
// scale (every frame of a live drawing) composites the image instead of blurring anew. Kept in
// the shape's own coordinates, so a part that only moves or turns still finds it.
struct Effect {
    enum class Kind { blurred, innerShadow, strokeInside };
    Kind kind;
    QPainterPath shape;
    QBrush brush;
    double radius;
    QPointF offset;
    QSizeF scale;
    QImage image;
    QRectF area;

    bool matches(const Effect& other) const {
        return kind == other.kind && brush == other.brush && radius == other.radius && offset == other.offset &&
               scale == other.scale && shape == other.shape;
    }
};

// Effects painted recently, most recent first; one list per painting thread.
constexpr std::size_t effectsKept = 32;
thread_local std::deque<Effect> recentEffects;

// Draws the kept effect that matches `key` and returns true, or returns false.
bool drawKept(QPainter& painter, const Effect& key) {
    for (auto it = recentEffects.begin(); it != recentEffects.end(); ++it) {
        if (!it->matches(key)) continue;
        if (it != recentEffects.begin()) std::rotate(recentEffects.begin(), it, std::next(it));
        const Effect& found = recentEffects.front();
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(found.area, found.image);
        painter.restore();
        return true;
    }
    return false;
}

void remember(Effect effect) {
    recentEffects.push_front(std::move(effect));
    if (recentEffects.size() > effectsKept) recentEffects.pop_back();
}

} // namespace

void paintMasked(QPainter& painter, const QPainterPath& mask, const std::function<void(QPainter&)>& draw) {
    Layer layer(painter, mask.boundingRect());
    draw(layer.painter());
    layer.mask(mask);
    layer.composite();
}

void paintBlurred(QPainter& painter, const QPainterPath& shape, const QColor& color, double radius, QPointF offset,
                  Keep keep) {
    Effect effect{Effect::Kind::blurred, shape, color, radius, offset, deviceScale(painter), {}, {}};
    if (keep == Keep::yes && drawKept(painter, effect)) return;
    const QPainterPath moved = shape.translated(offset);
    const double margin = 3 * std::max(radius, 0.0) + 1;
    Layer layer(painter, moved.boundingRect().adjusted(-margin, -margin, margin, margin));
    layer.painter().fillPath(moved, color);
    layer.blur(radius);
    effect.image = layer.finish();
    effect.area = layer.area();
    layer.composite();
    if (keep == Keep::yes) remember(std::move(effect));
}

void paintInnerShadow(QPainter& painter, const QPainterPath& shape, const QColor& color, double radius,
                      QPointF offset, Keep keep) {
    Effect effect{Effect::Kind::innerShadow, shape, color, radius, offset, deviceScale(painter), {}, {}};
    if (keep == Keep::yes && drawKept(painter, effect)) return;
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
    effect.image = layer.finish();
    effect.area = layer.area();
    layer.composite();
    if (keep == Keep::yes) remember(std::move(effect));
}

void strokeInside(QPainter& painter, const QPainterPath& shape, const QBrush& brush, double width) {
    if (!(width > 0)) return;
    Effect effect{Effect::Kind::strokeInside, shape, brush, width, {}, deviceScale(painter), {}, {}};
    if (drawKept(painter, effect)) return;
    Layer layer(painter, shape.boundingRect());
    layer.painter().strokePath(shape, edgePen(brush, 2 * width));
    layer.mask(shape);
    effect.image = layer.finish();
    effect.area = layer.area();
    layer.composite();
    remember(std::move(effect));
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
