#pragma once
// Text inside the controller drawing: fonts sized in canvas points (the canvas is scaled as a
// whole, so the desktop's font size must not scale them a second time) and text centred on a
// point at its natural size.
#include <QFont>
#include <QPointF>
#include <QString>

class QPainter;

namespace Tessarine::DrawingText {

// The application's font family at `points` canvas points.
QFont font(double points, QFont::Weight weight);
// Draws `text` on one line, centred on `centre`, in the painter's font and pen.
void drawCentred(QPainter& painter, QPointF centre, const QString& text);

} // namespace Tessarine::DrawingText
