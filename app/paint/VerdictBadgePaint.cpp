#include "app/paint/VerdictBadgePaint.h"

#include <QFontMetricsF>
#include <QPainterPath>

#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"

namespace Tessarine {

namespace {
constexpr double iconSpacing = 4;       // pixels between the symbol and the word
constexpr double capsuleOpacity = 0.12;
} // namespace

QMargins verdictBadgePadding(bool compact) { return compact ? QMargins(6, 2, 6, 2) : QMargins(8, 3, 8, 3); }

QFont verdictBadgeFont(bool compact) {
    QFont font = compact ? Fonts::caption() : Fonts::callout();
    font.setWeight(QFont::DemiBold);
    return font;
}

QSizeF verdictBadgeSize(RorozErurEvo::Verdict verdict, bool compact, const QFont& font) {
    const QMargins pad = verdictBadgePadding(compact);
    const QFontMetricsF metrics(font);
    return {pad.left() + metrics.ascent() + iconSpacing + metrics.horizontalAdvance(VerdictStyle::word(verdict)) +
                pad.right(),
            pad.top() + metrics.height() + pad.bottom()};
}

void paintVerdictBadge(QPainter& painter, const QPointF& topLeft, RorozErurEvo::Verdict verdict, bool compact,
                       const QFont& font) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor& color = VerdictStyle::color(verdict);
    const QRectF capsule(topLeft, verdictBadgeSize(verdict, compact, font));
    QPainterPath path;
    path.addRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
    painter.fillPath(path, Color::withOpacity(color, capsuleOpacity));

    const QMargins pad = verdictBadgePadding(compact);
    const QFontMetricsF metrics(font);
    const double side = metrics.ascent();
    const double baseline = capsule.top() + pad.top() + metrics.ascent();
    const QRectF icon(capsule.left() + pad.left(), baseline - side, side, side);
    Symbols::paint(painter, icon, VerdictStyle::symbol(verdict), color);
    painter.setPen(color);
    painter.setFont(font);
    painter.drawText(QPointF(icon.right() + iconSpacing, baseline), VerdictStyle::word(verdict));
    painter.restore();
}

} // namespace Tessarine
