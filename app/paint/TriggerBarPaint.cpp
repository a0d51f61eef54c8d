#include "app/paint/TriggerBarPaint.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "app/paint/Theme.h"

namespace Tessarine {

namespace {
constexpr double barCornerRadius = 4;    // pixels
constexpr double trackOpacity = 0.08;
constexpr double rowGap = 3;          // pixels between the header and the bar
constexpr double nameToValue = 8;     // pixels at least between name and value text
} // namespace

void paintTriggerTrack(QPainter& painter, const QRectF& rect, double value, const Scheme& scheme) {
    if (rect.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath track;
    track.addRoundedRect(rect, barCornerRadius, barCornerRadius);
    painter.fillPath(track, Color::withOpacity(scheme.primary, trackOpacity));
    const double share = std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0;
    const double width = rect.width() * share;
    if (width > 0) {
        const QRectF fill(rect.left(), rect.top(), width, rect.height());
        QPainterPath path;
        const double radius = std::min(barCornerRadius, width / 2);
        path.addRoundedRect(fill, radius, radius);
        // The accent as a gentle top-to-bottom gradient, lighter above.
        QLinearGradient gradient(fill.topLeft(), fill.bottomLeft());
        gradient.setColorAt(0, Color::accentTeal().lighter(118));
        gradient.setColorAt(1, Color::accentTeal());
        painter.fillPath(path, gradient);
    }
    painter.restore();
}

double triggerBarHeight(const QFont& font) { return QFontMetricsF(font).height() + rowGap + triggerTrackHeight; }

void paintTriggerBar(QPainter& painter, const QRectF& rect, const QString& name, const QString& valueText,
                     double value, const QFont& font, const Scheme& scheme) {
    painter.save();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    const double valueWidth = metrics.horizontalAdvance(valueText);
    const QRectF header(rect.left(), rect.top(), rect.width(), metrics.height());
    painter.setPen(scheme.secondary);
    painter.drawText(header, Qt::AlignRight | Qt::AlignVCenter, valueText);
    painter.setPen(scheme.primary);
    const double nameWidth = std::max(0.0, rect.width() - valueWidth - nameToValue);
    painter.drawText(QRectF(header.left(), header.top(), nameWidth, header.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(name, Qt::ElideRight, nameWidth));
    paintTriggerTrack(painter, QRectF(rect.left(), header.bottom() + rowGap, rect.width(), triggerTrackHeight), value,
                      scheme);
    painter.restore();
}

} // namespace Tessarine
