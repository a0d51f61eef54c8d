#include "app/paint/StickPlotPaint.h"
#include "app/paint/Theme.h"

#include <QPainterPath>
#include <QPicture>

#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>

#include "PaintProbes.h"
#include "support/RecordingDevice.h"

using namespace Tessarine;
using RorozErurEvo::StickPlot;
using RorozErurEvo::StickSample;

namespace {

QImage plot(const StickPlotParams& params, QSize size = {220, 220}, const Scheme& scheme = Scheme::light()) {
    QImage image = canvas(size.width(), size.height());
    QPainter painter(&image);
    paintStickPlot(painter, QRectF(QPointF(0, 0), size), params, scheme);
    return image;
}

} // namespace

TEST(StickPlotPaint, GeometryKeepsTheSquareCentredAndFullDeflectionAt68Percent) {
    const StickPlotGeometry g(QRectF(0, 0, 200, 200));
    EXPECT_EQ(g.map(1, 0), QPointF(168, 100));
    EXPECT_EQ(g.map(0, 1), QPointF(100, 32));
    const StickPlotGeometry wide(QRectF(0, 0, 150, 100));
    EXPECT_EQ(wide.square(), QRectF(25, 0, 100, 100));
}

TEST(StickPlotPaint, TheDotSitsOnTheReadingAndThePressedRingOnTheEdge) {
    StickPlotParams params;
    params.sample = StickSample{0, 0.5, 0.5, std::nullopt};
    const QImage image = plot(params);
    // (0.5, 0.5) in a 220 square: 0.68 × 110 × 0.5 = 37.4 right of and above the centre.
    const QPointF dot = centroid(image, Scheme::light().orange, 30);
    EXPECT_NEAR(dot.x(), 147.4, 2);
    EXPECT_NEAR(dot.y(), 72.6, 2);
    // No button: the edge shows only the faint disc.
    EXPECT_FALSE(near(image.pixelColor(2, 110), Color::accentTeal(), 30));

    params.pressed = true;
    const QImage pressed = plot(params);
    EXPECT_TRUE(near(pressed.pixelColor(2, 110), Color::accentTeal(), 30));
    EXPECT_TRUE(near(pressed.pixelColor(110, 217), Color::accentTeal(), 30));
}

TEST(StickPlotPaint, TheTrailFadesWithAgeToItsFloor) {
    // Three seconds, a reading every 0.1 s, left to right along a row of pixel centres.
    const double y = (110 - 60.5) / (0.68 * 110);
    StickPlotParams params;
    for (int i = 0; i <= 30; ++i) params.trail.push_back({i * 0.1, -0.9 + 1.8 * i / 30.0, y, std::nullopt});
    const Scheme light = Scheme::light();
    const QImage image = plot(params);
    const QColor background = image.pixelColor(60, 50); // the disc just above the trail
    auto xOf = [](double stick) { return int(110 + 0.68 * 110 * stick); };
    // A segment takes the age of its later reading: the newest 0.8, 1 s old 0.3, older than
    // 1.44 s the floor of 0.08.
    EXPECT_TRUE(near(image.pixelColor(xOf(0.87), 60), over(background, light.orange, 0.8), 12));
    EXPECT_TRUE(near(image.pixelColor(xOf(0.27), 60), over(background, light.orange, 0.3), 12));
    EXPECT_TRUE(near(image.pixelColor(xOf(-0.63), 60), over(background, light.orange, 0.08), 8));
    // A reading that is not a number leaves the rest of the trail as it was.
    params.trail[5].x = std::nan("");
    EXPECT_TRUE(near(plot(params).pixelColor(xOf(0.87), 60), over(background, light.orange, 0.8), 12));
    // One reading draws no trail.
    params.trail.resize(1);
    EXPECT_EQ(plot(params).pixelColor(xOf(-0.63), 60), background);
}

TEST(StickPlotPaint, AMeasuredOutlineIsFilledWithOrWithoutAGap) {
    StickPlot measured;
    measured.radii.assign(72, 0.9);
    StickPlotParams params;
    params.plot = measured;
    const QColor teal = Color::accentTeal();
    const QImage full = plot(params);
    const QColor inside = full.pixelColor(130, 130); // between the rings, inside the outline
    EXPECT_TRUE(near(inside, over(over(Qt::white, Qt::black, 0.035), teal, 0.12), 6));

    // One sector missing: the outline opens there (no line across the gap) and is still filled.
    params.plot->radii[10].reset();
    const QImage open = plot(params);
    EXPECT_TRUE(near(open.pixelColor(130, 130), inside, 3));
    const StickPlotGeometry g(QRectF(0, 0, 220, 220));
    auto on = [&](const QImage& image, double degrees) {
        const double r = degrees * std::numbers::pi / 180;
        const QPointF p = g.map(0.9 * std::cos(r), 0.9 * std::sin(r));
        return near(image.pixelColor(int(p.x()), int(p.y())), teal, 40);
    };
    EXPECT_TRUE(on(full, 30));   // sector 10's centre
    EXPECT_FALSE(on(open, 30));
    EXPECT_TRUE(on(open, 45));
    EXPECT_TRUE(on(open, -22.5)); // where the sectors wrap round
}

TEST(StickPlotPaint, ScreensGetTheSamePictureAsPrintersFromTheBackgroundCache) {
    // A QPicture records vectors like a PDF writer, so it takes the uncached path; replayed into
    // an image it must match what a screen gets, at a fractional position on a dense screen,
    // and after the gate changes.
    auto both = [](const StickPlotParams& params) {
        const QRectF where(10.5, 7.25, 150, 130);
        QImage screen(400, 300, QImage::Format_ARGB32_Premultiplied);
        screen.setDevicePixelRatio(2);
        screen.fill(Qt::white);
        QPainter direct(&screen);
        paintStickPlot(direct, where, params, Scheme::darkScheme());
        direct.end();
        QPicture picture;
        QPainter recorder(&picture);
        paintStickPlot(recorder, where, params, Scheme::darkScheme());
        recorder.end();
        QImage printed(400, 300, QImage::Format_ARGB32_Premultiplied);
        printed.setDevicePixelRatio(2);
        printed.fill(Qt::white);
        QPainter replay(&printed);
        replay.drawPicture(0, 0, picture);
        replay.end();
        int differing = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                if (!near(screen.pixelColor(x, y), printed.pixelColor(x, y), 24)) ++differing;
        return differing;
    };
    StickPlotParams params;
    params.sample = StickSample{0, 0.3, -0.4, std::nullopt};
    EXPECT_LT(both(params), 40);
    params.gate = RorozErurEvo::GateShape::octagonN64;
    params.scale = 0.8;
    EXPECT_LT(both(params), 40);
    // A session file may hold an outline far past the edge: a report keeps it inside the plot as
    // the screen does, instead of running across the page.
    params.plot = StickPlot{RorozErurEvo::GateShape::octagonN64, 0.9, {5.0, std::nullopt, 1.0}};
    EXPECT_LT(both(params), 40);
}

namespace {

// Keeps each stroke's pen and how many points its path or polygon has.
class StrokeRecorder : public RecordingEngine {
public:
    struct Stroke {
        QPen pen;
        int points;
    };
    std::vector<Stroke> strokes;

    void updateState(const QPaintEngineState& state) override {
        if (state.state() & DirtyPen) pen_ = state.pen();
    }
    void drawPath(const QPainterPath& path) override { keep(path.elementCount()); }
    void drawPolygon(const QPointF*, int count, PolygonDrawMode) override { keep(count); }

private:
    void keep(int points) {
        if (pen_.style() != Qt::NoPen) strokes.push_back({pen_, points});
    }
    QPen pen_;
};

} // namespace

TEST(StickPlotPaint, OnPlainPaperPrintersGetTheGateAsOpaqueDashesThatLookTheSame) {
    // On a known white page the see-through dashed gate becomes an opaque dashed line of the
    // colour it shows there, traced through its corners alone (a round gate as a circle): a PDF
    // page dashes it itself, and it looks as a screen shows it on white but for the ends of the
    // dashes, a little off where the circle and the many-sided outline part.
    const QRectF where(10.5, 7.25, 150, 150);
    auto printed = [&](StickPlotParams params, QImage* into, StrokeRecorder* strokes) {
        params.paper = QColor(Qt::white);
        if (into) {
            QPicture picture;
            QPainter recorder(&picture);
            paintStickPlot(recorder, where, params, Scheme::light());
            recorder.end();
            QPainter replay(into);
            replay.drawPicture(0, 0, picture);
        }
        if (strokes) {
            RecordingDevice device(*strokes, 200, 200);
            QPainter p(&device);
            paintStickPlot(p, where, params, Scheme::light());
        }
    };
    auto differing = [&](const StickPlotParams& params, int tolerance) {
        QImage screen = canvas(200, 200), paper = canvas(200, 200);
        QPainter direct(&screen);
        paintStickPlot(direct, where, params, Scheme::light());
        direct.end();
        printed(params, &paper, nullptr);
        int count = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                if (!near(screen.pixelColor(x, y), paper.pixelColor(x, y), tolerance)) ++count;
        return count;
    };
    // The dashed strokes: whether see-through, and the most points one of them has.
    auto dashes = [&](const StickPlotParams& params) {
        StrokeRecorder recorder;
        printed(params, nullptr, &recorder);
        int seeThrough = 0, points = 0;
        for (const auto& [pen, count] : recorder.strokes)
            if (pen.style() != Qt::SolidLine) {
                seeThrough += pen.color().alpha() < 255;
                points = std::max(points, count);
            }
        return std::pair{seeThrough, points};
    };

    StickPlotParams params;
    StickPlot measured{RorozErurEvo::GateShape::round, 0.97, {}};
    for (int i = 0; i < 72; ++i) measured.radii.push_back(0.95 + 0.04 * std::cos(i * 0.17));
    params.plot = measured;
    EXPECT_LT(differing(params, 12), 200);
    EXPECT_LT(differing(params, 40), 10);
    EXPECT_EQ(dashes(params).first, 0);
    EXPECT_LT(dashes(params).second, 20);
    params.gate = RorozErurEvo::GateShape::octagonN64;
    params.scale = 0.8;
    EXPECT_LT(differing(params, 12), 40);
    EXPECT_EQ(dashes(params), (std::pair{0, 9}));
    // A gate reaching past the disc lies partly on the bare paper: it keeps its see-through dashes.
    params.gate = RorozErurEvo::GateShape::round;
    params.scale = 1.45;
    EXPECT_LT(differing(params, 12), 40);
    EXPECT_EQ(dashes(params).first, 1);
}
