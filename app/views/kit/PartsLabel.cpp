#include "app/views/kit/PartsLabel.h"

#include <QPainter>
#include <QStyle>

#include <cmath>

#include "app/views/kit/LineBreaks.h"

namespace Tessarine {

namespace {
// Enough for the widths one layout pass asks about (its own, the row's and the stack's).
constexpr std::size_t keptWidths = 4;
} // namespace

PartsLabel::PartsLabel(QString separator, QWidget* parent) : QLabel(parent), separator_(std::move(separator)) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QStringList PartsLabel::linesFor(int width) const {
    const QMargins m = contentsMargins();
    const int inner = width - m.left() - m.right();
    if (text() != linesText_ || font() != linesFont_) {
        lines_.clear();
        linesText_ = text();
        linesFont_ = font();
    }
    for (const auto& [keptWidth, lines] : lines_)
        if (keptWidth == inner) return lines;
    QStringList lines = LineBreaks::fill(text().split(separator_), separator_, QFontMetricsF(font()), inner);
    if (lines_.size() == keptWidths) lines_.erase(lines_.begin());
    lines_.emplace_back(inner, lines);
    return lines;
}

QSize PartsLabel::sizeHint() const {
    const QMargins m = contentsMargins();
    const int width = int(std::ceil(QFontMetricsF(font()).horizontalAdvance(text()))) + m.left() + m.right();
    return {width, heightForWidth(width)};
}

QSize PartsLabel::minimumSizeHint() const {
    // Room for one character a line: every part can still be shown whole, over more lines.
    const QMargins m = contentsMargins();
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("W")) + m.left() + m.right();
    return {width, fontMetrics().height() + m.top() + m.bottom()};
}

int PartsLabel::heightForWidth(int width) const {
    const QMargins m = contentsMargins();
    return int(linesFor(width).size()) * fontMetrics().lineSpacing() + m.top() + m.bottom();
}

void PartsLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    const int line = fontMetrics().lineSpacing();
    int y = area.top();
    for (const QString& text : linesFor(width())) {
        style()->drawItemText(&painter, QRect(area.left(), y, area.width(), line),
                              int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine), palette(), isEnabled(), text,
                              foregroundRole());
        y += line;
    }
}

} // namespace Tessarine
