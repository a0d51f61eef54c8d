#include "app/drawing/DrawingText.h"

#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Tessarine::DrawingText {

QFont font(double points, QFont::Weight weight) {
    QFont f = QGuiApplication::font();
    f.setPixelSize(std::max(1, int(std::lround(points))));
    f.setWeight(weight);
    return f;
}

void drawCentred(QPainter& painter, QPointF centre, const QString& text) {
    // A box far wider than any caption; the text is centred in it and never wrapped or clipped.
    constexpr double half = 400;
    painter.drawText(QRectF(centre.x() - half, centre.y() - half, 2 * half, 2 * half),
                     Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, text);
}

} // namespace Tessarine::DrawingText
