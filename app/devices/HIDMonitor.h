#pragma once
// Raw access to joysticks, game pads, multi-axis controllers and simulation controls (wheels,
// pedals, flight controls), beside the game-controller source. A thread of its own,
// "Tessarine.HID", watches the backend for devices coming and going, opens each acceptable one,
// makes an HIDTap for it and feeds it every input report; devices left aside are listed with
// the reason. Input only: no report is ever sent to a device.
//
// Device life: seen → tapped (open, in taps) or skipped (in skipped: also a keyboard or mouse,
// or could not be opened) or ignored (no game device) → removed (forgotten and closed). A device
// that comes back starts again with a new key; keys come from a counter and are never reused.
// When the loop itself fails (its wait on the devices returns an error), every device is
// dropped as if removed and failure() says why; the monitor reads nothing more.
//
// Threads: the tables of taps and skipped devices are shared with the main thread under `lock`;
// everything else of the loop (connections, node keys) belongs to the HID thread. onChange is
// handed to `post` after every change of the tables, so the application can run it on the main
// thread; without `post` it runs on the HID thread.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/base/Clock.h"
#include "app/devices/HIDMonitorBackend.h"
#include "app/devices/HIDTap.h"
#include "app/devices/SkippedHID.h"
#include "app/base/ThreadSafety.h"
#include "app/base/WorkerThread.h"

namespace Tessarine {

class HIDMonitor {
public:
    using Post = std::function<void(std::function<void()>)>;

    static constexpr const char* threadName = "Tessarine.HID";
    static constexpr const char* keyboardOrMouseText = " (also a keyboard or mouse)";
    static constexpr const char* openFailedText = " (couldn't be opened)";
    static constexpr const char* unnamedDevice = "HID device";
    // Longest wait for the thread to end when stopping; it takes milliseconds unless a device
    // holds it in the system.
    static constexpr std::chrono::milliseconds stopWait{1500};

    explicit HIDMonitor(std::unique_ptr<HIDBackend> backend, const Clock& clock = Clock::system(), Post post = {});
    ~HIDMonitor();
    HIDMonitor(const HIDMonitor&) = delete;
    HIDMonitor& operator=(const HIDMonitor&) = delete;

    // Called after every change of taps or skipped devices. Set before start().
    std::function<void()> onChange;

    // Starts the HID thread; later calls do nothing.
    void start();
    // Wakes the thread, closes every device and joins it; a thread stuck in the system for
    // longer than stopWait is left behind (WorkerThread.h). The monitor does not start again.
    void stop();

    // Copies of the tables (any thread).
    std::map<std::uint64_t, std::shared_ptr<HIDTap>> taps() const;
    std::map<std::uint64_t, SkippedHID> skipped() const;
    // Why the monitor stopped reading, empty while it reads (any thread).
    std::string failure() const;

private:
    struct Open {
        std::unique_ptr<HIDConnection> connection;
        std::shared_ptr<HIDTap> tap;
    };

    void run();
    void deviceMatched(HIDDeviceNode device);
    void deviceRemoved(std::string node);
    // Reads the device's pending reports; false when it went away.
    bool readReports(Open& open);
    void skip(std::uint64_t key, SkippedHID skipped);
    void fail(std::string reason);
    void changed();

    const std::unique_ptr<HIDBackend> backend_;
    const Clock& clock_;
    const Post post_;
    int wakeFd_ = -1;
    std::string wakeError_; // why there is no wake-up descriptor
    std::atomic<bool> stopping_{false};
    WorkerThread thread_;

    // HID thread only.
    std::uint64_t nextKey_ = 1;
    std::map<std::string, std::uint64_t> keys_; // node → key, for devices tapped or skipped
    std::map<std::uint64_t, Open> open_;
    std::vector<std::uint8_t> buffer_;

    mutable Mutex lock_;
    std::map<std::uint64_t, std::shared_ptr<HIDTap>> taps_ GUARDED_BY(lock_);
    std::map<std::uint64_t, SkippedHID> skipped_ GUARDED_BY(lock_);
    std::string failure_ GUARDED_BY(lock_);
    bool started_ GUARDED_BY(lock_) = false;
};

} // namespace Tessarine
