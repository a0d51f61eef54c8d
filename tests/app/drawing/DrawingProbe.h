#pragma once
// Painting a part onto a small image and reading its pixels back, for the drawing's tests.
#include <QColor>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <functional>

namespace DrawingProbe {

// An image of the canvas area `width` × `height` points at `scale` pixels per point, filled with
// `background`, with `paint` run in canvas coordinates.
inline QImage render(const std::function<void(QPainter&)>& paint, int width = 560, int height = 330,
                     double scale = 1, QColor background = Qt::transparent) {
    QImage image(int(width * scale), int(height * scale), QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    paint(painter);
    painter.end();
    return image;
}

// The colour at a canvas point of an image rendered at `scale`.
inline QColor at(const QImage& image, QPointF point, double scale = 1) {
    return image.pixelColor(int(point.x() * scale), int(point.y() * scale));
}

// Every channel within `tolerance` (0…255).
inline bool near(const QColor& a, const QColor& b, int tolerance = 20) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

} // namespace DrawingProbe
