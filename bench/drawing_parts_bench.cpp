// The controller drawing's live parts are painted on every frame while inputs move (up to 60 a
// second): one frame of every part, active, on a 2× screen at the size the live panel gives it.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "app/paint/Scheme.h"
#include "app/drawing/PadButtons.h"
#include "app/drawing/PadLights.h"
#include "app/drawing/PadShoulders.h"
#include "app/drawing/StickCap.h"

using namespace Tessarine;

namespace {

ElementInfo element(std::string name, std::optional<std::string> symbol, ElementInfo::Role role) {
    ElementInfo e;
    e.name = std::move(name);
    e.symbol = std::move(symbol);
    e.role = role;
    return e;
}

void paintFrame(QPainter& p, const Scheme& scheme) {
    paintPadTrigger(p, {true, "LT", 0.7, std::nullopt, false}, scheme);
    paintPadTrigger(p, {false, "RT", 0.2, std::nullopt, false}, scheme);
    paintPadBumper(p, {true, "LB", true}, scheme);
    paintPadBumper(p, {false, "RB", false}, scheme);
    paintLightBar(p, {QColor(Qt::red)}, {280, 75});
    paintPlayerLights(p, {3}, {280, 150});
    paintStickCap(p, {RorozErurEvo::StickSample{0, 0.3, 0.6, {}}, true, "L", false}, {140, 136});
    paintStickCap(p, {RorozErurEvo::StickSample{0, -0.2, 0, {}}, false, "R", false}, {350, 206});
    paintDPadCap(p, {RorozErurEvo::Direction8::upLeft}, {210, 206});
    for (auto [role, x, y] : {std::tuple{ElementInfo::Role::south, 420.0, 168.0}, {ElementInfo::Role::east, 452.0, 136.0},
                              {ElementInfo::Role::west, 388.0, 136.0}, {ElementInfo::Role::north, 420.0, 104.0}})
        paintFaceButton(p, {element("A", "circle", role), role == ElementInfo::Role::south}, {x, y});
    paintSmallButton(p, {element("Menu", "line.3.horizontal.circle", ElementInfo::Role::menu), false}, {353, 96});
    paintSmallButton(p, {element("Home", "house.circle", ElementInfo::Role::home), true}, {280, 174});
}

void BM_DrawingPartsFrame(benchmark::State& state) {
    // 540 points wide on a 2× screen.
    const double scale = 540.0 / 560.0 * 2;
    QImage image(int(560 * scale), int(330 * scale), QImage::Format_ARGB32_Premultiplied);
    const Scheme scheme = Scheme::light();
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        paintFrame(p, scheme);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DrawingPartsFrame)->Unit(benchmark::kMillisecond);

} // namespace
