#include "app/drawing/MatteDots.h"

#include "app/drawing/Coverage.h"
#include "app/drawing/PixelMath.h"

#include <algorithm>
#include <cmath>

namespace Tessarine::MatteDots {

namespace {

constexpr int rowsPerPixel = 16; // the coverage is exact across each row, sampled down the pixel

// Blends a circle of `radius` pixels about `centre` (pixel coordinates of `image`), coloured
// `color` (premultiplied) at full coverage.
void blendDot(QImage& image, QPointF centre, double radius, std::uint32_t color) {
    const int left = std::max(0, int(std::floor(centre.x() - radius)));
    const int right = std::min(image.width() - 1, int(std::floor(centre.x() + radius)));
    const int top = std::max(0, int(std::floor(centre.y() - radius)));
    const int bottom = std::min(image.height() - 1, int(std::floor(centre.y() + radius)));
    if (left > right || top > bottom) return;
    constexpr int most = 8; // pixels a side; the shell's dots span two or three at a pixel ratio of 2
    if (right - left >= most || bottom - top >= most) return;
    double coverage[most];
    for (int y = top; y <= bottom; ++y) {
        std::fill(coverage, coverage + most, 0.0);
        for (int s = 0; s < rowsPerPixel; ++s) {
            const double dy = y + (s + 0.5) / rowsPerPixel - centre.y();
            if (std::abs(dy) >= radius) continue;
            const double half = std::sqrt(radius * radius - dy * dy);
            const double from = centre.x() - half, to = centre.x() + half;
            for (int x = left; x <= right; ++x) {
                const double overlap = std::min(to, x + 1.0) - std::max(from, double(x));
                if (overlap > 0) coverage[x - left] += overlap / rowsPerPixel;
            }
        }
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = left; x <= right; ++x) {
            const auto strength = std::uint32_t(std::lround(std::min(coverage[x - left], 1.0) * 255));
            if (strength != 0) line[x] = PixelMath::over(PixelMath::scaled(color, strength), line[x]);
        }
    }
}

} // namespace

void paint(QPainter& painter, const std::vector<Dot>& dots, const QColor& light, const QColor& shade) {
    const QTransform t = painter.deviceTransform();
    QImage* image = Coverage::plainTarget(painter);
    if (!image || t.type() > QTransform::TxScale || t.m11() != t.m22() || !(t.m11() > 0)) {
        painter.save();
        painter.setPen(Qt::NoPen);
        for (const Dot& dot : dots) {
            painter.setBrush(dot.light ? light : shade);
            painter.drawEllipse(dot.square);
        }
        painter.restore();
        return;
    }
    const std::uint32_t lightPixel = qPremultiply(light.rgba()), shadePixel = qPremultiply(shade.rgba());
    for (const Dot& dot : dots)
        blendDot(*image, t.map(dot.square.center()), dot.square.width() / 2 * t.m11(),
                 dot.light ? lightPixel : shadePixel);
}

} // namespace Tessarine::MatteDots
