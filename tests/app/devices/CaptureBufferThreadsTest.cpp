// Run under ThreadSanitizer too (suite name ends in "Threads").
#include "app/devices/CaptureBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include <atomic>
#include <thread>

#include "app/devices/HIDTap.h"
#include "support/HIDDescriptors.h"
#include "support/ReportHolds.h"

using namespace Tessarine;
using namespace RorozErurEvo;

TEST(CaptureBufferThreads, TwoWritersAndAReaderSeeConsistentState) {
    CaptureBuffer buffer;
    constexpr int perWriter = 20'000;
    std::atomic<bool> done{false};

    // One writer plays a controller's input thread, the other the main thread writing stick
    // pairs into the same buffer, as a raw HID device does.
    std::thread sticks([&] {
        for (int i = 0; i < perWriter; ++i) {
            buffer.recordStick("pair-1", (i % 200) / 100.0 - 1.0, 0.5, RawPoint{i, i}, i * 0.001);
            buffer.recordButton("A", i % 2 == 0, i * 0.001);
        }
    });
    std::thread raw([&] {
        for (int i = 0; i < perWriter; ++i) {
            buffer.recordRaw("e1", i % 256, i * 0.001);
            buffer.recordAxis("e5", (i % 256) / 255.0, i % 256, i * 0.001);
            buffer.recordMotion(MotionSample{i * 0.001, Vector3{}, Vector3{}});
        }
    });
    std::thread reader([&] {
        while (!done.load()) {
            const auto snapshot = buffer.snapshot();
            // A press is counted in the same step as its event is logged.
            const auto events = buffer.events(-1, 1e9);
            const auto presses = snapshot.presses.contains("A") ? snapshot.presses.at("A") : 0;
            EXPECT_LE(presses, static_cast<int>(events.size()));
            (void)buffer.sticks("pair-1", 0, 1e9);
            (void)buffer.trail("pair-1", 0.5, 10);
            (void)buffer.rawTrackers();
            (void)buffer.rawValues("e1", 0, 1e9);
            buffer.resetRawRange();
        }
    });
    sticks.join();
    raw.join();
    done = true;
    reader.join();

    EXPECT_EQ(buffer.events(-1, 1e9).size(), static_cast<std::size_t>(perWriter));
    EXPECT_EQ(buffer.snapshot().presses.at("A"), perWriter / 2);
    EXPECT_EQ(buffer.rawValues("e1", -1, 1e9).size(), static_cast<std::size_t>(perWriter));
    EXPECT_EQ(buffer.motion(-1, 1e9).size(), static_cast<std::size_t>(perWriter));
    EXPECT_EQ(buffer.snapshot().lastEvent, (perWriter - 1) * 0.001);
}

// A raw device's thread writes whole reports through a Batch while the main thread reads: every
// read sees each report whole, its stamps and latest event included, never a report part-way.
TEST(CaptureBufferThreads, AReaderSeesBatchedReportsWhole) {
    CaptureBuffer buffer;
    const auto x = buffer.slot("e1");
    const auto pair = buffer.slot("pair-1");
    constexpr int reports = 20'000;
    std::atomic<bool> done{false};
    std::thread device([&] {
        for (int i = 0; i < reports; ++i) {
            const double t = i * 0.000125;
            CaptureBuffer::Batch batch(buffer);
            batch.raw(x, i % 256, t);
            batch.axis(x, (i % 256) / 255.0, i % 256, t);
            batch.stick(pair, (i % 256) / 255.0, 0.5, RawPoint{i % 256, 128}, t);
        }
        done = true;
    });
    int checks = 0;
    while (!done.load() || checks == 0) {
        const auto snapshot = buffer.snapshot();
        if (snapshot.sticks.contains("pair-1")) {
            // The latest event is the time of the newest report, stamped in the same hold.
            EXPECT_EQ(snapshot.lastEvent, snapshot.sticks.at("pair-1").t);
            EXPECT_EQ(snapshot.axes.at("e1").t, snapshot.sticks.at("pair-1").t);
        }
        const auto stamps = buffer.stamps(-1, 1e9);
        EXPECT_EQ(std::adjacent_find(stamps.begin(), stamps.end(), std::greater_equal<>()), stamps.end())
            << "a report leaves one stamp";
        (void)buffer.rawLive(1.0);
        ++checks;
    }
    device.join();
    EXPECT_EQ(buffer.stamps(-1, 1e9).size(), static_cast<std::size_t>(reports));
    EXPECT_EQ(buffer.snapshot().lastEvent, (reports - 1) * 0.000125);
}

// The first report of a device with thousands of elements is written in holds of the buffer's
// lock of at most HIDTap::valuesPerHold values: a frame that reads the buffer while the report is
// being written gets in between two holds, and sees the values of the holds before it. The HID
// thread waits between two holds until the frame has read; a frame held behind the whole report
// would never read, and the wait below ends only as a failure.
TEST(CaptureBufferThreads, AFramesReadIsNotHeldBehindAWideDevicesFirstReport) {
    constexpr unsigned axes = 4 * HIDTap::valuesPerHold;
    const HIDDescriptor descriptor = HIDDescriptor::parse(HIDTestDescriptors::wide(axes, 0));
    HIDTap tap(1, "/dev/hidraw-test", DeviceInfo{.name = "Wide"}, descriptor);

    std::mutex lock;
    std::condition_variable wake;
    bool asked = false, read = false, stop = false;
    std::size_t seen = 0;
    std::thread frame([&] {
        std::unique_lock guard(lock);
        for (;;) {
            wake.wait(guard, [&] { return asked || stop; });
            if (stop) return;
            asked = false;
            guard.unlock();
            const std::size_t axesSeen = tap.capture()->snapshot().axes.size();
            guard.lock();
            seen = axesSeen;
            read = true;
            wake.notify_all();
        }
    });
    std::vector<std::size_t> seenBetweenHolds;
    {
        const ReportHolds::Between hold([&] {
            std::unique_lock guard(lock);
            asked = true;
            read = false;
            wake.notify_all();
            if (!wake.wait_for(guard, std::chrono::seconds(60), [&] { return read; }))
                ADD_FAILURE() << "the frame waited behind the report";
            seenBetweenHolds.push_back(seen);
        });
        tap.inputReport(HIDTestDescriptors::wideReport(axes, 0), 1.0);
    }
    {
        std::lock_guard guard(lock);
        stop = true;
    }
    wake.notify_all();
    frame.join();

    constexpr std::size_t hold = HIDTap::valuesPerHold;
    EXPECT_EQ(seenBetweenHolds, (std::vector<std::size_t>{hold, 2 * hold, 3 * hold}));
    EXPECT_EQ(tap.capture()->snapshot().axes.size(), axes);
    EXPECT_EQ(tap.capture()->stamps(0, 2).size(), 1u) << "one report, one stamp, however many holds";
}
