#pragma once
// The colours that follow light and dark appearance, for painters that are not widgets (the PDF
// report paints the light scheme). A widget takes its scheme from its palette.
#include <QColor>
#include <QPalette>

namespace Tessarine {

struct Scheme {
    bool dark = false;
    QColor primary;   // text and strokes
    QColor secondary; // captions, values beside labels, inactive marks
    QColor gray;      // the system gray (no-input bins)
    QColor orange;    // the live stick and first finger
    QColor red;       // x components of graphs
    QColor green;     // y components
    QColor blue;      // z components
    QColor white;     // outlines on top of coloured marks

    static Scheme light();
    static Scheme darkScheme();
    // Dark when the window colour's lightness is below 128; text colours from the palette.
    static Scheme fromPalette(const QPalette& palette);
};

} // namespace Tessarine
