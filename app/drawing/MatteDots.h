#pragma once
// Tiny round dots by the thousand (the shell's matte finish). Each would cost a painter a whole
// path fill; where the painter paints plainly onto an image, they are blended straight into its
// pixels with their exact coverage instead. That coverage holds no colour, so it is kept for the
// same dots on an image of the same size (the shell in the other scheme, or with other wells).
#include <QColor>
#include <QPainter>
#include <QRectF>

#include <cstdint>
#include <vector>

namespace Tessarine::MatteDots {

struct Dot {
    QRectF square; // the dot is the circle inscribed in it, in the painter's coordinates
    bool light = true;
};

// Fills each dot with `light` or `shade` in turn, as drawEllipse would. `maskedBy`, where given,
// is the coverage (a byte a pixel of the painter's image) of a mask the image is scaled by
// afterwards: a dot blended straight in whose pixels the mask clears all of is left out, since
// nothing of it would remain.
void paint(QPainter& painter, const std::vector<Dot>& dots, const QColor& light, const QColor& shade,
           const std::vector<std::uint8_t>* maskedBy = nullptr);

} // namespace Tessarine::MatteDots
