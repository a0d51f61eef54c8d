#include "app/paint/StickPlotPaint.h"

#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

#include "app/paint/Theme.h"
#include "testkit/CircularityAnalysis.h"

namespace Tessarine {

using RorozErurEvo::StickSample;

namespace {

// Full deflection as a share of the half side, so readings a little outside the unit circle
// (up to 1/0.68) still land inside the square.
constexpr double reach = 0.68;
constexpr int gatePoints = 144;       // points round the gate outline
constexpr double ringOpacity = 0.08;
constexpr double crossOpacity = 0.10;
constexpr double guideWidth = 0.75;   // pixels
constexpr double crossInset = 6;      // pixels from the square's edge
constexpr double gateOpacity = 0.55;
constexpr double gateWidth = 1.2;     // pixels
constexpr double gateDash = 4;        // pixels on
constexpr double gateGap = 3;         // pixels off
constexpr double polygonFillOpacity = 0.12;
constexpr double polygonWidth = 1.6;  // pixels
constexpr double trailWidth = 1.5;    // pixels
constexpr double trailNewest = 0.8;   // opacity of the newest segment
constexpr double trailFade = 0.5;     // opacity lost per second of age
constexpr double trailFloor = 0.08;   // opacity of segments 1.44 s old and older
constexpr double dotDiameter = 11;    // pixels
constexpr double dotOutline = 1.2;    // pixels
constexpr double dotOutlineOpacity = 0.9;
constexpr double pressedInset = 2;    // pixels
constexpr double pressedWidth = 3;    // pixels

// The trail fades with age. Readings arrive up to a thousand a second, so most segments are
// shorter than a pixel: stroked one by one, their antialiased ends would blend into each other
// and the trail would look fainter than its opacity. Segments are therefore joined into one
// polyline per step of opacity (steps of 3/255, about 24 ms of age): the same picture within a
// shade, and a few dozen strokes instead of one per reading. Within a run, a reading closer
// than a pixel to the last point kept adds nothing visible and is skipped.
void paintTrail(QPainter& painter, const StickPlotGeometry& g, const std::vector<StickSample>& trail,
                const QColor& orange) {
    if (trail.size() < 2) return;
    const double newest = trail.back().t;
    auto alphaOf = [&](double t) {
        const double opacity = std::max(trailNewest - trailFade * (newest - t), trailFloor);
        return 3 * int(std::lround(std::min(opacity, 1.0) * 85));
    };
    // Flat caps: neighbouring runs meet end to end instead of blending twice where they touch.
    QPen pen(orange, trailWidth, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin);
    QPolygonF run;
    run.reserve(int(trail.size()));
    int runAlpha = -1;
    QPointF pending;          // the newest reading of the run, kept or not
    bool pendingKept = true;
    auto flush = [&] {
        if (!pendingKept) run << pending;
        if (run.size() < 2) return;
        QColor color = orange;
        color.setAlpha(runAlpha);
        pen.setColor(color);
        painter.setPen(pen);
        painter.drawPolyline(run);
    };
    constexpr double minimumStep = 1.0; // pixels
    QPointF previous = g.map(trail.front().x, trail.front().y);
    pending = previous;
    for (size_t i = 1; i < trail.size(); ++i) {
        const QPointF current = g.map(trail[i].x, trail[i].y);
        if (!std::isfinite(current.x()) || !std::isfinite(current.y())) continue;
        const int alpha = alphaOf(trail[i].t);
        if (alpha != runAlpha) {
            flush();
            run.clear();
            run << pending;
            runAlpha = alpha;
            pendingKept = true;
        }
        const QPointF last = run.back();
        if (std::abs(current.x() - last.x()) + std::abs(current.y() - last.y()) >= minimumStep) {
            run << current;
            pendingKept = true;
        } else {
            pendingKept = false;
        }
        pending = current;
    }
    flush();
}

void paintMeasuredOutline(QPainter& painter, const StickPlotGeometry& g, const RorozErurEvo::StickPlot& plot) {
    const size_t n = plot.radii.size();
    // The outline is closed only when every sector has a radius. Otherwise it starts after the
    // first empty sector, so that its open ends meet at a gap in the data; further empty sectors
    // are bridged by a straight line.
    size_t start = 0;
    bool complete = true;
    for (size_t i = 0; i < n; ++i)
        if (!plot.radii[i]) {
            complete = false;
            start = i + 1;
            break;
        }
    QPainterPath path;
    bool started = false;
    for (size_t k = 0; k < n; ++k) {
        const size_t i = (start + k) % n;
        const auto& r = plot.radii[i];
        if (!r) continue;
        const double theta = RorozErurEvo::CircularityAnalysis::centerAngle(int(i));
        const QPointF point = g.map(*r * std::cos(theta), *r * std::sin(theta));
        if (!started) path.moveTo(point);
        else path.lineTo(point);
        started = true;
    }
    if (!started) return;
    if (complete) path.closeSubpath();
    // Filled and stroked by one call, which a PDF page writes as one path instead of two.
    painter.setBrush(Color::withOpacity(Color::accentTeal(), polygonFillOpacity));
    painter.setPen(QPen(Color::accentTeal(), polygonWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(path);
    painter.setBrush(Qt::NoBrush);
}

} // namespace

StickPlotGeometry::StickPlotGeometry(const QRectF& rect)
    : centre(rect.center()), half(std::min(rect.width(), rect.height()) / 2), radius(reach * half) {}

namespace {

// `line` without the points that lie on the straight line between their neighbours.
QPolygonF corners(const QPolygonF& line) {
    constexpr double straight = 1e-6; // pixels off the line: rounding, not a bend
    QPolygonF kept;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (kept.size() >= 1 && i + 1 < line.size()) {
            const QPointF a = kept.back(), b = line[i + 1], p = line[i];
            const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
            const double off = std::abs((b.x() - a.x()) * (p.y() - a.y()) - (b.y() - a.y()) * (p.x() - a.x()));
            const bool between = QPointF::dotProduct(p - a, b - a) > 0 && QPointF::dotProduct(p - b, a - b) > 0;
            if (length > 0 && off <= straight * length && between) continue;
        }
        kept << line[i];
    }
    return kept;
}

// Everything that does not move: disc, rings, crosshair, gate and measured outline.
//
// `paper`, when given, is the opaque colour under the plot. A PDF page writes a see-through line
// as the filled outline of its stroke (of every dash, when dashed), but an opaque one as a plain
// stroke that the viewer dashes; so on paper the rings and the gate, when they lie wholly on the
// disc, are drawn in the opaque colour they show there. The crosshair, drawn over them, stays
// see-through.
void paintBackground(QPainter& painter, const StickPlotGeometry& g, const StickPlotParams& params,
                     const Scheme& scheme, std::optional<QColor> paper = std::nullopt) {
    const QRectF square = g.square();
    const double cx = g.centre.x(), cy = g.centre.y(), a = g.half;
    if (paper && paper->alpha() != 255) paper.reset();

    const QColor discColour = Color::withOpacity(scheme.primary, scheme.dark ? 0.06 : 0.035);
    const QRectF disc = square.adjusted(1, 1, -1, -1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(discColour);
    painter.drawEllipse(disc);
    painter.setBrush(Qt::NoBrush);
    const QColor ringColour = Color::withOpacity(scheme.primary, ringOpacity);
    const bool ringsOnDisc = 0.75 * g.radius + guideWidth / 2 <= disc.width() / 2;
    painter.setPen(QPen(paper && ringsOnDisc ? Color::over(Color::over(*paper, discColour), ringColour) : ringColour,
                        guideWidth));
    for (double ring : {0.25, 0.5, 0.75}) painter.drawEllipse(g.centre, ring * g.radius, ring * g.radius);
    painter.setPen(QPen(Color::withOpacity(scheme.primary, crossOpacity), guideWidth));
    painter.drawLine(QPointF(square.left() + crossInset, cy), QPointF(cx + a - crossInset, cy));
    painter.drawLine(QPointF(cx, square.top() + crossInset), QPointF(cx, cy + a - crossInset));

    // The gate, dashed; Qt measures dashes in pen widths.
    QPolygonF gate;
    gate.reserve(gatePoints + 1);
    for (const auto& p : RorozErurEvo::outline(params.gate, params.scale, gatePoints)) gate << g.map(p.x, p.y);
    if (!gate.isEmpty()) {
        const QColor gateColour = Color::withOpacity(Color::accentTeal(), gateOpacity);
        // Opaque dashes show the same colour only where the disc on paper is under them (but for
        // the few points where they cross the faint crosshair, under them here).
        const double reach = disc.width() / 2 - gateWidth / 2;
        const bool within = std::all_of(gate.cbegin(), gate.cend(), [&](const QPointF& p) {
            return std::hypot(p.x() - cx, p.y() - cy) <= reach;
        });
        gate << gate.front();
        QPen pen(gateColour, gateWidth, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setMiterLimit(10);
        pen.setDashPattern({gateDash / gateWidth, gateGap / gateWidth});
        pen.setDashOffset(0);
        if (paper && within) {
            // The colour the see-through gate shows over the disc on the paper. The PDF page
            // dashes an opaque line itself, so it gets the gate's shape alone: a round gate as
            // the circle it is, traced from the same point the same way round, and any other
            // without the points along its straight sides.
            pen.setColor(Color::over(Color::over(*paper, discColour), gateColour));
            painter.setPen(pen);
            if (params.gate == RorozErurEvo::GateShape::round) {
                const double r = std::hypot(gate.front().x() - cx, gate.front().y() - cy);
                QPainterPath circle(gate.front());
                circle.arcTo(QRectF(cx - r, cy - r, 2 * r, 2 * r), 0, 360);
                painter.drawPath(circle);
            } else {
                painter.drawPolyline(corners(gate));
            }
        } else {
            painter.setPen(pen);
            painter.drawPolyline(gate);
        }
    }
    if (params.plot) paintMeasuredOutline(painter, g, *params.plot);
}

// The background of a live plot is the same every frame, and drawing it (the dashed gate
// above all) costs more than the trail. Raster targets get it from a small cache of images
// at device resolution, keyed by everything it depends on; vector targets (PDF, printing)
// always draw it, so it stays sharp there.
struct BackgroundKey {
    QSize pixels;
    qreal ratio = 1;
    QPointF offset; // the square's position within its pixel, so the cached picture is exact
    bool dark = false;
    QRgb primary = 0;
    RorozErurEvo::GateShape gate = RorozErurEvo::GateShape::round;
    double scale = 1;
    std::optional<RorozErurEvo::StickPlot> plot;

    bool operator==(const BackgroundKey&) const = default;
};

struct CachedBackground {
    BackgroundKey key;
    QImage image;
};

// Enough for every plot on screen at once (live panel, batch view, results); the oldest goes.
constexpr size_t backgroundCacheSize = 12;

const QImage& cachedBackground(const BackgroundKey& key, const QRectF& square, const StickPlotParams& params,
                               const Scheme& scheme) {
    thread_local std::vector<CachedBackground> cache;
    for (size_t i = 0; i < cache.size(); ++i)
        if (cache[i].key == key) {
            if (i + 1 != cache.size()) std::rotate(cache.begin() + long(i), cache.begin() + long(i) + 1, cache.end());
            return cache.back().image;
        }
    if (cache.size() >= backgroundCacheSize) cache.erase(cache.begin());
    // In device pixels: it is drawn with the painter's transform reset.
    QImage image(key.pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(key.offset);
        p.scale(key.ratio, key.ratio);
        paintBackground(p, StickPlotGeometry(QRectF(QPointF(0, 0), square.size())), params, scheme);
    }
    cache.push_back({key, std::move(image)});
    return cache.back().image;
}

bool rasterTarget(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    if (!device) return false;
    const int type = device->devType();
    // Widgets, pixmaps and images are raster; pictures, printers and PDF writers record vectors.
    const bool raster = type == QInternal::Widget || type == QInternal::Pixmap || type == QInternal::Image;
    const QTransform t = painter.deviceTransform();
    return raster && t.type() <= QTransform::TxScale && t.m11() == t.m22() && t.m11() > 0;
}

} // namespace

void paintStickPlot(QPainter& painter, const QRectF& rect, const StickPlotParams& params, const Scheme& scheme) {
    const StickPlotGeometry g(rect);
    if (g.half <= 0) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF square = g.square();

    if (rasterTarget(painter)) {
        const QTransform t = painter.deviceTransform();
        const qreal ratio = t.m11();
        const QPointF topLeft = t.map(square.topLeft());
        const QPointF whole(std::floor(topLeft.x()), std::floor(topLeft.y()));
        const QSize pixels(int(std::ceil(square.width() * ratio + 1)), int(std::ceil(square.height() * ratio + 1)));
        const BackgroundKey key{pixels, ratio, topLeft - whole, scheme.dark, scheme.primary.rgba(),
                                params.gate, params.scale, params.plot};
        const QImage& image = cachedBackground(key, square, params, scheme);
        // Placed so that it lands on whole device pixels: the picture is copied, not resampled.
        const QRectF target(t.inverted().map(whole), QSizeF(pixels) / ratio);
        painter.drawImage(target, image);
    } else {
        // As the cached picture is on screen: a measured outline past the edge (a session file may
        // hold any radius) stays inside the plot instead of running across the page.
        painter.save();
        painter.setClipRect(square, Qt::IntersectClip);
        paintBackground(painter, g, params, scheme, params.paper);
        painter.restore();
    }

    paintTrail(painter, g, params.trail, scheme.orange);

    if (params.sample) {
        const QPointF dot = g.map(params.sample->x, params.sample->y);
        painter.setBrush(scheme.orange);
        painter.setPen(QPen(Color::withOpacity(scheme.white, dotOutlineOpacity), dotOutline));
        painter.drawEllipse(dot, dotDiameter / 2, dotDiameter / 2);
        painter.setBrush(Qt::NoBrush);
    }
    if (params.pressed) {
        painter.setPen(QPen(Color::accentTeal(), pressedWidth));
        painter.drawEllipse(square.adjusted(pressedInset, pressedInset, -pressedInset, -pressedInset));
    }
    painter.restore();
}

} // namespace Tessarine
