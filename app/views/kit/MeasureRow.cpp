#include "app/views/kit/MeasureRow.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "app/paint/Scheme.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/kit/LineBreaks.h"

namespace Tessarine {

namespace {
constexpr double measureSpacing = 8;          // pixels between items
constexpr double minimumFlexible = 8;  // pixels at least between the label and the value
constexpr double limitColumn = 120;    // pixels at least for the limit text

QString text(const std::string& s) { return QString::fromStdString(s); }

} // namespace

MeasureRow::MeasureRow(RorozErurEvo::Measure measure, QWidget* parent) : QWidget(parent) {
    setFont(Fonts::callout());
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
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

double MeasureRow::oneLineWidth() const {
    const QFontMetricsF body(font()), value(valueFont()), caption(Fonts::caption());
    double width = caption.ascent() + measureSpacing + body.horizontalAdvance(text(measure_.label)) + minimumFlexible +
                   value.horizontalAdvance(text(measure_.display()));
    if (const auto limit = measure_.limitText())
        width += measureSpacing + std::max(limitColumn, caption.horizontalAdvance(text(*limit)));
    return width;
}

MeasureRow::Layout MeasureRow::layoutFor(double width) const {
    const QFontMetricsF body(font()), value(valueFont()), caption(Fonts::caption());
    const double lineHeight = std::max(body.height(), caption.height());
    const double iconSide = caption.ascent();
    Layout l;
    l.icon = QRectF(0, body.ascent() - iconSide, iconSide, iconSide);
    const double labelLeft = l.icon.right() + measureSpacing;
    const auto limit = measure_.limitText();
    const double valueWidth = value.horizontalAdvance(text(measure_.display()));
    const double limitText = limit ? caption.horizontalAdvance(text(*limit)) : 0;

    if (width >= oneLineWidth()) {
        double right = width;
        if (limit) {
            const double limitWidth = std::max(limitColumn, limitText);
            l.limit = QRectF(right - limitWidth, 0, limitWidth, lineHeight);
            right = l.limit.left() - measureSpacing;
        }
        l.value = QRectF(right - valueWidth, 0, valueWidth, lineHeight);
        l.label = QRectF(labelLeft, 0, std::max(0.0, l.value.left() - minimumFlexible - labelLeft), lineHeight);
        l.labelLines = QStringList{text(measure_.label)};
        l.height = lineHeight;
        return l;
    }

    // Too narrow for one line: the label first, whole, then the value and the limit under it.
    const double column = std::max(0.0, width - labelLeft);
    l.labelLines = LineBreaks::fill(text(measure_.label).split(QLatin1Char(' '), Qt::SkipEmptyParts), QStringLiteral(" "),
                                    body, column);
    l.label = QRectF(labelLeft, 0, column, lineHeight * double(l.labelLines.size()));
    double y = l.label.bottom();
    l.value = QRectF(labelLeft, y, valueWidth, lineHeight);
    if (limit) {
        if (l.value.right() + measureSpacing + limitText <= width) {
            l.limit = QRectF(width - limitText, y, limitText, lineHeight);
        } else {
            y += lineHeight;
            l.limit = QRectF(labelLeft, y, limitText, lineHeight);
        }
    }
    l.height = y + lineHeight;
    return l;
}

QSize MeasureRow::sizeHint() const {
    return {int(std::ceil(oneLineWidth())), int(std::ceil(layoutFor(oneLineWidth()).height))};
}

QSize MeasureRow::minimumSizeHint() const {
    // Under the label's widest word, the value and the limit each on a line of their own.
    const QFontMetricsF body(font()), value(valueFont()), caption(Fonts::caption());
    double widest = value.horizontalAdvance(text(measure_.display()));
    if (const auto limit = measure_.limitText()) widest = std::max(widest, caption.horizontalAdvance(text(*limit)));
    for (const QString& word : text(measure_.label).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, body.horizontalAdvance(word));
    const double width = caption.ascent() + measureSpacing + widest;
    return {int(std::ceil(width)), int(std::ceil(layoutFor(std::ceil(width)).height))};
}

int MeasureRow::heightForWidth(int width) const { return int(std::ceil(layoutFor(width).height)); }

void MeasureRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Scheme scheme = Scheme::fromPalette(palette());
    const Layout l = layoutFor(width());
    const auto verdict = measure_.verdict();
    Symbols::paint(painter, l.icon, symbol(), verdict ? VerdictStyle::color(*verdict) : scheme.secondary);

    // Each line's texts share its first baseline; the smaller limit text sits on it too.
    const QFontMetricsF body(font());
    const double ascent = body.ascent();
    const double lineHeight = l.labelLines.isEmpty() ? 0 : l.label.height() / double(l.labelLines.size());
    painter.setFont(font());
    painter.setPen(scheme.primary);
    for (qsizetype i = 0; i < l.labelLines.size(); ++i)
        painter.drawText(QPointF(l.label.left(), l.label.top() + double(i) * lineHeight + ascent), l.labelLines[i]);
    painter.setFont(valueFont());
    painter.drawText(QPointF(l.value.left(), l.value.top() + ascent), text(measure_.display()));
    if (const auto limit = measure_.limitText()) {
        const QFont caption = Fonts::caption();
        painter.setFont(caption);
        painter.setPen(scheme.secondary);
        const double limitWidth = QFontMetricsF(caption).horizontalAdvance(text(*limit));
        painter.drawText(QPointF(l.limit.right() - limitWidth, l.limit.top() + ascent), text(*limit));
    }
}

} // namespace Tessarine
