#include "app/drawing/PadShell.h"

#include "app/drawing/ShapeMath.h"
#include "app/paint/Theme.h"
#include "app/drawing/DirectFill.h"
#include "app/drawing/Gradients.h"
#include "app/drawing/PadButtons.h"
#include "app/drawing/PadShapes.h"
#include "app/drawing/PaintLayers.h"
#include "app/drawing/MatteDots.h"
#include "app/drawing/PlaneCache.h"

#include "testkit/MatteNoisePattern.h"

#include <QPainter>

#include <algorithm>

namespace Tessarine {

namespace {

using ShapeMath::centred;
using ShapeMath::capsule;

using namespace Gradients;
using PaintLayers::Keep;

// The shell's two body colours, top and bottom; the d-pad's dish shows them upside down.
QColor bodyTop(bool dark) { return dark ? Color::rgb(0.3, 0.31, 0.33) : Color::rgb(0.965, 0.968, 0.975); }
QColor bodyBottom(bool dark) { return dark ? Color::rgb(0.15, 0.155, 0.17) : Color::rgb(0.78, 0.79, 0.81); }
// The floor of every hole.
QColor holeGrey(bool dark) { return grey(dark ? 0.07 : 0.17); }
// The lower, lit lip of a ring.
QColor ringLight(bool dark) { return white(dark ? 0.2 : 0.8); }

QPainterPath rounded(const QRectF& rect, double radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}
QPainterPath disc(QPointF centre, double diameter) { return capsule(centred(centre, diameter, diameter)); }

void fill(QPainter& p, const QPainterPath& shape, const QBrush& brush) { DirectFill::fill(p, shape, brush); }
void fillVertical(QPainter& p, const QPainterPath& shape, std::initializer_list<QColor> colors) {
    p.fillPath(shape, vertical(shape.boundingRect(), colors));
}
void innerShadow(QPainter& p, const QPainterPath& shape, double opacity, double radius, QPointF offset) {
    PaintLayers::paintInnerShadow(p, shape, black(opacity), radius, offset, Keep::no);
}

// Layer 1: the body and its two inner shadows, a light lip along the top edge and a dark one
// along the bottom.
void paintBody(QPainter& p, const QPainterPath& outline, bool dark) {
    fillVertical(p, outline, {bodyTop(dark), bodyBottom(dark)});
    PaintLayers::paintInnerShadow(p, outline, white(dark ? 0.22 : 0.95), 1.2, {0, 1.8}, Keep::no);
    innerShadow(p, outline, dark ? 0.55 : 0.22, 9, {0, -6});
}

// Layers 2 to 6, each masked by the outline: painted into one layer and masked once. They hold
// the scheme's colours but nothing of the layout, so the shell of another layout takes them
// from the one before at this size.
void paintMaskedLayers(QPainter& target, const QPainterPath& outline, bool dark) {
    const QRectF bounds = outline.boundingRect();
    const QImage shading = PlaneCache::layer(dark ? "shell-shading-dark" : "shell-shading-light",
                                             target.deviceTransform(), [&] {
        PaintLayers::Layer layer(target, bounds);
        QPainter& p = layer.painter();
        p.setPen(Qt::NoPen);

        // 2: top highlight.
        const QPointF highlight(280, 92);
        p.setBrush(radial(highlight, 0, 200, {white(dark ? 0.1 : 0.5), clear(Qt::white)}));
        p.drawEllipse(centred(highlight, 420, 150));

        // 3: grip shades.
        for (double x : {118.0, 442.0}) {
            const QPointF centre(x, 282);
            p.setBrush(radial(centre, 10, 70, {black(dark ? 0.22 : 0.09), clear(Qt::black)}));
            p.drawEllipse(centred(centre, 130, 120));
        }

        // 4: matte speckle, but for the dots the outline's mask will clear. The mask's coverage
        // is the one the layer is masked by below.
        const PlaneCache::Plane mask =
            Coverage::shared(outline, p.transform(), layer.image().width(), layer.image().height());
        paintMatteNoise(p, {dark}, mask.get());

        // 5: inner edge shade, the outline's inner half of a 15-point line.
        p.setBrush(Qt::NoBrush);
        QPen shade(black(dark ? 0.35 : 0.1), 15, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        shade.setMiterLimit(10);
        DirectFill::stroke(p, outline, shade);

        // 6: inner edge light, a 17-point line at a quarter of its opacity.
        QPen light(white((dark ? 0.2 : 0.8) * 0.5 * 0.25), 17, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        light.setMiterLimit(10);
        DirectFill::stroke(p, outline, light);

        layer.mask(outline);
        return layer.finish();
    });
    // Where the layer was drawn when it was painted.
    Coverage::draw(target, PaintLayers::pixelGrid(target, bounds), shading);
}

void paintStickWell(QPainter& p, QPointF centre, bool dark) {
    constexpr double r = 38; // points, the recess's radius
    fillVertical(p, disc(centre, 2 * r + 7), {black(dark ? 0.5 : 0.25), ringLight(dark)});
    const QPainterPath recess = disc(centre, 2 * r);
    fill(p, recess, radial(centre, 4, r, {grey(dark ? 0.14 : 0.28), grey(dark ? 0.07 : 0.17)}));
    innerShadow(p, recess, 0.85, 6, {0, 4});
}

void paintDPadWell(QPainter& p, bool dark) {
    const QPointF centre = PadLayout::dpadPosition();
    fillVertical(p, disc(centre, 78), {black(dark ? 0.35 : 0.12), white((dark ? 0.2 : 0.8) * 0.7)});
    const QPainterPath dish = disc(centre, 74);
    fillVertical(p, dish, {bodyBottom(dark), bodyTop(dark)});
    innerShadow(p, dish, dark ? 0.6 : 0.25, 4, {0, 2.5});
    const QPainterPath cross = CrossShape::path(25, centred(centre, 66, 66));
    fill(p, cross, holeGrey(dark));
    innerShadow(p, cross, 0.8, 3, {0, 2});
}

void paintFaceSocket(QPainter& p, QPointF centre, bool dark) {
    const double d = faceButtonDiameter;
    fillVertical(p, disc(centre, d + 7), {black(dark ? 0.5 : 0.28), ringLight(dark)});
    const QPainterPath hole = disc(centre, d + 4);
    fill(p, hole, holeGrey(dark));
    innerShadow(p, hole, 0.8, 2.5, {0, 1.5});
}

void paintCenterWell(QPainter& p, const CenterSlot& slot, bool dark) {
    const QPointF centre(slot.x, slot.y);
    const QSizeF size = smallButtonSize(slot.id);
    fillVertical(p, capsule(centred(centre, size.width() + 6, size.height() + 6)),
                 {black(dark ? 0.5 : 0.25), ringLight(dark)});
    const QPainterPath hole = capsule(centred(centre, size.width() + 3, size.height() + 3));
    fill(p, hole, holeGrey(dark));
    innerShadow(p, hole, 0.8, 2, {0, 1.2});
}

void paintTouchpadWell(QPainter& p, bool dark) {
    const QRectF pad = PadLayout::touchpadRect();
    fillVertical(p, rounded(pad.adjusted(-3, -3, 3, 3), 11), {black(dark ? 0.5 : 0.22), ringLight(dark)});
    const QPainterPath surface = rounded(pad, 9);
    if (dark)
        fillVertical(p, surface, {Color::rgb(0.19, 0.195, 0.21), Color::rgb(0.13, 0.135, 0.145)});
    else
        fillVertical(p, surface, {Color::rgb(0.86, 0.865, 0.875), Color::rgb(0.8, 0.805, 0.82)});
    innerShadow(p, surface, dark ? 0.7 : 0.3, 3, {0, 2});
    // The gloss covers the upper half only and stops sharply at the middle.
    const QRectF glossRect = pad.adjusted(2, 2, -2, -2);
    QLinearGradient gloss(glossRect.center().x(), glossRect.top(), glossRect.center().x(), glossRect.bottom());
    gloss.setColorAt(0, white(dark ? 0.12 : 0.45));
    gloss.setColorAt(0.48, white(dark ? 0.03 : 0.1));
    gloss.setColorAt(0.5, clear(Qt::white));
    fill(p, rounded(glossRect, 9), gloss);
}

void paintLightSlot(QPainter& p, bool dark) {
    const QPainterPath slot = capsule(centred(PadLayout::lightBarPosition(), 84, 8));
    fill(p, slot, Color::withOpacity(holeGrey(dark), 0.85));
    innerShadow(p, slot, 0.8, 1.5, {0, 1});
}

// Layer 8, in order: stick wells, d-pad, face sockets, centre wells, touchpad, light-bar slot.
void paintWells(QPainter& p, const PadLayout& layout, bool dark) {
    for (bool left : layout.wells) paintStickWell(p, PadLayout::stickPosition(left), dark);
    if (layout.dpad) paintDPadWell(p, dark);
    for (ElementInfo::Role role : layout.face) paintFaceSocket(p, PadLayout::facePosition(role), dark);
    for (const CenterSlot& slot : layout.center) paintCenterWell(p, slot, dark);
    if (layout.touchpad) paintTouchpadWell(p, dark);
    if (layout.light) paintLightSlot(p, dark);
}

} // namespace

void paintPadShadow(QPainter& painter, const PadShadow&, bool dark) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath& outline = ShellShape::outline();
    // The shell is opaque wherever its outline covers a pixel whole and is always drawn over the
    // shadow, so the shadow is laid only where it can show.
    PaintLayers::paintBlurred(painter, outline, black(dark ? 0.55 : 0.22), 14, {0, 12}, Keep::no, outline);
    PaintLayers::paintBlurred(painter, outline, black(dark ? 0.5 : 0.18), 3, {0, 3}, Keep::no, outline);
    painter.restore();
}

void paintPadShell(QPainter& painter, const PadShell& shell, bool dark) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath& outline = ShellShape::outline();
    paintBody(painter, outline, dark);
    paintMaskedLayers(painter, outline, dark);
    // 7: the outline itself, unmasked.
    DirectFill::stroke(painter, outline, QPen(black(dark ? 0.75 : 0.28), 1));
    paintWells(painter, shell.layout, dark);
    painter.restore();
}

void paintMatteNoise(QPainter& painter, const MatteNoise& noise, const std::vector<std::uint8_t>* maskedBy) {
    static const std::vector<MatteDots::Dot> dots = [] {
        constexpr double size = RorozErurEvo::MatteNoisePattern::dotSize;
        std::vector<MatteDots::Dot> out;
        for (const auto& dot : RorozErurEvo::MatteNoisePattern::dots(PadCanvas::width, PadCanvas::height))
            out.push_back({QRectF(dot.x, dot.y, size, size), dot.white});
        return out;
    }();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    MatteDots::paint(painter, dots, white(noise.dark ? 0.05 : 0.35), black(noise.dark ? 0.18 : 0.05), maskedBy);
    painter.restore();
}

} // namespace Tessarine
