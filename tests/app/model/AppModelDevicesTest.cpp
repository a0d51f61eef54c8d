// Device lists, raw partners, selection repair, carry-over and the frame tick of the model.
#include <gtest/gtest.h>

#include "ModelFakes.h"

using namespace Tessarine;

using Fakes::ids;

namespace {

// Counts the live refreshes of a device.
struct Refreshes {
    explicit Refreshes(const std::shared_ptr<InputDevice>& device) {
        QObject::connect(device.get(), &InputDevice::liveChanged, [this] { ++count; });
    }
    int count = 0;
};

RorozErurEvo::TestResult result(const std::string& headline) {
    return RorozErurEvo::TestResult(RorozErurEvo::TestKind::drift, "left", RorozErurEvo::ValueSource::processed,
                                    RorozErurEvo::Verdict::pass, headline, {}, {}, std::nullopt, std::nullopt,
                                    RorozErurEvo::Dates::now());
}

} // namespace

TEST(AppModelDevices, ListsKeepControllersSortedAsTextAndDevicesByTheirObjects) {
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    EXPECT_EQ(ids(m.deviceLists().allDevices()), (std::vector<std::string>{"demo"}));

    bench.controllers->list = {Fakes::controller("gc-2", "Pad Two"), Fakes::controller("gc-10", "Pad Ten")};
    m.refreshControllers();
    EXPECT_EQ(ids(m.controllerDevices()), (std::vector<std::string>{"gc-10", "gc-2"}));
    EXPECT_EQ(m.deviceLists().runnerCount(), 3u);

    bench.hid->plug(20, Fakes::tap(20, "Wheel", bench.clock));
    bench.hid->plug(3, Fakes::tap(3, "Pedals", bench.clock));
    bench.hid->left.push_back(Fakes::skipped("Keyboard Deck (also a keyboard or mouse)"));
    bench.hid->left.push_back(Fakes::skipped("Arcade Stick (couldn't be opened)", SkippedHID::Why::openFailed, "No such device"));
    m.refreshHID();
    EXPECT_EQ(ids(m.allHID()), (std::vector<std::string>{"hid-3", "hid-20"}));
    EXPECT_EQ(ids(m.deviceLists().allDevices()),
              (std::vector<std::string>{"gc-10", "gc-2", "demo", "hid-3", "hid-20"}));
    ASSERT_EQ(m.deviceLists().skippedHID().size(), 2u);
    EXPECT_EQ(m.deviceLists().skippedHID()[0].title, "Arcade Stick (couldn't be opened)");
    EXPECT_EQ(m.deviceLists().skippedHID()[0].cause, "No such device");
    EXPECT_EQ(m.deviceLists().skippedHID()[1].title, "Keyboard Deck (also a keyboard or mouse)");
    EXPECT_EQ(m.deviceLists().runnerCount(), 5u);

    // A rebuild keeps each device's object, and with it its live state and runner.
    auto wheel = m.device("hid-20");
    bench.hid->plug(9, Fakes::tap(9, "Shifter", bench.clock));
    m.refreshHID();
    EXPECT_EQ(m.device("hid-20"), wheel);
    EXPECT_EQ(ids(m.allHID()), (std::vector<std::string>{"hid-3", "hid-9", "hid-20"}));
    EXPECT_EQ(m.device("demo-raw"), bench.model->demo().raw());
    EXPECT_EQ(m.device("hid-404"), nullptr);
}

TEST(AppModelDevices, ANewHIDDeviceTakesItsTapsStickPairsAndHandsEditsBack) {
    Fakes::Bench bench;
    auto tap = Fakes::tap(5, "Flight Stick", bench.clock);
    const auto pairs = tap->pairs();
    ASSERT_EQ(pairs.size(), 1u) << "the joystick's X and Y make one stick";
    bench.hid->plug(5, tap);
    bench.model->refreshHID(); // would hang if the pairs were applied under the tap's lock
    auto device = bench.model->device("hid-5");
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->stickPairs(), pairs);
    EXPECT_TRUE(device->element(pairs[0].id));
    EXPECT_EQ(device->capture(), tap->capture()) << "device and tap share the buffer";

    auto edited = pairs;
    edited[0].invertY = !edited[0].invertY;
    device->applyPairs(edited);
    EXPECT_EQ(tap->pairs(), edited);
}

TEST(AppModelDevices, RawPartnersPairByNameOnlyWhenUnambiguous) {
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    auto pad = Fakes::controller("gc-1", "Wireless Controller");
    bench.controllers->list = {pad};
    bench.hid->plug(1, Fakes::tap(1, "WIRELESS controller", bench.clock));
    bench.hid->plug(2, Fakes::tap(2, "Wheel", bench.clock));
    m.refreshHID();
    m.refreshControllers();
    ASSERT_NE(pad->rawPartner(), nullptr) << "names compare without regard to case";
    EXPECT_EQ(pad->rawPartner()->id(), "hid-1");
    EXPECT_EQ(ids(m.deviceLists().hidDevices()), (std::vector<std::string>{"hid-2"}));
    EXPECT_EQ(m.device("hid-1"), pad->rawPartner()) << "a partner is still found by identifier";

    // A second device of the same name makes the guess ambiguous.
    pad->setUseRaw(true);
    bench.hid->plug(3, Fakes::tap(3, "Wireless Controller", bench.clock));
    m.refreshHID();
    EXPECT_EQ(pad->rawPartner(), nullptr);
    EXPECT_FALSE(pad->useRaw());
    EXPECT_EQ(ids(m.deviceLists().hidDevices()), (std::vector<std::string>{"hid-1", "hid-2", "hid-3"}));

    // Two controllers of that name see the same two devices and get none either.
    auto twin = Fakes::controller("gc-2", "wireless controller");
    bench.controllers->list = {pad, twin};
    bench.hid->unplug(2);
    m.refreshHID();
    m.refreshControllers();
    EXPECT_EQ(pad->rawPartner(), nullptr);
    EXPECT_EQ(twin->rawPartner(), nullptr);
    EXPECT_EQ(ids(m.deviceLists().hidDevices()), (std::vector<std::string>{"hid-1", "hid-3"}));
}

TEST(AppModelDevices, TheSameHidrawNodeWinsOverNames) {
    Fakes::Bench bench;
    auto a = Fakes::controller("gc-1", "Pad");
    auto b = Fakes::controller("gc-2", "Pad");
    bench.controllers->list = {a, b};
    a->setHidrawNode("/dev/hidraw8");
    b->setHidrawNode("/dev/hidraw4");
    bench.hid->plug(1, Fakes::tap(1, "Pad", bench.clock, "/dev/hidraw4"));
    bench.hid->plug(2, Fakes::tap(2, "Pad (USB)", bench.clock, "/dev/hidraw8"));
    bench.hid->plug(3, Fakes::tap(3, "Pad", bench.clock, "/dev/hidraw9"));
    bench.model->refreshHID();
    bench.model->refreshControllers();
    ASSERT_NE(a->rawPartner(), nullptr);
    ASSERT_NE(b->rawPartner(), nullptr);
    EXPECT_EQ(a->rawPartner()->id(), "hid-2");
    EXPECT_EQ(b->rawPartner()->id(), "hid-1");
    EXPECT_EQ(ids(bench.model->deviceLists().hidDevices()), (std::vector<std::string>{"hid-3"}));

    // A controller whose node is not open has no partner, whatever the names say.
    bench.hid->unplug(2);
    bench.model->refreshHID();
    EXPECT_EQ(a->rawPartner(), nullptr);
}

TEST(AppModelDevices, TheUsersPartnerChoiceOverridesMatching) {
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    auto pad = Fakes::controller("gc-1", "Pad");
    bench.controllers->list = {pad};
    bench.hid->plug(1, Fakes::tap(1, "Pad", bench.clock));
    bench.hid->plug(2, Fakes::tap(2, "Adapter", bench.clock));
    m.refreshHID();
    m.refreshControllers();
    pad->setUseRaw(true);

    m.deviceLists().setPartner(std::nullopt, *pad);
    EXPECT_EQ(m.deviceLists().partnerChoice().at("gc-1"), "");
    EXPECT_EQ(pad->rawPartner(), nullptr) << "an explicit choice of none keeps the same-named device apart";
    EXPECT_FALSE(pad->useRaw());
    EXPECT_EQ(ids(m.deviceLists().hidDevices()), (std::vector<std::string>{"hid-1", "hid-2"}));

    m.deviceLists().setPartner("hid-2", *pad);
    ASSERT_NE(pad->rawPartner(), nullptr);
    EXPECT_EQ(pad->rawPartner()->id(), "hid-2");

    // A chosen partner that is gone gives none until it returns; the choice stays.
    bench.hid->unplug(2);
    m.refreshHID();
    EXPECT_EQ(pad->rawPartner(), nullptr);
    EXPECT_EQ(m.deviceLists().partnerChoice().at("gc-1"), "hid-2");
}

TEST(AppModelDevices, UnpluggingTheSelectedDeviceMovesTheSelection) {
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    bench.hid->plug(4, Fakes::tap(4, "Wheel", bench.clock));
    m.refreshHID();
    auto wheel = m.device("hid-4");
    m.navigation().setSelection(SidebarItem::device("hid-4"));

    bench.hid->unplug(4);
    m.refreshHID();
    EXPECT_FALSE(wheel->connected());
    EXPECT_TRUE(m.allHID().empty());
    EXPECT_EQ(m.device("hid-4"), nullptr);
    EXPECT_EQ(m.navigation().selection(), SidebarItem::device("demo")) << "no controller: the demo";
    EXPECT_NE(m.deviceLists().existingRunner("hid-4"), nullptr) << "runners outlive their devices";

    bench.controllers->list = {Fakes::controller("gc-3", "Pad"), Fakes::controller("gc-1", "Pad")};
    m.refreshControllers();
    m.navigation().setSelection(SidebarItem::device("gc-3"));
    bench.controllers->list = {Fakes::controller("gc-1", "Pad")};
    m.refreshControllers();
    EXPECT_EQ(m.navigation().selection(), SidebarItem::device("gc-1")) << "the first controller";

    m.navigation().setSelection(SidebarItem::keyboard());
    bench.controllers->list.clear();
    m.refreshControllers();
    EXPECT_EQ(m.navigation().selection(), SidebarItem::keyboard()) << "only a device selection is repaired";
}

TEST(AppModelDevices, CarryOverHandsRecordResultsAndSelectionToTheNewIdentifier) {
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    auto before = Fakes::controller("gc-1", "Pad");
    auto after = Fakes::controller("gc-2", "Pad");
    m.runner(before).store("drift|left|processed", result("old drift"));
    m.runner(before).store("buttons|all|processed", result("old buttons"));
    m.runner(after).store("buttons|all|processed", result("new buttons"));
    m.deviceLists().setUnit("gc-1", UnitRecord{.unit = "SN-1", .stage = "Intake"});
    m.navigation().setSelection(SidebarItem::device("gc-1"));

    m.carryOver("gc-1", after);
    EXPECT_EQ(m.deviceLists().units().at("gc-2").unit, "SN-1");
    const auto& results = m.deviceLists().existingRunner("gc-2")->results();
    EXPECT_EQ(results.at("drift|left|processed").headline, "old drift");
    EXPECT_EQ(results.at("buttons|all|processed").headline, "new buttons") << "never replaces its own";
    EXPECT_EQ(m.navigation().selection(), SidebarItem::device("gc-2"));
}

TEST(AppModelTick, InTheBackgroundLiveValuesRefreshOnEverySixthFrame) {
    Fakes::Bench bench;
    Refreshes demo(bench.demo());
    bench.activity->active = false;
    std::vector<std::int64_t> refreshed;
    for (int i = 0; i < 18; ++i) {
        int before = demo.count;
        bench.model->tick(100 + i / 60.0);
        if (demo.count > before) refreshed.push_back(bench.model->frame());
    }
    EXPECT_EQ(refreshed, (std::vector<std::int64_t>{6, 12, 18}));

    bench.activity->active = true;
    demo.count = 0;
    for (int i = 0; i < 5; ++i) bench.model->tick(101);
    EXPECT_EQ(demo.count, 5);
}

TEST(AppModelTick, TheTestersFollowTheFrames) {
    Fakes::Bench bench;
    MouseTester& mouse = bench.model->mouse();
    mouse.startHold();
    mouse.button(0, true, 100);
    mouse.button(0, false, 100.5);
    bench.model->tick(101);
    EXPECT_FALSE(std::holds_alternative<MouseTester::Done>(mouse.hold()));
    bench.model->tick(100 + MouseTester::holdSeconds + 0.1);
    EXPECT_TRUE(std::holds_alternative<MouseTester::Done>(mouse.hold())) << "the hold check ends on a frame";
}

TEST(AppModelTick, OnlyTheDevicesInViewAreRefreshed) {
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    auto pad = Fakes::controller("gc-1", "Pad");
    bench.controllers->list = {pad};
    bench.hid->plug(1, Fakes::tap(1, "Pad", bench.clock));
    bench.hid->plug(2, Fakes::tap(2, "Wheel", bench.clock));
    m.refreshHID();
    m.refreshControllers();
    auto raw = m.device("hid-1");
    auto wheel = m.device("hid-2");
    Refreshes padRefresh(pad), rawRefresh(raw), wheelRefresh(wheel), demoRefresh(bench.demo());

    m.navigation().setSelection(SidebarItem::device("gc-1"));
    EXPECT_EQ(ids(m.visibleDevices()), (std::vector<std::string>{"gc-1", "hid-1"}));
    m.tick(100);
    EXPECT_EQ(std::vector<int>({padRefresh.count, rawRefresh.count, wheelRefresh.count, demoRefresh.count}),
              std::vector<int>({1, 1, 0, 0}));

    // The batch view shows every connected device, then their raw partners.
    wheel->setConnected(false);
    m.navigation().setSelection(SidebarItem::batch());
    EXPECT_EQ(ids(m.visibleDevices()), (std::vector<std::string>{"gc-1", "demo", "hid-1", "demo-raw"}));
    m.tick(100.1);
    EXPECT_EQ(wheelRefresh.count, 0);

    m.navigation().setSelection(SidebarItem::history());
    EXPECT_TRUE(m.visibleDevices().empty());
}

TEST(AppModelDevices, WhatTheControllerSourceRefusedIsToastedBesideAToastAlreadyShowing) {
    Fakes::Bench bench;
    bench.model->start(true);
    bench.model->setToast("Saved.");
    bench.controllers->notices = {"Couldn't read the game controller mappings \u201C/a\u201D: not a regular file.",
                                  "Couldn't read the game controller mappings \u201C/b\u201D: larger than 4 MB."};
    bench.controllers->onChange();
    EXPECT_EQ(bench.model->toast(), "Saved. Couldn't read the game controller mappings \u201C/a\u201D: not a regular file. "
                                    "Couldn't read the game controller mappings \u201C/b\u201D: larger than 4 MB.");
    bench.model->setToast(std::nullopt);
    bench.controllers->onChange();
    EXPECT_FALSE(bench.model->toast()) << "each notice is told once";
}
