#include "app/drawing/PathTrim.h"

#include <algorithm>
#include <cmath>

namespace Tessarine::PathTrim {

namespace {

QPointF cubicPoint(QPointF p0, QPointF c1, QPointF c2, QPointF p1, double t) {
    const double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * c1 + 3 * u * t * t * c2 + t * t * t * p1;
}

double distance(QPointF a, QPointF b) { return std::hypot(b.x() - a.x(), b.y() - a.y()); }

double polylineLength(const QPolygonF& line) {
    double total = 0;
    for (qsizetype i = 1; i < line.size(); ++i) total += distance(line[i - 1], line[i]);
    return total;
}

} // namespace

std::vector<QPolygonF> flatten(const QPainterPath& path, int segments) {
    segments = std::max(1, segments);
    std::vector<QPolygonF> lines;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement: lines.emplace_back(QPolygonF{QPointF(e)}); break;
        case QPainterPath::LineToElement:
            if (lines.empty()) lines.emplace_back();
            lines.back().append(QPointF(e));
            break;
        case QPainterPath::CurveToElement: {
            if (lines.empty() || i + 2 >= path.elementCount()) break;
            const QPointF start = lines.back().isEmpty() ? QPointF(e) : lines.back().last();
            const QPointF c1(e), c2(path.elementAt(i + 1)), end(path.elementAt(i + 2));
            for (int s = 1; s <= segments; ++s) lines.back().append(cubicPoint(start, c1, c2, end, double(s) / segments));
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement: break; // consumed with its curve
        }
    }
    return lines;
}

double length(const QPainterPath& path) {
    double total = 0;
    for (const QPolygonF& line : flatten(path)) total += polylineLength(line);
    return total;
}

QPainterPath trimmed(const QPainterPath& path, double from, double to) {
    QPainterPath out;
    if (!(to > from)) return out; // also rejects NaN
    from = std::clamp(from, 0.0, 1.0);
    to = std::clamp(to, 0.0, 1.0);
    const std::vector<QPolygonF> lines = flatten(path);
    double total = 0;
    for (const QPolygonF& line : lines) total += polylineLength(line);
    if (total <= 0 || to <= from) return out;

    const double start = from * total, end = to * total;
    double walked = 0; // length before the current piece
    for (const QPolygonF& line : lines) {
        bool open = false; // a subpath of the result is being drawn along this polyline
        for (qsizetype i = 1; i < line.size(); ++i) {
            const QPointF a = line[i - 1], b = line[i];
            const double piece = distance(a, b);
            const double pieceEnd = walked + piece;
            if (pieceEnd >= start && walked <= end && piece > 0) {
                const double t0 = std::clamp((start - walked) / piece, 0.0, 1.0);
                const double t1 = std::clamp((end - walked) / piece, 0.0, 1.0);
                if (!open) {
                    out.moveTo(a + (b - a) * t0);
                    open = true;
                }
                out.lineTo(a + (b - a) * t1);
            }
            walked = pieceEnd;
            if (walked > end) return out;
        }
    }
    return out;
}

} // namespace Tessarine::PathTrim
