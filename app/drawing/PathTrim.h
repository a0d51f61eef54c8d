#pragma once
// Measuring a path along its curve and cutting out a stretch of it by length, for strokes that
// cover only part of a longer curve (the bumpers and triggers are stretches of the shoulder).
#include <QPainterPath>
#include <QPolygonF>

#include <vector>

namespace Tessarine::PathTrim {

// Straight pieces each cubic curve is cut into. At 64 the length of the shoulder curve is
// exact to well under a thousandth of a point.
inline constexpr int segmentsPerCurve = 64;

// The path's subpaths as polylines, each cubic cut into `segments` pieces of equal parameter step.
std::vector<QPolygonF> flatten(const QPainterPath& path, int segments = segmentsPerCurve);

// Length along the curves, summed over every subpath.
double length(const QPainterPath& path);

// The stretch from fraction `from` to fraction `to` of the path's length, as an open polyline
// (several subpaths when the stretch crosses from one subpath into the next). The fractions are
// limited to 0…1; the result is empty when `to` is not above `from` or either is not a number.
QPainterPath trimmed(const QPainterPath& path, double from, double to);

} // namespace Tessarine::PathTrim
