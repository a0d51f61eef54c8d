// The still body of the drawn controller: shell wells by layout, the speckle that never moves,
// the shadow that reaches past the canvas, the kept images repainted only on a new key, and the
// colourless planes and the scheme's shading kept across paintings at a size, from which the very
// same images come.
#include "app/drawing/Gradients.h"
#include "app/drawing/PadImages.h"
#include "app/drawing/PadShapes.h"
#include "app/drawing/PadShell.h"
#include "app/drawing/PaintLayers.h"
#include "app/drawing/PlaneCache.h"

#include "DrawingProbe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

using namespace Tessarine;
using Role = ElementInfo::Role;

namespace {

QImage shell(const PadLayout& layout, bool dark = false) {
    return DrawingProbe::render([&](QPainter& p) { paintPadShell(p, {layout}, dark); });
}

PadLayout full() {
    PadLayout layout;
    layout.wells = {true, false};
    layout.dpad = true;
    layout.face = {Role::south, Role::east, Role::west, Role::north};
    layout.touchpad = true;
    layout.center = CenterSlot::withTouchpad();
    layout.light = true;
    layout.playerLights = true;
    return layout;
}

int lightness(const QColor& c) { return c.lightness(); }

// The shell and shadow painted by a drawing that has no images yet. The images are copied, so
// that they hold still while the next drawing paints.
struct Painted {
    QImage shell, shadow;
};
Painted paint(const PadLayout& layout, bool dark, double scale, double ratio) {
    PadImages images;
    Painted out;
    out.shell = images.shell({layout}, dark, scale, ratio).image.copy();
    out.shadow = images.shadow(dark, scale, ratio).image.copy();
    return out;
}

} // namespace

TEST(PadShell, WellsOnlyWhereTheLayoutHasParts) {
    const QImage bare = shell({});
    const QImage wells = shell(full());
    // A bare layout shows the body everywhere a recess would be; the full one has dark holes.
    const QPointF places[] = {{140, 136}, {350, 206}, {210, 206}, {420, 168}, {452, 136}, {280, 174}, {280, 204},
                              {207, 96},  {353, 96},  {280, 75}};
    for (QPointF at : places) {
        EXPECT_GT(lightness(DrawingProbe::at(bare, at)), 150) << at.x() << "," << at.y();
        EXPECT_LT(lightness(DrawingProbe::at(wells, at)), 110) << at.x() << "," << at.y();
    }
    // The touchpad's surface is light grey, its upper half glossed.
    EXPECT_GT(lightness(DrawingProbe::at(wells, {280, 100})), lightness(DrawingProbe::at(wells, {280, 125})));
    // Outside the outline nothing is painted.
    EXPECT_EQ(DrawingProbe::at(bare, {10, 10}).alpha(), 0);
    EXPECT_EQ(DrawingProbe::at(bare, {280, 300}).alpha(), 0);

    // Two left wells stand on top of each other; the right place stays body.
    PadLayout twoLeft;
    twoLeft.wells = {true, true};
    const QImage left = shell(twoLeft);
    EXPECT_LT(lightness(DrawingProbe::at(left, {140, 136})), 110);
    EXPECT_GT(lightness(DrawingProbe::at(left, {350, 206})), 150);

    // Home's well is round (30 across); the others are capsules 34 × 19.
    PadLayout centre;
    centre.center = CenterSlot::withTouchpad();
    const QImage wellsOnly = shell(centre);
    EXPECT_LT(lightness(DrawingProbe::at(wellsOnly, {280, 174 + 11})), 110); // in home's hole, 11 below its centre
    EXPECT_GT(lightness(DrawingProbe::at(wellsOnly, {280, 204 + 11})), 150); // past share's ring, which is 19 high
    EXPECT_LT(lightness(DrawingProbe::at(wellsOnly, {280 + 14, 204})), 110); // share's hole is 31 wide
}

TEST(PadShell, SchemeChangesColoursNotShape) {
    const QImage light = shell(full(), false);
    const QImage dark = shell(full(), true);
    EXPECT_GT(lightness(DrawingProbe::at(light, {100, 200})), 170);
    EXPECT_LT(lightness(DrawingProbe::at(dark, {100, 200})), 90);
    EXPECT_EQ(DrawingProbe::at(dark, {10, 10}).alpha(), 0);
    // The shells compare equal whatever the scheme: only the layout is their value.
    EXPECT_EQ(PadShell{full()}, PadShell{full()});
    PadLayout changed = full();
    changed.playerLights = false;
    EXPECT_NE(PadShell{full()}, PadShell{changed});
}

TEST(PadShell, SpeckleIsTheSameEveryDrawAndInBothSchemes) {
    auto noise = [](bool dark) {
        return DrawingProbe::render([&](QPainter& p) { paintMatteNoise(p, {dark}); }, 560, 330, 2);
    };
    const QImage light = noise(false);
    EXPECT_EQ(noise(false), light);
    const QImage dark = noise(true);
    EXPECT_NE(light, dark);
    // The same pixels are covered in the dark scheme; only the opacities differ (light dots fade
    // from 0.35 to 0.05, dark dots deepen from 0.05 to 0.18), so a pixel clearly covered in one
    // scheme is never bare in the other.
    int covered = 0;
    for (int y = 0; y < light.height(); ++y)
        for (int x = 0; x < light.width(); ++x) {
            const int l = qAlpha(light.pixel(x, y)), d = qAlpha(dark.pixel(x, y));
            ASSERT_FALSE(l >= 8 && d == 0) << x << "," << y;
            ASSERT_FALSE(d >= 8 && l == 0) << x << "," << y;
            covered += l >= 8;
        }
    EXPECT_GT(covered, 1300);
    // The first dot (light) sits at about (98.26, 219.79), 0.9 across.
    EXPECT_GT(qAlpha(light.pixel(int(98.7 * 2), int(220.2 * 2))), 0);
}

TEST(PadShell, ShadowReachesPastTheCanvas) {
    PadImages images;
    const auto shadow = images.shadow(false, 1, 1);
    EXPECT_EQ(shadow.origin, QPointF(-40, -40));
    EXPECT_EQ(shadow.image.size(), QSize(640, 410));
    // Below the grips, under the canvas's bottom edge, the blur still shows.
    EXPECT_GT(qAlpha(shadow.image.pixel(98 + 40, 335 + 40)), 0);
    EXPECT_EQ(qAlpha(shadow.image.pixel(5, 5)), 0);
    // Darker in the dark scheme.
    const int lightAlpha = qAlpha(shadow.image.pixel(280 + 40, 262 + 40));
    EXPECT_GT(qAlpha(images.shadow(true, 1, 1).image.pixel(280 + 40, 262 + 40)), lightAlpha);
}

namespace {

// The shadow as it was painted before it learnt to leave what the shell hides: both blurs laid
// over the whole image.
QImage wholeShadow(bool dark, double scale, double ratio) {
    const double k = scale * ratio;
    QImage image(int(std::ceil(640 * k)), int(std::ceil(410 * k)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(k, k);
        p.translate(padShadowMargin, padShadowMargin);
        const QPainterPath& outline = ShellShape::outline();
        PaintLayers::paintBlurred(p, outline, Gradients::black(dark ? 0.55 : 0.22), 14, {0, 12},
                                  PaintLayers::Keep::no);
        PaintLayers::paintBlurred(p, outline, Gradients::black(dark ? 0.5 : 0.18), 3, {0, 3},
                                  PaintLayers::Keep::no);
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

// The shadow and the shell over it on a screen of `ratio`, the canvas at `origin` (points).
QImage composited(const QImage& shadow, const QImage& shell, double scale, double ratio, QPointF origin,
                  const QColor& background) {
    QImage frame(int(std::ceil(660 * ratio)), int(std::ceil(420 * ratio)), QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(ratio);
    frame.fill(background);
    QPainter p(&frame);
    p.setRenderHint(QPainter::Antialiasing);
    drawPlaced(p, {shadow, {-padShadowMargin, -padShadowMargin}}, origin, scale);
    drawPlaced(p, {shell, {0, 0}}, origin, scale);
    return frame;
}

} // namespace

// The shadow leaves the pixels the shell hides, and the frame comes out as it did when the shadow
// covered them: pixel for pixel, at whole and fractional scales, pixel ratios and places, in
// either scheme, on an opaque background and on a clear one.
TEST(PadShell, ShadowLeftOutUnderTheShellChangesNoPixelOfTheFrame) {
    struct Case {
        double scale, ratio;
        QPointF origin;
    };
    for (const Case& c : {Case{1, 1, {40, 40}}, Case{559.0 / 560, 2, {40.3, 41.7}}, Case{0.73, 1.5, {52.25, 44.6}},
                          Case{1.37, 1.25, {43.1, 40.9}}}) {
        for (bool dark : {false, true}) {
            PadImages images;
            const QImage shadow = images.shadow(dark, c.scale, c.ratio).image.copy();
            const QImage shell = images.shell({full()}, dark, c.scale, c.ratio).image.copy();
            const QImage before = wholeShadow(dark, c.scale, c.ratio);
            ASSERT_EQ(shadow.size(), before.size());
            // The shadow is left out in the middle of the body ...
            const QPoint middle = (QPointF(280 + padShadowMargin, 150 + padShadowMargin) * c.scale * c.ratio).toPoint();
            EXPECT_GT(qAlpha(before.pixel(middle)), 0);
            EXPECT_EQ(qAlpha(shadow.pixel(middle)), 0);
            // ... and nowhere the frame shows it.
            for (const QColor& background : {QColor(236, 238, 241), QColor(Qt::transparent)}) {
                EXPECT_EQ(composited(shadow, shell, c.scale, c.ratio, c.origin, background),
                          composited(before, shell, c.scale, c.ratio, c.origin, background))
                    << c.scale << " × " << c.ratio << (dark ? " dark" : " light");
            }
        }
    }
}

TEST(PadShell, ImagesArePaintedAgainOnlyForANewKey) {
    PadImages images;
    images.shadow(false, 1, 2);
    images.shell({full()}, false, 1, 2);
    EXPECT_EQ(images.shadowBuilds(), 1);
    EXPECT_EQ(images.shellBuilds(), 1);
    // Pixel size follows scale × pixel ratio; the image carries the ratio.
    EXPECT_EQ(images.shell({full()}, false, 1, 2).image.size(), QSize(1120, 660));
    EXPECT_EQ(images.shell({full()}, false, 1, 2).image.devicePixelRatio(), 2);
    EXPECT_EQ(images.shellBuilds(), 1);

    PadLayout changed = full();
    changed.face.pop_back();
    images.shell({changed}, false, 1, 2);
    EXPECT_EQ(images.shellBuilds(), 2); // layout
    images.shell({changed}, true, 1, 2);
    EXPECT_EQ(images.shellBuilds(), 3); // scheme
    images.shell({changed}, true, 0.5, 2);
    EXPECT_EQ(images.shellBuilds(), 4); // size
    images.shell({changed}, true, 0.5, 1);
    EXPECT_EQ(images.shellBuilds(), 5); // pixel ratio
    EXPECT_EQ(images.shadowBuilds(), 1);
    images.shadow(true, 1, 2);
    EXPECT_EQ(images.shadowBuilds(), 2);
}

TEST(PadShell, PartsAreKeptAsImagesAtTheirPlaceWithinAPixel) {
    PadImages images;
    const QRectF reach(-20, -20, 40, 40);
    int painted = 0;
    auto disc = [&](QPainter& p) {
        ++painted;
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(0, 0), 10, 10);
    };
    auto draw = [&](const std::string& key, QPointF centre, double scale) {
        return DrawingProbe::render([&](QPainter& p) { images.drawPart(p, key, centre, reach, disc); }, 100, 60, scale,
                                    Qt::white);
    };
    const QImage first = draw("disc", {30, 30}, 2);
    const QImage direct = DrawingProbe::render(
        [&](QPainter& p) {
            p.translate(30, 30);
            disc(p);
        },
        100, 60, 2, Qt::white);
    EXPECT_EQ(painted, 2);
    // The kept image lands where the part painted directly does, to the pixel.
    for (QPointF at : {QPointF(30, 30), QPointF(21, 30), QPointF(39.5, 30), QPointF(30, 19), QPointF(41, 30)})
        EXPECT_TRUE(DrawingProbe::near(DrawingProbe::at(first, at, 2), DrawingProbe::at(direct, at, 2), 40))
            << at.x() << "," << at.y();

    // The same key at another whole-pixel place: the same image. A quarter pixel further, a new
    // one; so too a new key and a new scale.
    draw("disc", {60, 30}, 2);
    EXPECT_EQ(images.partBuilds(), 1);
    draw("disc", {60.125, 30}, 2);
    EXPECT_EQ(images.partBuilds(), 2);
    draw("ring", {60, 30}, 2);
    draw("disc", {60, 30}, 1);
    EXPECT_EQ(images.partBuilds(), 4);
    EXPECT_EQ(painted, 5);

    // A turned painter paints the part itself every time.
    DrawingProbe::render(
        [&](QPainter& p) {
            p.rotate(10);
            images.drawPart(p, "disc", {30, 30}, reach, disc);
        },
        100, 60, 2);
    EXPECT_EQ(images.partBuilds(), 4);
    EXPECT_EQ(painted, 6);

    // Only so many are kept.
    for (int i = 0; i < int(PadImages::maxParts) + 10; ++i) draw("disc-" + std::to_string(i), {30, 30}, 1);
    EXPECT_EQ(images.partsKept(), PadImages::maxParts);
}

TEST(PlaneCache, ImagesFromKeptPlanesEqualImagesPaintedAfresh) {
    PadLayout bare;
    PadLayout fewer = full();
    fewer.face.pop_back();
    fewer.touchpad = false;
    fewer.center = CenterSlot::withoutTouchpad();
    // At a fractional scale too, whose grids start between pixels.
    for (auto [scale, ratio] : {std::pair{1.0, 2.0}, {0.87, 1.0}}) {
        // Each painted with nothing kept ...
        std::vector<Painted> fresh;
        for (const auto& [layout, dark] : {std::pair{full(), true}, {fewer, false}, {bare, true}}) {
            PlaneCache::clear();
            fresh.push_back(paint(layout, dark, scale, ratio));
        }
        // ... and after the other scheme and another layout at this size left their planes.
        PlaneCache::clear();
        paint(full(), false, scale, ratio);
        EXPECT_GT(PlaneCache::keptBytes(), 0u);
        std::size_t i = 0;
        for (const auto& [layout, dark] : {std::pair{full(), true}, {fewer, false}, {bare, true}}) {
            const Painted kept = paint(layout, dark, scale, ratio);
            EXPECT_EQ(kept.shell, fresh[i].shell) << "shell " << i << " at " << scale << " × " << ratio;
            EXPECT_EQ(kept.shadow, fresh[i].shadow) << "shadow " << i << " at " << scale << " × " << ratio;
            ++i;
        }
    }
    PlaneCache::clear();
}

// The drawing paints its first images on a thread of its own while the window paints: the
// shapes shared by both, and the planes kept between them, give every thread the images it
// would paint alone.
TEST(PlaneCache, ImagesPaintedOnTwoThreadsAtOnceEqualImagesPaintedAlone) {
    PlaneCache::clear();
    const Painted light = paint(full(), false, 1, 1), dark = paint(full(), true, 1, 1);
    for (int round = 0; round < 3; ++round) {
        // Nothing kept and no shape worked out yet on the new threads: both start cold together.
        PlaneCache::clear();
        Painted onThread[2];
        std::thread a([&] { onThread[0] = paint(full(), false, 1, 1); });
        std::thread b([&] { onThread[1] = paint(full(), true, 1, 1); });
        a.join();
        b.join();
        EXPECT_EQ(onThread[0].shell, light.shell) << "round " << round;
        EXPECT_EQ(onThread[0].shadow, light.shadow) << "round " << round;
        EXPECT_EQ(onThread[1].shell, dark.shell) << "round " << round;
        EXPECT_EQ(onThread[1].shadow, dark.shadow) << "round " << round;
    }
    PlaneCache::clear();
}

TEST(PlaneCache, KeepsOnlyWhileAskedAndStaysBounded) {
    PlaneCache::clear();
    QPainterPath square;
    square.addRect(0, 0, 100, 100);
    int made = 0;
    auto plane = [&](int width, int rows = 1024) {
        return PlaneCache::plane({PlaneCache::Key::Kind::coverage, square, {}, width, rows, 0, {}}, [&] {
            ++made;
            return std::vector<std::uint8_t>(std::size_t(width) * std::size_t(rows), std::uint8_t(width));
        });
    };
    // Live parts paint without keeping: nothing stays.
    plane(64);
    plane(64);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(PlaneCache::keptBytes(), 0u);
    DrawingProbe::render([&](QPainter& p) {
        PaintLayers::paintInnerShadow(p, square, Qt::black, 4, {0, 2}, PaintLayers::Keep::no);
    });
    EXPECT_EQ(PlaneCache::keptBytes(), 0u);

    const PlaneCache::Keeping keeping;
    EXPECT_EQ(plane(64)[0], 64);
    EXPECT_EQ(plane(64)[5], 64);
    EXPECT_EQ(made, 3);
    EXPECT_EQ(plane(4, 4)[0], 4); // too small to keep
    EXPECT_EQ(plane(4, 4)[0], 4);
    EXPECT_EQ(made, 5);
    // Many large planes: the bound holds and the most recent stay.
    for (int width = 1000; width < 1100; ++width) plane(width);
    EXPECT_LE(PlaneCache::keptBytes(), PlaneCache::mostKept);
    const int before = made;
    EXPECT_EQ(plane(1099)[0], std::uint8_t(1099));
    EXPECT_EQ(made, before);
    EXPECT_EQ(plane(64)[0], 64); // pushed out long ago: made again
    EXPECT_EQ(made, before + 1);
    PlaneCache::clear();
    EXPECT_EQ(PlaneCache::keptBytes(), 0u);
}

namespace {

// FNV-1a over an image's pixels, row by row.
std::uint64_t digest(const QImage& image) {
    std::uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (qsizetype i = 0; i < qsizetype(image.width()) * 4; ++i) h = (h ^ line[i]) * 1099511628211ull;
    }
    return h;
}

} // namespace

// The shell and the shadow at sizes nothing was painted at before (whole and fractional scales,
// pixel ratios of 1, 1.25 and 2, both schemes) come out pixel for pixel as they were painted when
// these records were taken, with this platform's painter: the ways their blurs, enlargements
// and coverages are worked out may change only where no pixel does.
TEST(PadShell, ImagesAtANewSizeKeepEveryPixel) {
    struct Case {
        double scale, ratio;
        bool dark;
        std::uint64_t shell, shadow;
    };
    const Case cases[] = {
        {559.0 / 560, 2, false, 15689164754111788392ull, 4382018989592586373ull},
        {1, 2, true, 16416782613044141885ull, 11881526784480003476ull},
        {0.87, 1, true, 8047909967187215595ull, 5042243483814652960ull},
        {1.37, 1.25, false, 4778378318835079344ull, 17424475976562923316ull},
    };
    for (const Case& c : cases) {
        PlaneCache::clear();
        const Painted painted = paint(full(), c.dark, c.scale, c.ratio);
        EXPECT_EQ(digest(painted.shell), c.shell) << "shell at " << c.scale << " × " << c.ratio;
        EXPECT_EQ(digest(painted.shadow), c.shadow) << "shadow at " << c.scale << " × " << c.ratio;
    }
    PlaneCache::clear();
}

TEST(PadShell, DrawingsAtOneSizeShareTheirShadowAndNoOther) {
    // Painted in an order no other test uses, so the shared images are made here.
    PadImages first;
    const QImage light = first.shadow(false, 0.77, 2).image;
    PadImages second;
    EXPECT_EQ(second.shadow(false, 0.77, 2).image.constBits(), light.constBits()) << "the same key takes the same image";
    const QImage dark = second.shadow(true, 0.77, 2).image;
    EXPECT_NE(dark, light);
    EXPECT_EQ(PadImages().shadow(true, 0.77, 2).image.constBits(), dark.constBits());
    EXPECT_EQ(second.shadowBuilds(), 2);
    // Another scale or ratio is painted for itself, and what is shared is what a drawing paints.
    const QImage otherScale = second.shadow(false, 0.78, 2).image;
    const QImage otherRatio = second.shadow(false, 0.77, 1).image;
    EXPECT_NE(otherScale.constBits(), light.constBits());
    EXPECT_NE(otherScale.size(), light.size());
    EXPECT_EQ(otherRatio.devicePixelRatio(), 1);
    QImage painted(light.size(), QImage::Format_ARGB32_Premultiplied);
    painted.fill(Qt::transparent);
    {
        QPainter p(&painted);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(0.77 * 2, 0.77 * 2);
        p.translate(-first.shadow(false, 0.77, 2).origin);
        paintPadShadow(p, PadShadow{}, false);
    }
    QImage shared = light;
    shared.setDevicePixelRatio(1);
    EXPECT_EQ(painted, shared);
}
