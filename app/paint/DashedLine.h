#pragma once
// A dashed line as the plain pieces of line it is made of.
//
// A vector device strokes a dashed pen by tracing the outline of every dash and filling it (the
// PDF writer does), which makes a dashed curve several times the size of the same curve drawn as
// its dashes, each an open piece of line stroked with a plain pen.
#include <QPainterPath>
#include <QPolygonF>

namespace Tessarine {

// The dashes of `line` with `on` units drawn and `off` units left out, the pattern starting with
// a dash at the first point and running on through the corners: one subpath a dash, each
// following the line through the corners it spans. Stroked with a solid pen of flat caps, it is
// the picture of `line` stroked with that dash pattern. Empty when `on` is not positive; the
// whole line as one subpath when `off` is not.
QPainterPath dashedLine(const QPolygonF& line, double on, double off);

} // namespace Tessarine
