#pragma once
// The one place that turns a symbol name ("checkmark.circle.fill", "gamecontroller", …) into a
// picture. Every symbol is drawn with QPainter in one colour, so it tints like text and stays
// sharp at any size and scale; a name without a drawing draws nothing.
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

class QPainter;

namespace Tessarine::Symbols {

// Whether `name` has a drawing.
bool known(const QString& name);
QStringList names();

// Draws the symbol in `color`, fitted to the square in the middle of `rect`.
void paint(QPainter& painter, const QRectF& rect, const QString& name, const QColor& color);
// The symbol at `size` device-independent pixels, for a screen of `devicePixelRatio`.
QImage image(const QString& name, QSize size, const QColor& color, qreal devicePixelRatio = 1.0);
// An icon that draws the symbol at whatever size it is asked for; the disabled mode is faded.
QIcon icon(const QString& name, const QColor& color);

} // namespace Tessarine::Symbols
