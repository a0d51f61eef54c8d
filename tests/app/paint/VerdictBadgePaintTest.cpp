#include "app/paint/Theme.h"
#include "app/paint/VerdictBadgePaint.h"

#include <gtest/gtest.h>

#include "PaintProbes.h"

using namespace Tessarine;
using RorozErurEvo::Verdict;

TEST(VerdictBadgePaint, ACapsuleOfTheVerdictColourSizedByItsWordAndPadding) {
    const QFont regular = verdictBadgeFont(false), compact = verdictBadgeFont(true);
    const QSizeF big = verdictBadgeSize(Verdict::warn, false, regular);
    const QSizeF small = verdictBadgeSize(Verdict::warn, true, compact);
    EXPECT_LT(small.width(), big.width());
    EXPECT_LT(small.height(), big.height());
    EXPECT_DOUBLE_EQ(big.height(), 6 + QFontMetricsF(regular).height());

    QImage image = canvas(120, 30);
    QPainter painter(&image);
    paintVerdictBadge(painter, QPointF(10, 5), Verdict::fail, false, regular);
    painter.end();
    const QSizeF fail = verdictBadgeSize(Verdict::fail, false, regular);
    const QPointF middle(10 + fail.width() - 4, 5 + fail.height() / 2); // inside the capsule, after the word
    EXPECT_TRUE(near(image.pixelColor(middle.toPoint()), over(Qt::white, Color::failRed(), 0.12), 6));
    EXPECT_EQ(image.pixelColor(5, 15), QColor(Qt::white)); // nothing left of it
    EXPECT_GT(centroid(image, Color::failRed(), 40).x(), 10);
}
