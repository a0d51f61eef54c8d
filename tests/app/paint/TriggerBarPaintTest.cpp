#include "app/paint/Theme.h"
#include "app/paint/TriggerBarPaint.h"

#include <gtest/gtest.h>

#include "PaintProbes.h"

using namespace Tessarine;

namespace {
// Columns of the middle row that show the accent.
int filledColumns(double value) {
    QImage image = canvas(200, 10);
    QPainter painter(&image);
    paintTriggerTrack(painter, QRectF(0, 0, 200, 10), value, Scheme::light());
    painter.end();
    int filled = 0;
    for (int x = 0; x < 200; ++x)
        if (near(image.pixelColor(x, 5), Color::accentTeal(), 40)) ++filled;
    return filled;
}
} // namespace

TEST(TriggerBarPaint, TheFillFollowsTheValueClampedToTheTrack) {
    EXPECT_NEAR(filledColumns(0.25), 50, 2);
    EXPECT_NEAR(filledColumns(0.5), 100, 2);
    EXPECT_NEAR(filledColumns(1.3), 200, 2);
    EXPECT_EQ(filledColumns(-0.1), 0);
    EXPECT_EQ(filledColumns(std::nan("")), 0);
}
