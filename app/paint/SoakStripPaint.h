#pragma once
// The coloured timeline of a wireless soak run: equal bins across the filled share of the width,
// green where input arrived, gray where it paused, amber for dropouts and red while disconnected;
// and its legend of the states the run went through. The soak views, the history and the PDF
// report paint it with these.
#include <QColor>
#include <QPainter>
#include <QRectF>

#include "app/paint/Scheme.h"
#include "testkit/SoakStrip.h"

namespace Tessarine {

// The fill of a bin in `state`.
QColor soakColor(RorozErurEvo::SoakStrip::State state, const Scheme& scheme);

// The strip in `rect`: the background over the whole rect, the bins over the leading
// `fraction` (clamped to 0…1) of its width.
void paintSoakStrip(QPainter& painter, const QRectF& rect, const RorozErurEvo::SoakStrip& strip, double fraction,
                    const Scheme& scheme);

// Heights for a text size of `fontSize` pixels: the strip, and the legend row under it.
double soakStripHeight(double fontSize);
double soakLegendHeight(double fontSize);
// The legend row in `rect`: "0:00", the swatch and word of each state present, the run's length.
void paintSoakLegend(QPainter& painter, const QRectF& rect, const RorozErurEvo::SoakStrip& strip, double fontSize,
                     const Scheme& scheme);

} // namespace Tessarine
