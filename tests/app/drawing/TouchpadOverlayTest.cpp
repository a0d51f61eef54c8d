#include "app/drawing/TouchpadOverlay.h"
#include "app/paint/Scheme.h"
#include "app/paint/Theme.h"

#include "DrawingProbe.h"

#include <gtest/gtest.h>

using namespace Tessarine;

TEST(TouchpadOverlay, FingerPlacesAndWords) {
    const QSizeF pad(100, 54);
    EXPECT_EQ(fingerDotCentre({1, 1}, pad), QPointF(94, 5));
    EXPECT_EQ(fingerDotCentre({-1, -1}, pad), QPointF(6, 49));
    EXPECT_EQ(fingerDotCentre({0, 0}, pad), QPointF(50, 27));

    EXPECT_EQ(touchpadValue(0), "not touched");
    EXPECT_EQ(touchpadValue(1), "1 finger");
    EXPECT_EQ(touchpadValue(2), "2 fingers");
    EXPECT_EQ(accessibility(TouchpadOverlay{true, {}}), (PartAccessibility{"Touchpad", "not touched"}));
}

TEST(TouchpadOverlay, TintWhileClickedAndAnOrangeDotUnderEachFinger) {
    const QRectF rect(10, 10, 100, 54);
    const Scheme scheme = Scheme::light();
    auto draw = [&](const TouchpadOverlay& overlay) {
        return DrawingProbe::render([&](QPainter& p) { paintTouchpadOverlay(p, overlay, rect, scheme); }, 120, 74, 2,
                                    Qt::white);
    };
    const QImage idle = draw({});
    EXPECT_EQ(DrawingProbe::at(idle, {60, 37}, 2), QColor(Qt::white)); // nothing drawn at rest

    const QImage clicked = draw({true, {}});
    const QColor tint = DrawingProbe::at(clicked, {60, 37}, 2);
    EXPECT_LT(tint.red(), 200); // teal over white
    EXPECT_GT(tint.green(), tint.red());

    // A finger at the upper-right corner: solid orange on its centre (94, 5) within the pad.
    const QImage touched = draw({false, {{1, 1}, {std::nan(""), 0}}});
    EXPECT_TRUE(DrawingProbe::near(DrawingProbe::at(touched, rect.topLeft() + QPointF(94, 5), 2), scheme.orange));
    EXPECT_EQ(DrawingProbe::at(touched, {60, 37}, 2), QColor(Qt::white)); // the contact that is not a number is skipped
}
