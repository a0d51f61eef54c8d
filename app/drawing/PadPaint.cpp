#include "app/drawing/PadPaint.h"

#include "app/paint/Scheme.h"
#include "app/drawing/PaintLayers.h"

#include <QPainter>

#include <cmath>
#include <string>

namespace Tessarine {

namespace {

// How far each part's painting reaches about its centre, in canvas points: its frame with its
// shadow or glow and a margin.
QRectF around(double halfWidth, double up, double down) { return {-halfWidth, -up, 2 * halfWidth, up + down}; }
const QRectF stickReach = around(40, 40, 46);   // the cap's shadow falls 4 points low with radius 31
const QRectF dpadReach = around(38, 38, 42);    // a 62-point cross with its shadow 2 points low
const QRectF faceReach = around(22, 22, 25);    // a 36-point frame with its shadow 2.5 points low
const QRectF smallReach = around(18, 18, 18);   // home is 24 across, the others 28 × 13
const QRectF lightBarReach = around(62, 22, 22); // a 90 × 12 glow blurred by 4
const QRectF playerReach = around(32, 14, 14);  // four lights in 38 points, each glowing by 3
const QRectF fingerReach = around(12, 12, 12);  // a glow 22 across
const QRectF captionReach = around(140, 12, 12);

std::string flag(bool value) { return value ? "1" : "0"; }
std::string dark(const Scheme& scheme) { return scheme.dark ? "dark" : "light"; }

// A shoulder is drawn about the canvas origin: its reach is its band's box with room for the
// outline, the press and the pull.
QRectF bumperReach(bool left) { return bumperBand(left).boundingRect().adjusted(-3, -3, 3, 5); }
QRectF triggerReach(bool left) { return triggerBand(left).boundingRect().adjusted(-12, -12, 12, 20); }

void paintShoulders(QPainter& p, const PadParts& parts, const Scheme& scheme, PadImages& images) {
    for (const auto& placed : parts.triggers) {
        const PadTrigger& trigger = placed.part;
        const int step = int(std::lround(triggerFill(trigger.value) * triggerPullSteps));
        PadTrigger band = trigger;
        band.value = double(step) / triggerPullSteps;
        images.drawPart(p, "trigger|" + flag(trigger.left) + "|" + std::to_string(step) + "|" + dark(scheme), {},
                        triggerReach(trigger.left), [&](QPainter& q) { paintPadTriggerBand(q, band, scheme); });
        const QPointF at = triggerCaptionCentre(trigger.left);
        images.drawPart(p, "caption|" + triggerCaption(trigger).toStdString() + "|" + scheme.secondary.name(QColor::HexArgb).toStdString(),
                        at, captionReach, [&](QPainter& q) {
                            q.translate(-at);
                            paintPadTriggerCaption(q, trigger, scheme);
                        });
    }
    for (const auto& placed : parts.bumpers) {
        const PadBumper& bumper = placed.part;
        images.drawPart(p, "bumper|" + flag(bumper.left) + "|" + flag(bumper.pressed) + "|" + dark(scheme), {},
                        bumperReach(bumper.left), [&](QPainter& q) { paintPadBumper(q, bumper, scheme); });
    }
}

void paintLiveParts(QPainter& p, const PadParts& parts, const Scheme& scheme, PadImages& images) {
    if (parts.lightBar) {
        const LightBar& bar = *parts.lightBar;
        const std::string colour = bar.color ? bar.color->name(QColor::HexArgb).toStdString() : "none";
        images.drawPart(p, "light|" + colour, PadLayout::lightBarPosition(), lightBarReach,
                        [&](QPainter& q) { paintLightBar(q, bar, {}); });
    }
    if (parts.playerLights) {
        const PlayerLights& lights = parts.playerLights->part;
        images.drawPart(p, "players|" + (lights.lit ? std::to_string(*lights.lit) : std::string("none")),
                        parts.playerLights->centre, playerReach, [&](QPainter& q) { paintPlayerLights(q, lights, {}); });
    }
    for (const auto& stick : parts.sticks) {
        const bool pressed = stick.part.pressed;
        if (pressed) images.drawPart(p, "stick-ring", stick.centre, stickReach, [](QPainter& q) { paintStickCapRing(q, {}); });
        images.drawPart(p, "stick|" + flag(pressed), stick.centre + stickCapOffset(stick.part.sample), stickReach,
                        [&](QPainter& q) { paintStickCapBody(q, pressed, {}); });
    }
    if (parts.dpad) {
        const DPadCap& dpad = parts.dpad->part;
        images.drawPart(p, "dpad|" + (dpad.direction ? std::to_string(RorozErurEvo::rawValue(*dpad.direction)) : "none"),
                        parts.dpad->centre, dpadReach, [&](QPainter& q) { paintDPadCap(q, dpad, {}); });
    }
    for (const auto& face : parts.face) {
        const FaceGlyph glyph = faceGlyph(face.part.element);
        images.drawPart(p, "face|" + std::to_string(int(glyph.kind)) + "|" + glyph.content.toStdString() + "|" +
                               flag(face.part.pressed),
                        face.centre, faceReach, [&](QPainter& q) { paintFaceButton(q, face.part, {}); });
    }
    if (parts.touchpad) {
        const QRectF pad = PadLayout::touchpadRect();
        paintTouchpadTint(p, parts.touchpad->pressed, pad);
        for (QPointF centre : fingerDotCentres(*parts.touchpad, pad))
            images.drawPart(p, "finger|" + scheme.orange.name(QColor::HexArgb).toStdString(), centre, fingerReach,
                            [&](QPainter& q) { paintFingerDot(q, {}, scheme); });
    }
    for (const auto& button : parts.center) {
        const ElementInfo& element = button.part.element;
        images.drawPart(p, "small|" + std::string(RorozErurEvo::rawValue(element.role)) + "|" +
                               element.symbol.value_or("") + "|" + flag(button.part.pressed),
                        button.centre, smallReach, [&](QPainter& q) { paintSmallButton(q, button.part, {}); });
    }
}

} // namespace

void paintPad(QPainter& painter, const PadParts& parts, const Scheme& scheme, PadImages& images,
              const QSizeF& offered) {
    const PadCanvasFit fit = padCanvasFit(offered);
    const double s = fit.scale;
    if (!(s > 0)) return;
    const double pixelRatio = PaintLayers::deviceScale(painter).width();
    const QPointF origin = fit.rect.topLeft();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    auto inCanvas = [&](auto&& paint) {
        painter.save();
        painter.translate(origin);
        painter.scale(s, s);
        paint();
        painter.restore();
    };

    drawPlaced(painter, images.shadow(scheme.dark, s, pixelRatio), origin, s);
    inCanvas([&] { paintShoulders(painter, parts, scheme, images); });
    drawPlaced(painter, images.shell(PadShell{parts.layout}, scheme.dark, s, pixelRatio), origin, s);
    inCanvas([&] { paintLiveParts(painter, parts, scheme, images); });
    painter.restore();
}

} // namespace Tessarine
