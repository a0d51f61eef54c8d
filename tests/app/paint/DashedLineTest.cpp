// A dashed line drawn as its own dashes: where the dashes fall, and the same picture as the
// painter's own dashed pen.
#include "app/paint/DashedLine.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "PaintProbes.h"

using namespace Tessarine;

namespace {

using Dash = std::vector<QPointF>;

std::vector<Dash> dashesOf(const QPainterPath& path) {
    std::vector<Dash> dashes;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) dashes.emplace_back();
        dashes.back().push_back(QPointF(e.x, e.y));
    }
    return dashes;
}

QPolygonF arc(QPointF centre, double radius, int points) {
    QPolygonF line;
    for (int i = 0; i <= points; ++i) {
        const double a = 2 * std::numbers::pi * i / points;
        line << centre + QPointF(radius * std::cos(a), radius * std::sin(a));
    }
    return line;
}

} // namespace

TEST(DashedLine, DashesRunOnThroughCornersAndBrokenPoints) {
    // 10 along, then 10 down: dashes of 4 with gaps of 3 start at 0, 7, 14 (over the corner).
    const QPolygonF corner{{0, 0}, {10, 0}, {10, 10}};
    const std::vector<Dash> dashes = dashesOf(dashedLine(corner, 4, 3));
    const std::vector<Dash> expected{{{0, 0}, {4, 0}}, {{7, 0}, {10, 0}, {10, 1}}, {{10, 4}, {10, 8}}};
    ASSERT_EQ(dashes.size(), expected.size());
    for (std::size_t i = 0; i < dashes.size(); ++i) {
        ASSERT_EQ(dashes[i].size(), expected[i].size()) << "dash " << i;
        for (std::size_t k = 0; k < dashes[i].size(); ++k) {
            EXPECT_NEAR(dashes[i][k].x(), expected[i][k].x(), 1e-9) << "dash " << i;
            EXPECT_NEAR(dashes[i][k].y(), expected[i][k].y(), 1e-9) << "dash " << i;
        }
    }
    // A point that is not a number ends the open dash, and nothing is drawn to or from it; the
    // pattern picks up where it was at the next good point.
    const QPolygonF broken{{0, 0}, {2, 0}, {std::nan(""), 0}, {5, 0}, {10, 0}};
    const std::vector<Dash> around = dashesOf(dashedLine(broken, 4, 3));
    ASSERT_EQ(around.size(), 2u);
    EXPECT_EQ(around[0], (Dash{{0, 0}, {2, 0}}));
    EXPECT_EQ(around[1], (Dash{{5, 0}, {7, 0}}));
    // No dash, no gap, too few points.
    EXPECT_TRUE(dashedLine(corner, 0, 3).isEmpty());
    EXPECT_EQ(dashesOf(dashedLine(corner, 4, 0)).size(), 1u);
    EXPECT_TRUE(dashedLine(QPolygonF{{1, 1}}, 4, 3).isEmpty());
}

TEST(DashedLine, StrokedPlainlyItIsThePictureOfTheDashedPen) {
    // The painter's own dashed stroke of a circle and a zigzag against the dashes stroked with a
    // plain pen, at a width where Qt counts the pattern in pen widths.
    const double width = 1.2;
    const std::vector<QPolygonF> lines{arc({110, 110}, 80, 144), QPolygonF{{10, 200}, {60, 150}, {110, 200}, {160, 150}}};
    for (const QPolygonF& line : lines) {
        QImage dashedPen = canvas(220, 220), plainPen = canvas(220, 220);
        {
            QPainter p(&dashedPen);
            p.setRenderHint(QPainter::Antialiasing);
            QPen pen(Qt::black, width, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
            pen.setMiterLimit(10);
            pen.setDashPattern({4 / width, 3 / width});
            p.setPen(pen);
            p.drawPolyline(line);
        }
        {
            QPainter p(&plainPen);
            p.setRenderHint(QPainter::Antialiasing);
            QPen pen(Qt::black, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
            pen.setMiterLimit(10);
            p.setPen(pen);
            p.drawPath(dashedLine(line, 4, 3));
        }
        int inked = 0, differing = 0;
        for (int y = 0; y < 220; ++y)
            for (int x = 0; x < 220; ++x) {
                if (dashedPen.pixelColor(x, y) != QColor(Qt::white)) ++inked;
                if (!near(dashedPen.pixelColor(x, y), plainPen.pixelColor(x, y), 24)) ++differing;
            }
        EXPECT_GT(inked, 200);
        EXPECT_LT(differing, inked / 100 + 2);
    }
}
