#pragma once
// Helpers for probing painted pictures: a cleared image, colour closeness, and the centre of the
// pixels of one colour.
#include <QColor>
#include <QImage>
#include <QPointF>

#include <cmath>
#include <cstdlib>

inline QImage canvas(int width, int height, QColor fill = Qt::white) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

// Within `tolerance` on each of red, green and blue.
inline bool near(const QColor& a, const QColor& b, int tolerance = 20) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// `color` at `opacity` over `background`.
inline QColor over(const QColor& background, const QColor& color, double opacity) {
    auto mix = [&](int b, int c) { return int(std::lround(b * (1 - opacity) + c * opacity)); };
    return {mix(background.red(), color.red()), mix(background.green(), color.green()),
            mix(background.blue(), color.blue())};
}

// Centre of the pixels near `color`; (-1, -1) when there are none.
inline QPointF centroid(const QImage& image, const QColor& color, int tolerance = 20) {
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (near(image.pixelColor(x, y), color, tolerance)) {
                sx += x + 0.5;
                sy += y + 0.5;
                ++n;
            }
    return n ? QPointF(sx / n, sy / n) : QPointF(-1, -1);
}
