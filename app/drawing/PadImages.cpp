#include "app/drawing/PadImages.h"

#include "app/drawing/ImagePool.h"
#include "app/drawing/PadShapes.h"
#include "app/drawing/PlaneCache.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <optional>

namespace Tessarine {

namespace {

// Largest side of either image in pixels; beyond it the drawing would be larger than any screen.
constexpr int maxSide = 16384;

double positive(double value) { return std::isfinite(value) && value > 0 ? value : 1; }

// A clear image covering `area` of the canvas at `scale` × `pixelRatio` pixels per point, with
// `paint` run in canvas coordinates.
template <class Paint> QImage paintArea(const QRectF& area, double scale, double pixelRatio, Paint paint) {
    const double k = positive(scale) * positive(pixelRatio);
    const int width = std::clamp(int(std::ceil(area.width() * k)), 1, maxSide);
    const int height = std::clamp(int(std::ceil(area.height() * k)), 1, maxSide);
    QImage image = ImagePool::clearImage(width, height);
    {
        // The planes of its shapes and shadows serve the next image at this size, whatever its
        // scheme or layout.
        const PlaneCache::Keeping keeping;
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(k, k);
        painter.translate(-area.topLeft());
        paint(painter);
    }
    image.setDevicePixelRatio(positive(pixelRatio));
    return image;
}

} // namespace

PadImages::Placed PadImages::shadow(bool dark, double scale, double pixelRatio) {
    const QRectF area(-padShadowMargin, -padShadowMargin, PadCanvas::width + 2 * padShadowMargin,
                      PadCanvas::height + 2 * padShadowMargin);
    const ShadowKey key{dark, scale, pixelRatio};
    if (shadowKey_ != key) {
        // The shadow depends on nothing but its key (no controller, no kept effect), so a drawing
        // made after another at the same size takes its shadow rather than painting it again.
        // Only the last one made is kept: an older one kept would hold back the buffer that a
        // drawing being resized paints its next size into.
        struct Shared {
            std::mutex lock;
            std::optional<ShadowKey> key;
            QImage image;
        };
        static Shared* const shared = new Shared; // never destroyed: a drawing may go while the program ends
        {
            std::lock_guard guard(shared->lock);
            shadow_ = shared->key == key ? shared->image : QImage();
        }
        if (shadow_.isNull()) {
            // Painted outside the lock: two threads asking at once each paint the same pixels.
            shadow_ = paintArea(area, scale, pixelRatio, [&](QPainter& p) { paintPadShadow(p, PadShadow{}, dark); });
            std::lock_guard guard(shared->lock);
            shared->key = key;
            shared->image = shadow_;
        }
        shadowKey_ = key;
        ++shadowBuilds_;
    }
    return {shadow_, area.topLeft()};
}

PadImages::Placed PadImages::shell(const PadShell& shell, bool dark, double scale, double pixelRatio) {
    const QRectF area(0, 0, PadCanvas::width, PadCanvas::height);
    ShellKey key{shell, dark, scale, pixelRatio};
    if (shellKey_ != key) {
        shell_ = paintArea(area, scale, pixelRatio, [&](QPainter& p) { paintPadShell(p, shell, dark); });
        shellKey_ = std::move(key);
        ++shellBuilds_;
    }
    return {shell_, area.topLeft()};
}

void PadImages::drawPart(QPainter& painter, const std::string& key, QPointF centre, const QRectF& reach,
                         const std::function<void(QPainter&)>& paint) {
    const QTransform world = painter.worldTransform();
    const double ratio = painter.device() ? painter.device()->devicePixelRatio() : 1;
    const double k = world.m11() * ratio; // device pixels per canvas point
    // Only a painter that scales both ways alike and moves keeps a pixel grid an image can match.
    if (world.type() > QTransform::TxScale || world.m11() != world.m22() || !(k > 0) || !(ratio > 0) ||
        !reach.isValid()) {
        painter.save();
        painter.translate(centre);
        paint(painter);
        painter.restore();
        return;
    }
    const QPointF device = world.map(centre) * ratio;
    const QPointF pixel(std::floor(device.x()), std::floor(device.y()));
    constexpr double steps = 4; // places within a pixel, each way
    const QPointF within(std::round((device.x() - pixel.x()) * steps) / steps,
                         std::round((device.y() - pixel.y()) * steps) / steps);

    PartKey partKey{key, k, ratio, within.x(), within.y()};
    auto found = parts_.find(partKey);
    if (found == parts_.end()) {
        if (parts_.size() >= maxParts) {
            auto oldest = std::min_element(parts_.begin(), parts_.end(), [](const auto& a, const auto& b) {
                return a.second.lastUsed < b.second.lastUsed;
            });
            parts_.erase(oldest);
        }
        // The image's pixels, relative to the centre's pixel, with a pixel to spare each side.
        const QRectF area(reach.left() * k + within.x(), reach.top() * k + within.y(), reach.width() * k,
                          reach.height() * k);
        const QPoint topLeft(int(std::floor(area.left())) - 1, int(std::floor(area.top())) - 1);
        const int width = std::clamp(int(std::ceil(area.right())) + 1 - topLeft.x(), 1, maxSide);
        const int height = std::clamp(int(std::ceil(area.bottom())) + 1 - topLeft.y(), 1, maxSide);
        Part part;
        part.image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        part.image.fill(Qt::transparent);
        {
            QPainter p(&part.image);
            p.setRenderHint(QPainter::Antialiasing);
            p.translate(within - QPointF(topLeft));
            p.scale(k, k);
            paint(p);
        }
        part.image.setDevicePixelRatio(ratio);
        part.offset = topLeft;
        found = parts_.emplace(std::move(partKey), std::move(part)).first;
        ++partBuilds_;
    }
    found->second.lastUsed = ++partUses_;
    painter.save();
    painter.setWorldTransform(QTransform());
    painter.drawImage((pixel + QPointF(found->second.offset)) / ratio, found->second.image);
    painter.restore();
}

void drawPlaced(QPainter& painter, const PadImages::Placed& placed, QPointF canvasOrigin, double scale) {
    // The image's own pixel ratio sizes it; at a painter without a further scale this is a copy
    // of pixels, not a resampling.
    painter.drawImage(canvasOrigin + placed.origin * scale, placed.image);
}

} // namespace Tessarine
