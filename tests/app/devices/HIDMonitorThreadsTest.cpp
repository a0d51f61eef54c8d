#include "tests/support/FakeHIDBackend.h"
#include "app/devices/HIDMonitor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <thread>

#include "support/HIDDescriptors.h"

using namespace Tessarine;
using namespace std::chrono_literals;

// The HID thread records reports and stick pairs while the main thread replaces the pairs, reads
// the tables and the buffer as a frame does: every shared field is under its lock (run under ThreadSanitizer).
TEST(HIDMonitorThreads, ReportsAndPairEditsRunSideBySide) {
    auto owned = std::make_unique<FakeHIDBackend>();
    FakeHIDBackend* backend = owned.get();
    HIDMonitor monitor(std::move(owned));
    std::atomic<int> changes{0};
    monitor.onChange = [&] { ++changes; };
    HIDDeviceNode node;
    node.node = "/dev/hidraw0";
    node.product = "Stick";
    node.descriptor = HIDTestDescriptors::joystick;
    backend->addPresent(node);
    monitor.start();

    std::shared_ptr<HIDTap> tap;
    for (auto until = std::chrono::steady_clock::now() + 5s; !tap && std::chrono::steady_clock::now() < until;) {
        auto taps = monitor.taps();
        if (!taps.empty()) tap = taps.begin()->second;
        else std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(tap);

    const std::vector<StickPair> first = tap->pairs();
    const std::vector<StickPair> swapped = {{"pair-1", "Left stick", "e3", "e4", false, ElementInfo::Role::leftStick}};
    std::thread feeder([&] {
        for (int i = 0; i < 2000; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            backend->send("/dev/hidraw0", {v, static_cast<std::uint8_t>(255 - v), v, v, 0, 0, 8, 0, 0});
        }
    });
    // The frame's readers too: live raw figures and trails kept up to date from the buffer.
    std::deque<RorozErurEvo::StickSample> trail;
    CaptureBuffer::TrailCursor cursor;
    for (int i = 0; i < 500; ++i) {
        tap->setPairs(i % 2 ? swapped : first);
        (void)monitor.taps();
        (void)monitor.skipped();
        (void)tap->capture()->snapshot();
        const double now = tap->capture()->snapshot().lastEvent;
        (void)tap->capture()->rawLive(now);
        (void)tap->capture()->followTrail("pair-1", 0.5, now, trail, cursor);
    }
    feeder.join();
    for (auto until = std::chrono::steady_clock::now() + 5s;
         backend->pendingReports("/dev/hidraw0") > 0 && std::chrono::steady_clock::now() < until;)
        std::this_thread::sleep_for(1ms);
    tap->setPairs(first);
    EXPECT_EQ(tap->pairs(), first);
    EXPECT_FALSE(tap->capture()->sticks("pair-1", 0, 1e12).empty());
    EXPECT_GE(changes.load(), 1);

    // Unplugging while the thread runs closes the device; stop() closes the rest.
    backend->unplug("/dev/hidraw0");
    monitor.stop();
    EXPECT_EQ(backend->openConnections(), 0);
}
