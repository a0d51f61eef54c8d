#include "app/drawing/Coverage.h"

#include "app/drawing/BlendRows.h"
#include "app/drawing/BoxBlur.h"
#include "app/drawing/PathRaster.h"
#include "app/drawing/PlaneCache.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <deque>

namespace Tessarine::Coverage {

namespace {

constexpr int maxSide = 8192; // pixels; beyond it an effect would be larger than any screen

// The colour at each of 256 strengths, as premultiplied pixels.
struct Tints {
    std::uint32_t pixel[256];
    explicit Tints(const QColor& color) {
        const QRgb premultiplied = qPremultiply(color.rgba());
        for (std::uint32_t i = 0; i < 256; ++i) pixel[i] = BlendRows::tint(premultiplied, i);
    }
};

// The image a painter paints into and where the grid's first pixel lies in it, when the grid's
// pixels are the image's own and nothing but plain source-over painting is set.
QImage* directTarget(QPainter& painter, const Grid& grid, QPoint& origin) {
    QImage* image = plainTarget(painter);
    if (!image) return nullptr;
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || std::abs(t.m11() - grid.scale.width()) > 1e-9 ||
        std::abs(t.m22() - grid.scale.height()) > 1e-9)
        return nullptr;
    const QPointF at = t.map(grid.area.topLeft());
    origin = QPoint(int(std::lround(at.x())), int(std::lround(at.y())));
    if (std::abs(at.x() - origin.x()) > 1e-6 || std::abs(at.y() - origin.y()) > 1e-6) return nullptr;
    return image;
}

} // namespace

QImage* plainTarget(QPainter& painter) {
    // An image that shares its pixels would be copied by writing, away from the painter's view.
    auto* image = dynamic_cast<QImage*>(painter.device());
    if (!image || !image->isDetached() || image->format() != QImage::Format_ARGB32_Premultiplied ||
        painter.hasClipping() || painter.opacity() != 1 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return nullptr;
    return image;
}

Grid grid(QSizeF scale, const QRectF& bounds, QPointF phase) {
    const double sx = scale.width() > 0 ? scale.width() : 1, sy = scale.height() > 0 ? scale.height() : 1;
    const double px = std::isfinite(phase.x()) ? phase.x() : 0, py = std::isfinite(phase.y()) ? phase.y() : 0;
    // Rounded out to whole pixels of the grid.
    const double x0 = std::floor(bounds.left() * sx + px), y0 = std::floor(bounds.top() * sy + py);
    const double x1 = std::ceil(bounds.right() * sx + px), y1 = std::ceil(bounds.bottom() * sy + py);
    Grid g;
    g.scale = {sx, sy};
    g.area = QRectF((x0 - px) / sx, (y0 - py) / sy, (x1 - x0) / sx, (y1 - y0) / sy);
    g.width = std::clamp(int(x1 - x0), 1, maxSide);
    g.height = std::clamp(int(y1 - y0), 1, maxSide);
    return g;
}

int coarseSide(int side, int factor) { return factor > 1 ? (side + factor - 1) / factor + 1 : side; }

QTransform toPixels(const Grid& grid, int factor) {
    factor = std::max(factor, 1);
    QTransform t;
    t.scale(grid.scale.width() / factor, grid.scale.height() / factor);
    t.translate(-grid.area.left(), -grid.area.top());
    return t;
}

std::vector<std::uint8_t> render(const QPainterPath& path, const Grid& grid, int factor) {
    factor = std::max(factor, 1);
    return render(path, toPixels(grid, factor), coarseSide(grid.width, factor), coarseSide(grid.height, factor));
}

std::vector<std::uint8_t> render(const QPainterPath& path, const QTransform& toPixels, int width, int height) {
    return *shared(path, toPixels, width, height);
}

PlaneCache::Plane shared(const QPainterPath& path, const QTransform& toPixels, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    // While a kept image is painted, its coverages are kept for the next at this size.
    if (PlaneCache::keeping())
        return PlaneCache::shared({PlaneCache::Key::Kind::coverage, path, toPixels, width, height, 0, {}},
                                  [&] { return PathRaster::coverage(path, toPixels, width, height); });
    // Else the last few made on this thread: a part may ask for a shape's more than once.
    struct Kept {
        QPainterPath path;
        QTransform toPixels;
        int width = 0, height = 0;
        PlaneCache::Plane plane;
    };
    constexpr std::size_t keptCount = 3;
    thread_local std::deque<Kept> kept;
    for (auto it = kept.begin(); it != kept.end(); ++it)
        if (it->width == width && it->height == height && it->toPixels == toPixels && it->path == path) {
            if (it != kept.begin()) std::rotate(kept.begin(), it, std::next(it));
            return kept.front().plane;
        }
    auto plane = std::make_shared<const std::vector<std::uint8_t>>(PathRaster::coverage(path, toPixels, width, height));
    kept.push_front({path, toPixels, width, height, plane});
    if (kept.size() > keptCount) kept.pop_back();
    return plane;
}

std::vector<std::uint8_t> blurred(const QPainterPath& path, const Grid& grid, double sigma,
                                  const BoxBlur::Wanted& wanted) {
    const int factor = BoxBlur::reduction(sigma);
    const int width = coarseSide(grid.width, factor), height = coarseSide(grid.height, factor);
    // Worked out afresh, not kept: it is blurred in place at once, and the blurred plane is what
    // those who ask keep, so a kept copy would never be asked for again.
    std::vector<std::uint8_t> plane = PathRaster::coverage(path, toPixels(grid, factor), width, height);
    if (factor == 1) {
        BoxBlur::blur(plane, width, height, sigma, wanted);
        return plane;
    }
    // A fine pixel is enlarged from the coarse pixels about it, which lie within one coarse
    // pixel of its own.
    BoxBlur::Wanted coarseWanted;
    if (wanted)
        coarseWanted = [&](int x0, int x1, int y0, int y1) {
            return wanted((x0 - 1) * factor, (x1 + 1) * factor, (y0 - 1) * factor, (y1 + 1) * factor);
        };
    BoxBlur::gaussian(plane, width, height, BoxBlur::reducedSigma(sigma, factor), coarseWanted);
    return BoxBlur::enlarge(plane, width, height, factor, grid.width, grid.height);
}

QImage tint(const std::vector<std::uint8_t>& alpha, const Grid& grid, const QColor& color) {
    QImage image(grid.width, grid.height, QImage::Format_ARGB32_Premultiplied);
    const Tints tints(color);
    const bool complete = alpha.size() >= std::size_t(grid.width) * std::size_t(grid.height);
    for (int y = 0; y < grid.height; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        const std::uint8_t* in = complete ? alpha.data() + std::size_t(y) * std::size_t(grid.width) : nullptr;
        for (int x = 0; x < grid.width; ++x) line[x] = in ? tints.pixel[in[x]] : 0;
    }
    return image;
}

void draw(QPainter& painter, const Grid& grid, const std::vector<std::uint8_t>& alpha, const QColor& color) {
    if (alpha.size() < std::size_t(grid.width) * std::size_t(grid.height)) return;
    QPoint origin;
    QImage* image = directTarget(painter, grid, origin);
    if (!image) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(grid.area, tint(alpha, grid, color));
        painter.restore();
        return;
    }
    blend(*image, QRect(origin, QSize(grid.width, grid.height)), alpha, color);
}

void blend(QImage& image, const QRect& pixels, const std::vector<std::uint8_t>& alpha, const QColor& color) {
    const int width = pixels.width(), height = pixels.height();
    if (image.format() != QImage::Format_ARGB32_Premultiplied || width <= 0 || height <= 0 ||
        alpha.size() < std::size_t(width) * std::size_t(height) || color.alpha() == 0)
        return;
    const QPoint origin = pixels.topLeft();
    const std::uint32_t premultiplied = qPremultiply(color.rgba());
    const int x0 = std::max(0, -origin.x()), x1 = std::min(width, image.width() - origin.x());
    const int y0 = std::max(0, -origin.y()), y1 = std::min(height, image.height() - origin.y());
    for (int y = y0; y < y1 && x0 < x1; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(origin.y() + y)) + origin.x();
        const std::uint8_t* in = alpha.data() + std::size_t(y) * std::size_t(width);
        BlendRows::tintOver(premultiplied, in + x0, line + x0, x1 - x0);
    }
}

void draw(QPainter& painter, const Grid& grid, const QImage& source) {
    QPoint origin;
    QImage* image = directTarget(painter, grid, origin);
    if (!image || source.format() != QImage::Format_ARGB32_Premultiplied || source.width() != grid.width ||
        source.height() != grid.height) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(grid.area, source);
        painter.restore();
        return;
    }
    const int x0 = std::max(0, -origin.x()), x1 = std::min(grid.width, image->width() - origin.x());
    const int y0 = std::max(0, -origin.y()), y1 = std::min(grid.height, image->height() - origin.y());
    for (int y = y0; y < y1 && x0 < x1; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(image->scanLine(origin.y() + y)) + origin.x();
        const auto* in = reinterpret_cast<const std::uint32_t*>(source.constScanLine(y));
        BlendRows::over(in + x0, line + x0, x1 - x0);
    }
}

void multiply(QImage& image, const std::vector<std::uint8_t>& coverage) {
    const int width = image.width(), height = image.height();
    if (image.format() != QImage::Format_ARGB32_Premultiplied ||
        coverage.size() < std::size_t(width) * std::size_t(height))
        return;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        BlendRows::scale(coverage.data() + std::size_t(y) * std::size_t(width), line, width);
    }
}

} // namespace Tessarine::Coverage
