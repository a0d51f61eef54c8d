#include "app/devices/InputDevice.h"

#include <gtest/gtest.h>

using namespace Tessarine;
using namespace RorozErurEvo;
using Kind = ElementInfo::Kind;
using Role = ElementInfo::Role;

namespace {

DeviceInfo named(std::string name) {
    DeviceInfo info;
    info.name = std::move(name);
    return info;
}

ElementInfo makeElement(std::string id, Kind kind, Role role, std::string name) {
    ElementInfo e;
    e.id = std::move(id);
    e.kind = kind;
    e.role = role;
    e.name = std::move(name);
    return e;
}

ElementInfo hidAxis(std::string id, int usage) {
    auto e = makeElement(std::move(id), Kind::axis, Role::other, "Axis");
    e.analog = true;
    e.page = 1;
    e.usage = usage;
    e.logicalMin = 0;
    e.logicalMax = 255;
    return e;
}

class FakeOutputs : public SilentOutputs {
public:
    Battery battery() const override {
        ++reads;
        return reading;
    }
    Battery reading{0.8, "On battery"};
    mutable int reads = 0;
};

std::vector<std::string> ids(const std::vector<ElementInfo>& elements) {
    std::vector<std::string> result;
    for (const auto& e : elements) result.push_back(e.id);
    return result;
}

} // namespace

TEST(InputDevice, SettersNotifyOnlyOnChange) {
    InputDevice device("gc-1", InputDevice::Kind::controller, named("Pad"), {});
    int connected = 0, info = 0, roles = 0, live = 0;
    QObject::connect(&device, &InputDevice::connectedChanged, [&] { ++connected; });
    QObject::connect(&device, &InputDevice::infoChanged, [&] { ++info; });
    QObject::connect(&device, &InputDevice::axisRolesChanged, [&] { ++roles; });
    QObject::connect(&device, &InputDevice::liveChanged, [&] { ++live; });

    device.setConnected(true); // already true
    device.setConnected(false);
    device.setConnected(false);
    device.setInfo(named("Pad"));
    device.setInfo(named("Other pad"));
    device.setAxisRoles({});
    EXPECT_EQ(connected, 1);
    EXPECT_EQ(info, 1);
    EXPECT_EQ(roles, 0);

    // The live snapshot is handed out on every frame, whether it changed or not.
    device.update(1.0, 1.0);
    device.update(1.1, 1.0);
    EXPECT_EQ(live, 2);
}

TEST(InputDevice, UpdateCopiesTrailsOfSticksAndDpadsOnly) {
    InputDevice buttonsOnly("hid-9", InputDevice::Kind::hid, named("Box"),
                            {makeElement("b1", Kind::button, Role::other, "Button 1")});
    buttonsOnly.update(5, 1);
    EXPECT_TRUE(buttonsOnly.trails().empty());

    InputDevice pad("gc-1", InputDevice::Kind::controller, named("Pad"),
                    {makeElement("L", Kind::stick, Role::leftStick, "Left stick"),
                     makeElement("D", Kind::dpad, Role::dpad, "D-pad"),
                     makeElement("A", Kind::button, Role::south, "A")});
    int trails = 0;
    QObject::connect(&pad, &InputDevice::trailsChanged, [&] { ++trails; });
    // Views refresh once a frame, on liveChanged: the trail they read then is this frame's.
    std::size_t trailSeenLive = 0;
    QObject::connect(&pad, &InputDevice::liveChanged, [&] {
        if (const auto found = pad.trails().find("L"); found != pad.trails().end()) trailSeenLive = found->second.size();
    });
    pad.buffer().recordStick("L", 0.5, 0, std::nullopt, 9.0);
    pad.buffer().recordStick("L", 0.6, 0, std::nullopt, 9.8);
    pad.update(10, 0.5);
    EXPECT_EQ(trailSeenLive, 1u);
    ASSERT_EQ(pad.trails().size(), 2u);
    ASSERT_EQ(pad.trails().at("L").size(), 1u);
    EXPECT_EQ(pad.trails().at("L").front().x, 0.6);
    EXPECT_TRUE(pad.trails().at("D").empty());
    pad.update(10.1, 0.5); // nothing new
    EXPECT_EQ(trails, 1);
}

TEST(InputDevice, RawStatisticsOnlyForRawDevices) {
    InputDevice controller("gc-1", InputDevice::Kind::controller, named("Pad"), {});
    controller.buffer().recordRaw("e1", 5, 1.0);
    controller.update(1.0, 1);
    EXPECT_TRUE(controller.rawLive().empty());

    InputDevice raw("hid-1", InputDevice::Kind::hid, named("Stick"), {hidAxis("e1", 48), hidAxis("e2", 49)});
    raw.buffer().recordRaw("e1", 100, 0.99);
    raw.buffer().recordRaw("e1", 110, 1.0);
    raw.update(1.0, 1);
    ASSERT_EQ(raw.rawLive().size(), 1u); // e2 never reported
    const auto& live = raw.rawLive().at("e1");
    EXPECT_EQ(live.value, 110);
    EXPECT_EQ(live.minSeen, 100);
    EXPECT_EQ(live.jitter, 10);
    ASSERT_TRUE(live.rate.has_value());
    EXPECT_NEAR(*live.rate, 100.0, 1e-6);
}

TEST(InputDevice, BatteryIsReadAtMostEveryTwoSeconds) {
    auto outputs = std::make_shared<FakeOutputs>();
    InputDevice device("demo", InputDevice::Kind::demo, named("Demo"), {}, nullptr, outputs);
    device.update(10.0, 1);
    EXPECT_EQ(outputs->reads, 1);
    EXPECT_EQ(device.batteryLevel(), 0.8);
    EXPECT_EQ(device.batteryState(), "On battery");
    EXPECT_EQ(device.info().batteryLevel, 0.8);
    EXPECT_EQ(device.info().batteryState, "On battery");

    device.update(12.0, 1); // exactly 2 s later
    EXPECT_EQ(outputs->reads, 1);
    outputs->reading = {std::nullopt, "Charging"};
    device.update(12.001, 1);
    EXPECT_EQ(outputs->reads, 2);
    EXPECT_EQ(device.batteryLevel(), std::nullopt);
    EXPECT_EQ(device.info().batteryState, "Charging");

    InputDevice silent("hid-1", InputDevice::Kind::hid, named("Stick"), {});
    silent.update(50, 1);
    EXPECT_EQ(silent.lastBatteryCheck(), 0);
    EXPECT_EQ(silent.batteryLevel(), std::nullopt);
}

TEST(InputDevice, ApplyPairsReplacesOnlyPairBuiltSticks) {
    InputDevice device("hid-1", InputDevice::Kind::hid, named("Pad"),
                       {hidAxis("e1", 48), makeElement("pair-1", Kind::stick, Role::leftStick, "Old"),
                        makeElement("xpair-2", Kind::button, Role::other, "Keeps"), hidAxis("e2", 49)});
    std::vector<std::vector<StickPair>> forwarded;
    device.onPairsChanged = [&](const std::vector<StickPair>& pairs) { forwarded.push_back(pairs); };

    const StickPair left{"pair-1", "Left stick", "e1", "e2", true, Role::leftStick};
    const StickPair right{"pair-2", "Right stick", "e3", "e4", true, Role::rightStick};
    device.applyPairs({right, left});
    EXPECT_EQ(ids(device.elements()), (std::vector<std::string>{"e1", "xpair-2", "e2", "pair-2", "pair-1"}));
    const auto stick = *device.element("pair-2");
    EXPECT_EQ(stick.kind, Kind::stick);
    EXPECT_EQ(stick.role, Role::rightStick);
    EXPECT_EQ(stick.name, "Right stick");
    EXPECT_TRUE(stick.analog);
    EXPECT_FALSE(stick.page.has_value());
    EXPECT_EQ(device.stickPairs(), (std::vector<StickPair>{right, left}));

    device.applyPairs({});
    EXPECT_EQ(ids(device.elements()), (std::vector<std::string>{"e1", "xpair-2", "e2"}));
    ASSERT_EQ(forwarded.size(), 2u);
    EXPECT_TRUE(forwarded[1].empty());
}

TEST(InputDevice, ElementListsAndDisplayOrder) {
    auto trigger10 = makeElement("t10", Kind::trigger, Role::other, "Trigger 10");
    auto trigger2 = makeElement("t2", Kind::trigger, Role::other, "Trigger 2");
    auto hat = hidAxis("hat", 57);
    hat.kind = Kind::dpad;
    hat.isHat = true;
    auto hidTrigger = hidAxis("e5", 51);
    hidTrigger.kind = Kind::trigger;
    hidTrigger.role = Role::leftTrigger;
    InputDevice device("hid-1", InputDevice::Kind::hid, named("Pad"),
                       {trigger10, makeElement("a", Kind::button, Role::south, "A"), trigger2,
                        makeElement("R", Kind::stick, Role::rightStick, "Right"), hidAxis("e1", 48), hat,
                        makeElement("L", Kind::stick, Role::leftStick, "Left"), hidTrigger});

    EXPECT_EQ(ids(device.sticks()), (std::vector<std::string>{"L", "R"}));
    EXPECT_EQ(ids(device.triggers()), (std::vector<std::string>{"e5", "t2", "t10"}));
    EXPECT_EQ(ids(device.buttons()), (std::vector<std::string>{"e5", "a", "t2", "t10"}));
    EXPECT_EQ(ids(device.dpads()), std::vector<std::string>{"hat"});
    EXPECT_EQ(ids(device.axes()), std::vector<std::string>{"e1"});
    EXPECT_EQ(ids(device.analogAxes()), (std::vector<std::string>{"e1", "e5"})); // no hat, no page-less trigger
    EXPECT_FALSE(device.element("nope").has_value());
    EXPECT_TRUE(InputDevice::displayOrder(trigger2, trigger10));
    EXPECT_FALSE(InputDevice::displayOrder(trigger10, trigger2));
    EXPECT_FALSE(InputDevice::displayOrder(trigger2, trigger2));
}

TEST(InputDevice, PartnerSuppliesCounterpartsIdentityAndTestTarget) {
    auto partner = std::make_shared<InputDevice>(
        "hid-7", InputDevice::Kind::hid, DeviceInfo{"Raw", "Maker", std::nullopt, 0x45E, 0x2E0, "SN1", "USB", std::nullopt, std::nullopt},
        std::vector<ElementInfo>{makeElement("pair-1", Kind::stick, Role::leftStick, "Left stick")});
    InputDevice pad("gc-1", InputDevice::Kind::controller,
                    DeviceInfo{"Pad", std::nullopt, "Gamepad", std::nullopt, std::nullopt, std::nullopt, "Attached", std::nullopt, std::nullopt},
                    {});
    const auto left = makeElement("L", Kind::stick, Role::leftStick, "Left stick");
    const auto right = makeElement("R", Kind::stick, Role::rightStick, "Right stick");

    EXPECT_EQ(pad.identity(), pad.info());
    EXPECT_FALSE(pad.rawCounterpart(left).has_value());
    EXPECT_EQ(&pad.testTarget(), &pad);

    pad.setRawPartner(partner);
    const auto identity = pad.identity();
    EXPECT_EQ(identity.name, "Pad");
    EXPECT_EQ(identity.vendor, std::nullopt); // only ids, serial and transport come from the partner
    EXPECT_EQ(identity.category, "Gamepad");
    EXPECT_EQ(identity.vendorID, 0x45E);
    EXPECT_EQ(identity.serial, "SN1");
    EXPECT_EQ(identity.transport, "Attached");

    EXPECT_EQ(pad.rawCounterpart(left)->id, "pair-1");
    EXPECT_FALSE(pad.rawCounterpart(right).has_value());

    EXPECT_EQ(&pad.testTarget(), &pad);
    pad.setUseRaw(true);
    EXPECT_EQ(&pad.testTarget(), partner.get());
}

TEST(InputDevice, AxisRolesAreGuessedOnlyWhereMissing) {
    InputDevice wheel("hid-2", InputDevice::Kind::hid, named("Racing Wheel"),
                      {hidAxis("e1", 0x30), hidAxis("e2", 0x31), hidAxis("e3", 0x38)});
    wheel.setAxisRoles({{"e2", AxisRole::throttle}}); // the user's choice
    wheel.assignAxisRoles();
    EXPECT_EQ(wheel.axisRoles(),
              (std::map<std::string, AxisRole>{{"e1", AxisRole::steering}, {"e2", AxisRole::throttle}}));
}

TEST(ElementInfo, RangeTextAndNeutralSymbols) {
    ElementInfo e;
    EXPECT_FALSE(e.rangeText().has_value());
    e.logicalMin = 0;
    EXPECT_FALSE(e.rangeText().has_value());
    e.logicalMax = 255;
    EXPECT_EQ(e.rangeText(), "0\u2026255");
    e.logicalMin = -32768;
    EXPECT_EQ(e.rangeText(), "-32768\u2026255");

    EXPECT_EQ(ElementInfo::neutralSymbol("a.circle", Role::south), "a.circle");
    EXPECT_EQ(ElementInfo::neutralSymbol("logo.playstation", Role::home), "house.circle");
    EXPECT_EQ(ElementInfo::neutralSymbol("xbox.logo", Role::home), "house.circle");
    EXPECT_EQ(ElementInfo::neutralSymbol("xbox.button", Role::menu), "line.3.horizontal.circle");
    EXPECT_EQ(ElementInfo::neutralSymbol("button.xbox", Role::menu), "button.xbox");
    EXPECT_EQ(ElementInfo::neutralSymbol("triangle.circle", Role::north), "circle");
    EXPECT_EQ(ElementInfo::neutralSymbol(std::nullopt, Role::touchpad), "hand.point.up.left");
    EXPECT_EQ(ElementInfo::neutralSymbol("circle.circle.fill", Role::leftShoulder), std::nullopt);
}
