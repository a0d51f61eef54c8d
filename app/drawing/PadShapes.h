#pragma once
// The fixed geometry of the drawn controller and its two cap colours. Everything lies on a
// design canvas of 560 × 330 points, origin top-left, y downward; the drawing scales that canvas
// to the space it gets, so every part below is built in canvas points.
#include <QColor>
#include <QPainterPath>
#include <QRectF>

namespace Tessarine {

namespace PadCanvas {
inline constexpr double width = 560;  // points
inline constexpr double height = 330; // points
// Mirror image across the canvas's vertical centre line (x → 560 − x).
QPainterPath mirrored(const QPainterPath& path);
} // namespace PadCanvas

namespace Color {
// The upper and lower colours of the dark gradient of stick caps, d-pad and buttons.
const QColor& capTop();
const QColor& capBottom();
} // namespace Color

namespace ShellShape {
// The closed outline of the pad, symmetric about x = 280; built once on each thread.
const QPainterPath& outline();
// The outline moved to `rect`'s top-left corner, not scaled.
QPainterPath path(const QRectF& rect);
} // namespace ShellShape

// The curve along the left half of the shell's upper edge, from the middle (280, 68) out to
// (66, 112); it follows the outline's first two segments. Built once.
const QPainterPath& shoulderPath();

namespace PathShape {
// `source` moved so that the bounding box of its curves (control points left out) starts at
// `rect`'s top-left corner; not scaled.
QPainterPath path(const QPainterPath& source, const QRectF& rect);
// A copy of `shared` that shares nothing with it, made from its elements alone. A path works out
// its bounds and its drawing form the first time they are asked for, unguarded, so a path worked
// out once for every thread is handed to each as a copy of this kind, and never drawn or
// measured itself.
QPainterPath ownCopy(const QPainterPath& shared);
} // namespace PathShape

namespace CrossShape {
// Corner radius of a plus sign whose bars are `arm` thick: a quarter of the arm, at most 4.
double cornerRadius(double arm);
// A plus sign of two bars `arm` thick spanning `rect`, crossing at its centre; the ends of the
// bars have rounded corners. One closed outline, so it can be stroked as well as filled.
QPainterPath path(double arm, const QRectF& rect);
} // namespace CrossShape

} // namespace Tessarine
