#include "app/views/kit/Compass.h"
#include "app/views/kit/FlowChips.h"
#include "app/views/kit/MeasureRow.h"
#include "app/views/kit/MotionGraph.h"
#include "app/views/kit/StickReadout.h"
#include "app/views/kit/TouchTrace.h"
#include "app/views/kit/TriggerBar.h"

#include <QAccessible>
#include <QImage>

#include "app/paint/Theme.h"

#include <gtest/gtest.h>

using namespace Tessarine;
using RorozErurEvo::Direction8;
using RorozErurEvo::Limit;
using RorozErurEvo::Measure;
using RorozErurEvo::MeasureUnit;
using RorozErurEvo::MotionSample;
using RorozErurEvo::Vector3;

namespace {
QString value(QWidget* widget) { return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Value); }
QString name(QWidget* widget) { return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name); }
} // namespace

TEST(StickReadout, ShowsTheNumbersButIsLeftToThePlotForScreenReaders) {
    StickReadout readout;
    EXPECT_EQ(readout.texts(), QStringList({"x 0%", "y 0%", "r 0%"}));
    readout.setSample(RorozErurEvo::StickSample{0, 0.25, -0.125, RorozErurEvo::RawPoint{-3, 7}});
    EXPECT_EQ(readout.texts(), QStringList({"x +25%", "y -12.5%", "r 28%"}));
    readout.setShowRaw(true);
    EXPECT_EQ(readout.texts(), QStringList({"x -3", "y 7"}));
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(&readout)->state().invisible);
}

TEST(TriggerBar, ReadsItsNameAndUnclampedValue) {
    TriggerBar bar("Left trigger");
    bar.setValue(1.3);
    EXPECT_EQ(bar.valueText(), "130%");
    EXPECT_EQ(name(&bar), "Left trigger");
    EXPECT_EQ(value(&bar), "130%");
    bar.setValue(0.5, 128);
    bar.setShowRaw(true);
    EXPECT_EQ(bar.valueText(), "128");
    EXPECT_EQ(value(&bar), "raw 128");
}

TEST(MeasureRow, TheLimitColumnOnlyWhenThereIsALimit) {
    Measure informational{"rate", "Report rate", 250, MeasureUnit::hertz, std::nullopt};
    MeasureRow row(informational);
    EXPECT_EQ(row.symbol(), "info.circle");
    MeasureRow::Layout plain = row.layoutFor(400);
    EXPECT_TRUE(plain.limit.isEmpty());
    EXPECT_DOUBLE_EQ(plain.value.right(), 400); // the value closes the row
    EXPECT_EQ(name(&row), QString::fromStdString(informational.spoken()));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&row)->childCount(), 0);

    Measure offset{"offset", "Rest offset", 0.06, MeasureUnit::percent, Limit{0.04, 0.08, Limit::Direction::above}};
    row.setMeasure(offset);
    EXPECT_EQ(row.symbol(), "exclamationmark.triangle.fill");
    const MeasureRow::Layout limited = row.layoutFor(400);
    EXPECT_DOUBLE_EQ(limited.limit.right(), 400);
    EXPECT_GE(limited.limit.width(), 120);
    EXPECT_DOUBLE_EQ(limited.value.right(), limited.limit.left() - 8);
    EXPECT_GE(limited.value.left() - limited.label.right(), 8);
    EXPECT_EQ(name(&row), QString::fromStdString(offset.spoken()));
    // Narrow rows give up the label's room first.
    EXPECT_LT(row.minimumSizeHint().width(), row.sizeHint().width());
    EXPECT_GT(row.layoutFor(row.minimumSizeHint().width()).value.left(), 0);
}

TEST(FlowChips, TickOffInPlaceAndRebuildOnlyForNewNames) {
    FlowChips chips;
    chips.setItems({});
    EXPECT_EQ(chips.count(), 0);
    chips.setItems({{"A", false}, {"B", true}});
    ASSERT_EQ(chips.count(), 2);
    FlowChip* first = chips.chip(0);
    EXPECT_EQ(name(first), "A, not yet");
    EXPECT_EQ(name(chips.chip(1)), "B, registered");
    chips.setItems({{"A", true}, {"B", true}});
    EXPECT_EQ(chips.chip(0), first); // the same widget, ticked
    EXPECT_EQ(name(first), "A, registered");
    chips.setItems({{"X", false}});
    EXPECT_EQ(chips.count(), 1);
    EXPECT_EQ(chips.chip(0)->name(), "X");

    // Columns at least 84 wide, 4 apart: 200 pixels hold two.
    chips.setItems({{"A", false}, {"B", false}, {"C", false}});
    chips.resize(200, chips.heightForWidth(200));
    chips.show();
    EXPECT_EQ(chips.chip(1)->x(), 102);
    EXPECT_EQ(chips.chip(2)->x(), 0);
    EXPECT_GT(chips.chip(2)->y(), 0);
}

TEST(Compass, DotsSitRoundTheCentreAndTheValueFollowsTheCompass) {
    Compass compass;
    compass.resize(84, 84);
    EXPECT_EQ(compass.dotCentre(Direction8::right), QPointF(74, 42));
    EXPECT_EQ(compass.dotCentre(Direction8::up), QPointF(42, 10));
    EXPECT_EQ(name(&compass), "Directions seen");
    EXPECT_EQ(value(&compass), "none");
    compass.setLit({Direction8::left, Direction8::up, Direction8::right});
    EXPECT_EQ(value(&compass), "Right, Up, Left");
}

TEST(MotionGraph, ShowsTheLastFourSecondsAtTheClocksTime) {
    FakeClock clock(100);
    auto buffer = std::make_shared<CaptureBuffer>();
    MotionGraph graph(clock);
    graph.resize(400, graph.sizeHint().height());
    EXPECT_EQ(value(graph.gyro()), "no readings");
    EXPECT_EQ(value(graph.accelerometer()), "no readings");

    buffer->recordMotion(MotionSample{95, Vector3{1, 0, 0}, Vector3{0, 0, 1}});
    buffer->recordMotion(MotionSample{97, Vector3{0, 0, 2}, Vector3{0, 0, 1}});
    buffer->recordMotion(MotionSample{99, std::nullopt, Vector3{0.3, 0.4, 0}});
    graph.setBuffer(buffer);
    const MotionGraph::Window window = graph.window();
    ASSERT_EQ(window.samples.size(), 2u); // the one at 95 s is more than 4 s old
    EXPECT_EQ(window.samples.front().t, 97);
    // The newest sample has no rotation: the gyro reads nothing; the accelerometer its length.
    EXPECT_EQ(name(graph.gyro()), "Gyro graph");
    EXPECT_EQ(value(graph.gyro()), "no readings");
    EXPECT_EQ(value(graph.accelerometer()), "0.5 g");

    // Time moves: points scroll left; values beyond full scale stay on the edge.
    const MotionPanel* gyro = graph.gyro();
    const double h = gyro->height();
    EXPECT_EQ(gyro->point(97, 2, 100), QPointF(gyro->width() * 0.25, h / 4));
    EXPECT_EQ(gyro->point(97, 2, 101), QPointF(0, h / 4));
    EXPECT_EQ(gyro->point(99, 9, 100).y(), 0);
    EXPECT_EQ(graph.accelerometer()->point(99, -2, 100).y(), graph.accelerometer()->height());
    clock.set(110);
    EXPECT_EQ(value(graph.accelerometer()), "no readings");
}

TEST(TouchTrace, CountsEveryFingerAndPlacesDotsWithYUp) {
    TouchTrace trace;
    trace.resize(220, 110);
    EXPECT_EQ(name(&trace), "Touchpad trace");
    EXPECT_EQ(value(&trace), "0 fingers, 0% of the surface");
    EXPECT_EQ(trace.dotCentre({0, 0, -1, 1}), QPointF(0, 0));
    EXPECT_EQ(trace.dotCentre({0, 0, 1, -1}), QPointF(220, 110));
    trace.setSamples({{0, 0, 0.1, 0.1}, {0, 1, -0.9, 0.9}, {0, 2, 0.9, -0.9}});
    EXPECT_EQ(value(&trace), "3 fingers, 9.4% of the surface");
}

namespace {
QImage rendered(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    widget.render(&image);
    return image;
}

// Pixels in which one channel stands out from the other two by more than 50: reddish (0),
// greenish (1) or bluish (2).
int count(const QImage& image, int channel) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int v[3] = {c.red(), c.green(), c.blue()};
            if (v[channel] - std::max(v[(channel + 1) % 3], v[(channel + 2) % 3]) > 50) ++n;
        }
    return n;
}
enum { reddish, greenish, bluish };
} // namespace

TEST(RunningVisuals, DrawOnlyWhatTheyAreGiven) {
    // Lit directions are green dots where the compass puts them; the others are not.
    Compass compass;
    compass.resize(84, 84);
    compass.setLit({Direction8::up});
    const QImage dots = rendered(compass);
    const QPointF up = compass.dotCentre(Direction8::up), down = compass.dotCentre(Direction8::down);
    EXPECT_EQ(dots.pixelColor(up.toPoint()).rgb(), Color::passGreen().rgb());
    EXPECT_NE(dots.pixelColor(down.toPoint()).rgb(), Color::passGreen().rgb());

    // Fingers 0 and 1 are drawn, a third finger only counted.
    TouchTrace trace;
    trace.resize(220, 110);
    trace.setSamples({{0, 2, 0, 0}});
    EXPECT_EQ(count(rendered(trace), reddish), 0);
    trace.setSamples({{0, 0, -0.5, 0}, {0, 1, 0.5, 0}});
    const QImage fingers = rendered(trace);
    EXPECT_GT(count(fingers, reddish), 3);                              // orange, the first finger
    EXPECT_GT(fingers.pixelColor(165, 55).green(), fingers.pixelColor(165, 55).red() + 50); // teal, the second

    // A sample with only acceleration draws the accelerometer's lines and none on the gyro.
    FakeClock clock(10);
    auto buffer = std::make_shared<CaptureBuffer>();
    for (int i = 0; i < 20; ++i) buffer->recordMotion(MotionSample{8 + i * 0.1, std::nullopt, Vector3{0.5, 0, -0.5}});
    MotionGraph graph(clock);
    graph.resize(300, graph.sizeHint().height());
    graph.show();
    graph.setBuffer(buffer);
    const QImage gyro = rendered(*graph.gyro()), accelerometer = rendered(*graph.accelerometer());
    EXPECT_EQ(count(gyro, reddish) + count(gyro, greenish) + count(gyro, bluish), 0);
    EXPECT_GT(count(accelerometer, reddish), 20);
    EXPECT_GT(count(accelerometer, bluish), 20);
}
