#include "app/drawing/PadShapes.h"
#include "app/drawing/PathTrim.h"

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

QPointF first(const QPainterPath& path) { return path.elementAt(0); }
QPointF last(const QPainterPath& path) { return path.elementAt(path.elementCount() - 1); }

} // namespace

TEST(PathTrim, CutsAStretchByLengthAcrossSubpaths) {
    QPainterPath path;
    path.moveTo(0, 0);
    path.lineTo(100, 0);
    path.moveTo(0, 50);
    path.lineTo(0, 150); // total length 200
    EXPECT_DOUBLE_EQ(PathTrim::length(path), 200);

    const QPainterPath inFirst = PathTrim::trimmed(path, 0.1, 0.25);
    EXPECT_EQ(first(inFirst), QPointF(20, 0));
    EXPECT_EQ(last(inFirst), QPointF(50, 0));

    // From 40 % (80 along the first line) to 70 % (40 down the second): two pieces.
    const QPainterPath across = PathTrim::trimmed(path, 0.4, 0.7);
    EXPECT_EQ(first(across), QPointF(80, 0));
    EXPECT_EQ(last(across), QPointF(0, 90));
    EXPECT_EQ(PathTrim::flatten(across).size(), 2u);
    EXPECT_NEAR(PathTrim::length(across), 60, 1e-9);

    // Fractions outside 0…1 are limited; an empty or inverted stretch, or a NaN, gives nothing.
    EXPECT_NEAR(PathTrim::length(PathTrim::trimmed(path, -1, 2)), 200, 1e-9);
    EXPECT_TRUE(PathTrim::trimmed(path, 0.5, 0.5).isEmpty());
    EXPECT_TRUE(PathTrim::trimmed(path, 0.6, 0.5).isEmpty());
    EXPECT_TRUE(PathTrim::trimmed(path, std::nan(""), 0.5).isEmpty());
    EXPECT_TRUE(PathTrim::trimmed(QPainterPath(), 0, 1).isEmpty());
}

TEST(PathTrim, MeasuresCurvesAlongTheCurve) {
    // A quarter circle of radius 100 as one cubic is within 0.03 % of 50π long.
    QPainterPath arc;
    arc.moveTo(100, 0);
    const double k = 0.5522847498 * 100;
    arc.cubicTo(100, k, k, 100, 0, 100);
    EXPECT_NEAR(PathTrim::length(arc), 50 * M_PI, 0.05);
    // Half of the length lands on the arc's midpoint, by symmetry.
    const QPointF middle = last(PathTrim::trimmed(arc, 0, 0.5));
    EXPECT_NEAR(middle.x(), middle.y(), 1e-6);

    EXPECT_NEAR(PathTrim::length(shoulderPath()), 240.2, 0.05);
}
