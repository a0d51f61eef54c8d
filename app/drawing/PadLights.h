#pragma once
// The controller's outputs on the drawn controller: the light bar glowing in the colour last
// sent to the device, and the row of four player lights. Neither depends on the colour scheme.
#include "app/drawing/PartAccessibility.h"

#include <QColor>
#include <QPointF>

#include <array>
#include <optional>
#include <span>

class QPainter;

namespace Tessarine {

struct LightBar {
    std::optional<QColor> color; // absent when no colour is known: the bar shows an empty slot

    friend bool operator==(const LightBar&, const LightBar&) = default;
};

struct PlayerLights {
    std::optional<int> lit; // the player index last sent, from 0; absent when none was sent

    friend bool operator==(const PlayerLights&, const PlayerLights&) = default;
};

// The light bar's colour from red, green and blue components: exactly three finite numbers,
// each limited to 0…1, give an opaque colour; anything else gives none.
std::optional<QColor> lightBarColor(std::span<const double> components);
std::optional<QColor> lightBarColor(const std::optional<std::array<double, 3>>& components);

// Whether light `index` (0…3, left to right) is lit: every light up to and including the index.
bool playerLightLit(const PlayerLights& lights, int index);
inline constexpr int playerLightCount = 4;
// Centre of light `index` relative to the row's centre (5-point lights, 6 points apart).
QPointF playerLightOffset(int index);

void paintLightBar(QPainter& painter, const LightBar& bar, QPointF centre);
void paintPlayerLights(QPainter& painter, const PlayerLights& lights, QPointF centre);

// "Light bar color" while a colour is shown, and "Player light <index + 1>"; hidden otherwise.
PartAccessibility accessibility(const LightBar& bar);
PartAccessibility accessibility(const PlayerLights& lights);

} // namespace Tessarine
