#include "app/views/drawing/PadImages.h"

#include "app/views/drawing/PadShapes.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

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
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
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
        shadow_ = paintArea(area, scale, pixelRatio, [&](QPainter& p) { paintPadShadow(p, PadShadow{}, dark); });
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

void drawPlaced(QPainter& painter, const PadImages::Placed& placed, QPointF canvasOrigin, double scale) {
    // The image's own pixel ratio sizes it; at a painter without a further scale this is a copy
    // of pixels, not a resampling.
    painter.drawImage(canvasOrigin + placed.origin * scale, placed.image);
}

} // namespace Tessarine
