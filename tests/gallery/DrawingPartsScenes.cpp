// Scenes of the controller drawing's parts on the design canvas at twice its size: every part
// released and idle, then pressed, pulled and lit; and a close-up of the caps in their states.
// The shell itself belongs to the assembled drawing; here only its outline shows where the
// parts stand.
#include "Gallery.h"
#include "app/devices/ElementInfo.h"
#include "app/drawing/PadButtons.h"
#include "app/drawing/PadLights.h"
#include "app/drawing/PadShapes.h"
#include "app/drawing/PadShoulders.h"
#include "app/drawing/StickCap.h"

namespace Tessarine {
namespace {

using RorozErurEvo::Direction8;
using RorozErurEvo::RawPoint;
using RorozErurEvo::StickSample;
using Role = ElementInfo::Role;

ElementInfo element(std::string name, std::optional<std::string> symbol, Role role) {
    ElementInfo e;
    e.id = name;
    e.name = std::move(name);
    e.symbol = std::move(symbol);
    e.role = role;
    return e;
}

// Every part at its place on the canvas; `active` presses, pulls and lights all of them.
void paintParts(QPainter& p, const QRectF& rect, const Scheme& scheme, bool active) {
    p.scale(rect.width() / PadCanvas::width, rect.height() / PadCanvas::height);
    paintPadTrigger(p, {true, "LT", active ? 1.3 : 0, std::nullopt, false}, scheme);
    paintPadTrigger(p, {false, "RT", active ? 0.5 : 0, active ? std::optional<long long>(128) : std::nullopt, active},
                    scheme);
    paintPadBumper(p, {true, "LB", active}, scheme);
    paintPadBumper(p, {false, "RB", active}, scheme);
    p.strokePath(ShellShape::outline(), QPen(scheme.secondary, 1));

    paintLightBar(p, {active ? lightBarColor(std::optional<std::array<double, 3>>{{1, 0, 0}}) : std::nullopt},
                  {280, 75});
    paintPlayerLights(p, {active ? std::optional<int>(2) : std::nullopt}, {280, 150});
    paintStickCap(p, {active ? std::optional<StickSample>({0, 1, 1, RawPoint{}}) : std::nullopt, active, "Left Stick",
                      false},
                  {140, 136});
    paintStickCap(p, {StickSample{0, active ? 0.5 : 0, active ? -0.5 : 0, {}}, false, "Right Stick", false}, {350, 206});
    paintDPadCap(p, {active ? std::optional(Direction8::upLeft) : std::nullopt}, {210, 206});
    paintFaceButton(p, {element("A", "circle", Role::south), active}, {420, 168});
    paintFaceButton(p, {element("B", "circle", Role::east), false}, {452, 136});
    paintFaceButton(p, {element(" X ", "circle", Role::west), active}, {388, 136});
    paintFaceButton(p, {element("Triangle", "circle", Role::north), active}, {420, 104});
    paintSmallButton(p, {element("Options", "ellipsis.circle", Role::options), active}, {207, 96});
    paintSmallButton(p, {element("Menu", "line.3.horizontal.circle", Role::menu), false}, {353, 96});
    paintSmallButton(p, {element("Home", "house.circle", Role::home), active}, {280, 174});
    paintSmallButton(p, {element("Share", "square.and.arrow.up.circle", Role::share), active}, {280, 204});
}

// Four times larger: the d-pad in every kind of state, face and small buttons idle and held, the
// player lights for each index and the light bar empty and lit.
void paintCloseUp(QPainter& p, const QRectF& rect, const Scheme&) {
    p.scale(rect.width() / 300, rect.width() / 300);
    const std::optional<Direction8> directions[] = {std::nullopt, Direction8::up, Direction8::upLeft, Direction8::right};
    for (int i = 0; i < 4; ++i) paintDPadCap(p, {directions[i]}, {40.0 + 72 * i, 40});
    const ElementInfo faces[] = {element("Y", "circle", Role::north), element("Cross", "checkmark.circle.fill", Role::south),
                                 element("Square", "circle", Role::west)};
    for (int i = 0; i < 3; ++i) {
        paintFaceButton(p, {faces[i], false}, {28.0 + 44 * i, 100});
        paintFaceButton(p, {faces[i], true}, {28.0 + 44 * i, 140});
    }
    const ElementInfo smalls[] = {element("Home", "house.circle", Role::home),
                                  element("Menu", "line.3.horizontal.circle", Role::menu),
                                  element("Extra", std::nullopt, Role::share)};
    for (int i = 0; i < 3; ++i) {
        paintSmallButton(p, {smalls[i], false}, {170.0 + 40 * i, 100});
        paintSmallButton(p, {smalls[i], true}, {170.0 + 40 * i, 140});
    }
    for (int i = -1; i < 4; ++i)
        paintPlayerLights(p, {i < 0 ? std::nullopt : std::optional<int>(i)}, {30.0 + 56 * (i + 1), 176});
    paintLightBar(p, {std::nullopt}, {60, 200});
    paintLightBar(p, {lightBarColor(std::optional<std::array<double, 3>>{{0.1, 0.8, 0.2}})}, {160, 200});
    paintLightBar(p, {lightBarColor(std::optional<std::array<double, 3>>{{0.2, 0.3, 1}})}, {255, 200});
}

const bool drawingPartsScenesAdded = Gallery::add({
    {"drawing-parts-released", {1120, 660},
     [] { return Gallery::painted([](QPainter& p, const QRectF& r, const Scheme& s) { paintParts(p, r, s, false); }); }},
    {"drawing-parts-active", {1120, 660},
     [] { return Gallery::painted([](QPainter& p, const QRectF& r, const Scheme& s) { paintParts(p, r, s, true); }); }},
    {"drawing-parts-close-up", {1200, 840}, [] { return Gallery::painted(paintCloseUp); }},
});

} // namespace
} // namespace Tessarine
