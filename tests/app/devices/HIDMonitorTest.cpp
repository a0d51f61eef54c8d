#include "tests/support/FakeHIDBackend.h"
#include "app/devices/HIDMonitor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "support/HIDDescriptors.h"
#include "support/TestLog.h"

using namespace Tessarine;
using namespace std::chrono_literals;
namespace Descriptors = HIDTestDescriptors;

namespace {

HIDDeviceNode device(std::string node, std::optional<std::string> product, Descriptors::Bytes descriptor) {
    HIDDeviceNode d;
    d.node = std::move(node);
    d.product = std::move(product);
    d.manufacturer = "Maker";
    d.vendorID = 0x1234;
    d.productID = 0x5678;
    d.serial = "S-1";
    d.transport = "USB";
    d.descriptor = std::move(descriptor);
    return d;
}

// Waits for the HID thread to reach a state; the bound only keeps a broken build from hanging.
bool soonEnough(const std::function<bool()>& condition) {
    for (auto until = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < until;) {
        if (condition()) return true;
        std::this_thread::sleep_for(1ms);
    }
    return condition();
}

// Threads of this process with the given name, as the system lists them.
int threadsNamed(const std::string& name) {
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string line;
        if (std::getline(comm, line) && line == name) ++count;
    }
    return count;
}

struct MonitorBench {
    FakeHIDBackend* backend;
    FakeClock clock{100.0};
    std::atomic<int> changes{0};
    std::unique_ptr<HIDMonitor> monitor;

    MonitorBench() {
        auto owned = std::make_unique<FakeHIDBackend>();
        backend = owned.get();
        monitor = std::make_unique<HIDMonitor>(std::move(owned), clock);
        monitor->onChange = [this] { ++changes; };
    }
    std::size_t tapCount() const { return monitor->taps().size(); }
    std::size_t skipCount() const { return monitor->skipped().size(); }
};

} // namespace

TEST(HIDMonitor, ADeviceListedAndAnnouncedAtStartIsTappedOnce) {
    MonitorBench bench;
    bench.backend->plug(device("/dev/hidraw0", "Stick", Descriptors::joystick)); // listed and announced
    bench.monitor->start();
    bench.monitor->start();
    ASSERT_TRUE(soonEnough([&] { return bench.tapCount() == 1 && bench.changes >= 1; }));
    std::this_thread::sleep_for(20ms); // room for a second, wrong tap
    EXPECT_EQ(bench.tapCount(), 1u);
    EXPECT_EQ(bench.backend->opens("/dev/hidraw0"), 1);

    const auto [key, tap] = *bench.monitor->taps().begin();
    EXPECT_EQ(key, 1u);
    EXPECT_EQ(tap->node(), "/dev/hidraw0");
    EXPECT_EQ(tap->info().name, "Stick");
    EXPECT_EQ(tap->info().vendor, "Maker");
    EXPECT_EQ(tap->info().vendorID, 0x1234);
    EXPECT_EQ(tap->info().serial, "S-1");
    EXPECT_EQ(tap->info().transport, "USB");
    EXPECT_EQ(tap->elements().size(), 20u);

    // Reports reach the tap, stamped with the time they were read.
    bench.backend->send("/dev/hidraw0", {0x80, 0x7F, 0, 0xFF, 1, 2, 8, 1, 0x10});
    ASSERT_TRUE(soonEnough([tap = tap] { return tap->capture()->snapshot().pressed.count("e8") == 1; }));
    EXPECT_EQ(tap->capture()->axes("e1", 0, 1000).at(0).t, 100.0);
}

// A device names itself: a newline or an escape sequence in its name is shown in the log, never
// a forged line or an order to the terminal.
TEST(HIDMonitor, ADevicesNameReachesTheLogWithItsControlCharactersEscaped) {
    TestLog::CapturedMessages log("tessarine.devices.hid");
    MonitorBench bench;
    bench.backend->plug(device("/dev/hidraw0", "Stick\n[tessarine.model] ok\x1b]0;owned\x07", Descriptors::joystick));
    bench.monitor->start();
    ASSERT_TRUE(soonEnough([&] { return bench.tapCount() == 1; }));
    const QString opened = "/dev/hidraw0 opened: Stick\\n[tessarine.model] ok\\x1b]0;owned\\x07";
    ASSERT_TRUE(soonEnough([&] { return log.messages().contains(opened); })) << log.messages().join('|').toStdString();
    for (const QString& line : log.messages()) EXPECT_TRUE(line.contains("Stick\\n[tessarine.model] ok\\x1b]")) << line.toStdString();
}

TEST(HIDMonitor, KeyboardsUnopenableAndUnreadableDevicesAreSkippedWithTheReason) {
    TestLog::ExpectedWarnings unreadable("tessarine.devices.hid", "no report descriptor");
    MonitorBench bench;
    bench.backend->addPresent(device("/dev/hidraw1", "Combo", Descriptors::composite));
    bench.backend->addPresent(device("/dev/hidraw2", std::nullopt, Descriptors::joystick));
    bench.backend->failOpen("/dev/hidraw2", EACCES);
    bench.backend->addPresent(device("/dev/hidraw3", "Broken", {0x05, 0x01, 0x09, 0x04, 0xA1, 0x01})); // unclosed
    bench.backend->addPresent(device("/dev/hidraw4", "Keys", Descriptors::keyboard));                 // no game device
    bench.monitor->start();
    ASSERT_TRUE(soonEnough([&] { return bench.skipCount() == 3; }));
    std::this_thread::sleep_for(20ms);
    std::vector<std::string> texts;
    for (const auto& [key, skipped] : bench.monitor->skipped()) {
        texts.push_back(skipped.title);
        if (skipped.node == "/dev/hidraw2") {
            EXPECT_EQ(skipped.why, SkippedHID::Why::openFailed);
            EXPECT_EQ(skipped.cause, "Permission denied");
            EXPECT_TRUE(skipped.permission);
        }
        if (skipped.node == "/dev/hidraw3") {
            EXPECT_EQ(skipped.why, SkippedHID::Why::noDescriptor);
        }
    }
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"Broken (couldn't be opened)", "Combo (also a keyboard or mouse)",
                                               "HID device (couldn't be opened)"}));
    EXPECT_EQ(bench.tapCount(), 0u);
    EXPECT_EQ(bench.backend->opens("/dev/hidraw1"), 0); // a keyboard is never opened
    EXPECT_EQ(bench.backend->opens("/dev/hidraw4"), 0);
    EXPECT_EQ(bench.backend->openConnections(), 0);     // the broken one was closed again
}

// The loop's wait fails when it watches more descriptors than the process may have open; the
// devices are then dropped as gone and the monitor says why.
TEST(HIDMonitor, ALoopThatCannotWaitDropsItsDevicesAndSaysWhy) {
    TestLog::ExpectedWarnings stopped("tessarine.devices.hid", "raw HID reading stopped");
    MonitorBench bench;
    bench.backend->plug(device("/dev/hidraw1", "Wheel", Descriptors::wheel));
    bench.monitor->start();
    ASSERT_TRUE(soonEnough([&] { return bench.tapCount() == 1; }));
    EXPECT_EQ(bench.monitor->failure(), "");

    bench.backend->failWait(EINVAL);
    const bool failed = soonEnough([&] { return !bench.monitor->failure().empty(); });
    ASSERT_TRUE(failed);
    EXPECT_EQ(bench.monitor->failure(), "Invalid argument");
    EXPECT_EQ(bench.tapCount(), 0u);
    EXPECT_EQ(bench.backend->openConnections(), 0);
    EXPECT_EQ(stopped.count(), 1);
}

TEST(HIDMonitor, WithoutAListedDescriptorTheOpenDeviceDecides) {
    MonitorBench bench;
    bench.backend->addPresent(device("/dev/hidraw5", "Pad", {}));
    bench.backend->addPresent(device("/dev/hidraw6", "Keys", {}));
    bench.backend->setOpenDescriptor("/dev/hidraw5", Descriptors::wheel);
    bench.backend->setOpenDescriptor("/dev/hidraw6", Descriptors::keyboard);
    bench.monitor->start();
    ASSERT_TRUE(soonEnough([&] { return bench.tapCount() == 1; }));
    EXPECT_TRUE(soonEnough(
        [&] { return bench.backend->opens("/dev/hidraw6") == 1 && !bench.backend->isOpen("/dev/hidraw6"); }));
    EXPECT_EQ(bench.skipCount(), 0u);
    EXPECT_EQ(bench.monitor->taps().begin()->second->elements().size(), 11u);
}

TEST(HIDMonitor, ATapStartsWithTheValuesADeviceGivesWhenAsked) {
    MonitorBench bench;
    // The joystick answers with X 0x10, Y 0xF0, the hat centred and button 2 held.
    bench.backend->addPresent(device("/dev/hidraw0", "Stick", Descriptors::joystick));
    bench.backend->answerInputReport("/dev/hidraw0", 0, {0x10, 0xF0, 0x80, 0x80, 0, 0, 0x08, 0x02, 0x00});
    // The wheel does not answer: its values wait for its first report.
    bench.backend->addPresent(device("/dev/hidraw1", "Wheel", Descriptors::wheel));
    bench.monitor->start();
    ASSERT_TRUE(soonEnough([&] { return bench.tapCount() == 2; }));
    const auto taps = bench.monitor->taps();
    const CaptureBuffer& stick = *taps.at(1)->capture();
    EXPECT_EQ(stick.rawValues("e1", 0, 1e9), std::vector<int>{0x10});
    EXPECT_EQ(stick.rawValues("e2", 0, 1e9), std::vector<int>{0xF0});
    EXPECT_EQ(stick.stick("pair-1", 1e9)->raw, (RorozErurEvo::RawPoint{0x10, 0xF0}));
    EXPECT_TRUE(stick.snapshot().pressed.contains("e9")) << "button 2";
    EXPECT_EQ(stick.rawValues("e1", 0, 1e9).size(), 1u);
    const CaptureBuffer& wheel = *taps.at(2)->capture();
    EXPECT_TRUE(wheel.rawValues("e1", 0, 1e9).empty());
}

TEST(HIDMonitor, RemovalForgetsClosesAndNotifies) {
    MonitorBench bench;
    bench.backend->addPresent(device("/dev/hidraw0", "Stick", Descriptors::joystick));
    bench.backend->addPresent(device("/dev/hidraw1", "Combo", Descriptors::composite));
    bench.monitor->start();
    ASSERT_TRUE(soonEnough([&] { return bench.tapCount() == 1 && bench.skipCount() == 1 && bench.changes == 2; }));
    const int before = bench.changes;

    bench.backend->unplug("/dev/hidraw0");
    ASSERT_TRUE(soonEnough([&] { return bench.tapCount() == 0; }));
    EXPECT_TRUE(soonEnough([&] { return bench.changes == before + 1; }));
    EXPECT_FALSE(bench.backend->isOpen("/dev/hidraw0"));

    bench.backend->unplug("/dev/hidraw1");
    ASSERT_TRUE(soonEnough([&] { return bench.skipCount() == 0 && bench.changes == before + 2; }));
    bench.backend->unplug("/dev/hidraw9"); // never seen: still a notice
    EXPECT_TRUE(soonEnough([&] { return bench.changes == before + 3; }));

    // The same device back again is a new device with a new key.
    bench.backend->plug(device("/dev/hidraw0", "Stick", Descriptors::joystick));
    ASSERT_TRUE(soonEnough([&] { return bench.tapCount() == 1; }));
    EXPECT_EQ(bench.monitor->taps().begin()->first, 3u);
}

TEST(HIDMonitor, ADeviceThatFailsToReadIsRemoved) {
    MonitorBench bench;
    bench.backend->addPresent(device("/dev/hidraw0", "Stick", Descriptors::joystick));
    bench.monitor->start();
    ASSERT_TRUE(soonEnough([&] { return bench.tapCount() == 1; }));
    bench.backend->cutOff("/dev/hidraw0");
    ASSERT_TRUE(soonEnough([&] { return bench.tapCount() == 0; }));
    EXPECT_EQ(bench.backend->openConnections(), 0);
    // The udev notice that follows finds nothing left to do.
    bench.backend->unplug("/dev/hidraw0");
    EXPECT_TRUE(soonEnough([&] { return bench.changes == 3; }));
}

TEST(HIDMonitor, StopClosesEveryDeviceAndPostedNoticesRunWhereTheyArePosted) {
    auto owned = std::make_unique<FakeHIDBackend>();
    FakeHIDBackend* backend = owned.get();
    std::mutex queueLock;
    std::vector<std::function<void()>> queue; // stands in for the main thread's queue
    int ran = 0;
    auto monitor = std::make_unique<HIDMonitor>(std::move(owned), Clock::system(), [&](std::function<void()> task) {
        std::lock_guard guard(queueLock);
        queue.push_back(std::move(task));
    });
    monitor->onChange = [&] { ++ran; };
    backend->addPresent(device("/dev/hidraw0", "Stick", Descriptors::joystick));
    backend->addPresent(device("/dev/hidraw1", "Pad", Descriptors::wheel));
    monitor->start();
    ASSERT_TRUE(soonEnough([&] {
        std::lock_guard guard(queueLock);
        return queue.size() == 2;
    }));
    EXPECT_EQ(monitor->taps().size(), 2u);
    EXPECT_EQ(ran, 0); // nothing runs on the HID thread
    {
        std::lock_guard guard(queueLock);
        for (auto& task : queue) task();
    }
    EXPECT_EQ(ran, 2);
    EXPECT_EQ(backend->openConnections(), 2);
    EXPECT_EQ(threadsNamed(HIDMonitor::threadName), 1);

    monitor->stop();
    EXPECT_EQ(backend->openConnections(), 0);
    // Joined, but the system may still list the thread for a moment as it finishes leaving; a
    // thread left running stays listed.
    EXPECT_TRUE(soonEnough([] { return threadsNamed(HIDMonitor::threadName) == 0; }));
    EXPECT_TRUE(monitor->taps().empty());
    monitor->stop();
    monitor.reset();

    // A monitor that never started stops and goes without trouble.
    HIDMonitor idle(std::make_unique<FakeHIDBackend>());
    idle.stop();
}
