#include "app/views/kit/SoakStripView.h"

#include <QPainter>

#include <cmath>

#include "app/paint/ComponentText.h"
#include "app/paint/SoakStripPaint.h"

namespace Tessarine {

namespace {
constexpr double legendGap = 3; // pixels between the strip and the legend
} // namespace

SoakStripView::SoakStripView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(ComponentText::soakTimelineLabel(0));
}

void SoakStripView::setStrip(RorozErurEvo::SoakStrip strip, double fraction) {
    if (strip == strip_ && fraction == fraction_) return;
    const bool longer = strip.seconds != strip_.seconds;
    strip_ = std::move(strip);
    fraction_ = fraction;
    if (longer) setAccessibleName(ComponentText::soakTimelineLabel(strip_.seconds));
    update();
    valueMayHaveChanged(this);
}

void SoakStripView::setLegend(bool legend) {
    if (legend == legend_) return;
    legend_ = legend;
    updateGeometry();
    update();
}

void SoakStripView::setFontSize(double fontSize) {
    if (fontSize == fontSize_ || !(fontSize > 0)) return;
    fontSize_ = fontSize;
    updateGeometry();
    update();
}

QString SoakStripView::accessibleValue() const { return QString::fromStdString(strip_.spoken()); }

QSize SoakStripView::sizeHint() const {
    double height = soakStripHeight(fontSize_);
    if (legend_) height += legendGap + soakLegendHeight(fontSize_);
    return {240, int(std::ceil(height))};
}

QSize SoakStripView::minimumSizeHint() const { return {60, sizeHint().height()}; }

void SoakStripView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Scheme scheme = Scheme::fromPalette(palette());
    const double stripHeight = soakStripHeight(fontSize_);
    paintSoakStrip(painter, QRectF(0, 0, width(), stripHeight), strip_, fraction_, scheme);
    if (legend_)
        paintSoakLegend(painter, QRectF(0, stripHeight + legendGap, width(), soakLegendHeight(fontSize_)), strip_,
                        fontSize_, scheme);
}

} // namespace Tessarine
