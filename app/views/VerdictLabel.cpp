#include "app/views/VerdictLabel.h"

#include <QPainter>
#include <QPainterPath>

#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"

namespace Tessarine {

namespace {
// Space between the symbol and the word, in pixels.
constexpr int iconSpacing = 4;
// Opacity of the capsule's fill, 0…1.
constexpr double capsuleOpacity = 0.12;
} // namespace

VerdictLabel::VerdictLabel(RorozErurEvo::Verdict verdict, bool compact, QWidget* parent)
    : QLabel(parent), verdict_(verdict), compact_(compact) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    restyle();
}

void VerdictLabel::setVerdict(RorozErurEvo::Verdict verdict) {
    if (verdict == verdict_) return;
    verdict_ = verdict;
    restyle();
}

void VerdictLabel::setCompact(bool compact) {
    if (compact == compact_) return;
    compact_ = compact;
    restyle();
}

void VerdictLabel::restyle() {
    QFont font = compact_ ? Fonts::caption() : Fonts::callout();
    font.setWeight(QFont::DemiBold);
    setFont(font);
    // The text is the word alone: assistive technology reads it once, the symbol is decoration.
    setText(VerdictStyle::word(verdict_));
    setAccessibleName(VerdictStyle::word(verdict_));
    updateGeometry();
    update();
}

QMargins VerdictLabel::padding() const { return compact_ ? QMargins(6, 2, 6, 2) : QMargins(8, 3, 8, 3); }

int VerdictLabel::iconSide() const { return fontMetrics().ascent(); }

QSize VerdictLabel::sizeHint() const {
    const QMargins pad = padding();
    const QFontMetrics metrics = fontMetrics();
    return {pad.left() + iconSide() + iconSpacing + metrics.horizontalAdvance(text()) + pad.right(),
            pad.top() + metrics.height() + pad.bottom()};
}

void VerdictLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor& color = VerdictStyle::color(verdict_);
    const QSize hint = sizeHint();
    // Drawn at its natural size, left-aligned and centred vertically in whatever it is given.
    const QRectF capsule(0, (height() - hint.height()) / 2.0, hint.width(), hint.height());
    QPainterPath path;
    path.addRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
    painter.fillPath(path, Color::withOpacity(color, capsuleOpacity));

    const QMargins pad = padding();
    const QFontMetrics metrics = fontMetrics();
    const double baseline = capsule.top() + pad.top() + metrics.ascent();
    const QRectF icon(capsule.left() + pad.left(), baseline - iconSide(), iconSide(), iconSide());
    Symbols::paint(painter, icon, VerdictStyle::symbol(verdict_), color);
    painter.setPen(color);
    painter.setFont(font());
    painter.drawText(QPointF(icon.right() + iconSpacing, baseline), text());
}

} // namespace Tessarine
