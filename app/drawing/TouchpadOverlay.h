#pragma once
// The live layer over the drawn touchpad: a teal tint while the pad is clicked and a glowing
// orange dot under every finger on it.
#include "app/drawing/PartAccessibility.h"

#include <QPointF>
#include <QRectF>

#include <vector>

class QPainter;

namespace Tessarine {

struct Scheme;

struct TouchpadOverlay {
    bool pressed = false;          // the touchpad's button is held
    std::vector<QPointF> contacts; // one per finger on the surface: x and y each -1 … 1, y up

    friend bool operator==(const TouchpadOverlay&, const TouchpadOverlay&) = default;
};

// Centre of a finger's dot within the touchpad's `size` (origin top left): the surface's edges
// less 6 points across and 5 points down, so a dot at the edge stays on the pad.
QPointF fingerDotCentre(QPointF contact, QSizeF size);

// "not touched", "1 finger", "2 fingers".
QString touchpadValue(std::size_t contacts);

// Paints the overlay over the touchpad's rectangle `rect` in canvas coordinates.
void paintTouchpadOverlay(QPainter& painter, const TouchpadOverlay& overlay, const QRectF& rect,
                          const Scheme& scheme);
// Its pieces: the tint while clicked, the centres of the dots of the contacts that are numbers,
// and one dot (a glow 22 points across round a solid centre).
void paintTouchpadTint(QPainter& painter, bool pressed, const QRectF& rect);
std::vector<QPointF> fingerDotCentres(const TouchpadOverlay& overlay, const QRectF& rect);
void paintFingerDot(QPainter& painter, QPointF centre, const Scheme& scheme);

// Label "Touchpad", value from touchpadValue.
PartAccessibility accessibility(const TouchpadOverlay& overlay);

} // namespace Tessarine
