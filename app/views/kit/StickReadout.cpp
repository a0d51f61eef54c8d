#include "app/views/kit/StickReadout.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

#include "app/paint/ComponentText.h"
#include "app/paint/Scheme.h"
#include "app/paint/Theme.h"
#include "app/views/kit/AccessibleValue.h"

namespace Tessarine {

namespace {
constexpr double itemSpacing = 10; // pixels
} // namespace

StickReadout::StickReadout(QWidget* parent) : QWidget(parent) {
    setFont(Fonts::caption());
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    AccessibleValue::hide(this);
    refresh();
}

void StickReadout::setSample(const std::optional<RorozErurEvo::StickSample>& sample) {
    if (sample == sample_) return;
    sample_ = sample;
    refresh();
}

void StickReadout::setShowRaw(bool showRaw) {
    if (showRaw == showRaw_) return;
    showRaw_ = showRaw;
    refresh();
}

void StickReadout::refresh() {
    QStringList texts = ComponentText::stickReadout(sample_, showRaw_);
    if (texts == texts_) return;
    texts_ = std::move(texts);
    update();
}

double StickReadout::slotWidth() const {
    const QFontMetricsF metrics(font());
    // Percentages up to "-100.0%" and raw counts of 16 bits.
    return std::max(metrics.horizontalAdvance(QStringLiteral("x -100.0%")),
                    metrics.horizontalAdvance(QStringLiteral("x -32768")));
}

QSize StickReadout::sizeHint() const {
    const double width = 3 * slotWidth() + 2 * itemSpacing;
    return {int(std::ceil(width)), int(std::ceil(QFontMetricsF(font()).height()))};
}

void StickReadout::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(Scheme::fromPalette(palette()).secondary);
    const double slot = slotWidth();
    const double total = texts_.size() * slot + (texts_.size() - 1) * itemSpacing;
    double x = (width() - total) / 2;
    for (const QString& text : texts_) {
        painter.drawText(QRectF(x, 0, slot, height()), Qt::AlignCenter, text);
        x += slot + itemSpacing;
    }
}

} // namespace Tessarine
