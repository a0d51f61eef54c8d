#include "app/views/kit/TouchTrace.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

#include "app/paint/ComponentText.h"
#include "app/paint/Scheme.h"
#include "app/paint/Theme.h"

namespace Tessarine {

namespace {
constexpr double traceCornerRadius = 8;    // pixels
constexpr double fillOpacity = 0.05;
constexpr double borderOpacity = 0.15;
constexpr double dotDiameter = 4;     // pixels
constexpr double dotOpacity = 0.7;
} // namespace

TouchTrace::TouchTrace(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Touchpad trace"));
}

void TouchTrace::setSamples(std::vector<RorozErurEvo::TouchSample> samples) {
    if (samples == samples_) return;
    samples_ = std::move(samples);
    update();
    valueMayHaveChanged(this);
}

QPointF TouchTrace::dotCentre(const RorozErurEvo::TouchSample& sample) const {
    // The surface's y is up; the picture's is down.
    return QPointF(width() * (sample.x + 1) / 2, height() * (1 - sample.y) / 2);
}

QString TouchTrace::accessibleValue() const { return ComponentText::touchTraceValue(samples_); }

void TouchTrace::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Scheme scheme = Scheme::fromPalette(palette());
    QPainterPath surface;
    surface.addRoundedRect(QRectF(rect()), traceCornerRadius, traceCornerRadius);
    painter.fillPath(surface, Color::withOpacity(scheme.primary, fillOpacity));
    QPainterPath border;
    border.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), traceCornerRadius - 0.5, traceCornerRadius - 0.5);
    painter.strokePath(border, QPen(Color::withOpacity(scheme.primary, borderOpacity), 1));

    painter.setPen(Qt::NoPen);
    // The first finger under the second; other fingers are counted but not drawn.
    const QColor colours[2] = {Color::withOpacity(scheme.orange, dotOpacity),
                               Color::withOpacity(Color::accentTeal(), dotOpacity)};
    for (int finger : {0, 1}) {
        painter.setBrush(colours[finger]);
        for (const auto& sample : samples_)
            if (sample.finger == finger && std::isfinite(sample.x) && std::isfinite(sample.y))
                painter.drawEllipse(dotCentre(sample), dotDiameter / 2, dotDiameter / 2);
    }
}

} // namespace Tessarine
