// The model over the real HID monitor thread: devices arrive and leave through the monitor's
// change callback, which only hops to the main thread.
#include "ModelFakes.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/FakeHIDBackend.h"
#include "app/model/SystemSources.h"

using namespace Tessarine;

namespace {

// Runs the main thread's queue until `done` holds; false after a generous wait.
bool settle(Fakes::Bench& bench, const std::function<bool()>& done) {
    for (int i = 0; i < 1000; ++i) {
        bench.executor->runAll();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

} // namespace

TEST(AppModelThreads, HIDDevicesComeAndGoThroughTheMonitorThread) {
    auto backend = std::make_unique<FakeHIDBackend>();
    FakeHIDBackend* fake = backend.get();
    fake->plug(HIDDeviceNode{.node = "/dev/hidraw1",
                             .product = "Flight Stick",
                             .manufacturer = std::nullopt,
                             .vendorID = 0x1234,
                             .productID = 0x0001,
                             .serial = std::nullopt,
                             .transport = "USB",
                             .descriptor = Fakes::joystickDescriptor()});
    Fakes::Bench bench(true, {}, std::make_unique<HIDMonitorSource>(std::make_unique<HIDMonitor>(std::move(backend))));
    AppModel& model = *bench.model;
    model.start(true);

    ASSERT_TRUE(settle(bench, [&] { return model.allHID().size() == 1; }));
    auto stick = model.allHID().front();
    EXPECT_EQ(stick->info().name, "Flight Stick");
    model.setSelection(SidebarItem::device(stick->id()));

    // Reports keep arriving on the HID thread while the main thread edits the pairs and ticks.
    for (int i = 0; i < 50; ++i) {
        fake->send("/dev/hidraw1", {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 1});
        auto pairs = stick->stickPairs();
        if (!pairs.empty()) pairs[0].invertY = i % 2 == 1;
        stick->applyPairs(pairs);
        model.tick(100 + i / 60.0);
    }

    fake->unplug("/dev/hidraw1");
    ASSERT_TRUE(settle(bench, [&] { return model.allHID().empty(); }));
    EXPECT_FALSE(stick->connected());
    EXPECT_EQ(model.selection(), SidebarItem::device("demo"));
    bench.model.reset(); // joins the HID thread
    bench.executor->runAll();
}
