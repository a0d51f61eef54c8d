#include "app/views/kit/MeasureRow.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "app/paint/Scheme.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"

namespace Tessarine {

namespace {
constexpr double measureSpacing = 8;          // pixels between items
constexpr double minimumFlexible = 8;  // pixels at least between the label and the value
constexpr double limitColumn = 120;    // pixels at least for the limit text

QString text(const std::string& s) { return QString::fromStdString(s); }
} // namespace

MeasureRow::MeasureRow(RorozErurEvo::Measure measure, QWidget* parent) : QWidget(parent) {
    setFont(Fonts::callout());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMeasure(std::move(measure));
}

void MeasureRow::setMeasure(RorozErurEvo::Measure measure) {
    measure_ = std::move(measure);
    setAccessibleName(text(measure_.spoken()));
    updateGeometry();
    update();
}

QString MeasureRow::symbol() const {
    const auto verdict = measure_.verdict();
    return verdict ? VerdictStyle::symbol(*verdict) : QStringLiteral("info.circle");
}

QFont MeasureRow::valueFont() const {
    QFont f = font();
    f.setWeight(QFont::Medium);
    return f;
}

MeasureRow::Layout MeasureRow::layoutFor(double width) const {
    const QFontMetricsF body(font()), value(valueFont()), caption(Fonts::caption());
    const double height = std::max(body.height(), caption.height());
    const double iconSide = caption.ascent();
    const double baseline = body.ascent();
    Layout l;
    l.icon = QRectF(0, baseline - iconSide, iconSide, iconSide);
    const auto limit = measure_.limitText();
    double right = width;
    if (limit) {
        const double limitWidth = std::max(limitColumn, caption.horizontalAdvance(text(*limit)));
        l.limit = QRectF(right - limitWidth, 0, limitWidth, height);
        right = l.limit.left() - measureSpacing;
    }
    const double valueWidth = value.horizontalAdvance(text(measure_.display()));
    l.value = QRectF(right - valueWidth, 0, valueWidth, height);
    const double labelLeft = l.icon.right() + measureSpacing;
    l.label = QRectF(labelLeft, 0, std::max(0.0, l.value.left() - minimumFlexible - labelLeft), height);
    return l;
}

QSize MeasureRow::sizeHint() const {
    const QFontMetricsF body(font()), value(valueFont()), caption(Fonts::caption());
    double width = caption.ascent() + measureSpacing + body.horizontalAdvance(text(measure_.label)) + minimumFlexible +
                   value.horizontalAdvance(text(measure_.display()));
    if (const auto limit = measure_.limitText())
        width += measureSpacing + std::max(limitColumn, caption.horizontalAdvance(text(*limit)));
    return {int(std::ceil(width)), int(std::ceil(std::max(body.height(), caption.height())))};
}

QSize MeasureRow::minimumSizeHint() const {
    // The label gives way first (it is elided); the value and the limit keep their room.
    const Layout l = layoutFor(sizeHint().width());
    return {int(std::ceil(sizeHint().width() - l.label.width())), sizeHint().height()};
}

void MeasureRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Scheme scheme = Scheme::fromPalette(palette());
    const Layout l = layoutFor(width());
    const auto verdict = measure_.verdict();
    Symbols::paint(painter, l.icon, symbol(), verdict ? VerdictStyle::color(*verdict) : scheme.secondary);

    // Label and value share the first baseline; the smaller limit text sits on it too.
    const double baseline = QFontMetricsF(font()).ascent();
    const QFontMetricsF body(font());
    painter.setFont(font());
    painter.setPen(scheme.primary);
    painter.drawText(QPointF(l.label.left(), baseline), body.elidedText(text(measure_.label), Qt::ElideRight, l.label.width()));
    painter.setFont(valueFont());
    painter.drawText(QPointF(l.value.left(), baseline), text(measure_.display()));
    if (const auto limit = measure_.limitText()) {
        const QFont caption = Fonts::caption();
        painter.setFont(caption);
        painter.setPen(scheme.secondary);
        const double limitWidth = QFontMetricsF(caption).horizontalAdvance(text(*limit));
        painter.drawText(QPointF(l.limit.right() - limitWidth, baseline), text(*limit));
    }
}

} // namespace Tessarine
