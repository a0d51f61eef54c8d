#include "app/model/GuidedTests.h"

#include <gtest/gtest.h>

#include "app/devices/DemoDevice.h"
#include "app/devices/InputDevice.h"
#include "support/ChecklistSamples.h"
#include "support/ManualTimers.h"

using namespace Tessarine;
using RorozErurEvo::AxisRole;
using RorozErurEvo::TestKind;
using Action = GuidedTests::ManualItem::Action;

namespace {

struct Demo {
    FakeClock clock{50.0};
    ManualTimers timers;
    DemoDriver driver{clock, timers.factory()};
};

std::vector<std::string> titles(const std::vector<GuidedTests::Section>& sections) {
    std::vector<std::string> result;
    for (const auto& s : sections) result.push_back(s.title);
    return result;
}

std::vector<std::string> ids(const std::vector<GuidedTest>& tests) {
    std::vector<std::string> result;
    for (const auto& t : tests) result.push_back(t.id());
    return result;
}

std::vector<std::string> names(const std::vector<GuidedTests::ManualItem>& items) {
    std::vector<std::string> result;
    for (const auto& i : items) result.push_back(i.name);
    return result;
}

ElementInfo makeElement(std::string id, ElementInfo::Kind kind, std::string name, std::optional<int> page = {}) {
    ElementInfo e;
    e.id = std::move(id);
    e.kind = kind;
    e.name = std::move(name);
    e.analog = kind == ElementInfo::Kind::axis || kind == ElementInfo::Kind::trigger;
    e.page = page;
    return e;
}

} // namespace

TEST(GuidedTests, DemoControllerOffersEverySectionInOrder) {
    Demo demo;
    auto& pad = *demo.driver.device();
    const auto sections = GuidedTests::sections(pad);
    EXPECT_EQ(titles(sections), (std::vector<std::string>{"Sticks", "Triggers", "Buttons and d-pad", "Rumble and lights",
                                                          "Sensors and battery", "Connection"}));
    EXPECT_EQ(ids(GuidedTests::allTests(pad)),
              (std::vector<std::string>{
                  "drift|Left stick|processed", "circularity|Left stick|processed", "snapback|Left stick|processed",
                  "deadzone|Left stick|processed", "drift|Right stick|processed", "circularity|Right stick|processed",
                  "snapback|Right stick|processed", "deadzone|Right stick|processed",
                  "trigger|Left trigger|processed", "trigger|Right trigger|processed", "buttons||processed",
                  "hold||processed", "dpad|D-pad|processed", "rumble||manual", "lights||manual",
                  "adaptiveTriggers||manual", "motion||processed", "touchpad||processed", "battery||processed",
                  "soak||processed"}));

    // The targets carry what the runner needs: element ids, the analog flag, every button.
    const auto& sticks = sections[0].tests;
    EXPECT_EQ(sticks[4].target, GuidedTest::Target::stick("Right Thumbstick"));
    EXPECT_EQ(sections[1].tests[0].target, GuidedTest::Target::trigger("Left Trigger", true));
    const auto* buttons = sections[2].tests[0].target.as<GuidedTest::Target::Buttons>();
    ASSERT_NE(buttons, nullptr);
    ASSERT_EQ(buttons->inputs.size(), 15u); // 13 buttons and the two triggers, which press like buttons
    EXPECT_EQ(buttons->inputs.front(), (RorozErurEvo::InputName{"Left Trigger", "Left trigger"}));
    EXPECT_EQ(buttons->inputs[2], (RorozErurEvo::InputName{"Button A", "A"}));
    EXPECT_EQ(sections[2].tests[1].target, sections[2].tests[0].target);
    EXPECT_EQ(sections[4].tests[1].target, GuidedTest::Target::touchpad());
    EXPECT_EQ(sticks[0].title(), "Left stick \u00B7 Drift at rest");
}

TEST(GuidedTests, RawTwinAndTheRawSwitch) {
    Demo demo;
    auto& pad = *demo.driver.device();
    auto& twin = *demo.driver.raw();

    // The twin has no outputs, no sensors and never the connection test.
    const auto twinSections = GuidedTests::sections(twin);
    EXPECT_EQ(titles(twinSections), (std::vector<std::string>{"Sticks", "Triggers", "Buttons and d-pad"}));
    for (const auto& t : GuidedTests::allTests(twin)) EXPECT_TRUE(t.raw) << t.id();
    EXPECT_EQ(twinSections[0].tests[0].target, GuidedTest::Target::stick("pair-1"));
    EXPECT_EQ(twinSections[2].tests.back().id(), "dpad|Hat switch|raw");

    // Reading raw: element tests come from the twin, outputs and sensors stay the pad's own.
    pad.setUseRaw(true);
    const auto tests = GuidedTests::allTests(pad);
    EXPECT_EQ(tests.front().id(), "drift|Left stick|raw");
    EXPECT_EQ(tests.front().target, GuidedTest::Target::stick("pair-1"));
    EXPECT_EQ(titles(GuidedTests::sections(pad)),
              (std::vector<std::string>{"Sticks", "Triggers", "Buttons and d-pad", "Rumble and lights",
                                        "Sensors and battery", "Connection"}));
    EXPECT_EQ(ids(GuidedTests::sections(pad)[4].tests),
              (std::vector<std::string>{"motion||processed", "touchpad||processed", "battery||processed"}));

    // Axis roles on the twin bring the wheel section; the pad reading raw gets it too.
    twin.setAxisRoles({{"e1", AxisRole::steering}, {"e5", AxisRole::pedal}});
    const auto withAxes = GuidedTests::sections(pad);
    const auto& wheel = withAxes[5];
    EXPECT_EQ(wheel.title, "Wheel, pedals and flight stick");
    EXPECT_EQ(ids(wheel.tests),
              (std::vector<std::string>{"axisSweep|X|raw", "axisCenter|X|raw", "pedal|Left trigger|raw"}));
}

TEST(GuidedTests, SparseDevices) {
    InputDevice bare("gc-1", InputDevice::Kind::controller, {}, {});
    const auto only = GuidedTests::sections(bare);
    ASSERT_EQ(titles(only), std::vector<std::string>{"Connection"});
    EXPECT_EQ(only[0].tests[0].id(), "soak||processed");
    EXPECT_EQ(only[0].tests[0].target, GuidedTest::Target::device());

    // Raw values asked for but no partner: the device's own elements, raw by its own kind.
    InputDevice hid("hid-7", InputDevice::Kind::hid, {},
                    {makeElement("hat", ElementInfo::Kind::dpad, "Hat switch"),
                     makeElement("a1", ElementInfo::Kind::axis, "Wheel", 1)});
    hid.setUseRaw(true);
    auto sections = GuidedTests::sections(hid);
    // A d-pad without buttons still makes the buttons section, with only its own test.
    ASSERT_EQ(titles(sections), (std::vector<std::string>{"Buttons and d-pad", "Connection"}));
    EXPECT_EQ(ids(sections[0].tests), std::vector<std::string>{"dpad|Hat switch|raw"});

    // Axis roles decide the axis tests and their instructions.
    hid.setAxisRoles({{"a1", AxisRole::steering}});
    sections = GuidedTests::sections(hid);
    ASSERT_EQ(sections.size(), 3u);
    ASSERT_EQ(sections[1].tests.size(), 2u);
    EXPECT_EQ(sections[1].tests[1].instructions(), "Line the wheel up straight, then let go of it.");
    hid.setAxisRoles({{"a1", AxisRole::twist}});
    EXPECT_EQ(GuidedTests::sections(hid)[1].tests[1].instructions(), "Let go of the stick so its spring centers it.");
    hid.setAxisRoles({{"a1", AxisRole::throttle}});
    EXPECT_EQ(ids(GuidedTests::sections(hid)[1].tests), std::vector<std::string>{"axisSweep|Wheel|raw"});
    hid.setAxisRoles({});
    EXPECT_EQ(titles(GuidedTests::sections(hid)), (std::vector<std::string>{"Buttons and d-pad", "Connection"}));

    // A controller never gets axis tests, whatever its roles say.
    InputDevice pad("gc-2", InputDevice::Kind::controller, {}, {makeElement("a1", ElementInfo::Kind::axis, "Wheel", 1)});
    pad.setAxisRoles({{"a1", AxisRole::steering}});
    EXPECT_EQ(titles(GuidedTests::sections(pad)), std::vector<std::string>{"Connection"});
}

TEST(GuidedTests, ManualItems) {
    InputDevice pad("gc-3", InputDevice::Kind::controller, {}, {});
    Capabilities caps;
    caps.haptics = {"left HANDLE", "Right"};
    caps.playerLights = true;
    pad.setCapabilities(caps);

    const auto rumble = GuidedTests::manualItems(TestKind::rumble, pad);
    EXPECT_EQ(names(rumble), (std::vector<std::string>{"Left handle, gentle", "Left handle, strong", "Right, gentle",
                                                       "Right, strong"}));
    EXPECT_EQ(rumble[0].action, (Action{Action::Rumble{"left HANDLE", 0.35f, 0.2f}}));
    EXPECT_EQ(rumble[1].action, (Action{Action::Rumble{"left HANDLE", 1.0f, 0.6f}}));

    // Player lights only: no colour items; the label counts from 1, the index from 0.
    const auto lights = GuidedTests::manualItems(TestKind::lights, pad);
    EXPECT_EQ(names(lights),
              (std::vector<std::string>{"Player light 1", "Player light 2", "Player light 3", "Player light 4"}));
    EXPECT_EQ(lights[3].action, (Action{Action::Player{3}}));
    caps.light = true;
    pad.setCapabilities(caps);
    const auto colours = GuidedTests::manualItems(TestKind::lights, pad);
    ASSERT_EQ(colours.size(), 7u);
    EXPECT_EQ(colours[1], (GuidedTests::ManualItem{"Light: green", {Action::Light{0, 1, 0}}}));

    const auto adaptive = GuidedTests::manualItems(TestKind::adaptiveTriggers, pad);
    EXPECT_EQ(names(adaptive), (std::vector<std::string>{
                                   "Left trigger: feedback (steady resistance)",
                                   "Left trigger: weapon (resistance, then a click)", "Left trigger: vibration",
                                   "Right trigger: feedback (steady resistance)",
                                   "Right trigger: weapon (resistance, then a click)", "Right trigger: vibration"}));
    EXPECT_EQ(adaptive[4].action, (Action{Action::Adaptive{AdaptiveMode::weapon, false}}));

    EXPECT_TRUE(GuidedTests::manualItems(TestKind::drift, pad).empty());
}

// The checklists the history's, the report's and the listing's tests fail whole are the bench's
// own, on the pad with the most outputs a controller reports.
TEST(GuidedTests, TheSampleChecklistsAreTheLongestTheBenchOffers) {
    InputDevice pad("gc-4", InputDevice::Kind::controller, {}, {});
    Capabilities caps;
    caps.haptics = {"Left Handle", "Right Handle", "Left Trigger", "Right Trigger"};
    caps.light = caps.playerLights = caps.adaptiveTriggers = true;
    pad.setCapabilities(caps);
    EXPECT_EQ(names(GuidedTests::manualItems(TestKind::rumble, pad)), ChecklistSamples::rumbleItems);
    EXPECT_EQ(names(GuidedTests::manualItems(TestKind::lights, pad)), ChecklistSamples::lightItems);
    EXPECT_EQ(names(GuidedTests::manualItems(TestKind::adaptiveTriggers, pad)), ChecklistSamples::triggerItems);
}
