#include "app/views/kit/Compass.h"

#include <QPainter>

#include <cmath>

#include "app/paint/ComponentText.h"
#include "app/paint/Scheme.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"

namespace Tessarine {

namespace {
constexpr double dotDistance = 32;   // pixels from the centre
constexpr double dotSide = 11;       // pixels: the dot symbols at an 11-pixel font
constexpr double ringOpacity = 0.15;
constexpr double ringWidth = 1;      // pixels
} // namespace

Compass::Compass(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Directions seen"));
}

void Compass::setLit(std::set<RorozErurEvo::Direction8> lit) {
    if (lit == lit_) return;
    lit_ = std::move(lit);
    update();
    valueMayHaveChanged(this);
}

QPointF Compass::dotCentre(RorozErurEvo::Direction8 direction) const {
    const double theta = RorozErurEvo::angle(direction);
    // Screen y grows downward: up is above the centre.
    return QPointF(width() / 2.0 + dotDistance * std::cos(theta), height() / 2.0 - dotDistance * std::sin(theta));
}

QString Compass::accessibleValue() const { return ComponentText::compassValue(lit_); }

void Compass::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Scheme scheme = Scheme::fromPalette(palette());
    const double side = std::min(width(), height());
    const QRectF square((width() - side) / 2, (height() - side) / 2, side, side);
    painter.setPen(QPen(Color::withOpacity(scheme.primary, ringOpacity), ringWidth));
    painter.drawEllipse(square.adjusted(ringWidth / 2, ringWidth / 2, -ringWidth / 2, -ringWidth / 2));
    for (auto direction : RorozErurEvo::allCases<RorozErurEvo::Direction8>()) {
        const bool on = lit_.contains(direction);
        const QPointF centre = dotCentre(direction);
        Symbols::paint(painter, QRectF(centre.x() - dotSide / 2, centre.y() - dotSide / 2, dotSide, dotSide),
                       on ? QStringLiteral("circle.fill") : QStringLiteral("circle"),
                       on ? Color::passGreen() : scheme.secondary);
    }
}

} // namespace Tessarine
