#pragma once
// Contrast of text against its background, as the web content accessibility guidelines measure
// it, and colours nudged until text reads.
#include <QColor>

namespace Tessarine::Contrast {

// The guidelines' least contrast for body text (level AA).
constexpr double minimumForText = 4.5;

// Relative luminance of an opaque sRGB colour, 0 (black) … 1 (white).
double luminance(const QColor& color);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double ratio(const QColor& a, const QColor& b);
// `moving` mixed towards black or white, whichever stands further from `fixed`, just enough to
// reach `minimum` against it; unchanged when it already does. Works for text on a given
// background and for a fill under given text alike.
QColor reaching(const QColor& moving, const QColor& fixed, double minimum = minimumForText);

} // namespace Tessarine::Contrast
