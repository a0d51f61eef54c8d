// The matte dots blended straight into an image look like the ellipses a painter fills.
#include "app/drawing/MatteDots.h"

#include "DrawingProbe.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Tessarine;

TEST(MatteDots, DotsBlendedStraightMatchThePaintersEllipses) {
    std::vector<MatteDots::Dot> dots;
    for (int i = 0; i < 40; ++i)
        dots.push_back({QRectF(3 + i * 1.37, 4 + (i % 7) * 2.29, 0.9 + (i % 3) * 0.6, 0.9 + (i % 3) * 0.6), i % 2 == 0});
    const QColor light(255, 255, 255, 90), shade(0, 0, 0, 46);
    // At 6 the largest dots span more pixels than are blended; the painter fills those.
    for (double scale : {1.0, 2.0, 2.5, 6.0}) {
        const QImage straight = DrawingProbe::render([&](QPainter& p) { MatteDots::paint(p, dots, light, shade); },
                                                     64, 24, scale, QColor(200, 200, 205));
        // A clip keeps the painter from being written past: it fills the ellipses itself.
        const QImage painted = DrawingProbe::render([&](QPainter& p) {
            p.setClipRect(QRectF(0, 0, 64, 24));
            MatteDots::paint(p, dots, light, shade);
        }, 64, 24, scale, QColor(200, 200, 205));
        int largest = 0;
        for (int y = 0; y < straight.height(); ++y)
            for (int x = 0; x < straight.width(); ++x) {
                const QRgb a = straight.pixel(x, y), b = painted.pixel(x, y);
                const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                        std::abs(qBlue(a) - qBlue(b))});
                largest = std::max(largest, d);
            }
        EXPECT_LE(largest, 6) << scale;
        EXPECT_NE(straight, DrawingProbe::render([](QPainter&) {}, 64, 24, scale, QColor(200, 200, 205))) << scale;
    }
}
