#include "app/views/kit/TriggerBar.h"

#include <QPainter>

#include <cmath>

#include "app/paint/ComponentText.h"
#include "app/paint/Theme.h"
#include "app/paint/TriggerBarPaint.h"

namespace Tessarine {

TriggerBar::TriggerBar(const QString& name, QWidget* parent) : QWidget(parent) {
    setFont(Fonts::caption());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(name);
}

void TriggerBar::setName(const QString& name) {
    if (name == accessibleName()) return;
    setAccessibleName(name);
    update();
}

void TriggerBar::setValue(double value, std::optional<long long> raw) {
    if (value == value_ && raw == raw_) return;
    value_ = value;
    raw_ = raw;
    update();
    valueMayHaveChanged(this);
}

void TriggerBar::setShowRaw(bool showRaw) {
    if (showRaw == showRaw_) return;
    showRaw_ = showRaw;
    update();
    valueMayHaveChanged(this);
}

QString TriggerBar::valueText() const { return ComponentText::triggerValue(value_, raw_, showRaw_); }

QString TriggerBar::accessibleValue() const { return ComponentText::triggerAccessibleValue(value_, raw_, showRaw_); }

QSize TriggerBar::sizeHint() const { return {160, int(std::ceil(triggerBarHeight(font())))}; }

QSize TriggerBar::minimumSizeHint() const { return {60, sizeHint().height()}; }

void TriggerBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintTriggerBar(painter, QRectF(rect()), accessibleName(), valueText(), value_, font(),
                    Scheme::fromPalette(palette()));
}

} // namespace Tessarine
