// Joysticks read through the system's joystick layer: listed once beside the raw HID monitor's
// devices, and tested as raw devices are.
#include <gtest/gtest.h>

#include "ModelFakes.h"

#include <algorithm>

#include "app/devices/ControllerSource.h"
#include "app/model/GuidedTests.h"
#include "testkit/AxisNoiseAnalysis.h"
#include "testkit/JoystickLayout.h"
#include "tests/support/FakeControllerBackend.h"

using namespace Tessarine;
using namespace RorozErurEvo;

using Fakes::ids;

namespace {

std::shared_ptr<InputDevice> joystick(const std::string& id, const std::string& name,
                                      std::optional<std::string> node, std::optional<std::string> serial = {}) {
    auto d = std::make_shared<InputDevice>(id, InputDevice::Kind::hid, DeviceInfo{.name = name, .serial = serial},
                                           std::vector<ElementInfo>{});
    d->setHidrawNode(std::move(node));
    d->setJoystickLayer(true);
    return d;
}

} // namespace

TEST(AppModelJoysticks, AJoystickIsListedOnlyWhereTheRawMonitorDoesNotReadItAndTakesItsClosedRow) {
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    bench.hid->plug(1, Fakes::tap(1, "Wheel", bench.clock, "/dev/hidraw1", "W-1"));
    bench.hid->left = {SkippedHID{"Pedals (couldn't be opened)", SkippedHID::Why::openFailed, "/dev/hidraw5",
                                  "Permission denied", true},
                       Fakes::skipped("Deck (also a keyboard or mouse)")};
    bench.controllers->sticks = {
        joystick("js-1", "Wheel", "/dev/hidraw1"),                // the monitor reads the same node
        joystick("js-2", "Pedals", "/dev/hidraw5"),               // the monitor could not open it
        joystick("js-3", "Wheel", std::nullopt, "W-1"),           // no node, but the wheel's ids and serial
        joystick("js-4", "Flight Stick", std::nullopt)};          // nothing to match: its own device
    m.refreshHID();
    EXPECT_EQ(ids(m.allHID()), (std::vector<std::string>{"hid-1", "js-2", "js-4"}));
    EXPECT_EQ(ids(m.deviceLists().hidDevices()), (std::vector<std::string>{"hid-1", "js-2", "js-4"}));
    ASSERT_EQ(m.deviceLists().skippedHID().size(), 1u);
    EXPECT_EQ(m.deviceLists().skippedHID()[0].title, "Deck (also a keyboard or mouse)");
    EXPECT_EQ(m.device("js-2"), bench.controllers->sticks[1]);

    // Joysticks change with the controllers; the list follows either refresh.
    bench.controllers->sticks.pop_back();
    m.refreshControllers();
    EXPECT_EQ(ids(m.allHID()), (std::vector<std::string>{"hid-1", "js-2"}));
    bench.controllers->sticks.erase(bench.controllers->sticks.begin() + 1);
    m.refreshControllers();
    EXPECT_EQ(ids(m.allHID()), (std::vector<std::string>{"hid-1"}));
    EXPECT_EQ(m.deviceLists().skippedHID().size(), 2u);
}

// Pedals whose hidraw node is closed to the user, read through the joystick layer with scripted
// values: the catalogue has the layer's ranges, the roles come from the name, and the axis noise
// analysis and the guided pedal test reach their results.
TEST(AppModelJoysticks, AxisNoiseAndPedalTestsRunOnAJoystickOfTheJoystickLayer) {
    Fakes::Bench bench;
    auto backend = std::make_shared<FakeControllerBackend>();
    ControllerWatcher watcher(backend, {}, bench.clock);
    watcher.start();
    JoystickDescription pedals{.instance = 4, .name = "Racing Pedals", .axes = JoystickLayout::numberedAxes(3),
                               .buttons = 2};
    backend->addJoystick(pedals, JoystickState{{-32768, -32768, -32768}, {}, {false, false}});
    bench.controllers->sticks = {watcher.joysticks().at(4)};
    bench.model->refreshControllers();
    ASSERT_EQ(ids(bench.model->allHID()), (std::vector<std::string>{"js-1"}));
    auto device = bench.model->device("js-1");
    ASSERT_TRUE(device);
    EXPECT_EQ(device->element("e1")->rangeText(), "-32768\u202632767");
    EXPECT_EQ(device->element("e4")->rangeText(), "0\u20261");
    EXPECT_EQ(device->axisRoles().at("e1"), AxisRole::pedal);

    // Two seconds at rest with a count of noise, then one press through the whole range.
    double t = bench.clock.now();
    for (int i = 0; i < 200; ++i) backend->joystickAxis(4, 0, static_cast<std::int16_t>(-32768 + i % 2), t += 0.01);
    const auto rest = device->buffer().rawValues("e1", bench.clock.now(), t + 1);
    const auto noise = AxisNoiseAnalysis::result(rest, JoystickLayout::axisMin, JoystickLayout::axisMax, -32768, 32767,
                                                 "X", bench.model->thresholds(*device), Dates::now());
    EXPECT_EQ(noise.verdict, Verdict::pass) << noise.headline;

    const auto tests = GuidedTests::allTests(*device);
    const auto pedal = std::find_if(tests.begin(), tests.end(), [](const GuidedTest& g) {
        return g.kind == TestKind::pedal && g.element == "X";
    });
    ASSERT_NE(pedal, tests.end());
    auto& runner = bench.model->runner(device);
    bench.clock.set(t);
    runner.start(*pedal);
    const double start = t;
    // Feet off while the test settles, then down slowly and back up.
    for (double e = 0.01; e < 6 && runner.active(); e += 0.01) {
        const double press = e < 2 ? 0 : e < 4 ? (e - 2) / 2 : std::max(0.0, 1 - (e - 4));
        backend->joystickAxis(4, 0, static_cast<std::int16_t>(-32768 + press * 65535), start + e);
        bench.clock.set(start + e);
        runner.tick(start + e);
    }
    EXPECT_FALSE(runner.active());
    const auto result = runner.result(*pedal);
    ASSERT_TRUE(result);
    EXPECT_NE(result->headline, "not run");
    EXPECT_NE(result->headline, "no readings");
}
