// Coverage worked out from a path's edges against the raster painter's own antialiased fill: a
// level or two apart at most, on the shapes the drawing fills and at the scales it is shown at,
// for both fill rules; and nothing but empty coverage for paths that reach no pixel.
#include "app/drawing/PathRaster.h"
#include "app/drawing/PadShapes.h"
#include "app/drawing/PadShoulders.h"
#include "app/drawing/ShapeMath.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Tessarine;

namespace {

std::vector<std::uint8_t> painted(const QPainterPath& path, const QTransform& toPixels, int width, int height) {
    QImage image(width, height, QImage::Format_Alpha8);
    image.fill(0);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(toPixels);
        painter.fillPath(path, Qt::black);
    }
    std::vector<std::uint8_t> plane(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y)
        std::copy_n(image.constScanLine(y), width, plane.begin() + std::ptrdiff_t(y) * width);
    return plane;
}

struct Shape {
    const char* name;
    QPainterPath path;
};

std::vector<Shape> shapes() {
    QPainterPath rounded, ring, windingRing, triangle;
    rounded.addRoundedRect(QRectF(200.2, 100.4, 160, 90), 9, 9);
    ring.addEllipse(QPointF(100, 100), 40, 40);
    ring.addEllipse(QPointF(100, 100), 20, 20);
    windingRing = ring;
    windingRing.setFillRule(Qt::WindingFill);
    // Steep and shallow edges crossing many pixels, and a point on a pixel corner.
    triangle.moveTo(10, 10);
    triangle.lineTo(90.3, 17.9);
    triangle.lineTo(31.7, 60);
    triangle.closeSubpath();
    return {{"outline", ShellShape::outline()},
            {"cross", CrossShape::path(25, ShapeMath::centred({210, 206}, 66, 66))},
            {"disc", ShapeMath::capsule(ShapeMath::centred({140.3, 136.7}, 83, 83))},
            {"slot", ShapeMath::capsule(ShapeMath::centred({280, 75}, 84, 8))},
            {"rounded", rounded},
            {"trigger", triggerBand(true)},
            {"bumper", bumperBand(false)},
            {"odd-even ring", ring},
            {"winding ring", windingRing},
            {"triangle", triangle}};
}

} // namespace

TEST(PathRaster, MatchesThePaintersFillWithinTwoLevels) {
    for (const Shape& shape : shapes()) {
        for (double scale : {0.37, 1.0, 1.5, 2.0, 3.0}) {
            // The plane reaches a little past the shape on two sides and cuts into it on the others.
            const QRectF bounds = shape.path.boundingRect().adjusted(-3.3, -2.7, -6.1, -4.2);
            QTransform toPixels;
            toPixels.scale(scale, scale);
            toPixels.translate(-bounds.left(), -bounds.top());
            const int width = int(std::ceil(bounds.width() * scale)), height = int(std::ceil(bounds.height() * scale));
            const std::vector<std::uint8_t> expected = painted(shape.path, toPixels, width, height);
            const std::vector<std::uint8_t> got = PathRaster::coverage(shape.path, toPixels, width, height);
            ASSERT_EQ(got.size(), expected.size());
            int largest = 0, covered = 0;
            for (std::size_t i = 0; i < got.size(); ++i) {
                largest = std::max(largest, std::abs(int(got[i]) - int(expected[i])));
                covered += got[i] == 255;
            }
            EXPECT_LE(largest, 2) << shape.name << " at " << scale;
            EXPECT_GT(covered, 0) << shape.name << " at " << scale;
        }
    }
}

TEST(PathRaster, PathsThatReachNoPixelLeaveItClear) {
    auto clear = [](const std::vector<std::uint8_t>& plane) {
        return std::all_of(plane.begin(), plane.end(), [](std::uint8_t v) { return v == 0; });
    };
    QPainterPath beside, line, broken, huge;
    beside.addEllipse(QPointF(-50, 10), 20, 20); // wholly left of the plane
    beside.addEllipse(QPointF(80, 10), 20, 20);  // and right of it
    line.moveTo(1, 1);
    line.lineTo(30, 18);
    broken.moveTo(2, 2);
    broken.lineTo(std::numeric_limits<double>::quiet_NaN(), 5);
    broken.lineTo(std::numeric_limits<double>::infinity(), 9);
    EXPECT_TRUE(clear(PathRaster::coverage(QPainterPath(), QTransform(), 40, 20)));
    EXPECT_TRUE(clear(PathRaster::coverage(beside, QTransform(), 40, 20)));
    EXPECT_TRUE(clear(PathRaster::coverage(line, QTransform(), 40, 20)));
    EXPECT_EQ(PathRaster::coverage(broken, QTransform(), 40, 20).size(), 800u);
    // A shape far larger than the plane covers all of it.
    huge.addRect(-1e7, -1e7, 2e7, 2e7);
    const std::vector<std::uint8_t> full = PathRaster::coverage(huge, QTransform(), 40, 20);
    EXPECT_TRUE(std::all_of(full.begin(), full.end(), [](std::uint8_t v) { return v == 255; }));
}
