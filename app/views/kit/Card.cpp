#include "app/views/kit/Card.h"

#include <QPainter>
#include <QPainterPath>

#include "app/paint/Theme.h"

namespace Tessarine {

namespace {
constexpr int childSpacing = 8;          // pixels between children
constexpr int inset = 12;           // pixels from the edge to the content
constexpr double cornerRadius = 10; // pixels
constexpr double borderOpacity = 0.08;
} // namespace

Card::Card(QWidget* parent) : QWidget(parent), content_(new QVBoxLayout(this)) {
    content_->setSpacing(childSpacing);
    content_->setContentsMargins(inset, inset, inset, inset);
    // A card stretched to the height of its row in a grid keeps its content at the top: the
    // spare height goes to a stretch after the content. (Aligning the layout to the top instead
    // would hold it to its size hint and cut wrapped text to the lines of its widest form.)
    content_->addStretch(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void Card::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath panel;
    panel.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    // The control background: the colour of lists and fields, a step off the window's colour.
    painter.fillPath(panel, palette().color(QPalette::Base));
    QPainterPath border;
    border.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5, cornerRadius - 0.5);
    painter.strokePath(border, QPen(Color::withOpacity(palette().color(QPalette::WindowText), borderOpacity), 1));
}

} // namespace Tessarine
