#include "app/views/kit/ScrollBarBands.h"

#include <QApplication>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionSlider>

#include <algorithm>
#include <vector>

namespace Tessarine {

namespace {

bool opaque(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (std::any_of(pixels, pixels + image.width(), [](QRgb pixel) { return qAlpha(pixel) != 255; })) return false;
    }
    return true;
}

// A painter on a band that starts from the state the style would have found on the page's.
void copyState(const QPainter& from, QPainter& to) {
    to.setFont(from.font());
    to.setPen(from.pen());
    to.setBrush(from.brush());
    to.setBrushOrigin(from.brushOrigin());
    to.setBackground(from.background());
    to.setBackgroundMode(from.backgroundMode());
    to.setLayoutDirection(from.layoutDirection());
    to.setRenderHints(from.renderHints());
}

} // namespace

void ScrollBarBands::install() {
    if (qobject_cast<ScrollBarBands*>(QApplication::style())) return;
    // A fresh instance of the style in use, which the application deletes when it is replaced.
    if (QStyle* base = QStyleFactory::create(QApplication::style()->name())) QApplication::setStyle(new ScrollBarBands(base));
}

ScrollBarBands::ScrollBarBands(QStyle* base) : QProxyStyle(base) {}

void ScrollBarBands::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                        const QWidget* widget) const {
    if (control == CC_ScrollBar && painter && paintBanded(option, painter, widget)) return;
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

bool ScrollBarBands::paintBanded(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (!bar || bar->orientation != Qt::Vertical) return false; // a horizontal bar is a few rows tall
    const QPaintEngine* engine = painter->paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster) return false;
    // Whole-pixel scales and moves only, so that a band is the page's pixels shifted by whole
    // pixels; and a plain painter, so that laying an opaque band is the same as painting there.
    const QTransform toDevice = painter->deviceTransform();
    const qreal scale = toDevice.m11();
    if (toDevice.type() > QTransform::TxScale || toDevice.m22() != scale || (scale != 1 && scale != 2)) return false;
    if (toDevice.dx() != qRound(toDevice.dx()) || toDevice.dy() != qRound(toDevice.dy())) return false;
    if (painter->opacity() != 1 || painter->compositionMode() != QPainter::CompositionMode_SourceOver) return false;
    // The ratio the style sees on the device, which may differ from the scale when a widget is
    // rendered into an image of another ratio.
    const qreal ratio = painter->device()->devicePixelRatio();
    if (ratio != 1 && ratio != 2) return false;
    const QRect rect = option->rect;
    if (rect.isEmpty() || rect.height() * scale < 96) return false; // Qt fills it on this thread anyway

    const int step = int(bandRows / scale);
    std::vector<QImage> bands;
    bands.reserve(size_t(rect.height() / step + 1));
    for (int top = 0; top < rect.height(); top += step) {
        const int rows = std::min(step, rect.height() - top);
        QImage band(int(rect.width() * scale), int(rows * scale), QImage::Format_ARGB32_Premultiplied);
        if (band.isNull()) return false;
        band.setDevicePixelRatio(ratio);
        band.fill(Qt::transparent);
        QPainter onBand(&band);
        copyState(*painter, onBand);
        onBand.scale(scale / ratio, scale / ratio);
        onBand.translate(-rect.x(), -(rect.y() + top));
        QProxyStyle::drawComplexControl(CC_ScrollBar, option, &onBand, widget);
        onBand.end();
        if (!opaque(band)) return false;
        // Laid on the page pixel for pixel.
        band.setDevicePixelRatio(scale);
        bands.push_back(std::move(band));
    }
    int top = rect.y();
    for (const QImage& band : bands) {
        painter->drawImage(QPoint(rect.x(), top), band);
        top += step;
    }
    return true;
}

} // namespace Tessarine
