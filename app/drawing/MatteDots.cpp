#include "app/drawing/MatteDots.h"

#include "app/drawing/Coverage.h"
#include "app/drawing/PixelMath.h"

#include <algorithm>
#include <cmath>

namespace Tessarine::MatteDots {

namespace {

constexpr int rowsPerPixel = 16; // the coverage is exact across each row, sampled down the pixel

// Pixels a side a blended dot may span; the shell's dots span two or three at a pixel ratio of 2.
constexpr int most = 8;

// Whether a dot of `radius` pixels about `centre` is small enough (and finite) to be blended.
bool blendable(QPointF centre, double radius) {
    return std::isfinite(centre.x()) && std::isfinite(centre.y()) && std::isfinite(radius) && radius * 2 < most - 1;
}

// Blends a circle of `radius` pixels about `centre` (pixel coordinates of `image`), coloured
// `color` (premultiplied) at full coverage. The dot must be blendable.
void blendDot(QImage& image, QPointF centre, double radius, std::uint32_t color) {
    const int left = std::max(0, int(std::floor(centre.x() - radius)));
    const int right = std::min(image.width() - 1, int(std::floor(centre.x() + radius)));
    const int top = std::max(0, int(std::floor(centre.y() - radius)));
    const int bottom = std::min(image.height() - 1, int(std::floor(centre.y() + radius)));
    if (left > right || top > bottom) return;
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
    const bool blending = image && t.type() <= QTransform::TxScale && t.m11() == t.m22() && t.m11() > 0;
    const std::uint32_t lightPixel = qPremultiply(light.rgba()), shadePixel = qPremultiply(shade.rgba());
    // Dots too large to blend (a big drawing at a high pixel ratio) are filled by the painter.
    std::vector<const Dot*> filled;
    for (const Dot& dot : dots) {
        const QPointF centre = t.map(dot.square.center());
        const double radius = dot.square.width() / 2 * t.m11();
        if (blending && blendable(centre, radius))
            blendDot(*image, centre, radius, dot.light ? lightPixel : shadePixel);
        else
            filled.push_back(&dot);
    }
    if (filled.empty()) return;
    painter.save();
    painter.setPen(Qt::NoPen);
    for (const Dot* dot : filled) {
        painter.setBrush(dot->light ? light : shade);
        painter.drawEllipse(dot->square);
    }
    painter.restore();
}

} // namespace Tessarine::MatteDots
