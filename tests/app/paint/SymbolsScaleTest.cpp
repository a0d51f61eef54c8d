#include "app/paint/Symbols.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using namespace Tessarine;

// A symbol painted through a scaled painter is drawn at the scaled size, not enlarged from a
// small image: the edge of a filled disc stays crisp.
TEST(SymbolsScale, PaintsAtThePaintersScale) {
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(4, 4);
    Symbols::paint(painter, QRectF(0, 0, 16, 16), "circle.fill", Qt::black);
    painter.end();
    // The disc's radius is 0.46 of the side: 29.4 pixels about the centre (32, 32).
    EXPECT_EQ(qAlpha(image.pixel(32 + 27, 32)), 255);
    EXPECT_EQ(qAlpha(image.pixel(32 + 31, 32)), 0);
}

// Symbols drawn lately are handed out again, but only for the same name, size, colour and ratio:
// any one of them changed is drawn for itself, and a caller that paints over its copy leaves the
// kept one as it was.
TEST(SymbolsScale, KeptSymbolsServeOnlyTheirOwnNameSizeColourAndRatio) {
    const QImage first = Symbols::image("checkmark.circle", {20, 20}, Qt::red, 2);
    EXPECT_EQ(Symbols::image("checkmark.circle", {20, 20}, Qt::red, 2).constBits(), first.constBits());
    for (const QImage& other : {Symbols::image("eye", {20, 20}, Qt::red, 2),
                                Symbols::image("checkmark.circle", {20, 18}, Qt::red, 2),
                                Symbols::image("checkmark.circle", {20, 20}, Qt::blue, 2),
                                Symbols::image("checkmark.circle", {20, 20}, Qt::red, 1.5)})
        EXPECT_NE(other, first);

    QImage painted = Symbols::image("checkmark.circle", {20, 20}, Qt::red, 2);
    painted.fill(Qt::green);
    EXPECT_EQ(Symbols::image("checkmark.circle", {20, 20}, Qt::red, 2), first);
    EXPECT_NE(first.pixelColor(20, 20), QColor(Qt::green));
}

// A ratio that is not a finite number draws the symbol at ratio 1 instead of an image of no sensible size.
TEST(SymbolsScale, ARatioThatIsNotAFiniteNumberDrawsAtOne) {
    const QImage plain = Symbols::image("eye", {16, 16}, Qt::black, 1);
    for (qreal ratio : {std::nan(""), std::numeric_limits<qreal>::infinity()}) {
        const QImage drawn = Symbols::image("eye", {16, 16}, Qt::black, ratio);
        EXPECT_EQ(drawn.size(), QSize(16, 16));
        EXPECT_EQ(drawn, plain);
    }
}
