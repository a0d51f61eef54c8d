#include "app/drawing/PadShoulders.h"

#include "app/paint/Theme.h"
#include "app/drawing/DirectFill.h"
#include "app/drawing/DrawingText.h"
#include "app/drawing/Gradients.h"
#include "app/drawing/PadShapes.h"
#include "app/drawing/PaintLayers.h"
#include "app/drawing/PathTrim.h"

#include "testkit/Fmt.h"

#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

namespace Tessarine {

namespace {

using namespace Gradients;

// A stretch of the shoulder curve, from fraction `from` to `to` of its length, stroked into a
// band `width` points thick with round ends.
QPainterPath shoulderBand(double from, double to, double width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::MiterJoin);
    stroker.setMiterLimit(10);
    // simplified() merges the stroker's pieces into one outline, so the band's edge can be stroked.
    return stroker.createStroke(PathTrim::trimmed(shoulderPath(), from, to)).simplified();
}

QPainterPath leftBumper() { return shoulderBand(0.34, 0.82, 19); }
QPainterPath leftTrigger() { return shoulderBand(0.44, 0.74, 30).translated(0, -9); }

QPen outlinePen(bool dark) {
    QPen pen(black(dark ? 0.75 : 0.28), 0.8, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    return pen;
}

constexpr double maxTiltDegrees = 6; // at a full pull
constexpr double maxDropPoints = 8;  // at a full pull
constexpr double bumperPressDrop = 1.5; // points

// Merging the stroked pieces is the costly part: done once for the process, each thread then
// takes a copy of its own (one per thread, as the shell's outline).
const QPainterPath& sharedBumper() {
    static const QPainterPath band = leftBumper();
    return band;
}
const QPainterPath& sharedTrigger() {
    static const QPainterPath band = leftTrigger();
    return band;
}
} // namespace

const QPainterPath& bumperBand(bool left) {
    thread_local const QPainterPath leftBand = PathShape::ownCopy(sharedBumper());
    thread_local const QPainterPath rightBand = PadCanvas::mirrored(leftBand);
    return left ? leftBand : rightBand;
}

const QPainterPath& triggerBand(bool left) {
    thread_local const QPainterPath leftBand = PathShape::ownCopy(sharedTrigger());
    thread_local const QPainterPath rightBand = PadCanvas::mirrored(leftBand);
    return left ? leftBand : rightBand;
}

void workOutShoulderBands() {
    sharedBumper();
    sharedTrigger();
}

double bumperDrop(bool pressed) { return pressed ? bumperPressDrop : 0; }

double triggerFill(double value) { return std::isnan(value) ? 0 : std::clamp(value, 0.0, 1.0); }

QTransform triggerTransform(bool left, double fill) {
    const QRectF frame = triggerBand(left).boundingRect();
    const QPointF pivot = left ? frame.bottomRight() : frame.bottomLeft();
    QTransform t;
    t.translate(0, maxDropPoints * fill);
    t.translate(pivot.x(), pivot.y());
    t.rotate((left ? -maxTiltDegrees : maxTiltDegrees) * fill);
    t.translate(-pivot.x(), -pivot.y());
    return t;
}

QString triggerReading(const PadTrigger& trigger) {
    if (trigger.showRaw && trigger.raw) return QString::number(*trigger.raw);
    return QString::fromStdString(RorozErurEvo::Fmt::percent(trigger.value));
}

QString triggerCaption(const PadTrigger& trigger) {
    return QString::fromStdString(trigger.name) + QStringLiteral("  ") + triggerReading(trigger);
}

QPointF triggerCaptionCentre(bool left) { return {left ? 128.0 : 432.0, 10.0}; }

void paintPadBumper(QPainter& painter, const PadBumper& bumper, const Scheme& scheme) {
    const bool dark = scheme.dark;
    const QPainterPath& band = bumperBand(bumper.left);
    const QRectF frame = band.boundingRect();
    painter.save();
    painter.translate(0, bumperDrop(bumper.pressed));
    const QColor& teal = Color::accentTeal();
    if (bumper.pressed)
        painter.fillPath(band, vertical(frame, {Color::withOpacity(teal, 0.85), teal}));
    else if (dark)
        painter.fillPath(band, vertical(frame, {Color::rgb(0.25, 0.26, 0.28), Color::rgb(0.11, 0.115, 0.125)}));
    else
        painter.fillPath(band, vertical(frame, {Color::rgb(0.86, 0.87, 0.885), Color::rgb(0.62, 0.635, 0.66)}));
    PaintLayers::paintInnerShadow(painter, band, white(dark ? 0.25 : 0.9), 1, {0, 1.5});
    DirectFill::stroke(painter, band, outlinePen(dark));
    painter.restore();
}

void paintPadTrigger(QPainter& painter, const PadTrigger& trigger, const Scheme& scheme) {
    paintPadTriggerCaption(painter, trigger, scheme);
    paintPadTriggerBand(painter, trigger, scheme);
}

void paintPadTriggerCaption(QPainter& painter, const PadTrigger& trigger, const Scheme& scheme) {
    painter.save();
    painter.setFont(DrawingText::font(10, QFont::Medium));
    painter.setPen(scheme.secondary);
    DrawingText::drawCentred(painter, triggerCaptionCentre(trigger.left), triggerCaption(trigger));
    painter.restore();
}

void paintPadTriggerBand(QPainter& painter, const PadTrigger& trigger, const Scheme& scheme) {
    const bool dark = scheme.dark;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double fill = triggerFill(trigger.value);
    const QPainterPath& band = triggerBand(trigger.left);
    const QRectF frame = band.boundingRect();
    painter.setTransform(triggerTransform(trigger.left, fill), true);
    // A pulled trigger turns its band, and its gradient is then blended straight.
    if (dark)
        DirectFill::fill(painter, band, vertical(frame, {Color::rgb(0.17, 0.175, 0.19), Color::rgb(0.06, 0.06, 0.07)}));
    else
        DirectFill::fill(painter, band, vertical(frame, {Color::rgb(0.62, 0.63, 0.655), Color::rgb(0.4, 0.41, 0.43)}));
    PaintLayers::paintInnerShadow(painter, band, white(dark ? 0.2 : 0.55), 1, {0, 1.5});
    DirectFill::fill(painter, band, Color::withOpacity(Color::accentTeal(), 0.75 * fill));
    DirectFill::fill(painter, band, black(0.28 * fill));
    DirectFill::stroke(painter, band, outlinePen(dark));
    painter.restore();
}

PartAccessibility accessibility(const PadBumper& bumper) {
    return {QString::fromStdString(bumper.name), bumper.pressed ? QStringLiteral("pressed") : QString()};
}

PartAccessibility accessibility(const PadTrigger& trigger) {
    const QString value = trigger.showRaw && trigger.raw ? QStringLiteral("raw ") + QString::number(*trigger.raw)
                                                         : triggerReading(trigger);
    return {QString::fromStdString(trigger.name), value};
}

} // namespace Tessarine
