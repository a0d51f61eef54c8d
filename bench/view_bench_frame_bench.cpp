// One 60 Hz frame of a device's Bench tab with the demo controller playing, the detail pane at
// the size the window opens with: the model's tick (which publishes the live values and drives a
// running test), the views' refresh from it, and the paint of what changed, the live panel and the
// visible cards, into the window's offscreen image, as the application's event loop does it.
// Target: under 4 ms, so that the bench at 60 Hz takes less than a quarter of one core.
//
// benchFullRepaint paints the whole view every frame instead, every card in sight included, as an
// upper bound.
#include "tests/app/model/ModelFakes.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include "app/model/TestRunner.h"
#include "app/views/device/DeviceView.h"

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

constexpr int windowWidth = 1080;   // pixels: the detail pane beside the sidebar
constexpr int windowHeight = 860;

// Counts the widgets painted, so the figure shows that a frame paints what changed.
struct PaintCounter final : QObject {
    long paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

struct Frame {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    DeviceView view{model, bench.demo()};
    QImage image{windowWidth, windowHeight, QImage::Format_ARGB32_Premultiplied};

    Frame() {
        view.resize(windowWidth, windowHeight);
        view.show();
        model.demo().start();
        // A second of playback first, so the trails are full.
        for (int i = 0; i < 60; ++i) step();
    }

    // The demo's 8 ms playback between two frames, outside the measured time as it is not
    // the bench's work.
    void play() {
        for (int i = 0; i < 2; ++i) {
            bench.clock.advance(AppModel::frameInterval / 2);
            model.demo().tick();
        }
    }

    // The tick, then the event loop's turn: the posted update requests paint the changed
    // widgets into the window's backing store.
    void draw() {
        model.tick(bench.clock.now());
        QCoreApplication::processEvents();
    }

    void repaintAll() {
        model.tick(bench.clock.now());
        QPainter painter(&image);
        view.render(&painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }

    void step() {
        play();
        draw();
    }
};

void run(benchmark::State& state, Frame& frame, const std::function<void()>& between = {}, bool all = false) {
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    for (auto _ : state) {
        state.PauseTiming();
        frame.play();
        if (between) between();
        state.ResumeTiming();
        if (all) frame.repaintAll();
        else frame.draw();
    }
    qApp->removeEventFilter(&counter);
    state.counters["paints"] = benchmark::Counter(double(counter.paints), benchmark::Counter::kAvgIterations);
}

// The demo loops its recording; no test runs.
void benchFrameIdle(benchmark::State& state) {
    Frame frame;
    run(state, frame);
}
BENCHMARK(benchFrameIdle)->Unit(benchmark::kMillisecond);

// The left stick's drift test runs on its card (its live plot and progress every frame) and is
// started again whenever it ends.
void benchFrameDriftTest(benchmark::State& state) {
    Frame frame;
    TestRunner& runner = frame.model.runner(frame.bench.demo());
    GuidedTest drift;
    for (const auto& test : GuidedTests::allTests(*frame.bench.demo()))
        if (test.kind == TestKind::drift) {
            drift = test;
            break;
        }
    run(state, frame, [&] {
        if (!runner.active()) runner.start(drift);
    });
}
BENCHMARK(benchFrameDriftTest)->Unit(benchmark::kMillisecond);

// Every widget of the view painted every frame while the demo loops.
void benchFullRepaint(benchmark::State& state) {
    Frame frame;
    run(state, frame, {}, true);
}
BENCHMARK(benchFullRepaint)->Unit(benchmark::kMillisecond);

} // namespace
