#include "app/drawing/PadShapes.h"
#include "app/drawing/PadShoulders.h"
#include "app/drawing/PathTrim.h"
#include "app/paint/Theme.h"

#include "DrawingProbe.h"

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

// The middle of the bumper's stretch of the shoulder curve (34 % … 82 % of its length).
QPointF bumperMiddle() {
    const QPainterPath line = PathTrim::trimmed(shoulderPath(), 0, 0.58);
    return line.elementAt(line.elementCount() - 1);
}

Scheme scheme(bool dark) { return dark ? Scheme::darkScheme() : Scheme::light(); }

bool opaqueTeal(const QColor& c) {
    const QColor accent = Color::accentTeal();
    return std::abs(c.hsvHue() - accent.hsvHue()) < 10 && c.hsvSaturation() > 120 && c.alpha() == 255;
}

} // namespace

TEST(PadShoulders, BandsAreStretchesOfTheShoulderMirroredForTheRight) {
    // The band is the centre line widened by half its width on either side, round at the ends.
    const QRectF bumper = bumperBand(true).boundingRect();
    EXPECT_NEAR(bumper.left(), 88.7 - 9.5, 1);
    EXPECT_NEAR(bumper.right(), 199.0 + 9.5, 1);
    EXPECT_TRUE(bumperBand(true).contains(bumperMiddle()));
    EXPECT_TRUE(bumperBand(true).contains(QPointF(199.0, 58.7)));
    EXPECT_TRUE(bumperBand(true).contains(QPointF(88.7, 76.0)));

    EXPECT_TRUE(triggerBand(true).contains(QPointF(175.1, 46.7)));
    EXPECT_TRUE(triggerBand(true).contains(QPointF(104.7, 56.5)));
    EXPECT_FALSE(triggerBand(true).contains(QPointF(175.1, 46.7 + 16)));

    for (bool trigger : {false, true}) {
        const QPainterPath& left = trigger ? triggerBand(true) : bumperBand(true);
        const QPainterPath& right = trigger ? triggerBand(false) : bumperBand(false);
        const QRectF l = left.boundingRect(), r = right.boundingRect();
        EXPECT_NEAR(r.left(), 560 - l.right(), 1e-6);
        EXPECT_NEAR(r.top(), l.top(), 1e-6);
        EXPECT_EQ(right.contains(QPointF(560 - 150, 58)), left.contains(QPointF(150, 58)));
    }
}

TEST(PadShoulders, TriggerDrawsTheLimitedPullAndReadsTheWholeValue) {
    PadTrigger trigger{true, "LT", 1.3, std::nullopt, false};
    EXPECT_DOUBLE_EQ(triggerFill(1.3), 1);
    EXPECT_DOUBLE_EQ(triggerFill(-0.02), 0);
    EXPECT_DOUBLE_EQ(triggerFill(std::nan("")), 0);
    EXPECT_EQ(triggerCaption(trigger), "LT  130%");
    EXPECT_EQ(accessibility(trigger), (PartAccessibility{"LT", "130%"}));

    trigger.value = -0.02;
    EXPECT_EQ(triggerReading(trigger), "-2%");
    trigger.value = 0.1234;
    EXPECT_EQ(triggerReading(trigger), "12.3%");

    // Raw only when asked for and known; a count of 0 is a count.
    trigger.showRaw = true;
    EXPECT_EQ(accessibility(trigger).value, "12.3%");
    trigger.raw = 0;
    EXPECT_EQ(triggerCaption(trigger), "LT  0");
    EXPECT_EQ(accessibility(trigger).value, "raw 0");
    trigger.raw = 512;
    EXPECT_EQ(accessibility(trigger).value, "raw 512");

    EXPECT_EQ(triggerCaptionCentre(false), QPointF(432, 10));
}

TEST(PadShoulders, PulledTriggerTiltsAboutItsInnerCornerAndDrops) {
    for (bool left : {true, false}) {
        const QRectF frame = triggerBand(left).boundingRect();
        const QPointF pivot = left ? frame.bottomRight() : frame.bottomLeft();
        const QPointF outer = left ? frame.bottomLeft() : frame.bottomRight();
        EXPECT_EQ(triggerTransform(left, 0).map(outer), outer);
        const QTransform full = triggerTransform(left, 1);
        EXPECT_NEAR(full.map(pivot).x(), pivot.x(), 1e-9);
        EXPECT_NEAR(full.map(pivot).y(), pivot.y() + 8, 1e-9);
        // The outer end dips by sin(6°) of the band's width, plus the drop.
        EXPECT_NEAR(full.map(outer).y(), outer.y() + 8 + frame.width() * std::sin(6 * M_PI / 180), 1e-6) << left;
    }
}

TEST(PadShoulders, PressedBumperIsTealInBothSchemesAndDrops) {
    const QPointF middle = bumperMiddle() + QPointF(0, 1.5);
    for (bool dark : {false, true}) {
        const QImage pressed = DrawingProbe::render([&](QPainter& p) { paintPadBumper(p, {true, "LB", true}, scheme(dark)); },
                                                    560, 330, 2, dark ? Qt::black : Qt::white);
        EXPECT_TRUE(opaqueTeal(DrawingProbe::at(pressed, middle, 2))) << dark;
        const QImage released = DrawingProbe::render(
            [&](QPainter& p) { paintPadBumper(p, {false, "RB", false}, scheme(dark)); }, 560, 330, 2);
        const QPointF mirrored(560 - middle.x(), middle.y() - 1.5);
        EXPECT_EQ(DrawingProbe::at(released, mirrored, 2).alpha(), 255) << dark;
        EXPECT_FALSE(opaqueTeal(DrawingProbe::at(released, mirrored, 2))) << dark;
    }
    EXPECT_EQ(accessibility(PadBumper{true, "LB", true}), (PartAccessibility{"LB", "pressed"}));
    EXPECT_EQ(accessibility(PadBumper{true, "LB", false}).value, "");
}

TEST(PadShoulders, FullyPulledTriggerIsTintedAndCaptioned) {
    const QImage image = DrawingProbe::render([](QPainter& p) {
        paintPadTrigger(p, {true, "LT", 1.3, std::nullopt, false}, Scheme::light());
        paintPadTrigger(p, {false, "RT", 0, std::nullopt, false}, Scheme::light());
    });
    // Middle of each band's centre line, the pulled one moved by its tilt and drop.
    const QPointF left = triggerTransform(true, 1).map(QPointF(140, 48));
    EXPECT_TRUE(opaqueTeal(DrawingProbe::at(image, left)));
    EXPECT_FALSE(opaqueTeal(DrawingProbe::at(image, {560 - 140, 48})));
    EXPECT_GT(DrawingProbe::at(image, {560 - 140, 48}).alpha(), 250);
    // Some caption text near its centre.
    int inked = 0;
    for (int x = 100; x < 156; ++x) inked += DrawingProbe::at(image, {double(x), 10}).alpha() > 0;
    EXPECT_GT(inked, 5);
}
