#pragma once
// Gradient and colour shorthands of the controller drawing: colours spread evenly along a line
// or between two radii, and the plain greys, whites and blacks at an opacity it is made of.
#include <QColor>
#include <QLinearGradient>
#include <QRadialGradient>
#include <QRectF>

#include <initializer_list>

namespace Tessarine::Gradients {

// Colours spread evenly from `from` to `to`; beyond either end the end colour continues.
QLinearGradient linear(QPointF from, QPointF to, std::initializer_list<QColor> colors);
// Colours spread evenly from the top edge of `rect` to its bottom edge.
QLinearGradient vertical(const QRectF& rect, std::initializer_list<QColor> colors);
// Colours spread evenly from radius `r0` to radius `r1` about `centre`; the first colour fills
// the disc inside r0 and the last continues beyond r1.
QRadialGradient radial(QPointF centre, double r0, double r1, std::initializer_list<QColor> colors);

// `color` at opacity 0: a fade to it keeps the hue instead of darkening through black.
QColor clear(const QColor& color);
QColor white(double opacity);
QColor black(double opacity);
// An opaque grey of the given white level (0…1).
QColor grey(double level);

} // namespace Tessarine::Gradients
