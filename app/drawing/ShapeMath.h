#pragma once
// Small shape helpers the drawing's parts share.
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <algorithm>

namespace Tessarine::ShapeMath {

// The rectangle of `width` × `height` centred on `centre`.
inline QRectF centred(QPointF centre, double width, double height) {
    return {centre.x() - width / 2, centre.y() - height / 2, width, height};
}

// The square a circle of `diameter` round `centre` fills.
inline QRectF circle(QPointF centre, double diameter) { return centred(centre, diameter, diameter); }

// The ellipse that fills `rect`, as the painter draws it.
inline QPainterPath ellipse(const QRectF& rect) {
    QPainterPath path;
    path.addEllipse(rect);
    return path;
}

// `rect` with fully rounded ends: a pill, or a disc when `rect` is square.
inline QPainterPath capsule(const QRectF& rect) {
    QPainterPath path;
    const double radius = std::min(rect.width(), rect.height()) / 2;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace Tessarine::ShapeMath
