// The live panel on the demo and on pads with and without a raw partner: which rows it shows,
// which caption, whether raw numbers are asked for, and the button grid's counts and reset.
#include "app/model/CommandFakes.h"
#include "app/model/RunnerFakes.h"

#include "app/views/bench/ButtonGrid.h"
#include "app/views/bench/ControllerDrawing.h"
#include "app/views/bench/LivePanel.h"
#include "app/views/kit/StickPlotView.h"
#include "app/views/kit/TriggerBar.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

const QString processed = "These are the system's processed values, which may hide a little drift inside its "
                          "deadzone. Switch to Raw HID above for the device's own numbers.";
const QString rawValues = "Raw values from the device. Pick other axes as sticks in the Raw HID tab.";

struct LiveFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;

    static bool shown(const QWidget* widget, const QWidget* panel) { return widget->isVisibleTo(panel); }
};

} // namespace

TEST_F(LiveFixture, DemoShowsSticksBarsButtonsAndTheProcessedCaption) {
    auto demo = bench.demo();
    LivePanel panel(demo, model.settings());
    EXPECT_EQ(panel.plots().size(), demo->sticks().size());
    EXPECT_EQ(panel.triggerBars().size(), demo->triggers().size() + demo->axes().size());
    EXPECT_TRUE(shown(panel.buttonGrid(), &panel));
    EXPECT_LE(panel.drawing()->maximumWidth(), 540);
    EXPECT_EQ(panel.caption()->text(), processed); // its raw twin is a partner

    // With the twin chosen: the twin's values, and no caption, since the twin is not a HID device.
    demo->setUseRaw(true);
    EXPECT_FALSE(shown(panel.caption(), &panel));
    EXPECT_FALSE(LivePanel::showRaw(*demo, true));
    EXPECT_TRUE(LivePanel::showRaw(*LivePanel::shownDevice(demo), true));
    EXPECT_FALSE(LivePanel::showRaw(*LivePanel::shownDevice(demo), false));
}

TEST_F(LiveFixture, CaptionFollowsTheRawSourceOfAPad) {
    auto pad = Fakes::pad("pad", "Pad One");
    LivePanel panel(pad, model.settings());
    EXPECT_FALSE(shown(panel.caption(), &panel)); // no raw partner: nothing to say
    EXPECT_FALSE(shown(panel.buttonGrid(), &panel));
    EXPECT_FALSE(shown(panel.bars(), &panel));
    EXPECT_EQ(panel.plots().size(), 2u);

    auto partner = Fakes::pad("hid-7", "Pad One", std::nullopt, InputDevice::Kind::hid);
    pad->setRawPartner(partner);
    EXPECT_EQ(panel.caption()->text(), processed);
    pad->setUseRaw(true);
    EXPECT_EQ(panel.caption()->text(), rawValues);
    EXPECT_EQ(LivePanel::shownDevice(pad), partner);
    model.settings().setShowRawNumbers(true);
    EXPECT_TRUE(panel.plots().front()->showRaw());
    pad->setUseRaw(false);
    EXPECT_FALSE(panel.plots().front()->showRaw()); // processed values never in raw counts

    // The HID device on its own shows its raw values and says so.
    LivePanel own(partner, model.settings());
    EXPECT_EQ(own.caption()->text(), rawValues);
    EXPECT_TRUE(own.plots().front()->showRaw());
}

TEST_F(LiveFixture, ButtonCountsAndReset) {
    auto device = std::make_shared<InputDevice>(
        "pad", InputDevice::Kind::controller, DeviceInfo{.name = "Pad"},
        std::vector<ElementInfo>{Fakes::element("a", ElementInfo::Kind::button, ElementInfo::Role::south, "A"),
                                 Fakes::element("b", ElementInfo::Kind::button, ElementInfo::Role::east, "B"),
                                 Fakes::element("lt", ElementInfo::Kind::trigger, ElementInfo::Role::leftTrigger, "LT")},
        std::make_shared<CaptureBuffer>(), nullptr);
    LivePanel panel(device, model.settings());
    ButtonGrid* grid = panel.buttonGrid();
    ASSERT_EQ(grid->cells().size(), 2u); // the trigger has its bar instead
    EXPECT_EQ(panel.triggerBars().size(), 1u);

    double t = 1;
    for (int i = 0; i < 3; ++i) {
        device->buffer().recordButton("a", true, t += 0.1);
        if (i < 2) device->buffer().recordButton("a", false, t += 0.1);
    }
    device->update(t, 1.5);
    ButtonCell* a = grid->cells()[0];
    EXPECT_EQ(a->accessibleName(), "A");
    EXPECT_EQ(a->accessibleValue(), "pressed, pressed 3 times");
    EXPECT_EQ(grid->cells()[1]->accessibleValue(), "pressed 0 times");

    grid->resetButton()->click();
    device->update(t += 0.02, 1.5);
    EXPECT_EQ(a->count(), 0);
    EXPECT_TRUE(a->pressed()); // still held until released
}
