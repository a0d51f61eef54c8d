#include "app/paint/Scheme.h"

namespace Tessarine {

namespace {
QColor rgb(double red, double green, double blue, double alpha = 1.0) {
    return QColor::fromRgbF(float(red), float(green), float(blue), float(alpha));
}
} // namespace

// Tints of the desktop's accent palette, lighter in the dark scheme so they hold their contrast
// on a dark background.
Scheme Scheme::light() {
    Scheme s;
    s.dark = false;
    s.primary = rgb(0, 0, 0, 0.85);
    s.secondary = rgb(0, 0, 0, 0.5);
    s.gray = rgb(0.557, 0.557, 0.576);
    s.orange = rgb(1.0, 0.584, 0.0);
    s.red = rgb(1.0, 0.231, 0.188);
    s.green = rgb(0.204, 0.78, 0.349);
    s.blue = rgb(0.0, 0.478, 1.0);
    s.white = Qt::white;
    return s;
}

Scheme Scheme::darkScheme() {
    Scheme s;
    s.dark = true;
    s.primary = rgb(1, 1, 1, 0.85);
    s.secondary = rgb(1, 1, 1, 0.55);
    s.gray = rgb(0.557, 0.557, 0.576);
    s.orange = rgb(1.0, 0.624, 0.039);
    s.red = rgb(1.0, 0.271, 0.227);
    s.green = rgb(0.188, 0.82, 0.345);
    s.blue = rgb(0.039, 0.518, 1.0);
    s.white = Qt::white;
    return s;
}

Scheme Scheme::fromPalette(const QPalette& palette) {
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    Scheme s = dark ? darkScheme() : light();
    s.primary = palette.color(QPalette::WindowText);
    s.secondary = palette.color(QPalette::PlaceholderText);
    return s;
}

} // namespace Tessarine
