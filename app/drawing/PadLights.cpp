#include "app/drawing/PadLights.h"

#include "app/drawing/ShapeMath.h"
#include "app/paint/Theme.h"
#include "app/drawing/DirectFill.h"
#include "app/drawing/Gradients.h"
#include "app/drawing/PaintLayers.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Tessarine {

namespace {

using ShapeMath::centred;
using ShapeMath::capsule;

using namespace Gradients;

constexpr double lightSize = 5;    // points, each player light
constexpr double lightSpacing = 6; // points between two lights

} // namespace

std::optional<QColor> lightBarColor(std::span<const double> components) {
    if (components.size() != 3) return std::nullopt;
    if (!std::all_of(components.begin(), components.end(), [](double c) { return std::isfinite(c); }))
        return std::nullopt;
    auto unit = [](double c) { return std::clamp(c, 0.0, 1.0); };
    return Color::rgb(unit(components[0]), unit(components[1]), unit(components[2]));
}

std::optional<QColor> lightBarColor(const std::optional<std::array<double, 3>>& components) {
    if (!components) return std::nullopt;
    return lightBarColor(std::span<const double>(*components));
}

bool playerLightLit(const PlayerLights& lights, int index) { return lights.lit && index <= *lights.lit; }

QPointF playerLightOffset(int index) {
    const double row = playerLightCount * lightSize + (playerLightCount - 1) * lightSpacing;
    return {-row / 2 + lightSize / 2 + index * (lightSize + lightSpacing), 0};
}

void paintLightBar(QPainter& painter, const LightBar& bar, QPointF centre) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF strip = centred(centre, 80, 4);
    if (bar.color) {
        const QColor color = *bar.color;
        PaintLayers::paintBlurred(painter, capsule(centred(centre, 90, 12)), Color::withOpacity(color, 0.55), 4);
        painter.fillPath(capsule(strip), vertical(strip, {white(0.7), color, color}));
    } else {
        DirectFill::fill(painter, capsule(strip), white(0.08));
    }
    painter.restore();
}

void paintPlayerLights(QPainter& painter, const PlayerLights& lights, QPointF centre) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor& teal = Color::accentTeal();
    for (int i = 0; i < playerLightCount; ++i) {
        const QRectF light = centred(centre + playerLightOffset(i), lightSize, lightSize);
        QPainterPath disc;
        disc.addEllipse(light);
        const bool lit = playerLightLit(lights, i);
        if (lit) PaintLayers::paintBlurred(painter, disc, Color::withOpacity(teal, 0.9), 3);
        DirectFill::fill(painter, disc, lit ? QColor(teal) : black(0.35));
        PaintLayers::strokeInside(painter, light, lightSize / 2, white(lit ? 0.6 : 0.15), 0.6);
    }
    painter.restore();
}

PartAccessibility accessibility(const LightBar& bar) {
    if (!bar.color) return {{}, {}, true};
    return {QStringLiteral("Light bar color"), {}};
}

PartAccessibility accessibility(const PlayerLights& lights) {
    if (!lights.lit) return {{}, {}, true};
    return {QStringLiteral("Player light %1").arg(qlonglong(*lights.lit) + 1), {}};
}

} // namespace Tessarine
