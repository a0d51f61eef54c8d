#pragma once
// Qt's raster painter splits a fill more than about a hundred pixel rows tall into pieces for its
// own thread pool and waits for them. A vertical scroll bar beside a tall page is such a fill: a
// few thousand pixels of gradient and lines cut into a dozen tasks, whose hand-over to the pool's
// threads (woken one by one, created on first use) costs several times the painting itself, and
// the window's first frame paints two of them while it keeps input waiting.
//
// This style paints a tall scroll bar in bands of a few dozen rows instead, each into a small
// image whose own bounds keep every fill short enough for Qt to do it on the painting thread,
// then lays the bands on the page. The style underneath fills the whole groove with opaque
// colour, so a band laid on the page gives exactly the pixels the style paints there directly;
// where it does not (a see-through palette, another style), the bar is painted directly as
// before. Everything else goes to the application's own style unchanged.
#include <QProxyStyle>

namespace Tessarine {

class ScrollBarBands : public QProxyStyle {
    Q_OBJECT

public:
    // Wraps the application's style (the one chosen on the command line, by the desktop or Qt's
    // default) in a new instance of itself; a second call changes nothing.
    static void install();

    // `base`: the style that paints; owned by this one.
    explicit ScrollBarBands(QStyle* base);

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;

    // Device pixel rows of one band: short enough that no fill within it goes to Qt's pool.
    static constexpr int bandRows = 64;

private:
    // Paints a vertical scroll bar band by band; false, having painted nothing, where the bands
    // could not give the direct painting's pixels.
    bool paintBanded(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const;
};

} // namespace Tessarine
