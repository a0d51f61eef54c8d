#pragma once
// Stand-ins for the model's sources and services, and a model built on them over a temporary
// data folder.
#include "app/devices/HIDTap.h"

#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/devices/InputDevice.h"
#include "app/model/AppModel.h"
#include "app/model/GuidedTests.h"
#include "app/model/SoakRunner.h"
#include "testkit/SoakResult.h"
#include "testkit/HIDDescriptor.h"
#include "support/ManualExecutor.h"
#include "support/FakeAppActivity.h"

namespace Tessarine::Fakes {

// A device the HID source left closed; "Name (also a keyboard or mouse)" unless told otherwise.
inline SkippedHID skipped(const std::string& title, SkippedHID::Why why = SkippedHID::Why::keyboardOrMouse,
                          std::string cause = {}, bool permission = false) {
    return {title, why, "/dev/hidraw9", std::move(cause), permission};
}

// Who started and stopped what, in order.
using Log = std::shared_ptr<std::vector<std::string>>;

class Controllers final : public ControllerSource {
public:
    explicit Controllers(Log log) : log(std::move(log)) {}
    std::vector<std::shared_ptr<InputDevice>> devices() const override { return list; }
    void start(std::function<void()> change) override {
        onChange = std::move(change);
        log->push_back("controllers.start");
    }
    void stop() override { log->push_back("controllers.stop"); }
    std::string failure() const override { return failed; }
    std::vector<std::shared_ptr<InputDevice>> joysticks() const override { return sticks; }
    std::vector<std::string> takeNotices() override { return std::exchange(notices, {}); }

    Log log;
    std::vector<std::shared_ptr<InputDevice>> list;
    std::vector<std::shared_ptr<InputDevice>> sticks; // read through the joystick layer
    std::string failed;
    std::vector<std::string> notices;
    std::function<void()> onChange;
};

// Devices are plugged and unplugged by the test; the model sees them at its next rebuild.
class HID final : public HIDSource {
public:
    explicit HID(Log log) : log(std::move(log)) {}
    std::map<std::uint64_t, std::shared_ptr<HIDTap>> taps() const override { return open; }
    std::vector<SkippedHID> skipped() const override { return left; }
    std::string failure() const override { return failed; }
    void start(std::function<void()> change) override {
        onChange = std::move(change);
        log->push_back("hid.start");
    }
    void stop() override { log->push_back("hid.stop"); }
    void plug(std::uint64_t key, std::shared_ptr<HIDTap> tap) { open[key] = std::move(tap); }
    void unplug(std::uint64_t key) { open.erase(key); }

    Log log;
    std::map<std::uint64_t, std::shared_ptr<HIDTap>> open;
    std::vector<SkippedHID> left;
    std::string failed;
    std::function<void()> onChange;
};

class Timer final : public RepeatingTimer {
public:
    explicit Timer(Log log) : log(std::move(log)) {}
    ~Timer() override { log->push_back(name() + ".stop"); }
    void start(double interval, std::function<void()> fire) override {
        seconds = interval;
        this->fire = std::move(fire);
        log->push_back(name() + ".start");
    }
    // The demo's playback timer or the model's frame timer, told apart by their intervals.
    std::string name() const { return seconds < 0.01 ? "demo" : "frame"; }
    Log log;
    double seconds = 0;
    std::function<void()> fire;
};

// A model over fakes; every fake stays reachable through the pointers below.
struct Bench {
    // `realHID` and `realControllers`, when given, stand in for the fake sources. The session folder
    // is read on `worker`, by default at once when the model starts; either way the list lands
    // only when the test runs the executor.
    explicit Bench(bool persist = true, std::function<void(MemoryPreferences&)> seed = {},
                   std::unique_ptr<HIDSource> realHID = nullptr, std::unique_ptr<ControllerSource> realControllers = nullptr,
                   std::unique_ptr<BackgroundWorker> worker = std::make_unique<InlineWorker>(),
                   std::function<void(std::function<void()>)> startControllers = {}) {
        auto d = std::make_unique<MemoryPreferences>();
        if (seed) seed(*d);
        defaults = d.get();
        auto a = std::make_unique<FakeAppActivity>();
        activity = a.get();
        std::unique_ptr<ControllerSource> c = std::move(realControllers);
        if (!c) {
            auto fake = std::make_unique<Controllers>(log);
            controllers = fake.get();
            c = std::move(fake);
        }
        if (!realHID) {
            auto h = std::make_unique<HID>(log);
            hid = h.get();
            realHID = std::move(h);
        }
        TimerFactory timerFactory = [this]() -> std::unique_ptr<RepeatingTimer> {
            timers.push_back(new Timer(log));
            return std::unique_ptr<RepeatingTimer>(timers.back());
        };
        model = std::make_unique<AppModel>(persist, AppModel::Parts{std::move(d), executor, std::move(a), &clock, timerFactory,
                                                                    folder.path(), std::move(c), std::move(realHID),
                                                                    std::move(worker), std::move(startControllers)});
    }

    const std::shared_ptr<InputDevice>& demo() const { return model->demo().device(); }

    QTemporaryDir folder;
    Log log = std::make_shared<std::vector<std::string>>();
    FakeClock clock{100.0};
    std::shared_ptr<ManualExecutor> executor = std::make_shared<ManualExecutor>();
    MemoryPreferences* defaults = nullptr;
    FakeAppActivity* activity = nullptr;
    std::vector<Timer*> timers; // in the order made; gone once stopped
    Controllers* controllers = nullptr;
    HID* hid = nullptr;
    std::unique_ptr<AppModel> model;
};

inline std::shared_ptr<InputDevice> controller(const std::string& id, const std::string& name,
                                               std::optional<std::string> serial = std::nullopt) {
    return std::make_shared<InputDevice>(id, InputDevice::Kind::controller,
                                         RorozErurEvo::DeviceInfo{.name = name, .serial = serial}, std::vector<ElementInfo>{});
}

// A joystick with two 8-bit axes (X, Y) and two buttons.
inline const std::vector<std::uint8_t>& joystickDescriptor() {
    static const std::vector<std::uint8_t> bytes{
        0x05, 0x01, 0x09, 0x04, 0xA1, 0x01,                   // generic desktop, joystick, application
        0x09, 0x30, 0x09, 0x31, 0x15, 0x00, 0x26, 0xFF, 0x00, // X, Y, 0…255
        0x75, 0x08, 0x95, 0x02, 0x81, 0x02,                   // 2 × 8 bits, input
        0x05, 0x09, 0x19, 0x01, 0x29, 0x02, 0x15, 0x00, 0x25, 0x01, // buttons 1…2
        0x75, 0x01, 0x95, 0x02, 0x81, 0x02,                   // 2 × 1 bit, input
        0x75, 0x06, 0x95, 0x01, 0x81, 0x03,                   // padding
        0xC0};
    return bytes;
}

inline std::shared_ptr<HIDTap> tap(std::uint64_t key, const std::string& name, const Clock& clock,
                                   std::string node = {}, std::optional<std::string> serial = std::nullopt) {
    if (node.empty()) node = "/dev/hidraw" + std::to_string(key);
    return std::make_shared<HIDTap>(key, node, RorozErurEvo::DeviceInfo{.name = name, .serial = serial},
                                    RorozErurEvo::HIDDescriptor::parse(joystickDescriptor()), clock);
}

// The ids of a device list, in its order.
inline std::vector<std::string> ids(const AppModel::Devices& devices) {
    std::vector<std::string> out;
    for (const auto& d : devices) out.push_back(d->id());
    return out;
}

// Whether a guided test of this kind runs to its end on the frame tick alone; the others wait
// for a person (rumble, lights, adaptive triggers) or run for hours (soak).
inline bool tickDriven(RorozErurEvo::TestKind kind) {
    using RorozErurEvo::TestKind;
    return kind != TestKind::rumble && kind != TestKind::lights && kind != TestKind::adaptiveTriggers &&
           kind != TestKind::soak;
}

// Runs one test the way the application does: the demo's 8 ms playback and the 60 Hz tick on
// one clock, until the test ends or `cap` seconds have passed. Its result, or none when it did
// not end.
inline std::optional<RorozErurEvo::TestResult> play(Bench& bench, const std::shared_ptr<InputDevice>& device,
                                                    const GuidedTest& test, double cap = 90) {
    constexpr double frame = 1.0 / 60, playback = 0.008; // seconds
    auto& runner = bench.model->runner(device);
    runner.start(test);
    const double start = bench.clock.now();
    while (runner.active() && bench.clock.now() - start < cap) {
        bench.clock.advance(playback);
        bench.model->demo().tick();
        bench.clock.advance(frame - playback);
        bench.model->demo().tick();
        bench.model->tick(bench.clock.now());
    }
    if (runner.active()) return std::nullopt;
    return runner.result(test);
}

// The demo controller with a result on every card that can hold one: each test it plays by
// itself, run to its end, and a ten-minute soak with one dropout.
inline void resultsOnEveryCard(Bench& bench) {
    using namespace RorozErurEvo;
    const auto& demo = bench.demo();
    for (const auto& test : GuidedTests::allTests(*demo))
        if (tickDriven(test.kind)) play(bench, demo, test);
    SoakTimeline soak{0, 600, {}, {}};
    for (int i = 0; i < 30000; ++i) // a report every 20 ms, none for the 0.4 s after 300 s
        if (i <= 15000 || i >= 15020) soak.reports.push_back(i * 0.02);
    bench.model->runner(demo).record(
        SoakAnalysis::result(soak, demo->info().name, ValueSource::processed, Thresholds::standard(), Dates::now()),
        SoakRunner::soakTest());
}

} // namespace Tessarine::Fakes
