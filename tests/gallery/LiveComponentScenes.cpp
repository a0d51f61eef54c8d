// Scenes of the live components: stick readouts, trigger bars, measure rows and the running-test
// visuals, with representative values.
#include <QHBoxLayout>

#include <cmath>
#include <numbers>

#include "Gallery.h"
#include "app/devices/CaptureBuffer.h"
#include "app/base/Clock.h"
#include "app/views/kit/Compass.h"
#include "app/views/kit/FlowChips.h"
#include "app/views/kit/MeasureRow.h"
#include "app/views/kit/MotionGraph.h"
#include "app/views/kit/StickReadout.h"
#include "app/views/kit/TouchTrace.h"
#include "app/views/kit/TriggerBar.h"

namespace Tessarine {
namespace {

using RorozErurEvo::Direction8;
using RorozErurEvo::Limit;
using RorozErurEvo::Measure;
using RorozErurEvo::MeasureUnit;
using RorozErurEvo::MotionSample;
using RorozErurEvo::RawPoint;
using RorozErurEvo::StickSample;
using RorozErurEvo::TouchSample;
using RorozErurEvo::Vector3;

QWidget* readout(std::optional<StickSample> sample, bool raw) {
    auto* r = new StickReadout;
    r->setSample(sample);
    r->setShowRaw(raw);
    return r;
}

QWidget* trigger(const QString& name, double value, std::optional<long long> raw = std::nullopt, bool showRaw = false) {
    auto* bar = new TriggerBar(name);
    bar->setValue(value, raw);
    bar->setShowRaw(showRaw);
    return bar;
}

// A motion graph over a still clock, with 3 s of a controller being turned.
class MotionScene : public QWidget {
public:
    MotionScene() : clock_(10), buffer_(std::make_shared<CaptureBuffer>()) {
        for (int i = 0; i < 300; ++i) {
            const double t = 7 + i * 0.01;
            const double phase = 2 * std::numbers::pi * (t - 7) / 1.5;
            buffer_->recordMotion(MotionSample{t, Vector3{2.5 * std::sin(phase), 5 * std::cos(phase / 2), 0.3},
                                               Vector3{0.2 * std::sin(phase), -0.1, 0.98 + 0.8 * std::cos(phase)}});
        }
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(12, 12, 12, 12);
        auto* graph = new MotionGraph(clock_);
        graph->setBuffer(buffer_);
        layout->addWidget(graph);
    }

private:
    FakeClock clock_;
    std::shared_ptr<CaptureBuffer> buffer_;
};

std::vector<TouchSample> touchSweep() {
    std::vector<TouchSample> samples;
    for (int i = 0; i <= 60; ++i) samples.push_back({i * 0.02, 0, -0.9 + 1.8 * i / 60.0, 0.6 * std::sin(i / 8.0)});
    for (int i = 0; i <= 40; ++i) samples.push_back({2 + i * 0.02, 1, 0.8 - 1.2 * i / 40.0, -0.7 + 0.3 * i / 40.0});
    samples.push_back({3, 2, 0, 0}); // a third finger: counted, not drawn
    return samples;
}

const bool liveComponentScenesAdded = Gallery::add({
    {"live-stick-readouts", {260, 0},
     [] {
         return Gallery::column({readout(std::nullopt, false), readout(StickSample{0, 0.25, -0.125, {}}, false),
                                 readout(StickSample{0, 0.0004, 1, RawPoint{32767, -32768}}, true)},
                                6);
     }},
    {"live-trigger-bars", {260, 0},
     [] {
         return Gallery::column({trigger("Left trigger", 0.25), trigger("Right trigger", 1.3),
                                 trigger("Throttle", -0.1), trigger("Brake pedal", 0.62, 1015, true),
                                 trigger("A very long axis name that does not fit beside its value", 0.5)});
     }},
    {"result-measure-rows", {460, 0},
     [] {
         auto* info = new MeasureRow(Measure{"rate", "Report rate", 250, MeasureUnit::hertz, std::nullopt});
         auto* pass = new MeasureRow(
             Measure{"offset", "Rest offset", 0.021, MeasureUnit::percent, Limit{0.04, 0.08, Limit::Direction::above}});
         auto* warn = new MeasureRow(Measure{"latency", "Press-to-report latency", 12, MeasureUnit::milliseconds,
                                             Limit{10, 20, Limit::Direction::above}});
         auto* fail = new MeasureRow(
             Measure{"reach", "Outer reach", 0.81, MeasureUnit::percent, Limit{0.95, 0.9, Limit::Direction::below}});
         return Gallery::column({info, pass, warn, fail}, 6);
     }},
    {"running-flow-chips", {360, 0},
     [] {
         auto* chips = new FlowChips;
         chips->setItems({{"A", true}, {"B", true}, {"X", false}, {"Y", true}, {"Left bumper", true},
                          {"Right bumper", false}, {"Left trigger", false}, {"Right trigger", true},
                          {"Left stick button pressed all the way", false}, {"Menu", false}});
         return Gallery::column({chips});
     }},
    {"running-compass", {108, 108},
     [] {
         auto* none = new Compass;
         none->setFixedSize(84, 84);
         none->setLit({Direction8::right, Direction8::up, Direction8::left, Direction8::downRight});
         return Gallery::column({none});
     }},
    {"running-motion-graph", {420, 0}, [] { return std::make_unique<MotionScene>(); }},
    {"running-motion-graph-empty", {420, 0},
     [] {
         auto graph = std::make_unique<MotionGraph>();
         graph->setBuffer(std::make_shared<CaptureBuffer>());
         return Gallery::column({graph.release()});
     }},
    {"running-touch-trace", {244, 134},
     [] {
         auto* trace = new TouchTrace;
         trace->setFixedSize(220, 110);
         trace->setSamples(touchSweep());
         return Gallery::column({trace});
     }},
});

} // namespace
} // namespace Tessarine
