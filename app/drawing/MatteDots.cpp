#include "app/drawing/MatteDots.h"

#include "app/drawing/Coverage.h"
#include "app/drawing/PixelMath.h"

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Tessarine::MatteDots {

namespace {

constexpr int rowsPerPixel = 16; // the coverage is exact across each row, sampled down the pixel

// Pixels a side a blended dot may span; the shell's dots span two or three at a pixel ratio of 2.
constexpr int most = 8;

// Whether a dot of `radius` pixels about `centre` is small enough (and finite) to be blended.
bool blendable(QPointF centre, double radius) {
    return std::isfinite(centre.x()) && std::isfinite(centre.y()) && std::isfinite(radius) && radius * 2 < most - 1;
}

// A dot's strength (0 … 255) at each pixel it touches, within an image's bounds.
struct Stamp {
    int left = 0, top = 0, columns = 0, rows = 0;
    std::uint8_t strength[most * most] = {};
};

// The stamp of a circle of `radius` pixels about `centre` (pixel coordinates of an image of
// `size`). The dot must be blendable.
Stamp stamp(QSize size, QPointF centre, double radius) {
    Stamp out;
    const int left = std::max(0, int(std::floor(centre.x() - radius)));
    const int right = std::min(size.width() - 1, int(std::floor(centre.x() + radius)));
    const int top = std::max(0, int(std::floor(centre.y() - radius)));
    const int bottom = std::min(size.height() - 1, int(std::floor(centre.y() + radius)));
    if (left > right || top > bottom) return out;
    out.left = left;
    out.top = top;
    out.columns = right - left + 1;
    out.rows = bottom - top + 1;
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
        for (int x = left; x <= right; ++x)
            out.strength[(y - top) * most + (x - left)] =
                std::uint8_t(std::lround(std::min(coverage[x - left], 1.0) * 255));
    }
    return out;
}

// Blends `color` (premultiplied, at full coverage) through `stamp` into `image`.
void blendStamp(QImage& image, const Stamp& stamp, std::uint32_t color) {
    for (int r = 0; r < stamp.rows; ++r) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(stamp.top + r)) + stamp.left;
        for (int c = 0; c < stamp.columns; ++c) {
            const std::uint32_t strength = stamp.strength[r * most + c];
            if (strength != 0) line[c] = PixelMath::over(PixelMath::scaled(color, strength), line[c]);
        }
    }
}

bool sameDots(const std::vector<Dot>& a, const std::vector<Dot>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const Dot& x, const Dot& y) { return x.square == y.square && x.light == y.light; });
}

// The stamps of the dots last painted on this thread, for the same dots on an image of the same
// size under the same transform (the shell in the other scheme or with other wells): their
// coverage holds no colour. Each is worked out when a dot is first blended.
struct Stamps {
    QTransform transform;
    QSize size;
    std::vector<Dot> dots;
    std::vector<Stamp> stamps;
    std::vector<char> made;

    const Stamp& of(std::size_t i, QPointF centre, double radius) {
        if (!made[i]) {
            stamps[i] = stamp(size, centre, radius);
            made[i] = 1;
        }
        return stamps[i];
    }
};

Stamps& stampsFor(const std::vector<Dot>& dots, const QTransform& t, QSize size) {
    thread_local Stamps kept;
    if (kept.transform == t && kept.size == size && sameDots(kept.dots, dots)) return kept;
    kept.transform = t;
    kept.size = size;
    kept.dots = dots;
    kept.stamps.assign(dots.size(), Stamp{});
    kept.made.assign(dots.size(), 0);
    return kept;
}

// Whether `mask` (a plane of `size`) clears every pixel a dot of `radius` about `centre` touches.
bool cleared(const std::vector<std::uint8_t>& mask, QSize size, QPointF centre, double radius) {
    const int left = std::max(0, int(std::floor(centre.x() - radius)));
    const int right = std::min(size.width() - 1, int(std::floor(centre.x() + radius)));
    const int top = std::max(0, int(std::floor(centre.y() - radius)));
    const int bottom = std::min(size.height() - 1, int(std::floor(centre.y() + radius)));
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (mask[std::size_t(y) * std::size_t(size.width()) + std::size_t(x)] != 0) return false;
    return true;
}

} // namespace

void paint(QPainter& painter, const std::vector<Dot>& dots, const QColor& light, const QColor& shade,
           const std::vector<std::uint8_t>* maskedBy) {
    const QTransform t = painter.deviceTransform();
    QImage* image = Coverage::plainTarget(painter);
    const bool blending = image && t.type() <= QTransform::TxScale && t.m11() == t.m22() && t.m11() > 0;
    const std::uint32_t lightPixel = qPremultiply(light.rgba()), shadePixel = qPremultiply(shade.rgba());
    // Dots too large to blend (a big drawing at a high pixel ratio) are filled by the painter.
    std::vector<const Dot*> filled;
    if (blending) {
        const QSize size = image->size();
        const bool masked = maskedBy && maskedBy->size() == std::size_t(size.width()) * std::size_t(size.height());
        Stamps& stamps = stampsFor(dots, t, size);
        for (std::size_t i = 0; i < dots.size(); ++i) {
            const QPointF centre = t.map(dots[i].square.center());
            const double radius = dots[i].square.width() / 2 * t.m11();
            if (!blendable(centre, radius)) {
                filled.push_back(&dots[i]);
                continue;
            }
            if (masked && cleared(*maskedBy, size, centre, radius)) continue;
            blendStamp(*image, stamps.of(i, centre, radius), dots[i].light ? lightPixel : shadePixel);
        }
    } else {
        for (const Dot& dot : dots) filled.push_back(&dot);
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
