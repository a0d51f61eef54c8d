#include "app/devices/ControllerSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>

#include "app/devices/ControllerCatalogue.h"
#include "app/devices/ControllerOutputs.h"
#include "tests/support/FakeControllerBackend.h"

using namespace Tessarine;
using namespace RorozErurEvo;
using Kind = ElementInfo::Kind;
using Role = ElementInfo::Role;

namespace {

// A DualSense-like pad with everything the service can report.
ControllerDescription fullPad(int instance, PadType type = PadType::ps5, std::string name = "Test Pad") {
    ControllerDescription d;
    d.instance = instance;
    d.name = std::move(name);
    d.type = type;
    d.axes.set();
    d.buttons.set();
    d.fingers = 2;
    d.accelerometer = true;
    d.gyroscope = true;
    d.rumble = true;
    d.light = true;
    return d;
}

ControllerDescription plainPad(int instance) {
    ControllerDescription d;
    d.instance = instance;
    d.name = "Plain";
    for (auto a : {PadAxis::leftX, PadAxis::leftY, PadAxis::leftTrigger}) d.axes.set(static_cast<std::size_t>(a));
    for (auto b : {PadButton::a, PadButton::b, PadButton::dpadUp}) d.buttons.set(static_cast<std::size_t>(b));
    return d;
}

std::size_t at(PadAxis a) { return static_cast<std::size_t>(a); }

struct Fixture {
    std::shared_ptr<FakeControllerBackend> backend = std::make_shared<FakeControllerBackend>();
    FakeClock clock{100.0};
    ControllerWatcher watcher{backend, {}, clock};
    int changes = 0;

    Fixture() {
        watcher.onChange = [this] { ++changes; };
        watcher.start();
    }
    InputDevice& device(int instance) { return *watcher.devices().at(instance); }
    CaptureBuffer& buffer(int instance) { return device(instance).buffer(); }
};

std::vector<std::string> controllerIds(const std::vector<ElementInfo>& elements) {
    std::vector<std::string> out;
    for (const auto& e : elements) out.push_back(e.id);
    return out;
}

} // namespace

TEST(ControllerWatcher, DeviceIdsCountUpAndAreNeverReused) {
    Fixture f;
    f.backend->add(fullPad(7));
    ASSERT_EQ(f.watcher.devices().size(), 1u);
    const auto first = f.watcher.devices().at(7);
    EXPECT_EQ(first->id(), "gc-1");
    EXPECT_EQ(first->kind(), InputDevice::Kind::controller);
    EXPECT_TRUE(first->connected());
    EXPECT_EQ(f.changes, 1);

    // The same controller reported again changes nothing.
    f.backend->add(fullPad(7));
    EXPECT_EQ(f.watcher.devices().size(), 1u);
    EXPECT_EQ(f.watcher.devices().at(7), first);
    EXPECT_EQ(f.changes, 1);

    // A reconnection is a new connection with a new id; the old device is kept disconnected.
    f.backend->remove(7);
    EXPECT_FALSE(first->connected());
    EXPECT_TRUE(f.watcher.devices().empty());
    EXPECT_TRUE(f.watcher.taps().empty());
    f.backend->add(fullPad(8));
    EXPECT_EQ(f.watcher.devices().at(8)->id(), "gc-2");
    EXPECT_FALSE(first->connected());
    EXPECT_EQ(f.changes, 3);

    // A disconnect of a controller never attached still tells the model.
    f.watcher.detach(99);
    EXPECT_EQ(f.changes, 4);
    EXPECT_EQ(f.watcher.counter(), 2);
}

TEST(ControllerWatcher, ConnectsWaitForTheMainThreadAndDieWithTheWatcher) {
    auto backend = std::make_shared<FakeControllerBackend>();
    std::deque<std::function<void()>> main;
    auto watcher = std::make_unique<ControllerWatcher>(backend, [&](std::function<void()> f) {
        main.push_back(std::move(f));
    });
    watcher->start();
    backend->add(fullPad(1));
    EXPECT_TRUE(watcher->devices().empty());
    ASSERT_EQ(main.size(), 1u);
    main.front()();
    main.pop_front();
    EXPECT_EQ(watcher->devices().size(), 1u);

    // A hop still queued when the watcher goes away does nothing; the backend has stopped.
    backend->remove(1);
    watcher.reset();
    EXPECT_FALSE(backend->running());
    ASSERT_EQ(main.size(), 1u);
    main.front()();
}

TEST(ControllerWatcher, CatalogueListsPadsThenButtonsByInputName) {
    Fixture f;
    f.backend->add(fullPad(1));
    const auto& elements = f.device(1).elements();
    EXPECT_EQ(controllerIds(elements),
              (std::vector<std::string>{"Direction Pad", "Left Thumbstick", "Right Thumbstick", "Touchpad 1",
                                        "Touchpad 2", "Button A", "Button B", "Button Home", "Button Menu",
                                        "Button Options", "Button Share", "Button X", "Button Y", "Left Shoulder",
                                        "Left Thumbstick Button", "Left Trigger", "Paddle 1", "Paddle 2", "Paddle 3",
                                        "Paddle 4", "Right Shoulder", "Right Thumbstick Button", "Right Trigger",
                                        "Touchpad Button"}));
    const auto e = [&](const std::string& id) { return *f.device(1).element(id); };
    EXPECT_EQ(e("Left Trigger").kind, Kind::trigger);
    EXPECT_EQ(e("Left Trigger").name, "Left trigger");
    EXPECT_TRUE(e("Left Trigger").analog);
    EXPECT_EQ(e("Right Thumbstick").role, Role::rightStick);
    EXPECT_EQ(e("Direction Pad").kind, Kind::dpad);
    EXPECT_EQ(e("Direction Pad").symbol, "dpad");
    EXPECT_EQ(e("Touchpad 2").finger, 1);
    EXPECT_EQ(e("Touchpad 2").name, "Touchpad, second finger");
    EXPECT_EQ(e("Touchpad Button").name, "Touchpad click");
    EXPECT_EQ(e("Button Home").name, "Home");
    // The face buttons keep their positional roles; their names follow the family's labels.
    EXPECT_EQ(e("Button A").role, Role::south);
    EXPECT_EQ(e("Button A").name, "Cross");
    EXPECT_EQ(e("Button A").symbol, "circle");
    EXPECT_FALSE(e("Button A").page.has_value());

    // Only what the controller has.
    f.backend->add(plainPad(2));
    EXPECT_EQ(controllerIds(f.device(2).elements()),
              (std::vector<std::string>{"Direction Pad", "Left Thumbstick", "Button A", "Button B", "Left Trigger"}));
    EXPECT_EQ(f.device(2).element("Button A")->name, "A");
}

TEST(ControllerWatcher, IdentityAndCapabilitiesFollowTheController) {
    Fixture f;
    auto dualSense = fullPad(1, PadType::ps5, "DualSense");
    dualSense.hidraw = "/dev/hidraw4";
    f.backend->add(dualSense);
    // The category is left out when it says the same as the name.
    EXPECT_EQ(f.device(1).info().name, "DualSense");
    EXPECT_EQ(f.device(1).info().category, std::nullopt);
    EXPECT_EQ(f.device(1).info().vendorID, std::nullopt);
    EXPECT_EQ(f.device(1).hidrawNode(), "/dev/hidraw4");
    const auto& caps = f.device(1).capabilities();
    EXPECT_EQ(caps.haptics, (std::vector<std::string>{"Left Handle", "Right Handle"}));
    EXPECT_TRUE(caps.light);
    EXPECT_TRUE(caps.playerLights);
    EXPECT_TRUE(caps.adaptiveTriggers);
    EXPECT_TRUE(caps.motion);
    EXPECT_FALSE(caps.battery);

    auto xbox = fullPad(2, PadType::xboxOne, "Wireless Gamepad");
    xbox.triggerRumble = true;
    xbox.light = false;
    xbox.powerSupply = "/sys/class/power_supply/none";
    f.backend->add(xbox);
    EXPECT_EQ(f.device(2).info().category, "Xbox One");
    const auto& xcaps = f.device(2).capabilities();
    EXPECT_EQ(xcaps.haptics, (std::vector<std::string>{"Left Handle", "Right Handle", "Left Trigger", "Right Trigger"}));
    EXPECT_FALSE(xcaps.playerLights);
    EXPECT_FALSE(xcaps.adaptiveTriggers);
    EXPECT_TRUE(xcaps.battery);

    // What the service knows of the model and the unit goes into the identity; a service that
    // knows nothing leaves it as it was.
    auto known = plainPad(4);
    known.vendorID = 0x054C;
    known.productID = 0x0CE6;
    known.serial = "a0:ab:51:12:34:56";
    known.firmwareVersion = 0x0110;
    known.guid = "050000004c050000e60c000000810000";
    f.backend->add(known);
    const DeviceInfo& identity = f.device(4).identity();
    EXPECT_EQ(identity.idText(), "VID 054C \u00B7 PID 0CE6");
    EXPECT_EQ(identity.serial, "a0:ab:51:12:34:56");
    EXPECT_EQ(identity.firmwareVersion, 0x0110);
    EXPECT_EQ(identity.guid, "050000004c050000e60c000000810000");

    f.backend->add(plainPad(3));
    EXPECT_EQ(f.device(3).info(), (DeviceInfo{.name = "Plain"}));
    EXPECT_TRUE(f.device(3).capabilities().haptics.empty());
    EXPECT_FALSE(f.device(3).capabilities().motion);
    // A power supply that cannot be read gives no values rather than an error.
    EXPECT_EQ(f.device(2).outputs()->battery(), DeviceOutputs::Battery{});
}

TEST(ControllerWatcher, PlayerLightsByFamilyOrByName) {
    const auto named = [](std::string name, PadType type = PadType::unknown) {
        ControllerDescription d;
        d.name = std::move(name);
        d.type = type;
        return ControllerWatcher::hasPlayerLights(d);
    };
    EXPECT_TRUE(named("Third-party DUALSENSE clone"));
    EXPECT_TRUE(named("Some Pro Controller"));
    EXPECT_TRUE(named("joy-con grip"));
    EXPECT_FALSE(named("Wireless Gamepad"));
    EXPECT_TRUE(named("Controller", PadType::switchPro));
    EXPECT_FALSE(named("Controller", PadType::xboxOne));
    // The family's name decides when the family is known: DualShock 3 has four player lights.
    EXPECT_TRUE(named("Sony PLAYSTATION(R)3 Controller", PadType::ps3));
    EXPECT_FALSE(named("Pro Controller clone", PadType::xbox360));
}

TEST(ControllerWatcher, TriggersAreAnalogueOnlyWhenTheyReportTheirTravel) {
    Fixture f;
    f.backend->add(fullPad(1, PadType::ps4));
    EXPECT_TRUE(f.device(1).element("Left Trigger")->analog);
    EXPECT_TRUE(f.device(1).element("Right Trigger")->analog);
    // ZL and ZR are plain buttons; so is a trigger the mapping reads from a button.
    auto nintendo = fullPad(2, PadType::switchPro);
    nintendo.analogTriggers = 0;
    f.backend->add(nintendo);
    EXPECT_FALSE(f.device(2).element("Left Trigger")->analog);
    EXPECT_FALSE(f.device(2).element("Right Trigger")->analog);
    auto mixed = fullPad(3, PadType::unknown);
    mixed.analogTriggers = 0b10;
    f.backend->add(mixed);
    EXPECT_FALSE(f.device(3).element("Left Trigger")->analog);
    EXPECT_TRUE(f.device(3).element("Right Trigger")->analog);
}

TEST(ControllerTap, SnapshotRecordsTheRestingStateOnce) {
    Fixture f;
    ControllerState state;
    state.axes[at(PadAxis::leftX)] = 16384;
    state.buttons.set(static_cast<std::size_t>(PadButton::b));
    state.fingers = {FingerState{}, FingerState{true, 1.0f, 0.0f}};
    f.backend->add(fullPad(1), state);
    auto& b = f.buffer(1);
    const auto sticks = b.sticks("Left Thumbstick", 0, 1e9);
    ASSERT_EQ(sticks.size(), 1u);
    EXPECT_EQ(sticks[0].t, 100.0);
    EXPECT_NEAR(sticks[0].x, 0.5, 1e-4);
    EXPECT_EQ(b.sticks("Direction Pad", 0, 1e9).size(), 1u);
    EXPECT_EQ(b.axes("Left Trigger", 0, 1e9).size(), 1u);
    // Released buttons add nothing; the held one is a press; only the finger on the surface is a touch.
    EXPECT_EQ(b.events(0, 1e9), (std::vector<ButtonEvent>{{"Button B", true, 100.0}}));
    EXPECT_EQ(b.touches(0, 1e9), (std::vector<TouchSample>{{100.0, 1, 1.0, 1.0}}));
}

TEST(ControllerTap, SticksAreUpPositiveAndReachBothEnds) {
    Fixture f;
    f.backend->add(fullPad(1));
    f.backend->axis(1, PadAxis::leftY, 32767, 100.5);
    EXPECT_EQ(f.buffer(1).stick("Left Thumbstick", 1e9)->y, -1.0);
    f.backend->axis(1, PadAxis::leftY, -32768, 100.6);
    f.backend->axis(1, PadAxis::leftX, 32767, 100.7);
    const auto s = *f.buffer(1).stick("Left Thumbstick", 1e9);
    EXPECT_EQ(s.x, 1.0);
    EXPECT_EQ(s.y, 1.0);
    EXPECT_EQ(s.t, 100.7);
    // The whole stick is written on a change of either axis.
    EXPECT_EQ(f.buffer(1).sticks("Left Thumbstick", 100.1, 1e9).size(), 3u);
    EXPECT_TRUE(f.buffer(1).sticks("Right Thumbstick", 100.1, 1e9).empty());

    f.backend->button(1, PadButton::dpadUp, true, 101.0);
    f.backend->button(1, PadButton::dpadLeft, true, 101.1);
    const auto pad = *f.buffer(1).stick("Direction Pad", 1e9);
    EXPECT_EQ(pad.x, -1.0);
    EXPECT_EQ(pad.y, 1.0);
}

TEST(ControllerTap, TriggersAreAxesAndButtonsWithHysteresis) {
    Fixture f;
    f.backend->add(fullPad(1));
    auto& b = f.buffer(1);
    const auto press = [&](double unit, double t) {
        f.backend->axis(1, PadAxis::rightTrigger, static_cast<std::int16_t>(unit * 32767), t);
    };
    press(0.6, 100.1);  // pressed
    press(0.45, 100.2); // between the thresholds: still pressed
    press(0.52, 100.3);
    press(0.3, 100.4);  // released
    EXPECT_EQ(b.events(100.05, 1e9), (std::vector<ButtonEvent>{{"Right Trigger", true, 100.1},
                                                                {"Right Trigger", false, 100.4}}));
    EXPECT_EQ(b.axes("Right Trigger", 100.05, 1e9).size(), 4u);
    EXPECT_NEAR(b.axis("Right Trigger", 100.1)->value, 0.6, 1e-4);
    EXPECT_EQ(b.snapshot().presses.at("Right Trigger"), 1);
}

TEST(ControllerTap, EventTimesAreTrustedOnlyNearTheClock) {
    EXPECT_EQ(ControllerTap::sampleTime(0, 50), 50);
    EXPECT_EQ(ControllerTap::sampleTime(-3, 50), 50);
    EXPECT_EQ(ControllerTap::sampleTime(45, 50), 50);
    EXPECT_EQ(ControllerTap::sampleTime(55, 50), 50);
    EXPECT_EQ(ControllerTap::sampleTime(45.1, 50), 45.1);
    EXPECT_EQ(ControllerTap::sampleTime(54.9, 50), 54.9);

    Fixture f;
    f.backend->add(fullPad(1));
    f.backend->button(1, PadButton::a, true, 0);
    EXPECT_EQ(f.buffer(1).events(0, 1e9).back().t, 100.0);
}

TEST(ControllerTap, TouchesLiftOnlyWhenTheFingerLeaves) {
    Fixture f;
    f.backend->add(fullPad(1));
    auto& b = f.buffer(1);
    // The very centre is a touch like any other; y grows upwards.
    f.backend->touch(1, 0, TouchPhase::down, 0.5f, 0.5f, 100.1);
    f.backend->touch(1, 1, TouchPhase::down, 0.0f, 0.25f, 100.2);
    f.backend->touch(1, 0, TouchPhase::motion, 0.75f, 1.0f, 100.3);
    EXPECT_EQ(b.touches(0, 1e9), (std::vector<TouchSample>{{100.1, 0, 0.0, 0.0}, {100.2, 1, -1.0, 0.5},
                                                           {100.3, 0, 0.5, -1.0}}));
    f.backend->touch(1, 0, TouchPhase::up, 0.75f, 1.0f, 100.4);
    EXPECT_EQ(b.snapshot().touches.size(), 1u);
    EXPECT_TRUE(b.snapshot().touches.contains(1));
    EXPECT_EQ(b.touches(0, 1e9).size(), 3u);
    // A finger the controller does not have is ignored.
    f.backend->touch(1, 5, TouchPhase::down, 0.1f, 0.1f, 100.5);
    EXPECT_EQ(b.touches(0, 1e9).size(), 3u);
}

TEST(ControllerTap, MotionIsInGWithTheLatestRotation) {
    Fixture f;
    f.backend->add(fullPad(1));
    auto& b = f.buffer(1);
    f.backend->sensor(1, Sensor::accelerometer, {0.0f, 9.80665f, 0.0f}, 100.1);
    f.backend->sensor(1, Sensor::gyroscope, {0.5f, 0.0f, -0.25f}, 100.1);
    f.backend->sensor(1, Sensor::accelerometer, {0.0f, 0.0f, -19.6133f}, 100.2);
    const auto samples = b.motion(0, 1e9);
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[0].rotation, std::nullopt);
    EXPECT_NEAR(samples[0].acceleration->y, 1.0, 1e-6);
    EXPECT_EQ(samples[1].rotation, (Vector3{0.5, 0.0, -0.25}));
    EXPECT_NEAR(samples[1].acceleration->z, -2.0, 1e-6);
    // Motion is stamped with the clock, and a broken reading is skipped.
    EXPECT_EQ(samples[1].t, 100.0);
    f.backend->sensor(1, Sensor::accelerometer, {std::nanf(""), 0.0f, 0.0f});
    EXPECT_EQ(b.motion(0, 1e9).size(), 2u);

    // A controller with a gyroscope only writes on its readings.
    auto gyroOnly = fullPad(2);
    gyroOnly.accelerometer = false;
    f.backend->add(gyroOnly);
    f.backend->sensor(2, Sensor::gyroscope, {1.0f, 2.0f, 3.0f});
    EXPECT_EQ(f.buffer(2).motion(0, 1e9), (std::vector<MotionSample>{{100.0, Vector3{1, 2, 3}, std::nullopt}}));
}

TEST(ControllerTap, MotionSamplesCarryTheLatestReadingOfBothSensors) {
    Fixture f;
    f.backend->add(fullPad(1));
    const Vector3 g1{1, 0, 0}, g2{2, 0, 0}, g3{3, 0, 0}, g4{4, 0, 0}, g5{5, 0, 0};
    auto gyro = [&](const Vector3& v) {
        f.backend->sensor(1, Sensor::gyroscope,
                          {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)});
    };
    auto accel = [&](float x) { f.backend->sensor(1, Sensor::accelerometer, {x * 9.80665f, 0.0f, 0.0f}); };
    // The accelerometer is late: the rotations before its first reading are kept.
    gyro(g1);
    gyro(g2);
    accel(1);
    // A report of both sensors gives one sample.
    gyro(g3);
    accel(2);
    // Rotations while the accelerometer is silent carry its latest reading.
    gyro(g4);
    gyro(g5);
    std::vector<std::pair<std::optional<Vector3>, std::optional<double>>> seen;
    for (const auto& m : f.buffer(1).motion(0, 1e9))
        seen.emplace_back(m.rotation, m.acceleration ? std::optional(std::round(m.acceleration->x)) : std::nullopt);
    using Seen = decltype(seen);
    EXPECT_EQ(seen, (Seen{{g1, std::nullopt}, {g2, std::nullopt}, {g2, 1.0}, {g3, 2.0}, {g5, 2.0}}));
}

TEST(ControllerTap, NothingIsRecordedOnceTheControllerIsGone) {
    Fixture f;
    f.backend->add(fullPad(1));
    auto device = f.watcher.devices().at(1);
    f.backend->remove(1);
    f.backend->button(1, PadButton::a, true, 100.5);
    f.backend->axis(1, PadAxis::leftX, 1000, 100.5);
    EXPECT_TRUE(device->buffer().events(0, 1e9).empty());
    EXPECT_EQ(device->buffer().sticks("Left Thumbstick", 0, 1e9).size(), 1u); // the snapshot only
}

TEST(ControllerOutputs, RumbleGoesToTheLocalitysMotorOnly) {
    Fixture f;
    auto pad = fullPad(1);
    pad.triggerRumble = true;
    f.backend->add(pad);
    auto& out = *f.device(1).outputs();
    out.rumble("Left Handle", 0.5f, 1.0f, 0.3);
    out.rumble("Right Trigger", 1.0f, 0.0f, 1.0);
    out.rumble("Default", 1.0f, 1.0f, 1.0); // not a locality this controller offers
    out.stopRumble();
    using Motor = RorozErurEvo::RumbleMixer::Motor;
    using Cmd = FakeControllerBackend::Command;
    const auto commands = f.backend->commands();
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].kind, Cmd::Kind::rumble);
    EXPECT_EQ(commands[0].motor, Motor::low);
    EXPECT_EQ(commands[0].strength, 0.5f);
    EXPECT_EQ(commands[0].seconds, 0.3);
    EXPECT_EQ(commands[1].motor, Motor::rightTrigger);
    EXPECT_EQ(commands[2].kind, Cmd::Kind::stopRumble);

    // Without motors, nothing is sent at all.
    f.backend->add(plainPad(2));
    f.device(2).outputs()->rumble("Left Handle", 1.0f, 1.0f, 1.0);
    f.device(2).outputs()->stopRumble();
    EXPECT_EQ(f.backend->commands().size(), 3u);
}

TEST(ControllerOutputs, LightPlayerIndexTriggersAndSensors) {
    Fixture f;
    f.backend->add(fullPad(1));
    auto& out = *f.device(1).outputs();
    using Cmd = FakeControllerBackend::Command;
    out.setLight(1.0f, 0.5f, std::nanf(""));
    out.setPlayerIndex(-1);
    out.setTrigger(AdaptiveMode::weapon, false);
    out.resetTriggers();
    out.setMotionActive(true);
    const auto c = f.backend->commands();
    ASSERT_EQ(c.size(), 5u);
    EXPECT_EQ(c[0].color, (std::array<std::uint8_t, 3>{255, 128, 0}));
    EXPECT_EQ(c[1].index, -1);
    // The weapon effect on the right trigger only: its flag and its 11 bytes at offset 10.
    ASSERT_EQ(c[2].packet.size(), 47u);
    EXPECT_EQ(c[2].packet[0], 0x04);
    EXPECT_EQ(std::vector<std::uint8_t>(c[2].packet.begin() + 10, c[2].packet.begin() + 14),
              (std::vector<std::uint8_t>{0x25, 0x24, 0x00, 0x06}));
    EXPECT_EQ(c[2].packet[21], 0);
    // Reset frees both triggers.
    EXPECT_EQ(c[3].packet[0], 0x0C);
    EXPECT_EQ(c[3].packet[10], 0x05);
    EXPECT_EQ(c[3].packet[21], 0x05);
    EXPECT_EQ(c[4].kind, Cmd::Kind::sensors);
    EXPECT_TRUE(c[4].enabled);

    // A controller without a light, adaptive triggers or sensors gets none of those commands.
    f.backend->add(plainPad(2));
    auto& plain = *f.device(2).outputs();
    plain.setLight(1, 1, 1);
    plain.setTrigger(AdaptiveMode::feedback, true);
    plain.resetTriggers();
    plain.setMotionActive(true);
    EXPECT_EQ(f.backend->commands().size(), 5u);
}

// A joystick that is no game controller becomes a raw device read through the joystick layer:
// numbered inputs as elements with the layer's ranges, every change recorded as a raw HID
// device's would be.
TEST(ControllerWatcher, AJoystickBecomesARawDeviceOfTheJoystickLayer) {
    Fixture f;
    JoystickDescription stick{.instance = 9,
                              .name = "Flight Stick",
                              .vendorID = 0x044F,
                              .productID = 0xB10A,
                              .serial = "FS-1",
                              .path = "/dev/input/event7",
                              .hidraw = "/dev/hidraw6",
                              .axes = {{1, 0x30}, {1, 0x31}, {1, 0x35}, {1, 0x36}},
                              .hats = 1,
                              .buttons = 3};
    f.backend->addJoystick(stick, JoystickState{{0, 0, 0, -32768}, {0}, {false, true, false}});
    EXPECT_EQ(f.changes, 1);
    EXPECT_TRUE(f.watcher.devices().empty());
    ASSERT_EQ(f.watcher.joysticks().size(), 1u);
    const auto device = f.watcher.joysticks().at(9); // kept past the disconnect
    InputDevice& d = *device;
    EXPECT_EQ(d.id(), "js-1");
    EXPECT_EQ(d.kind(), InputDevice::Kind::hid);
    EXPECT_TRUE(d.joystickLayer());
    EXPECT_EQ(d.stampResolution(), 0.001);
    EXPECT_EQ(d.hidrawNode(), "/dev/hidraw6");
    EXPECT_EQ(d.info(), (DeviceInfo{.name = "Flight Stick", .vendorID = 0x044F, .productID = 0xB10A, .serial = "FS-1"}));

    std::vector<std::string> names, ranges;
    for (const auto& e : d.elements()) {
        names.push_back(e.name);
        ranges.push_back(e.rangeText().value_or(""));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"X", "Y", "Rz", "Slider", "Hat switch", "Button 1", "Button 2",
                                               "Button 3", "Stick"}));
    EXPECT_EQ(ranges, (std::vector<std::string>{"-32768\u202632767", "-32768\u202632767", "-32768\u202632767",
                                                "-32768\u202632767", "0\u20267", "0\u20261", "0\u20261", "0\u20261", ""}));
    // A flight stick's twist and throttle are guessed from their usages.
    EXPECT_EQ(d.axisRoles(), (std::map<std::string, AxisRole>{{"e3", AxisRole::twist}, {"e4", AxisRole::throttle}}));

    // The resting state is recorded first, then each change at its own time.
    auto& buffer = d.buffer();
    EXPECT_TRUE(buffer.snapshot().pressed.contains("e7"));
    f.backend->joystickAxis(9, 1, 32767, 100.25);
    f.backend->joystickHat(9, 0, JoystickLayout::hatRight | JoystickLayout::hatUp, 100.5);
    f.backend->joystickButton(9, 0, true, 100.75);
    const auto trackers = buffer.rawTrackers();
    EXPECT_EQ(trackers.at("e2").value, 32767);
    EXPECT_EQ(trackers.at("e4").value, -32768);
    const auto hat = buffer.stick("e5", 1e12);
    ASSERT_TRUE(hat);
    EXPECT_EQ(std::pair(hat->x, hat->y), std::pair(1.0, 1.0));
    EXPECT_EQ(hat->t, 100.5);
    EXPECT_TRUE(buffer.snapshot().pressed.contains("e6"));
    const auto pair = buffer.stick("pair-1", 1e12);
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->y, -1.0); // the pair's Y is flipped so that up is positive

    f.backend->removeJoystick(9);
    EXPECT_FALSE(d.connected());
    EXPECT_TRUE(f.watcher.joysticks().empty());
    EXPECT_EQ(f.changes, 2);
    // Input of a joystick that is gone is not recorded.
    f.backend->joystickAxis(9, 0, 5, 101.0);
    EXPECT_EQ(buffer.rawTrackers().at("e1").value, 0);
}
