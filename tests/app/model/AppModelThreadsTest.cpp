// The model over the real HID monitor thread: devices arrive and leave through the monitor's
// change callback, which only hops to the main thread.
#include "CommandFakes.h"
#include "ModelFakes.h"

#include <QDir>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/FakeHIDBackend.h"
#include "tests/support/TestLog.h"
#include "tests/support/VirtualJoystick.h"
#include "app/devices/SDLBackend.h"
#include "app/model/SystemSources.h"
#include "bench/RealisticSession.h"
#include "support/ManualExecutor.h"

using namespace Tessarine;

namespace {

// Runs the main thread's queue until `done` holds; false after a generous wait. The wait is of
// the clock, not a count of turns: under the sanitizers on a loaded two-core machine, exporting a
// few hundred sessions takes over ten seconds.
bool settle(Fakes::Bench& bench, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        bench.executor->runAll();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

HIDDeviceNode flightStick() {
    return HIDDeviceNode{.node = "/dev/hidraw1",
                         .product = "Flight Stick",
                         .manufacturer = std::nullopt,
                         .vendorID = 0x1234,
                         .productID = 0x0001,
                         .serial = std::nullopt,
                         .transport = "USB",
                         .descriptor = Fakes::joystickDescriptor()};
}

} // namespace

TEST(AppModelThreads, HIDDevicesComeAndGoThroughTheMonitorThread) {
    auto backend = std::make_unique<FakeHIDBackend>();
    FakeHIDBackend* fake = backend.get();
    fake->plug(flightStick());
    Fakes::Bench bench(true, {}, std::make_unique<HIDMonitorSource>(std::make_unique<HIDMonitor>(std::move(backend))));
    AppModel& model = *bench.model;
    model.start(true);

    ASSERT_TRUE(settle(bench, [&] { return model.allHID().size() == 1; }));
    auto stick = model.allHID().front();
    EXPECT_EQ(stick->info().name, "Flight Stick");
    model.navigation().setSelection(SidebarItem::device(stick->id()));

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
    EXPECT_EQ(model.navigation().selection(), SidebarItem::device("demo"));
    bench.model.reset(); // joins the HID thread
    bench.executor->runAll();
}

// SDL's virtual devices through the real controller source: a pad's ids reach the session's
// device record, and a wheel that is no game controller is listed once among the raw devices.
TEST(AppModelThreads, SDLDevicesReachTheModelWithTheirIdentity) {
    auto backend = std::make_shared<SDLBackend>();
    auto hops = std::make_shared<ManualExecutor>(); // the watcher's hops to the main thread
    auto source = std::make_unique<ControllerWatcherSource>(std::make_unique<ControllerWatcher>(
        backend, [hops](std::function<void()> work) { hops->post(std::move(work)); }));
    Fakes::Bench bench(true, {}, nullptr, std::move(source));
    AppModel& model = *bench.model;
    model.start(true);

    const auto pad = VirtualJoystick::pad("Tessarine virtual pad", 0x054C, 0x0CE6);
    const auto wheel = VirtualJoystick::describe(SDL_JOYSTICK_TYPE_WHEEL, "Tessarine virtual wheel", 3, 0, 2);
    ASSERT_TRUE(backend->invoke([&] {
        SDL_JoystickAttachVirtualEx(&pad);
        SDL_JoystickAttachVirtualEx(&wheel);
    })) << backend->error();
    ASSERT_TRUE(settle(bench, [&] {
        hops->runAll();
        return model.controllerDevices().size() == 1 && model.allHID().size() == 1;
    }));

    const auto controller = model.controllerDevices().front();
    const auto session = model.makeSession(*controller);
    EXPECT_EQ(session.device.vendorID, 0x054C);
    EXPECT_EQ(session.device.productID, 0x0CE6);
    EXPECT_TRUE(session.device.guid.has_value());
    // SDL's virtual pads carry no serial: the unit stays for the technician to fill in.
    EXPECT_EQ(model.deviceLists().unit(*controller).unit, "");

    int wheels = 0;
    for (const auto& d : model.deviceLists().allDevices())
        wheels += d->info().name == "Tessarine virtual wheel";
    EXPECT_EQ(wheels, 1);
    const auto stick = model.allHID().front();
    EXPECT_TRUE(stick->joystickLayer());
    EXPECT_EQ(stick->element("e1")->rangeText(), "-32768\u202632767");

    bench.model.reset(); // joins the SDL thread
    hops->runAll();
    bench.executor->runAll();
}

// Without SDL (not installed, or too old) the controllers' failure line says why and the raw HID
// devices are read all the same.
TEST(AppModelThreads, WithoutSDLTheControllersFailAndHIDDevicesStillArrive) {
    auto hidBackend = std::make_unique<FakeHIDBackend>();
    hidBackend->plug(flightStick());
    auto backend = std::make_shared<SDLBackend>(std::vector<std::string>{}, Clock::system(), "libtessarine-no-such-sdl.so.0");
    auto hops = std::make_shared<ManualExecutor>();
    auto source = std::make_unique<ControllerWatcherSource>(std::make_unique<ControllerWatcher>(
        backend, [hops](std::function<void()> work) { hops->post(std::move(work)); }));
    TestLog::ExpectedWarnings failed("tessarine.devices.sdl", "libtessarine-no-such-sdl.so.0 couldn't be loaded");
    Fakes::Bench bench(true, {}, std::make_unique<HIDMonitorSource>(std::make_unique<HIDMonitor>(std::move(hidBackend))),
                       std::move(source));
    AppModel& model = *bench.model;
    model.start(true);

    ASSERT_TRUE(settle(bench, [&] {
        hops->runAll();
        return !model.deviceLists().controllerFailure().empty() && model.allHID().size() == 1;
    }));
    EXPECT_EQ(model.deviceLists().controllerFailure(), backend->error());
    EXPECT_EQ(backend->error().rfind("the SDL library libtessarine-no-such-sdl.so.0 couldn't be loaded: ", 0), 0u)
        << backend->error();
    EXPECT_EQ(failed.count(), 1);
    EXPECT_EQ(model.allHID().front()->info().name, "Flight Stick");
    EXPECT_TRUE(model.controllerDevices().empty());
    // The thread has ended: work for it is refused rather than waited on.
    EXPECT_FALSE(backend->invoke([] {}));

    bench.model.reset();
    hops->runAll();
    bench.executor->runAll();
}

// The export on a real worker thread: the window cancels it while the worker writes, and nothing
// of it is left in the folder; an export let run lands its file and its toast.
TEST(AppModelThreads, AnExportCancelledWhileTheWorkerWritesLeavesNothing) {
    Fakes::Bench bench(true, {}, nullptr, nullptr, std::make_unique<BackgroundThreads>());
    AppModel& model = *bench.model;
    RorozErurEvo::SessionArchive archive{model.sessionsFolder().toStdString()};
    for (int n = 0; n < 150; ++n) archive.save(RealisticSession::make(n));
    model.library().load();
    auto chooser = std::make_shared<Fakes::Chooser>();
    model.setFileChooser(chooser);
    const QString exports = bench.folder.filePath(QStringLiteral("exports"));
    ASSERT_TRUE(QDir().mkpath(exports));

    chooser->answer = exports + QStringLiteral("/all.json");
    model.exportListed(model.library().sessions(), AppModel::ExportFormat::json, "All");
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    model.cancelExport();
    EXPECT_EQ(model.toast(), "Export cancelled");

    chooser->answer = exports + QStringLiteral("/all.csv");
    model.exportListed(model.library().sessions(), AppModel::ExportFormat::csv, "All");
    ASSERT_TRUE(settle(bench, [&] { return !model.exportProgress().count(); }));
    EXPECT_EQ(model.toast(), "Exported 150 sessions");
    bench.model.reset(); // waits for the worker
    bench.executor->runAll();
    // The cancelled export left nothing, unless it had already finished when cancelled.
    const QStringList left = QDir(exports).entryList(QDir::Files | QDir::Hidden);
    EXPECT_TRUE(left == QStringList{"all.csv"} || left == (QStringList{"all.csv", "all.json"})) << left.join(", ").toStdString();
}
