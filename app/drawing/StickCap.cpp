#include "app/drawing/StickCap.h"

#include "app/drawing/ShapeMath.h"
#include "app/paint/Theme.h"
#include "app/drawing/DirectFill.h"
#include "app/drawing/Gradients.h"
#include "app/drawing/PadShapes.h"
#include "app/drawing/PaintLayers.h"

#include "testkit/Fmt.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Tessarine {

namespace {

using ShapeMath::circle;
using ShapeMath::ellipse;

using namespace Gradients;

constexpr double capRadius = 24;       // points; the cap's disc is 48 across
constexpr double pressedScale = 0.92;  // the cap sinks into the well while its button is held
constexpr double ringWidth = 2.5;      // points, the teal ring around a pressed cap

// The cap's layers about the origin, before the pressed shrink and the push.
void paintCap(QPainter& p, bool pressed) {
    const double r = capRadius;
    const QPointF o(0, 0);

    // Shadow, tucked in while pressed.
    const QPointF shadowCentre(0, pressed ? 1 : 4);
    p.setPen(Qt::NoPen);
    DirectFill::fill(p, ellipse(circle(shadowCentre, 2 * r + 14)), radial(shadowCentre, 0.6 * r, r + 7, {black(0.7), clear(Qt::black)}));

    const QRectF body = circle(o, 2 * r);
    p.setBrush(vertical(body, {Color::capTop(), Color::capBottom()}));
    p.drawEllipse(body);
    // Only the upper half of the rim catches light.
    PaintLayers::strokeInside(p, body, r, linear(body.topLeft(), {body.left(), 0}, {white(0.45), clear(Qt::white)}),
                              1);

    const QRectF dish = circle(o, 2 * r - 9);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(dish, {grey(0.06), grey(0.24)}));
    p.drawEllipse(dish);

    QPen grip(white(0.07), 1, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    grip.setDashPattern({1, 2.2}); // in line widths, which are 1 point
    grip.setMiterLimit(10);
    p.setPen(grip);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(circle(o, 2 * r - 15));

    const QPointF highlight(0, 0.42 * r); // toward the lower, lit side of the dish
    DirectFill::fill(p, ellipse(QRectF(highlight.x() - 11, highlight.y() - 4.5, 22, 9)),
                     radial(highlight, 0, 10, {white(0.16), clear(Qt::white)}));

    if (pressed) DirectFill::fill(p, ellipse(body), black(0.3));
}

QString percent(double value) { return QString::fromStdString(RorozErurEvo::Fmt::percent(value)); }

} // namespace

QPointF stickCapOffset(const std::optional<RorozErurEvo::StickSample>& sample) {
    if (!sample || !std::isfinite(sample->x) || !std::isfinite(sample->y)) return {0, 0};
    const double d = std::max(1.0, std::hypot(sample->x, sample->y));
    return {stickCapTravel * sample->x / d, -stickCapTravel * sample->y / d};
}

void paintStickCap(QPainter& painter, const StickCap& cap, QPointF centre) {
    if (cap.pressed) paintStickCapRing(painter, centre);
    paintStickCapBody(painter, cap.pressed, centre + stickCapOffset(cap.sample));
}

void paintStickCapRing(QPainter& painter, QPointF centre) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    PaintLayers::strokeInside(painter, circle(centre, stickCapSize), stickCapSize / 2, Color::accentTeal(), ringWidth);
    painter.restore();
}

void paintStickCapBody(QPainter& painter, bool pressed, QPointF capCentre) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(capCentre);
    if (pressed) painter.scale(pressedScale, pressedScale);
    paintCap(painter, pressed);
    painter.restore();
}

PartAccessibility accessibility(const StickCap& cap) {
    const QString label = QString::fromStdString(cap.label);
    if (!cap.sample) return {label, QStringLiteral("No reading yet")};
    const RorozErurEvo::StickSample& s = *cap.sample;
    QString value;
    if (cap.showRaw && s.raw)
        value = QStringLiteral("raw x %1, y %2").arg(s.raw->x).arg(s.raw->y);
    else
        value = QStringLiteral("x %1, y %2, %3 from center").arg(percent(s.x), percent(s.y), percent(s.radius()));
    if (cap.pressed) value += QStringLiteral(", pressed");
    return {label, value};
}

} // namespace Tessarine
