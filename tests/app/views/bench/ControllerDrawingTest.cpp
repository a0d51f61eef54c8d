// The drawn controller as a widget: it fits its canvas to the space it gets, follows the
// device's live values, keeps its shadow and shell images until their key changes, and reads as
// a "Controller" container of parts to assistive technology.
#include "app/model/CommandFakes.h"

#include "app/views/bench/ControllerDrawing.h"
#include "app/views/bench/LivePanel.h"

#include "app/drawing/DrawingProbe.h"
#include "app/drawing/PadDevices.h"

#include <QAccessible>
#include <QApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace Tessarine;

namespace {

QImage shot(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    widget.render(&image, {}, {}, QWidget::DrawChildren);
    return image;
}

QPalette darkPalette() {
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, QColor(30, 30, 30));
    palette.setColor(QPalette::WindowText, Qt::white);
    return palette;
}

// name → value of the container's children.
std::map<QString, QString> readOut(QWidget& drawing) {
    std::map<QString, QString> said;
    QAccessibleInterface* container = QAccessible::queryAccessibleInterface(&drawing);
    for (int i = 0; i < container->childCount(); ++i) {
        QAccessibleInterface* child = container->child(i);
        said[child->text(QAccessible::Name)] = child->text(QAccessible::Value);
    }
    return said;
}

// Lets the images painted away land, however slow the machine.
void waitForImages(const ControllerDrawing& drawing) {
    QDeadlineTimer deadline(60'000);
    while (drawing.warming() && !deadline.hasExpired()) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace

TEST(ControllerDrawing, HalfSizeDrawsTheWholeCanvasAtHalfScale) {
    auto pad = PadDevices::fullPad();
    PadDevices::pose(*pad);
    ControllerDrawing drawing(pad);
    drawing.resize(280, 165);
    drawing.show();
    EXPECT_EQ(drawing.fit().scale, 0.5);
    EXPECT_EQ(drawing.fit().rect, QRectF(0, 0, 280, 165));
    // Every part's place lies inside the widget.
    for (QWidget* part : drawing.findChildren<QWidget*>())
        EXPECT_TRUE(drawing.rect().contains(part->geometry())) << part->objectName().toStdString();

    const QImage image = shot(drawing);
    // The outline's extremes, halved: the grips' bottoms and the sides are painted, and the
    // shell's edge stays clear of the widget's edges.
    EXPECT_LT(DrawingProbe::at(image, {49, 156}).lightness(), 250);  // left grip at (98, 312)
    EXPECT_LT(DrawingProbe::at(image, {231, 156}).lightness(), 250); // right grip at (462, 312)
    EXPECT_LT(DrawingProbe::at(image, {20, 116}).lightness(), 250);  // left side at (40, 232)
    EXPECT_LT(DrawingProbe::at(image, {260, 116}).lightness(), 250);
    // The red light bar at (280, 75) → (140, 37.5).
    const QColor bar = DrawingProbe::at(image, {140, 37.5});
    EXPECT_GT(bar.red(), 180);
    EXPECT_LT(bar.green(), 90);
    // A height for its width that leaves room for the shadow under the grips.
    EXPECT_GE(drawing.heightForWidth(540), 540 * 330 / 560 + 10);
}

TEST(ControllerDrawing, ShellIsPaintedAgainOnlyOnLayoutSchemeOrSize) {
    auto pad = PadDevices::fullPad();
    ControllerDrawing drawing(pad);
    drawing.resize(560, 352);
    shot(drawing);
    EXPECT_EQ(drawing.images().shellBuilds(), 1);
    EXPECT_EQ(drawing.images().shadowBuilds(), 1);

    // Live values: many frames, the same images.
    for (int i = 0; i < 10; ++i) {
        pad->buffer().recordStick("ls", 0.1 * i, 0, std::nullopt, 1 + i);
        pad->buffer().recordButton("a", i % 2 == 0, 1 + i);
        PadDevices::publish(*pad);
        shot(drawing);
    }
    EXPECT_EQ(drawing.parts().sticks[0].part.sample->x, 0.9);
    EXPECT_EQ(drawing.images().shellBuilds(), 1);

    // The layout: a colour sent to a device without a light bar gives it a slot.
    pad->setCapabilities({});
    shot(drawing);
    EXPECT_EQ(drawing.images().shellBuilds(), 2);
    pad->setLightColor(std::array<double, 3>{0, 1, 0});
    shot(drawing);
    EXPECT_EQ(drawing.images().shellBuilds(), 3);
    EXPECT_TRUE(drawing.parts().layout.light);

    // The scheme: both images anew, drawn dark.
    drawing.setPalette(darkPalette());
    const QImage dark = shot(drawing);
    EXPECT_EQ(drawing.images().shellBuilds(), 4);
    EXPECT_EQ(drawing.images().shadowBuilds(), 2);
    EXPECT_LT(DrawingProbe::at(dark, {100, 200}).lightness(), 90);

    // The size.
    drawing.resize(280, 176);
    shot(drawing);
    EXPECT_EQ(drawing.images().shellBuilds(), 5);
    EXPECT_EQ(drawing.images().shadowBuilds(), 3);
}

TEST(ControllerDrawing, BareDeviceShowsShadowAndShellAndStillReadsAsController) {
    ControllerDrawing drawing(PadDevices::barePad());
    drawing.resize(560, 352);
    EXPECT_EQ(drawing.parts(), PadParts{});
    const QImage image = shot(drawing);
    EXPECT_GT(DrawingProbe::at(image, {140, 136}).lightness(), 170); // body where a stick well would be
    EXPECT_LT(DrawingProbe::at(image, {280, 275}).lightness(), 250); // the shadow under the lower edge

    QAccessibleInterface* container = QAccessible::queryAccessibleInterface(&drawing);
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(container->text(QAccessible::Name), "Controller");
    EXPECT_EQ(container->role(), QAccessible::Grouping);
    EXPECT_EQ(container->childCount(), 0);
}

TEST(ControllerDrawing, PartsReadTheirLiveValues) {
    auto pad = PadDevices::fullPad();
    ControllerDrawing drawing(pad);
    drawing.resize(560, 352);
    auto said = readOut(drawing);
    EXPECT_EQ(said["Touchpad"], "not touched");
    EXPECT_EQ(said["Left Stick"], "No reading yet");
    EXPECT_EQ(said.count("Light bar color"), 0u); // no colour yet
    const int before = QAccessible::queryAccessibleInterface(&drawing)->childCount();

    PadDevices::pose(*pad);
    said = readOut(drawing);
    EXPECT_EQ(said["Touchpad"], "2 fingers");
    EXPECT_EQ(said["LB"], "pressed");
    EXPECT_EQ(said["RB"], "");
    EXPECT_EQ(said["LT"], "50%");
    EXPECT_EQ(said["A"], "pressed");
    EXPECT_EQ(said["D-pad"], "Up-left");
    EXPECT_EQ(said["Left Stick"], "x 60%, y 45%, 75% from center");
    EXPECT_EQ(said.count("Light bar color"), 1u);
    EXPECT_EQ(said.count("Player light 3"), 1u);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&drawing)->childCount(), before + 2);

    // Frames that change only values keep the same children.
    QWidget* touchpad = drawing.findChild<QWidget*>("pad-touchpad");
    pad->buffer().liftTouch(0);
    PadDevices::publish(*pad);
    EXPECT_EQ(drawing.findChild<QWidget*>("pad-touchpad"), touchpad);
    EXPECT_EQ(readOut(drawing)["Touchpad"], "1 finger");
}

TEST(ControllerDrawing, LivePanelDrawsItsDeviceAndFollowsTheDemo) {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    auto demo = bench.demo();
    model.start(false);
    model.navigation().setSelection(SidebarItem::device(demo->id()));
    LivePanel panel(demo, model.settings());
    ControllerDrawing* drawing = panel.drawing();
    EXPECT_EQ(drawing->maximumWidth(), 540);
    EXPECT_EQ(drawing->objectName(), "controller-drawing");
    EXPECT_TRUE(drawing->parts().layout.touchpad);
    EXPECT_EQ(drawing->parts().sticks.size(), 2u);

    // The demo plays; each frame tick refreshes its live values and the drawing follows them.
    std::set<std::pair<double, double>> positions;
    for (int i = 0; i < 120; ++i) {
        bench.clock.advance(1.0 / 60);
        model.demo().tick();
        model.tick(bench.clock.now());
        EXPECT_EQ(drawing->parts(), padParts(*demo, false));
        if (const auto& sample = drawing->parts().sticks[0].part.sample) positions.emplace(sample->x, sample->y);
    }
    EXPECT_GT(positions.size(), 10u);

    // With the raw twin chosen and raw numbers on, the drawing hands raw numbers to its parts.
    model.settings().setShowRawNumbers(true);
    demo->setUseRaw(true);
    EXPECT_TRUE(drawing->showRaw());
    EXPECT_EQ(&padSource(*demo), demo->rawPartner().get());
    demo->setUseRaw(false);
    EXPECT_FALSE(drawing->showRaw());
}

TEST(ControllerDrawing, FirstImagesPaintedAwayLandOnceAndDrawAsInPlace) {
    auto pad = PadDevices::fullPad();
    PadDevices::pose(*pad);
    ControllerDrawing inPlace(pad);
    inPlace.resize(560, 352);
    const QImage expected = shot(inPlace);

    ControllerDrawing::setFirstImagesAway(true);
    ControllerDrawing drawing(pad);
    drawing.resize(560, 352);
    const QImage first = shot(drawing);
    ControllerDrawing::setFirstImagesAway(false);
    // The first frame waits for nothing: it shows no controller yet.
    EXPECT_TRUE(drawing.warming());
    QImage blank(first.size(), first.format());
    blank.fill(Qt::white);
    EXPECT_EQ(first, blank);
    EXPECT_EQ(drawing.images().shellBuilds(), 0);
    waitForImages(drawing);
    ASSERT_FALSE(drawing.warming());
    EXPECT_EQ(shot(drawing), expected);
    EXPECT_EQ(drawing.images().shellBuilds(), 1) << "painted once, away, and taken as they were";
    EXPECT_EQ(drawing.images().shadowBuilds(), 1);

    // Later images, of another size, are painted in place at once.
    drawing.resize(280, 176);
    shot(drawing);
    EXPECT_FALSE(drawing.warming());
    EXPECT_EQ(drawing.images().shellBuilds(), 2);
}

TEST(ControllerDrawing, FirstImagesForASizeGoneMeanwhileAreDropped) {
    auto pad = PadDevices::fullPad();
    ControllerDrawing::setFirstImagesAway(true);
    ControllerDrawing drawing(pad);
    drawing.resize(560, 352);
    shot(drawing);
    ControllerDrawing::setFirstImagesAway(false);
    drawing.resize(280, 176);
    waitForImages(drawing);
    ASSERT_FALSE(drawing.warming());
    shot(drawing);
    EXPECT_EQ(drawing.images().shellBuilds(), 1) << "the drawing paints its own, of its size, once";
}
