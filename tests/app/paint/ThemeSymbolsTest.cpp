#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace Tessarine;
using RorozErurEvo::Verdict;

TEST(Theme, FixedColoursAndTheVerdictPresentation) {
    auto close = [](const QColor& c, double r, double g, double b) {
        return std::abs(c.redF() - r) < 0.003 && std::abs(c.greenF() - g) < 0.003 && std::abs(c.blueF() - b) < 0.003 &&
               c.alphaF() == 1.0f;
    };
    EXPECT_TRUE(close(Color::accentTeal(), 0.08, 0.55, 0.58));
    EXPECT_TRUE(close(Color::passGreen(), 0.13, 0.6, 0.3));
    EXPECT_TRUE(close(Color::warnAmber(), 0.85, 0.5, 0.05));
    EXPECT_TRUE(close(Color::failRed(), 0.82, 0.18, 0.16));
    EXPECT_EQ(&Color::accentTeal(), &Color::accentTeal()); // made once

    EXPECT_EQ(VerdictStyle::color(Verdict::pass), Color::passGreen());
    EXPECT_EQ(VerdictStyle::color(Verdict::warn), Color::warnAmber());
    EXPECT_EQ(VerdictStyle::color(Verdict::fail), Color::failRed());
    EXPECT_EQ(VerdictStyle::word(Verdict::warn), "Warn");
    EXPECT_EQ(VerdictStyle::symbol(Verdict::pass), "checkmark.circle.fill");
    EXPECT_EQ(VerdictStyle::symbol(Verdict::warn), "exclamationmark.triangle.fill");
    EXPECT_EQ(VerdictStyle::symbol(Verdict::fail), "xmark.octagon.fill");
    EXPECT_LT(Fonts::caption().pointSizeF(), Fonts::callout().pointSizeF());
    EXPECT_LT(Fonts::callout().pointSizeF(), Fonts::body().pointSizeF());
}

TEST(Symbols, EveryNameTheViewsUseIsDrawnInItsColourAndUnknownNamesDrawNothing) {
    const QStringList used{"checkmark.circle.fill", "exclamationmark.triangle.fill", "xmark.octagon.fill",
                           "record.circle", "gamecontroller", "slider.horizontal.3", "play.circle", "keyboard",
                           "computermouse", "square.grid.2x2", "clock.arrow.circlepath", "nosign",
                           "cable.connector.slash", "circle", "circle.fill", "info.circle", "battery.0percent",
                           "battery.25percent", "battery.50percent", "battery.75percent", "battery.100percent"};
    for (const QString& name : used) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(Symbols::known(name));
        const QImage image = Symbols::image(name, {32, 32}, Color::failRed());
        int opaque = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() == 255) {
                    ++opaque;
                    EXPECT_EQ(c.rgb(), Color::failRed().rgb());
                }
            }
        EXPECT_GT(opaque, 20);
        EXPECT_FALSE(Symbols::icon(name, Qt::black).isNull());
    }
    EXPECT_FALSE(Symbols::known("no.such.symbol"));
    EXPECT_TRUE(Symbols::icon("no.such.symbol", Qt::black).isNull());
    const QImage blank = Symbols::image("no.such.symbol", {16, 16}, Qt::black);
    EXPECT_EQ(blank.pixelColor(8, 8).alpha(), 0);
}

TEST(Symbols, FilledSymbolsCutTheirMarkOutAndScaleForDenseScreens) {
    // The check is cut out of the disc: the background shows through inside the circle.
    const QImage check = Symbols::image("checkmark.circle.fill", {40, 40}, Qt::black);
    EXPECT_EQ(check.pixelColor(20, 4).alpha(), 255);  // the disc near its top edge
    EXPECT_EQ(check.pixelColor(18, 27).alpha(), 0);   // on the check's stroke
    EXPECT_EQ(check.pixelColor(0, 0).alpha(), 0);     // outside the disc

    const QImage dense = Symbols::image("nosign", {16, 16}, Qt::black, 2.0);
    EXPECT_EQ(dense.size(), QSize(32, 32));
    EXPECT_EQ(dense.devicePixelRatio(), 2.0);

    // Painting fits the symbol to the square in the middle of a wide rectangle.
    QImage canvas(60, 20, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    Symbols::paint(painter, QRectF(0, 0, 60, 20), "checkmark.circle.fill", Qt::black);
    painter.end();
    EXPECT_EQ(canvas.pixelColor(5, 10).alpha(), 0);
    EXPECT_EQ(canvas.pixelColor(30, 2).alpha(), 255);
}
