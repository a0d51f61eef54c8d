// Painting the live components at 60 Hz: one stick plot with a 1.5 s trail of 1 kHz input into a
// 220 × 220 image (target under 0.5 ms), and one frame of the kit's parts of a controller's live
// panel, two stick plots with their readouts and two trigger bars (target under 2 ms), so that
// redrawing every frame costs well under 15 % of one core; and a page's tall scroll bar.
#include <QGridLayout>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QStyleFactory>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "app/paint/StickPlotPaint.h"
#include "app/views/kit/ScrollBarBands.h"
#include "app/views/kit/StickPlotView.h"
#include "app/views/kit/StickReadout.h"
#include "app/views/kit/TriggerBar.h"

using namespace Tessarine;
using RorozErurEvo::StickSample;

namespace {

// 1.5 s at 1 kHz of a stick sweeping round its gate with a wobble, oldest first.
std::vector<StickSample> trail(double phase) {
    std::vector<StickSample> samples;
    samples.reserve(1501);
    for (int i = 0; i <= 1500; ++i) {
        const double t = 100 + i / 1000.0;
        const double angle = phase + t * 2 * std::numbers::pi / 0.9;
        const double r = 0.85 + 0.1 * std::sin(t * 37);
        samples.push_back({t, r * std::cos(angle), r * std::sin(angle), std::nullopt});
    }
    return samples;
}

StickPlotParams live(double phase) {
    StickPlotParams params;
    params.trail = trail(phase);
    params.sample = params.trail.back();
    return params;
}

void stickPlot(benchmark::State& state) {
    const StickPlotParams params = live(0);
    const Scheme scheme = Scheme::light();
    QImage image(220, 220, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paintStickPlot(painter, QRectF(0, 0, 220, 220), params, scheme);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(stickPlot)->Unit(benchmark::kMicrosecond);

void livePanelComponents(benchmark::State& state) {
    QWidget panel;
    auto* grid = new QGridLayout(&panel);
    StickPlotView* plots[2];
    StickReadout* readouts[2];
    TriggerBar* bars[2];
    for (int i = 0; i < 2; ++i) {
        plots[i] = new StickPlotView;
        plots[i]->setFixedSize(220, 220);
        readouts[i] = new StickReadout;
        bars[i] = new TriggerBar(i == 0 ? "Left trigger" : "Right trigger");
        grid->addWidget(plots[i], 0, i);
        grid->addWidget(readouts[i], 1, i);
        grid->addWidget(bars[i], 2, i);
    }
    panel.ensurePolished();
    panel.resize(panel.sizeHint());
    panel.setAttribute(Qt::WA_DontShowOnScreen);
    panel.show();
    QImage image(panel.size(), QImage::Format_ARGB32_Premultiplied);
    const StickPlotParams left = live(0), right = live(1);
    int frame = 0;
    for (auto _ : state) {
        // One frame: new values in (as the tick sets them), then the whole panel painted.
        ++frame;
        for (int i = 0; i < 2; ++i) {
            const StickPlotParams& p = i == 0 ? left : right;
            plots[i]->setLive(p.sample, p.trail, frame % 2 == 0);
            readouts[i]->setSample(p.trail[size_t(frame % 1500)]);
            bars[i]->setValue(0.5 + 0.5 * std::sin(frame * 0.1 + i));
        }
        panel.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(livePanelComponents)->Unit(benchmark::kMicrosecond);

// A page's scroll bar, 770 rows tall as beside the window's columns, painted by Fusion directly
// (0) and in bands (1). Directly, Qt hands its tall fills to its painting pool and waits, so the
// time that counts is the painting thread's wait, not its processor time.
void tallScrollBar(benchmark::State& state) {
    QScrollBar bar(Qt::Vertical);
    bar.setRange(0, 1000);
    bar.setPageStep(300);
    bar.setValue(100);
    bar.resize(14, 770);
    std::unique_ptr<QStyle> direct(QStyleFactory::create(QStringLiteral("Fusion")));
    ScrollBarBands bands(QStyleFactory::create(QStringLiteral("Fusion")));
    bar.setStyle(state.range(0) ? static_cast<QStyle*>(&bands) : direct.get());
    QImage image(bar.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        bar.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(tallScrollBar)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
