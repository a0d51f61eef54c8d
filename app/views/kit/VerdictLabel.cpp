#include "app/views/kit/VerdictLabel.h"

#include <QPainter>

#include <cmath>

#include "app/paint/Theme.h"
#include "app/paint/VerdictBadgePaint.h"

namespace Tessarine {

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
    setFont(verdictBadgeFont(compact_));
    // The text is the word alone: assistive technology reads it once, the symbol is decoration.
    setText(VerdictStyle::word(verdict_));
    setAccessibleName(VerdictStyle::word(verdict_));
    updateGeometry();
    update();
}

QMargins VerdictLabel::padding() const { return verdictBadgePadding(compact_); }

QSize VerdictLabel::sizeHint() const {
    const QSizeF size = verdictBadgeSize(verdict_, compact_, font());
    return {int(std::ceil(size.width())), int(std::ceil(size.height()))};
}

void VerdictLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Drawn at its natural size, left-aligned and centred vertically in whatever it is given.
    const double height = verdictBadgeSize(verdict_, compact_, font()).height();
    paintVerdictBadge(painter, QPointF(0, (this->height() - height) / 2.0), verdict_, compact_, font());
}

} // namespace Tessarine
