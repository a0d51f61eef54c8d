#include "app/paint/Symbols.h"

#include <QImage>
#include <QPainter>

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
