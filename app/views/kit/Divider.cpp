#include "app/views/kit/Divider.h"

#include <QPainter>

namespace Tessarine {

Divider::Divider(Qt::Orientation orientation, QWidget* parent) : QWidget(parent), orientation_(orientation) {
    if (orientation_ == Qt::Horizontal) {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    } else {
        setFixedWidth(1);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }
    setFocusPolicy(Qt::NoFocus);
}

QSize Divider::sizeHint() const {
    return {1, 1};
}

void Divider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Mid));
}

} // namespace Tessarine
