#include "app/drawing/TouchpadOverlay.h"

#include "app/drawing/ShapeMath.h"
#include "app/paint/Scheme.h"
#include "app/paint/Theme.h"
#include "app/drawing/DirectFill.h"
#include "app/drawing/Gradients.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace Tessarine {

namespace {

using ShapeMath::circle;

constexpr double cornerRadius = 9;      // points, the surface's rounded corners
constexpr double pressedOpacity = 0.32; // of the accent tint while clicked
constexpr double insetX = 6;            // points kept between a dot's centre and the side edges
constexpr double insetY = 5;            // points kept between a dot's centre and the top and bottom
constexpr double glowRadius = 11;       // points: the glow is 22 across
constexpr double glowCore = 2;          // points: where the glow starts to fade
constexpr double dotDiameter = 8;       // points, the solid centre

} // namespace

QPointF fingerDotCentre(QPointF contact, QSizeF size) {
    const double w = size.width(), h = size.height();
    return {w / 2 + contact.x() * (w / 2 - insetX), h / 2 - contact.y() * (h / 2 - insetY)};
}

QString touchpadValue(std::size_t contacts) {
    if (contacts == 0) return QStringLiteral("not touched");
    return QString::number(qulonglong(contacts)) + QStringLiteral(" finger") +
           (contacts == 1 ? QString() : QStringLiteral("s"));
}

void paintTouchpadOverlay(QPainter& painter, const TouchpadOverlay& overlay, const QRectF& rect, const Scheme& scheme) {
    paintTouchpadTint(painter, overlay.pressed, rect);
    for (QPointF centre : fingerDotCentres(overlay, rect)) paintFingerDot(painter, centre, scheme);
}

void paintTouchpadTint(QPainter& painter, bool pressed, const QRectF& rect) {
    if (!pressed) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Color::withOpacity(Color::accentTeal(), pressedOpacity));
    painter.drawRoundedRect(rect, cornerRadius, cornerRadius);
    painter.restore();
}

std::vector<QPointF> fingerDotCentres(const TouchpadOverlay& overlay, const QRectF& rect) {
    std::vector<QPointF> centres;
    for (const QPointF& contact : overlay.contacts)
        // A contact that is not a number has no place on the pad.
        if (std::isfinite(contact.x()) && std::isfinite(contact.y()))
            centres.push_back(rect.topLeft() + fingerDotCentre(contact, rect.size()));
    return centres;
}

void paintFingerDot(QPainter& painter, QPointF centre, const Scheme& scheme) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    DirectFill::fill(painter, ShapeMath::ellipse(circle(centre, 2 * glowRadius)),
                     Gradients::radial(centre, glowCore, glowRadius,
                                       {Color::withOpacity(scheme.orange, 0.55), Gradients::clear(scheme.orange)}));
    DirectFill::fill(painter, ShapeMath::ellipse(circle(centre, dotDiameter)), Color::withOpacity(scheme.orange, 1));
    painter.restore();
}

PartAccessibility accessibility(const TouchpadOverlay& overlay) {
    return {QStringLiteral("Touchpad"), touchpadValue(overlay.contacts.size())};
}

} // namespace Tessarine
