// Tall scroll bars painted band by band: every pixel is the one the style underneath paints
// directly, at either pixel ratio, in light and dark palettes, at any position and state; bars
// the bands could not reproduce are painted directly.
#include "app/views/kit/ScrollBarBands.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOptionComplex>

#include <gtest/gtest.h>

#include <memory>

using namespace Tessarine;

namespace {

// Fusion, counting the scroll bars it is asked to paint; or, see-through, a style that paints a
// bar as a half-transparent wash.
class Counting : public QProxyStyle {
public:
    Counting() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        if (control == CC_ScrollBar) ++paints;
        if (control == CC_ScrollBar && seeThrough)
            painter->fillRect(option->rect, QColor(0, 90, 200, 100));
        else
            QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
    mutable int paints = 0;
    bool seeThrough = false;
};

QPalette dark() {
    QPalette palette(QColor(0x35, 0x35, 0x35), QColor(0x2a, 0x2a, 0x2a));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    return palette;
}

// The widget painted into an image at `ratio`, as its window would paint it.
QImage painted(QWidget& widget, qreal ratio) {
    QImage image((QSizeF(widget.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta); // shows through wherever a bar would leave a pixel unpainted
    widget.render(&image);
    return image;
}

struct Bars : ::testing::Test {
    std::unique_ptr<QStyle> fusion{QStyleFactory::create(QStringLiteral("Fusion"))};
    Counting* counting = new Counting;
    ScrollBarBands bands{counting};

    // The same bar painted by Fusion directly and through the bands.
    QImage expectSamePixels(QWidget& widget, QScrollBar& bar, qreal ratio, const char* what) {
        bar.setStyle(fusion.get());
        const QImage direct = painted(widget, ratio);
        bar.setStyle(&bands);
        const QImage banded = painted(widget, ratio);
        EXPECT_EQ(direct, banded) << what << " at ratio " << ratio;
        return direct;
    }
};

TEST_F(Bars, ATallBarIsPaintedInBandsWithTheStylesOwnPixels) {
    for (const bool darkPalette : {false, true}) {
        for (const qreal ratio : {1.0, 2.0}) {
            for (const int height : {96, 97, 333, 770}) {
                QScrollBar bar(Qt::Vertical);
                if (darkPalette) bar.setPalette(dark());
                bar.resize(14, height);
                bar.setRange(0, 1000);
                bar.setPageStep(height);
                for (const int value : {0, 400, 1000}) {
                    bar.setValue(value);
                    expectSamePixels(bar, bar, ratio, darkPalette ? "dark" : "light");
                }
                bar.setEnabled(false);
                expectSamePixels(bar, bar, ratio, "disabled");
                // Painted in bands: one paint of the style per band of device rows.
                counting->paints = 0;
                painted(bar, ratio);
                const int rows = int(height * ratio);
                EXPECT_EQ(counting->paints, (rows + ScrollBarBands::bandRows - 1) / ScrollBarBands::bandRows)
                    << height << " at ratio " << ratio;
            }
        }
    }
}

TEST_F(Bars, ABarInsideAPageLandsWhereTheStyleWouldPaintIt) {
    // Within a window the bar is painted at an offset, as a page's scroll bar is.
    QScrollArea area;
    auto* page = new QLabel(QStringLiteral("A long page"));
    page->setMinimumSize(900, 4000);
    area.setWidget(page);
    area.resize(410, 777);
    area.verticalScrollBar()->setValue(1234);
    for (const qreal ratio : {1.0, 2.0}) expectSamePixels(area, *area.verticalScrollBar(), ratio, "in a page");
}

TEST_F(Bars, ShortHorizontalAndSeeThroughBarsArePaintedDirectly) {
    QScrollBar bar(Qt::Vertical);
    bar.setRange(0, 100);
    bar.setStyle(&bands);
    bar.resize(14, 95); // Qt fills this on the painting thread anyway
    counting->paints = 0;
    painted(bar, 1);
    EXPECT_EQ(counting->paints, 1);

    QScrollBar across(Qt::Horizontal);
    across.setRange(0, 100);
    across.setStyle(&bands);
    across.resize(800, 14);
    counting->paints = 0;
    painted(across, 2);
    EXPECT_EQ(counting->paints, 1);

    // A bar that lets the page show through cannot be laid on it in bands: it is painted
    // directly, over the page's own pixels.
    counting->seeThrough = true;
    bar.resize(14, 500);
    const QImage direct = [&] {
        auto washed = std::make_unique<Counting>();
        washed->seeThrough = true;
        bar.setStyle(washed.get());
        const QImage image = painted(bar, 1);
        bar.setStyle(&bands);
        return image;
    }();
    counting->paints = 0;
    EXPECT_EQ(painted(bar, 1), direct);
    EXPECT_EQ(counting->paints, 2) << "the first band, given up, then the whole bar";
}

TEST_F(Bars, InstallWrapsTheApplicationsStyleOnce) {
    const QString name = QApplication::style()->name();
    ScrollBarBands::install();
    QPointer<QStyle> installed = QApplication::style();
    ASSERT_TRUE(qobject_cast<ScrollBarBands*>(installed.data()));
    EXPECT_EQ(static_cast<ScrollBarBands*>(installed.data())->baseStyle()->name(), name);
    ScrollBarBands::install();
    EXPECT_EQ(QApplication::style(), installed.data());
    // Leave the other tests the plain style.
    QApplication::setStyle(QStyleFactory::create(name));
}

} // namespace
