#include "app/paint/Theme.h"

#include <QFontMetricsF>
#include <QGuiApplication>

#include "app/paint/Contrast.h"

namespace Tessarine {

namespace Color {

QColor rgb(double red, double green, double blue) { return QColor::fromRgbF(float(red), float(green), float(blue)); }

const QColor& accentTeal() {
    static const QColor color = rgb(0.08, 0.55, 0.58);
    return color;
}

const QColor& passGreen() {
    static const QColor color = rgb(0.13, 0.6, 0.3);
    return color;
}

const QColor& warnAmber() {
    static const QColor color = rgb(0.85, 0.5, 0.05);
    return color;
}

const QColor& failRed() {
    static const QColor color = rgb(0.82, 0.18, 0.16);
    return color;
}

QColor withOpacity(QColor color, double opacity) {
    color.setAlphaF(float(opacity));
    return color;
}

QColor over(const QColor& background, const QColor& color) {
    const double a = color.alphaF();
    auto mix = [a](double under, double above) { return under * (1 - a) + above * a; };
    return QColor::fromRgbF(float(mix(background.redF(), color.redF())), float(mix(background.greenF(), color.greenF())),
                            float(mix(background.blueF(), color.blueF())));
}

QColor destructiveText(const QPalette& palette) {
    return Contrast::reaching(failRed(), palette.color(QPalette::Active, QPalette::Button));
}

const QColor& pressedFill() {
    static const QColor color = Contrast::reaching(accentTeal(), Qt::white);
    return color;
}

} // namespace Color

namespace VerdictStyle {

using RorozErurEvo::Verdict;

const QColor& color(Verdict verdict) {
    switch (verdict) {
    case Verdict::pass: return Color::passGreen();
    case Verdict::warn: return Color::warnAmber();
    case Verdict::fail: return Color::failRed();
    }
    return Color::failRed();
}

QString word(Verdict verdict) { return QString::fromStdString(RorozErurEvo::word(verdict)); }

QString symbol(Verdict verdict) { return QString::fromStdString(RorozErurEvo::symbol(verdict)); }

} // namespace VerdictStyle

namespace Fonts {

namespace {
// Sizes relative to the body text: the desktop sets the body size, the views keep the steps
// between styles (body 13, callout 12, caption 10, headline 13 bold, title 17 points at the
// usual desktop size).
QFont scaled(double factor, QFont::Weight weight = QFont::Normal) {
    QFont font = QGuiApplication::font();
    font.setPointSizeF(font.pointSizeF() * factor);
    font.setWeight(weight);
    return font;
}
} // namespace

QFont body() { return QGuiApplication::font(); }
QFont callout() { return scaled(12.0 / 13.0); }
QFont caption() { return scaled(10.0 / 13.0); }
QFont headline() { return scaled(1.0, QFont::DemiBold); }
QFont title() { return scaled(17.0 / 13.0, QFont::Bold); }
QFont pageTitle() { return scaled(17.0 / 13.0, QFont::DemiBold); }

void load() {
    // Each weight and size is a font of its own to load. The page a window opens on shows its
    // titles semi-bold; the bold title only shows on pages opened later, and loads then.
    for (const QFont& font : {body(), callout(), caption(), headline(), pageTitle()})
        QFontMetricsF(font).horizontalAdvance(QStringLiteral("Tessarine"));
}

} // namespace Fonts

} // namespace Tessarine
