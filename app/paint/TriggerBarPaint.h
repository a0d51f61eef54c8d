#pragma once
// One trigger's or axis's travel: a header row with the name and the value text, and under it a
// bar filled with the accent from the leading edge as far as the value (clamped to 0…1). The
// live panel, the axis check and the report paint it with these.
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>

#include "app/paint/Scheme.h"

namespace Tessarine {

// Height of the bar alone, pixels.
inline constexpr double triggerTrackHeight = 10;

// The bar alone in `rect`: the track over the whole width, the fill over value × width.
void paintTriggerTrack(QPainter& painter, const QRectF& rect, double value, const Scheme& scheme);

// Height of header and bar for the header's `font`.
double triggerBarHeight(const QFont& font);
// Header (name left, value text right, both in `font`) and bar under it, in `rect`.
void paintTriggerBar(QPainter& painter, const QRectF& rect, const QString& name, const QString& valueText,
                     double value, const QFont& font, const Scheme& scheme);

} // namespace Tessarine
