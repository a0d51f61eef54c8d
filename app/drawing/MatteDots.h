#pragma once
// Tiny round dots by the thousand (the shell's matte finish). Each would cost a painter a whole
// path fill; where the painter paints plainly onto an image, they are blended straight into its
// pixels with their exact coverage instead. That coverage holds no colour, so it is kept for the
// same dots on an image of the same size (the shell in the other scheme, or with other wells).
#include <QColor>
#include <QPainter>
#include <QRectF>

#include <vector>

namespace Tessarine::MatteDots {

struct Dot {
    QRectF square; // the dot is the circle inscribed in it, in the painter's coordinates
    bool light = true;
};

// Fills each dot with `light` or `shade` in turn, as drawEllipse would.
void paint(QPainter& painter, const std::vector<Dot>& dots, const QColor& light, const QColor& shade);

} // namespace Tessarine::MatteDots
