#include "app/paint/SoakStripPaint.h"
#include "app/paint/Theme.h"

#include <gtest/gtest.h>

#include "PaintProbes.h"

using namespace Tessarine;
using State = RorozErurEvo::SoakStrip::State;

namespace {
QImage strip(const RorozErurEvo::SoakStrip& s, double fraction) {
    QImage image = canvas(200, 20);
    QPainter painter(&image);
    paintSoakStrip(painter, QRectF(0, 0, 200, 20), s, fraction, Scheme::light());
    return image;
}
} // namespace

TEST(SoakStripPaint, BinsFillTheLeadingFractionAndTheRestShowsTheBackground) {
    const RorozErurEvo::SoakStrip gaps{600, std::vector<State>(120, State::gap)};
    const QImage half = strip(gaps, 0.5);
    const QColor background = over(Qt::white, Qt::black, 0.06);
    EXPECT_TRUE(near(half.pixelColor(50, 10), Color::warnAmber(), 4));
    EXPECT_TRUE(near(half.pixelColor(98, 10), Color::warnAmber(), 4));
    EXPECT_TRUE(near(half.pixelColor(101, 10), background, 4));
    EXPECT_TRUE(near(half.pixelColor(150, 10), background, 4));
    // Out-of-range fractions are clamped; no bins leave the background alone.
    EXPECT_TRUE(near(strip(gaps, 7).pixelColor(198, 10), Color::warnAmber(), 4));
    EXPECT_TRUE(near(strip(gaps, -1).pixelColor(2, 10), background, 4));
    EXPECT_TRUE(near(strip({600, {}}, 1).pixelColor(100, 10), background, 4));

    // Each bin in its state's colour, spread evenly.
    const QImage mixed = strip({60, {State::ok, State::pause, State::gap, State::disconnected}}, 1);
    EXPECT_TRUE(near(mixed.pixelColor(25, 10), over(background, Color::passGreen(), 0.55), 4));
    EXPECT_TRUE(near(mixed.pixelColor(75, 10), over(background, Scheme::light().gray, 0.35), 4));
    EXPECT_TRUE(near(mixed.pixelColor(125, 10), Color::warnAmber(), 4));
    EXPECT_TRUE(near(mixed.pixelColor(175, 10), Color::failRed(), 4));
}
