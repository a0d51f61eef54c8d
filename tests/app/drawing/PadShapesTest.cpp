#include "app/drawing/PadShapes.h"

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

// The end points of the outline's segments, in order.
std::vector<QPointF> ends(const QPainterPath& path) {
    std::vector<QPointF> points;
    for (int i = 0; i < path.elementCount(); ++i)
        if (path.elementAt(i).type != QPainterPath::CurveToElement &&
            (i + 1 == path.elementCount() || path.elementAt(i + 1).type != QPainterPath::CurveToDataElement))
            points.push_back(path.elementAt(i));
    return points;
}

} // namespace

TEST(PadShapes, OutlineRunsThroughItsPointsAndIsSymmetric) {
    const QPainterPath& outline = ShellShape::outline();
    const std::vector<QPointF> expected{{280, 68},  {148, 55},  {66, 112},  {34, 232},  {98, 318},
                                        {178, 274}, {280, 258}, {382, 274}, {462, 318}, {526, 232},
                                        {494, 112}, {412, 55},  {280, 68}};
    EXPECT_EQ(ends(outline), expected);

    const QRectF box = outline.boundingRect();
    EXPECT_NEAR(box.left(), 33.0, 0.2);
    EXPECT_NEAR(box.right(), 527.0, 0.2);
    EXPECT_NEAR(box.top(), 54.8, 0.2);
    EXPECT_NEAR(box.bottom(), 318.1, 0.2);

    // Mirrored, it covers the same ground: probe points on either side of the edge.
    const QPainterPath mirror = PadCanvas::mirrored(outline);
    for (QPointF p : {QPointF(40, 232), QPointF(140, 60), QPointF(280, 70), QPointF(100, 314), QPointF(280, 66),
                      QPointF(30, 232), QPointF(100, 320)})
        EXPECT_EQ(outline.contains(p), mirror.contains(p)) << p.x() << "," << p.y();

    // The shoulder follows the outline's first two segments exactly.
    const QPainterPath& shoulder = shoulderPath();
    ASSERT_EQ(shoulder.elementCount(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(QPointF(shoulder.elementAt(i)), QPointF(outline.elementAt(i)));
}

TEST(PadShapes, ShapesMoveWithoutScaling) {
    const QPainterPath shell = ShellShape::path(QRectF(10, 20, 560, 330));
    EXPECT_EQ(shell.boundingRect(), ShellShape::outline().boundingRect().translated(10, 20));

    const QPainterPath shoulder = PathShape::path(shoulderPath(), QRectF(0, 0, 50, 50));
    EXPECT_NEAR(shoulder.boundingRect().left(), 0, 1e-9);
    EXPECT_NEAR(shoulder.boundingRect().top(), 0, 1e-9);
    EXPECT_NEAR(shoulder.boundingRect().width(), shoulderPath().boundingRect().width(), 1e-9);
}

TEST(PadShapes, CrossIsAPlusWithRoundedBarEnds) {
    EXPECT_DOUBLE_EQ(CrossShape::cornerRadius(25), 4);
    EXPECT_DOUBLE_EQ(CrossShape::cornerRadius(8), 2);
    EXPECT_DOUBLE_EQ(CrossShape::cornerRadius(22), 4);

    const QRectF frame(10, 10, 66, 66);
    const QPainterPath cross = CrossShape::path(25, frame);
    EXPECT_EQ(cross.boundingRect(), frame);
    EXPECT_TRUE(cross.contains(QPointF(43, 43)));   // centre
    EXPECT_TRUE(cross.contains(QPointF(43, 11)));   // middle of the top bar's end
    EXPECT_TRUE(cross.contains(QPointF(75, 43)));   // middle of the right bar's end
    EXPECT_FALSE(cross.contains(QPointF(15, 15)));  // between the bars
    EXPECT_FALSE(cross.contains(QPointF(31, 10.5))); // cut off by the top bar's rounded corner
    EXPECT_TRUE(cross.contains(QPointF(31, 14.5)));  // below that corner
    // One outline: strokes of its edge never run through the middle.
    EXPECT_EQ(cross.toSubpathPolygons().size(), 1);

    // Bars too short for their corners fall back to the union of two rounded rectangles.
    const QPainterPath stubby = CrossShape::path(60, QRectF(0, 0, 62, 62));
    EXPECT_TRUE(stubby.contains(QPointF(31, 31)));
    EXPECT_FALSE(stubby.contains(QPointF(0.2, 0.2)));
}

TEST(PadShapes, CapColoursAreMadeOnce) {
    EXPECT_NEAR(Color::capTop().redF(), 0.34, 0.003);
    EXPECT_NEAR(Color::capTop().blueF(), 0.37, 0.003);
    EXPECT_NEAR(Color::capBottom().greenF(), 0.115, 0.003);
    EXPECT_EQ(&Color::capTop(), &Color::capTop());
}

TEST(PadShapes, OwnCopyIsThePathAndGoesOnAsItWould) {
    // Subpaths open and closed, curves, either fill rule; and the copy goes on as its source does,
    // from an open last subpath as from a closed one (a closed one starts the next anew).
    for (const bool closedLast : {false, true}) {
        for (const Qt::FillRule rule : {Qt::OddEvenFill, Qt::WindingFill}) {
            QPainterPath source;
            source.setFillRule(rule);
            source.addEllipse(QRectF(0, 0, 20, 10));
            source.moveTo(30, 30);
            source.cubicTo(40, 20, 50, 40, 60, 30);
            source.lineTo(45, 50);
            if (closedLast) source.closeSubpath();
            const QPainterPath copy = PathShape::ownCopy(source);
            EXPECT_EQ(copy, source);
            EXPECT_EQ(copy.fillRule(), rule);
            QPainterPath sourceOn = source, copyOn = copy;
            for (QPainterPath* path : {&sourceOn, &copyOn}) {
                path->lineTo(70, 70);
                path->closeSubpath();
            }
            EXPECT_EQ(copyOn, sourceOn) << "closed last " << closedLast;
            EXPECT_EQ(copyOn.elementCount(), sourceOn.elementCount());
        }
    }
    EXPECT_TRUE(PathShape::ownCopy(QPainterPath()).isEmpty());
}

