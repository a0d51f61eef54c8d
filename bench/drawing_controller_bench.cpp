// The assembled controller drawing, one frame as the live panel paints it: the device read into
// its parts, the kept shadow and shell composited, the shoulders and live parts painted over
// them. Warm: the images are kept from the frame before (every frame while only values move).
// Cold: the images are painted anew (a new layout or scheme, or a new drawing at a size painted
// before: the colourless planes and the scheme's shading kept per size serve it); new size: the
// first frame at a size never painted, which nothing kept serves.
// Target: a cold frame on a 2× screen within 10 ms, so that a change of layout or scheme costs the
// live panel no more than a frame at 60 Hz.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <cmath>

#include "../tests/app/drawing/PadDevices.h"
#include "app/paint/Scheme.h"
#include "app/drawing/PadPaint.h"

using namespace Tessarine;

namespace {

struct Frame {
    std::shared_ptr<InputDevice> pad = PadDevices::fullPad();
    QImage image;
    Scheme scheme = Scheme::light();

    // `pixelRatio` device pixels per point: 1 on a plain screen, 2 on a high-density one.
    Frame(QSize size, double pixelRatio) {
        PadDevices::pose(*pad);
        image = QImage(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(pixelRatio);
    }

    void paint(PadImages& images) {
        image.fill(Qt::white);
        QPainter p(&image);
        paintPad(p, padParts(*pad, false), scheme, images, QSizeF(image.deviceIndependentSize()));
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
};

void BM_DrawingWarmFrame(benchmark::State& state) {
    Frame frame({560, 330}, double(state.range(0)));
    PadImages images;
    frame.paint(images);
    for (auto _ : state) frame.paint(images);
}
BENCHMARK(BM_DrawingWarmFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_DrawingColdFrame(benchmark::State& state) {
    Frame frame({560, 330}, double(state.range(0)));
    for (auto _ : state) {
        PadImages images;
        frame.paint(images);
    }
}
BENCHMARK(BM_DrawingColdFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A cold frame at a size the drawing has not been painted at before (the first frame, or each
// step of a resize): nothing worked out for an earlier size serves it.
void BM_DrawingColdFrameNewSize(benchmark::State& state) {
    Frame frame({560, 330}, double(state.range(0)));
    constexpr int sizes = 40; // more than any cache keeps
    int step = 0;
    for (auto _ : state) {
        PadImages images;
        const QSizeF offered(560 - (step++ % sizes), 330);
        frame.image.fill(Qt::white);
        QPainter p(&frame.image);
        paintPad(p, padParts(*frame.pad, false), frame.scheme, images, offered);
        p.end();
        benchmark::DoNotOptimize(frame.image.constBits());
    }
}
BENCHMARK(BM_DrawingColdFrameNewSize)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The shadow and shell alone: what every frame costs before its parts.
void BM_DrawingImagesOnly(benchmark::State& state) {
    Frame frame({560, 330}, double(state.range(0)));
    PadImages images;
    PadParts bare;
    bare.layout = padParts(*frame.pad, false).layout;
    frame.paint(images);
    for (auto _ : state) {
        frame.image.fill(Qt::white);
        QPainter p(&frame.image);
        paintPad(p, bare, frame.scheme, images, QSizeF(frame.image.deviceIndependentSize()));
        p.end();
        benchmark::DoNotOptimize(frame.image.constBits());
    }
}
BENCHMARK(BM_DrawingImagesOnly)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A frame while the inputs move: a stick, a trigger and a finger new on every frame, so their
// pieces are painted anew while everything else is kept.
void BM_DrawingMovingFrame(benchmark::State& state) {
    Frame frame({560, 330}, double(state.range(0)));
    PadImages images;
    frame.paint(images);
    double t = 2;
    for (auto _ : state) {
        state.PauseTiming();
        t += 1.0 / 60;
        auto& buffer = frame.pad->buffer();
        buffer.recordStick("ls", 0.7 * std::cos(t * 3), 0.7 * std::sin(t * 3), std::nullopt, t);
        buffer.recordAxis("rt", 0.5 + 0.45 * std::sin(t * 2), std::nullopt, t);
        buffer.recordTouch({t, 0, std::cos(t), std::sin(t)});
        PadDevices::publish(*frame.pad);
        state.ResumeTiming();
        frame.paint(images);
    }
}
BENCHMARK(BM_DrawingMovingFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
