// Scenes of the stick plot and the soak strip, with the values a live panel and a result show.
#include <cmath>
#include <numbers>

#include "Gallery.h"
#include "app/views/kit/SoakStripView.h"
#include "app/views/kit/StickPlotView.h"
#include "testkit/SeededRandom.h"

namespace Tessarine {
namespace {

using RorozErurEvo::GateShape;
using RorozErurEvo::SoakStrip;
using RorozErurEvo::StickPlot;
using RorozErurEvo::StickSample;

// A stick circling its gate for 1.5 s at 1 kHz, ending at (0.5, 0.5).
std::vector<StickSample> circlingTrail() {
    std::vector<StickSample> trail;
    for (int i = 0; i <= 1500; ++i) {
        const double t = i / 1000.0;
        const double angle = std::numbers::pi / 4 - (1.5 - t) * 2 * std::numbers::pi / 1.2;
        const double r = 0.7071 * (0.6 + 0.4 * t / 1.5);
        trail.push_back({t, r * std::cos(angle), r * std::sin(angle), std::nullopt});
    }
    return trail;
}

StickPlot measuredOutline(bool withGap) {
    StickPlot plot;
    plot.gate = GateShape::octagonGameCube;
    for (int i = 0; i < 72; ++i) {
        const double theta = (5.0 * i - 20) * std::numbers::pi / 180;
        plot.radii.push_back(RorozErurEvo::idealRadius(plot.gate, theta) * (0.96 + 0.05 * std::sin(3 * theta)));
    }
    if (withGap) plot.radii[30].reset();
    return plot;
}

std::unique_ptr<QWidget> stick(StickPlotParams params) {
    auto view = std::make_unique<StickPlotView>();
    view->setParams(std::move(params));
    return view;
}

SoakStrip soakRun() {
    using State = SoakStrip::State;
    std::vector<State> bins(120, State::ok);
    for (int i : {17, 18, 64}) bins[size_t(i)] = State::gap;
    for (int i = 40; i < 46; ++i) bins[size_t(i)] = State::pause;
    for (int i = 90; i < 93; ++i) bins[size_t(i)] = State::disconnected;
    return {600, bins};
}

std::unique_ptr<QWidget> strip(SoakStrip s, double fraction, bool legend, double fontSize = 11) {
    auto view = std::make_unique<SoakStripView>();
    view->setStrip(std::move(s), fraction);
    view->setLegend(legend);
    view->setFontSize(fontSize);
    return view;
}

const bool plotScenesAdded = Gallery::add({
    {"stick-plot-live", {220, 220},
     [] {
         StickPlotParams p;
         p.trail = circlingTrail();
         p.sample = p.trail.back();
         return stick(p);
     }},
    {"stick-plot-pressed-square-gate", {220, 220},
     [] {
         StickPlotParams p;
         p.gate = GateShape::square;
         p.sample = StickSample{0, -0.3, 0.8, std::nullopt};
         p.pressed = true;
         return stick(p);
     }},
    {"stick-plot-octagon-n64", {160, 160},
     [] {
         StickPlotParams p;
         p.gate = GateShape::octagonN64;
         p.scale = 0.9;
         return stick(p);
     }},
    {"stick-plot-circularity", {220, 220},
     [] {
         StickPlotParams p;
         p.gate = GateShape::octagonGameCube;
         p.plot = measuredOutline(false);
         return stick(p);
     }},
    {"stick-plot-circularity-gap", {220, 220},
     [] {
         StickPlotParams p;
         p.gate = GateShape::round;
         p.plot = measuredOutline(true);
         p.plot->gate = GateShape::round;
         p.sample = StickSample{0, 0.02, -0.01, std::nullopt};
         return stick(p);
     }},
    {"stick-plot-wide-canvas", {150, 100},
     [] {
         StickPlotParams p;
         p.sample = StickSample{0, 1, 0, std::nullopt};
         return stick(p);
     }},
    {"soak-strip", {420, 0}, [] { return strip(soakRun(), 1, true); }},
    {"soak-strip-half-running", {420, 0}, [] { return strip(soakRun(), 0.5, true); }},
    {"soak-strip-all-ok", {420, 0}, [] { return strip({300, std::vector<SoakStrip::State>(120, SoakStrip::State::ok)}, 1, true); }},
    {"soak-strip-empty-large", {420, 0}, [] { return strip({}, 1, true, 16); }},
    {"soak-strip-no-legend", {300, 0}, [] { return strip(soakRun(), 1, false); }},
});

} // namespace
} // namespace Tessarine
