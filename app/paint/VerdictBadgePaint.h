#pragma once
// The pass/warn/fail badge: the verdict's symbol and word in its colour on a pale capsule of the
// same colour. The verdict label, the batch cards and the PDF report draw it with these.
#include <QFont>
#include <QMargins>
#include <QPainter>
#include <QPointF>
#include <QSizeF>

#include "testkit/Measure.h"

namespace Tessarine {

// Padding inside the capsule: 6 × 2 pixels when compact, 8 × 3 otherwise.
QMargins verdictBadgePadding(bool compact);
// The badge's font: caption when compact, callout otherwise, semibold.
QFont verdictBadgeFont(bool compact);
// The badge's size with `font`.
QSizeF verdictBadgeSize(RorozErurEvo::Verdict verdict, bool compact, const QFont& font);
// Paints the badge with its top-left corner at `topLeft`.
void paintVerdictBadge(QPainter& painter, const QPointF& topLeft, RorozErurEvo::Verdict verdict, bool compact,
                       const QFont& font);

} // namespace Tessarine
