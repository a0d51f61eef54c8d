#include "app/views/drawing/PadPaint.h"

#include "app/paint/Scheme.h"
#include "app/views/drawing/PaintLayers.h"

#include <QPainter>

namespace Tessarine {

void paintPadLiveParts(QPainter& painter, const PadParts& parts, const Scheme& scheme) {
    if (parts.lightBar) paintLightBar(painter, *parts.lightBar, PadLayout::lightBarPosition());
    if (parts.playerLights) paintPlayerLights(painter, parts.playerLights->part, parts.playerLights->centre);
    for (const auto& stick : parts.sticks) paintStickCap(painter, stick.part, stick.centre);
    if (parts.dpad) paintDPadCap(painter, parts.dpad->part, parts.dpad->centre);
    for (const auto& face : parts.face) paintFaceButton(painter, face.part, face.centre);
    if (parts.touchpad) paintTouchpadOverlay(painter, *parts.touchpad, PadLayout::touchpadRect(), scheme);
    for (const auto& button : parts.center) paintSmallButton(painter, button.part, button.centre);
}

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
    inCanvas([&] {
        for (const auto& trigger : parts.triggers) paintPadTrigger(painter, trigger.part, scheme);
        for (const auto& bumper : parts.bumpers) paintPadBumper(painter, bumper.part, scheme);
    });
    drawPlaced(painter, images.shell(PadShell{parts.layout}, scheme.dark, s, pixelRatio), origin, s);
    inCanvas([&] { paintPadLiveParts(painter, parts, scheme); });
    painter.restore();
}

} // namespace Tessarine
