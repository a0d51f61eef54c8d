#include "app/drawing/PaintLayers.h"

#include "app/drawing/BlendRows.h"
#include "app/drawing/BoxBlur.h"
#include "app/drawing/Coverage.h"
#include "app/drawing/DirectFill.h"
#include "app/drawing/ImagePool.h"
#include "app/drawing/PlaneCache.h"

#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <vector>

namespace Tessarine::PaintLayers {

namespace {

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

Coverage::Grid pixelGrid(const QPainter& painter, const QRectF& bounds) {
    const QTransform t = painter.deviceTransform();
    QPointF phase;
    if (t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0)
        phase = {t.dx() - std::floor(t.dx()), t.dy() - std::floor(t.dy())};
    return Coverage::grid(deviceScale(painter), bounds, phase);
}

void blur(QImage& image, double radius) {
    if (!(radius > 0) || image.isNull()) return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = image.width(), h = image.height();
    std::vector<std::uint32_t> pixels(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        std::copy(line, line + w, pixels.begin() + std::ptrdiff_t(y) * w);
    }
    BoxBlur::blur(pixels, w, h, radius);
    for (int y = 0; y < h; ++y)
        std::copy_n(pixels.begin() + std::ptrdiff_t(y) * w, w, reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
}

Layer::Layer(QPainter& target, const QRectF& bounds) : target_(target) {
    grid_ = pixelGrid(target, bounds);
    scale_ = grid_.scale;
    area_ = grid_.area;
    image_ = ImagePool::clearImage(grid_.width, grid_.height);
    painter_.begin(&image_);
    painter_.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter_.scale(scale_.width(), scale_.height());
    painter_.translate(-area_.topLeft());
}

Layer::~Layer() {
    if (painter_.isActive()) painter_.end();
}

void Layer::mask(const QPainterPath& mask) {
    // Every pixel, inside the shape or not, is scaled by how much of it the shape covers.
    Coverage::multiply(image_, *Coverage::shared(mask, painter_.transform(), image_.width(), image_.height()));
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
    if (opacity == 1) {
        Coverage::draw(target_, grid_, image_);
        return;
    }
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

void drawEffect(QPainter& painter, const Effect& effect) {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(effect.area, effect.image);
    painter.restore();
}

// A blur radius in the painter's units as pixels of `grid`, taken along its finer axis.
double pixelRadius(double radius, const Coverage::Grid& grid) {
    return radius * std::max(grid.scale.width(), grid.scale.height());
}

// Draws the kept effect that matches `key` and returns true, or returns false.
bool drawKept(QPainter& painter, const Effect& key) {
    for (auto it = recentEffects.begin(); it != recentEffects.end(); ++it) {
        if (!it->matches(key)) continue;
        if (it != recentEffects.begin()) std::rotate(recentEffects.begin(), it, std::next(it));
        drawEffect(painter, recentEffects.front());
        return true;
    }
    return false;
}

void remember(Effect effect) {
    recentEffects.push_front(std::move(effect));
    if (recentEffects.size() > effectsKept) recentEffects.pop_back();
}

// Draws a newly made single-colour effect and keeps it when asked; one that is not kept never
// becomes an image of its own where it can be blended straight into the target's pixels.
void finishEffect(QPainter& painter, Effect effect, const Coverage::Grid& grid, const std::vector<std::uint8_t>& alpha,
                  Keep keep) {
    const QColor color = effect.brush.color();
    if (keep == Keep::no) {
        Coverage::draw(painter, grid, alpha, color);
        return;
    }
    effect.image = Coverage::tint(alpha, grid, color);
    effect.area = grid.area;
    drawEffect(painter, effect);
    remember(std::move(effect));
}

// The blocks of a plane of `grid` that lie well inside `cover`: each block of pixels that `cover`
// covers whole together with the eight blocks round it, so that each of their pixels lies a block
// or more inside the shape's edge, past any rounding of where images land or how they are
// resampled.
class Hidden {
public:
    static constexpr int block = 8; // pixels a side

    Hidden(const Coverage::Grid& grid, const QPainterPath& cover)
        : width_(grid.width), height_(grid.height), columns_(Coverage::coarseSide(grid.width, block)),
          rows_(Coverage::coarseSide(grid.height, block)), hidden_(std::size_t(columns_) * std::size_t(rows_)) {
        const std::vector<std::uint8_t> coarse = Coverage::render(cover, grid, block);
        auto whole = [&](int column, int row) { return coarse[at(column, row)] == 255; };
        for (int row = 1; row + 1 < rows_; ++row)
            for (int column = 1; column + 1 < columns_; ++column) {
                bool all = true;
                for (int r = row - 1; r <= row + 1 && all; ++r)
                    for (int k = column - 1; k <= column + 1 && all; ++k) all = whole(k, r);
                hidden_[at(column, row)] = all;
            }
    }

    // Whether any pixel of columns x0 … x1 − 1 and rows y0 … y1 − 1 within the plane can show.
    bool showsAny(int x0, int x1, int y0, int y1) const {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, width_);
        y1 = std::min(y1, height_);
        if (x0 >= x1 || y0 >= y1) return false;
        for (int row = y0 / block; row <= (y1 - 1) / block; ++row)
            for (int column = x0 / block; column <= (x1 - 1) / block; ++column)
                if (!hidden_[at(column, row)]) return true;
        return false;
    }

    // Clears `alpha` (a plane of the grid) in the hidden blocks.
    void clear(std::vector<std::uint8_t>& alpha) const {
        if (alpha.size() < std::size_t(width_) * std::size_t(height_)) return;
        for (int row = 1; row + 1 < rows_; ++row) {
            const int y0 = row * block, y1 = std::min(height_, y0 + block);
            for (int column = 1; column + 1 < columns_;) {
                if (!hidden_[at(column, row)]) {
                    ++column;
                    continue;
                }
                const int first = column;
                while (column + 1 < columns_ && hidden_[at(column, row)]) ++column;
                const int x0 = first * block, x1 = std::min(width_, column * block);
                for (int y = y0; y < y1 && x0 < x1; ++y)
                    std::fill_n(alpha.begin() + std::ptrdiff_t(y) * width_ + x0, x1 - x0, std::uint8_t(0));
            }
        }
    }

private:
    std::size_t at(int column, int row) const { return std::size_t(row) * std::size_t(columns_) + std::size_t(column); }

    int width_, height_, columns_, rows_;
    std::vector<char> hidden_;
};

// The strength of an inner shadow at each pixel of `grid` (the shape's bounds on the painter's
// pixels). The shadow is the colour everywhere but the moved shape: the moved shape's blurred
// coverage taken from full strength. Beyond the wide grid there is no shape, so full colour, as
// it would be; its margin only has to hold the moved shape and the blur's reach.
std::vector<std::uint8_t> innerShadowStrength(const QPainter& painter, const QPainterPath& shape, double radius,
                                              QPointF offset, const Coverage::Grid& grid) {
    const double margin = 3 * std::max(radius, 0.0) + std::abs(offset.x()) + std::abs(offset.y()) + 1;
    const Coverage::Grid wide =
        pixelGrid(painter, shape.boundingRect().adjusted(-margin, -margin, margin, margin));
    // The narrow grid is a part of the wide one, whose pixels it shares.
    const int left = int(std::lround((grid.area.left() - wide.area.left()) * grid.scale.width()));
    const int top = int(std::lround((grid.area.top() - wide.area.top()) * grid.scale.height()));
    std::vector<std::uint8_t> alpha = Coverage::render(shape, grid);
    // Only the shadow over the shape is kept, so the blur is asked for no more: about half of
    // the band along the moved edge lies outside the shape.
    const BoxBlur::Wanted overShape = [&](int x0, int x1, int y0, int y1) {
        return !BoxBlur::uniform(alpha.data(), grid.width, grid.height, x0 - left, x1 - left, y0 - top, y1 - top, 0);
    };
    const std::vector<std::uint8_t> shadow =
        Coverage::blurred(shape.translated(offset), wide, pixelRadius(radius, wide), overShape);
    // Only a grid cut at its largest size leaves pixels of the narrow one outside the wide one;
    // there the shadow is taken as full.
    const int x0 = std::max(0, -left), x1 = std::min(grid.width, wide.width - left);
    for (int y = 0; y < grid.height; ++y) {
        std::uint8_t* to = alpha.data() + std::size_t(y) * std::size_t(grid.width);
        const int row = y + top;
        if (row < 0 || row >= wide.height || x0 >= x1) continue;
        const std::uint8_t* from = shadow.data() + std::size_t(row) * std::size_t(wide.width) + std::size_t(left);
        BlendRows::remainder(from + x0, to + x0, x1 - x0);
    }
    return alpha;
}

} // namespace

void paintMasked(QPainter& painter, const QPainterPath& mask, const std::function<void(QPainter&)>& draw) {
    Layer layer(painter, mask.boundingRect());
    draw(layer.painter());
    layer.mask(mask);
    layer.composite();
}

void paintBlurred(QPainter& painter, const QPainterPath& shape, const QColor& color, double radius, QPointF offset,
                  Keep keep, const QPainterPath& coveredLater) {
    Effect effect{Effect::Kind::blurred, shape, color, radius, offset, deviceScale(painter), {}, {}};
    if (keep == Keep::yes && drawKept(painter, effect)) return;
    const QPainterPath moved = shape.translated(offset);
    const double margin = 3 * std::max(radius, 0.0) + 1;
    const Coverage::Grid grid =
        pixelGrid(painter, moved.boundingRect().adjusted(-margin, -margin, margin, margin));
    const double sigma = pixelRadius(radius, grid);
    if (keep == Keep::no && !coveredLater.isEmpty() && coveredLater == shape) {
        // A shadow beneath its own shape (the pad's under its shell) is left clear where the
        // shape hides it, and is not blurred there at all: that is most of the band inside the
        // moved edge.
        const PlaneCache::Plane alpha = PlaneCache::shared(
            {PlaneCache::Key::Kind::blurredBeneath, shape, Coverage::toPixels(grid), grid.width, grid.height, radius,
             offset},
            [&] {
                const Hidden hidden(grid, shape);
                std::vector<std::uint8_t> plane = Coverage::blurred(
                    moved, grid, sigma, [&](int x0, int x1, int y0, int y1) { return hidden.showsAny(x0, x1, y0, y1); });
                hidden.clear(plane);
                return plane;
            });
        finishEffect(painter, std::move(effect), grid, *alpha, keep);
        return;
    }
    std::vector<std::uint8_t> alpha =
        PlaneCache::plane({PlaneCache::Key::Kind::blurred, shape, Coverage::toPixels(grid), grid.width, grid.height,
                           radius, offset},
                          [&] { return Coverage::blurred(moved, grid, sigma); });
    if (keep == Keep::no && !coveredLater.isEmpty()) Hidden(grid, coveredLater).clear(alpha);
    finishEffect(painter, std::move(effect), grid, alpha, keep);
}

void paintInnerShadow(QPainter& painter, const QPainterPath& shape, const QColor& color, double radius,
                      QPointF offset, Keep keep) {
    Effect effect{Effect::Kind::innerShadow, shape, color, radius, offset, deviceScale(painter), {}, {}};
    if (keep == Keep::yes && drawKept(painter, effect)) return;
    // Kept only inside the shape, so the image covers the shape's bounds alone (and a clear
    // pixel round them, which an image drawn between pixels blends its edge with).
    const QSizeF scale = pixelGrid(painter, shape.boundingRect()).scale; // as the painter's, never 0
    const QSizeF pixel(1 / scale.width(), 1 / scale.height());
    const Coverage::Grid grid = pixelGrid(
        painter, shape.boundingRect().adjusted(-pixel.width(), -pixel.height(), pixel.width(), pixel.height()));
    const PlaneCache::Plane alpha =
        PlaneCache::shared({PlaneCache::Key::Kind::innerShadow, shape, Coverage::toPixels(grid), grid.width,
                            grid.height, radius, offset},
                           [&] { return innerShadowStrength(painter, shape, radius, offset, grid); });
    finishEffect(painter, std::move(effect), grid, *alpha, keep);
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
    DirectFill::stroke(painter, edge, edgePen(brush, width));
}

} // namespace Tessarine::PaintLayers
