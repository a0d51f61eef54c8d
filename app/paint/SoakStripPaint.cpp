#include "app/paint/SoakStripPaint.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "app/paint/ComponentText.h"
#include "app/paint/Theme.h"
#include "testkit/SoakResult.h"

namespace Tessarine {

using RorozErurEvo::SoakStrip;

namespace {
constexpr double stripCornerRadius = 3;       // pixels
constexpr double backgroundOpacity = 0.06;
constexpr double swatchRadius = 2;       // pixels
constexpr double swatchToLabel = 3;      // pixels
constexpr double entrySpacing = 10;      // pixels between legend items
constexpr double minimumFlexible = 4;    // pixels at least on either side of the entries

QFont legendFont(double fontSize) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(std::max(1, int(std::lround(fontSize * 0.85))));
    return font;
}
} // namespace

QColor soakColor(SoakStrip::State state, const Scheme& scheme) {
    switch (state) {
    case SoakStrip::State::ok: return Color::withOpacity(Color::passGreen(), 0.55);
    case SoakStrip::State::pause: return Color::withOpacity(scheme.gray, 0.35);
    case SoakStrip::State::gap: return Color::warnAmber();
    case SoakStrip::State::disconnected: return Color::failRed();
    }
    return Color::failRed();
}

void paintSoakStrip(QPainter& painter, const QRectF& rect, const SoakStrip& strip, double fraction,
                    const Scheme& scheme) {
    if (rect.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(rect, stripCornerRadius, stripCornerRadius);
    painter.fillPath(shape, Color::withOpacity(scheme.primary, backgroundOpacity));
    if (!std::isfinite(fraction)) fraction = 0;
    const double filled = rect.width() * std::clamp(fraction, 0.0, 1.0);
    const size_t n = strip.bins.size();
    if (n > 0 && filled > 0) {
        painter.setClipPath(shape);
        // Bins are spread evenly over the filled width, whatever the times inside them. A run of
        // bins in one state is one rectangle: the fills are translucent, so bins that overlapped
        // or met with antialiased edges would show stripes inside a run.
        const double bin = filled / double(n);
        for (size_t first = 0; first < n;) {
            size_t end = first + 1;
            while (end < n && strip.bins[end] == strip.bins[first]) ++end;
            painter.fillRect(QRectF(rect.left() + bin * double(first), rect.top(), bin * double(end - first),
                                    rect.height()),
                             soakColor(strip.bins[first], scheme));
            first = end;
        }
    }
    painter.restore();
}

double soakStripHeight(double fontSize) { return fontSize * 1.3; }

double soakLegendHeight(double fontSize) {
    return std::max(QFontMetricsF(legendFont(fontSize)).height(), fontSize * 0.8);
}

void paintSoakLegend(QPainter& painter, const QRectF& rect, const SoakStrip& strip, double fontSize,
                     const Scheme& scheme) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QFont font = legendFont(fontSize);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    const double swatch = fontSize * 0.8;
    const double baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();

    const QString start = QStringLiteral("0:00");
    const QString end = QString::fromStdString(RorozErurEvo::SoakAnalysis::clock(strip.seconds));
    const auto states = ComponentText::soakLegendStates(strip);
    double entriesWidth = 0;
    for (size_t i = 0; i < states.size(); ++i)
        entriesWidth += (i ? entrySpacing : 0) + swatch + swatchToLabel +
                        metrics.horizontalAdvance(QString::fromStdString(RorozErurEvo::word(states[i])));
    // The entries sit in the middle of the space the two times leave; they keep at least the
    // minimum gap on either side and are cut at the right edge when the row is too narrow.
    const double startWidth = metrics.horizontalAdvance(start), endWidth = metrics.horizontalAdvance(end);
    // Items are 10 apart, the two flexible spaces included.
    const double free = rect.width() - startWidth - endWidth - entriesWidth - 4 * entrySpacing;
    const double flexible = std::max(minimumFlexible, free / 2);

    painter.setPen(scheme.secondary);
    painter.drawText(QPointF(rect.left(), baseline), start);
    painter.drawText(QPointF(rect.right() - endWidth, baseline), end);
    painter.setClipRect(QRectF(rect.left(), rect.top(), std::max(0.0, rect.width() - endWidth - entrySpacing),
                               rect.height()));
    double x = rect.left() + startWidth + 2 * entrySpacing + flexible;
    for (size_t i = 0; i < states.size(); ++i) {
        if (i) x += entrySpacing;
        QPainterPath box;
        const double top = rect.top() + (rect.height() - swatch) / 2;
        box.addRoundedRect(QRectF(x, top, swatch, swatch), swatchRadius, swatchRadius);
        painter.fillPath(box, soakColor(states[i], scheme));
        x += swatch + swatchToLabel;
        const QString word = QString::fromStdString(RorozErurEvo::word(states[i]));
        painter.setPen(scheme.secondary);
        painter.drawText(QPointF(x, baseline), word);
        x += metrics.horizontalAdvance(word);
    }
    painter.restore();
}

} // namespace Tessarine
