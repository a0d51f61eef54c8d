#pragma once
// The application's fixed colours and the few text styles the views share, and how a verdict
// looks: its colour, word and symbol. Every view, drawing and report that shows an accent or a
// verdict takes them from here.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include "testkit/Measure.h"

namespace Tessarine {

namespace Color {
// An opaque sRGB colour from three components in 0…1.
QColor rgb(double red, double green, double blue);

// Accent of plots, rows and drawings.
const QColor& accentTeal();
const QColor& passGreen();
const QColor& warnAmber();
const QColor& failRed();

// `color` with its alpha replaced by `opacity` (0…1).
QColor withOpacity(QColor color, double opacity);
// The opaque colour that `color`, at its own alpha, shows when laid over the opaque `background`.
QColor over(const QColor& background, const QColor& color);

// The red of a destructive button's text ("Erase History…", "Delete"), made readable on the
// palette's button colour: a little darker in the light scheme, lighter in the dark one.
QColor destructiveText(const QPalette& palette);
// The fill of a held button or key under its white text: the accent, darkened just enough for
// the text to read.
const QColor& pressedFill();
} // namespace Color

namespace VerdictStyle {
const QColor& color(RorozErurEvo::Verdict verdict);
// "Pass", "Warn", "Fail".
QString word(RorozErurEvo::Verdict verdict);
// The symbol name of the verdict's icon (see Symbols).
QString symbol(RorozErurEvo::Verdict verdict);
} // namespace VerdictStyle

// Text styles relative to the application's body font, so they follow the desktop's font size.
namespace Fonts {
QFont body();
QFont callout();
QFont caption();
QFont headline();
QFont title();
// The title as the device page shows it (the device's name, the bench's sections): semi-bold.
QFont pageTitle();
// Loads the text styles' fonts as the first page uses them, so that the first view to lay out
// text does not wait for them.
void load();
} // namespace Fonts

} // namespace Tessarine
