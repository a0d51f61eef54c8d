#include "app/drawing/PaintLayers.h"

#include "DrawingProbe.h"

#include <gtest/gtest.h>

using namespace Tessarine;
using DrawingProbe::at;
using DrawingProbe::render;

namespace {

QPainterPath square(double x, double y, double side) {
    QPainterPath path;
    path.addRect(x, y, side, side);
    return path;
}

long long alphaSum(const QImage& image) {
    long long sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) sum += qAlpha(image.pixel(x, y));
    return sum;
}

} // namespace

TEST(PaintLayers, BlurSpreadsEvenlyAndKeepsTheAmount) {
    QImage image(41, 41, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 18; y <= 22; ++y)
        for (int x = 18; x <= 22; ++x) image.setPixel(x, y, qRgba(255, 255, 255, 255));
    const long long before = alphaSum(image);

    QImage same = image;
    PaintLayers::blur(same, 0);
    PaintLayers::blur(same, std::nan(""));
    EXPECT_EQ(same, image);

    PaintLayers::blur(image, 3);
    EXPECT_LT(qAlpha(image.pixel(20, 20)), 255);
    EXPECT_GT(qAlpha(image.pixel(26, 20)), 0); // spread past the square's edge
    EXPECT_EQ(qAlpha(image.pixel(26, 20)), qAlpha(image.pixel(14, 20))); // evenly both ways
    EXPECT_EQ(qAlpha(image.pixel(20, 26)), qAlpha(image.pixel(26, 20))); // and both axes
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);                            // but not far
    EXPECT_NEAR(double(alphaSum(image)), double(before), before * 0.03); // rounding only
    // Premultiplied pixels stay valid: no channel above its alpha.
    const QRgb p = image.pixel(24, 20);
    EXPECT_LE(qRed(p), qAlpha(p));
}

TEST(PaintLayers, LayersRenderAtTheDeviceResolution) {
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    QPainter painter(&image);
    painter.scale(1.5, 1.5);
    EXPECT_NEAR(PaintLayers::deviceScale(painter).width(), 3, 1e-9);
    PaintLayers::Layer layer(painter, QRectF(0.25, 0, 2, 2));
    EXPECT_EQ(layer.image().width(), 7); // 0.75 … 6.75 device pixels, rounded out to 0 … 7
}

TEST(PaintLayers, MaskAndInnerStrokeStayInsideTheShape) {
    const QPainterPath shape = square(10, 10, 20);
    const QImage masked = render([&](QPainter& p) {
        PaintLayers::paintMasked(p, shape, [](QPainter& q) { q.fillRect(QRectF(0, 0, 40, 40), Qt::red); });
    }, 40, 40, 2);
    EXPECT_EQ(at(masked, {20, 20}, 2), QColor(Qt::red));
    EXPECT_EQ(at(masked, {9, 20}, 2).alpha(), 0);

    for (double scale : {1.0, 2.0}) {
        const QImage stroked = render([&](QPainter& p) { PaintLayers::strokeInside(p, shape, Qt::blue, 2); }, 40, 40,
                                      scale);
        EXPECT_EQ(at(stroked, {10.5, 20}, scale), QColor(Qt::blue)) << scale;
        EXPECT_EQ(at(stroked, {11.5, 20}, scale), QColor(Qt::blue)) << scale;
        EXPECT_EQ(at(stroked, {12.5, 20}, scale).alpha(), 0) << scale;
        EXPECT_EQ(at(stroked, {9.5, 20}, scale).alpha(), 0) << scale;
    }
    // The rounded-rectangle form: a circle's ring lies within the circle.
    const QImage ring = render([](QPainter& p) { PaintLayers::strokeInside(p, QRectF(0, 0, 40, 40), 20, Qt::blue, 4); },
                               40, 40);
    EXPECT_EQ(at(ring, {1.5, 20}).alpha(), 255);
    EXPECT_EQ(at(ring, {20, 38.5}).alpha(), 255);
    EXPECT_EQ(at(ring, {5.5, 20}).alpha(), 0);
}

TEST(PaintLayers, InnerShadowFallsInsideAlongTheEdgeItIsCastFrom) {
    // A shadow moved 4 down darkens the inside along the top edge, not the bottom, and never
    // spills outside.
    const QPainterPath shape = square(10, 10, 40);
    const QImage image = render([&](QPainter& p) {
        PaintLayers::paintInnerShadow(p, shape, Qt::black, 2, {0, 4});
    }, 60, 60, 2);
    EXPECT_GT(at(image, {30, 11}, 2).alpha(), 200);
    EXPECT_LT(at(image, {30, 48}, 2).alpha(), 10);
    EXPECT_LT(at(image, {30, 30}, 2).alpha(), 10);
    EXPECT_EQ(at(image, {30, 8}, 2).alpha(), 0);
    EXPECT_GT(at(image, {11, 30}, 2).alpha(), 60); // the side edges shade too, more softly
}

TEST(PaintLayers, BlurredFillGlowsPastTheShape) {
    const QImage image = render([](QPainter& p) {
        PaintLayers::paintBlurred(p, square(20, 20, 20), QColor(Qt::red), 3, {0, 5});
    }, 60, 70);
    EXPECT_GT(at(image, {30, 35}).alpha(), 200);
    EXPECT_GT(at(image, {30, 47}).alpha(), 0);   // below the moved square's edge at 45
    EXPECT_LT(at(image, {30, 22}).alpha(), 100); // the top edge moved down to 25
    EXPECT_GT(at(image, {30, 35}).red(), 200);
}

TEST(PaintLayers, KeptEffectsFollowThePainterAndTheirColour) {
    // The second and third paints reuse the first one's image; moved, it lands moved, and a new
    // colour is not taken for the kept one.
    const QPainterPath shape = square(10, 10, 10);
    auto paint = [&](QPointF shift, QColor color) {
        return render([&](QPainter& p) {
            p.translate(shift);
            PaintLayers::paintBlurred(p, shape, color, 2);
            PaintLayers::paintInnerShadow(p, shape, Qt::black, 1, {0, 2});
        }, 50, 40, 2);
    };
    const QImage first = paint({0, 0}, Qt::red);
    const QImage moved = paint({20, 0}, Qt::red);
    for (QPointF p : {QPointF(15, 11), QPointF(15, 15), QPointF(9, 15), QPointF(15, 21)})
        EXPECT_EQ(at(moved, p + QPointF(20, 0), 2), at(first, p, 2)) << p.x() << "," << p.y();
    const QImage blue = paint({0, 0}, Qt::blue);
    EXPECT_GT(at(blue, {9, 15}, 2).blue(), 0);
    EXPECT_EQ(at(blue, {9, 15}, 2).red(), 0);
}
