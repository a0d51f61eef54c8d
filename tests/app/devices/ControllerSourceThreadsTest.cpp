// The game-controller source against real SDL on its own thread, with SDL's virtual joystick in
// place of hardware. Run under ThreadSanitizer too (suite name ends in "Threads").
#include <SDL.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <cstdlib>

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <limits>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>

#include "app/devices/ControllerMappings.h"
#include "app/devices/ControllerSource.h"
#include "app/devices/SDLBackend.h"
#include "testkit/TimedRate.h"
#include "testkit/TriggerEffects.h"
#include "tests/support/TestLog.h"
#include "tests/support/VirtualJoystick.h"

using namespace Tessarine;

namespace {

constexpr const char* padName = "Tessarine virtual pad";

// What SDL asked of the virtual controller, written on the SDL thread, read on the test's.
struct Outputs {
    std::mutex lock;
    std::vector<std::array<Uint16, 2>> rumbles;
    std::vector<std::array<Uint16, 2>> triggerRumbles;
    std::vector<std::array<Uint8, 3>> lights;
    std::vector<int> playerIndexes;
    std::vector<std::vector<Uint8>> effects;

    template <class T> std::vector<T> read(std::vector<T> Outputs::*field) {
        std::lock_guard guard(lock);
        return this->*field;
    }
};

Outputs& outputsOf(void* userdata) { return *static_cast<Outputs*>(userdata); }

SDL_VirtualJoystickDesc virtualPad(Outputs& outputs) {
    // Ids of a DualSense, so that SDL treats it as one with adaptive triggers.
    SDL_VirtualJoystickDesc d = VirtualJoystick::pad(padName, 0x054C, 0x0CE6);
    d.userdata = &outputs;
    d.SetPlayerIndex = [](void* u, int index) {
        std::lock_guard guard(outputsOf(u).lock);
        outputsOf(u).playerIndexes.push_back(index);
    };
    d.Rumble = [](void* u, Uint16 low, Uint16 high) {
        std::lock_guard guard(outputsOf(u).lock);
        outputsOf(u).rumbles.push_back({low, high});
        return 0;
    };
    d.RumbleTriggers = [](void* u, Uint16 left, Uint16 right) {
        std::lock_guard guard(outputsOf(u).lock);
        outputsOf(u).triggerRumbles.push_back({left, right});
        return 0;
    };
    d.SetLED = [](void* u, Uint8 r, Uint8 g, Uint8 b) {
        std::lock_guard guard(outputsOf(u).lock);
        outputsOf(u).lights.push_back({r, g, b});
        return 0;
    };
    d.SendEffect = [](void* u, const void* data, int size) {
        std::lock_guard guard(outputsOf(u).lock);
        const auto* bytes = static_cast<const Uint8*>(data);
        outputsOf(u).effects.emplace_back(bytes, bytes + size);
        return 0;
    };
    return d;
}

// The test's main thread: hops from the SDL thread queue up here until the test runs them.
class MainQueue {
public:
    ControllerWatcher::Post post() {
        return [this](std::function<void()> work) {
            std::lock_guard guard(lock_);
            queue_.push_back(std::move(work));
        };
    }

    // Runs queued hops until `done` holds; false after the timeout.
    template <class Done> bool runUntil(Done done, double seconds = 5.0) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!done()) {
            std::deque<std::function<void()>> work;
            {
                std::lock_guard guard(lock_);
                work.swap(queue_);
            }
            for (auto& w : work) w();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

private:
    std::mutex lock_;
    std::deque<std::function<void()>> queue_;
};

std::shared_ptr<InputDevice> findPad(const ControllerWatcher& watcher) {
    for (const auto& [instance, device] : watcher.devices())
        if (device->info().name == padName) return device;
    return nullptr;
}

int instanceOf(const ControllerWatcher& watcher, const std::shared_ptr<InputDevice>& device) {
    for (const auto& [instance, d] : watcher.devices())
        if (d == device) return instance;
    return -1;
}

struct Bench {
    Outputs outputs;
    SDL_VirtualJoystickDesc desc = virtualPad(outputs);
    std::shared_ptr<SDLBackend> backend;
    MainQueue main;
    ControllerWatcher watcher;

    explicit Bench(std::vector<std::string> mappingFiles = {})
        : backend(std::make_shared<SDLBackend>(std::move(mappingFiles))), watcher(backend, main.post()) {
        watcher.start();
    }

    std::shared_ptr<InputDevice> attach() {
        int index = -1;
        EXPECT_TRUE(backend->invoke([&] { index = SDL_JoystickAttachVirtualEx(&desc); })) << backend->error();
        EXPECT_GE(index, 0) << SDL_GetError();
        std::shared_ptr<InputDevice> device;
        main.runUntil([&] { return (device = findPad(watcher)) != nullptr; });
        return device;
    }

    void detach(int instance) {
        EXPECT_TRUE(backend->invoke([&] {
            for (int i = 0; i < SDL_NumJoysticks(); ++i)
                if (SDL_JoystickGetDeviceInstanceID(i) == instance) SDL_JoystickDetachVirtual(i);
        }));
    }

    // Sets inputs of the virtual controller on the SDL thread.
    void set(int instance, std::function<void(SDL_Joystick*)> change) {
        EXPECT_TRUE(backend->invoke([&] { change(SDL_JoystickFromInstanceID(instance)); }));
    }
};

template <class Done> bool eventually(Done done, double seconds = 5.0) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace

TEST(ControllerSourceThreads, AVirtualPadBecomesADeviceAndStreamsItsInput) {
    Bench bench;
    const auto device = bench.attach();
    ASSERT_NE(device, nullptr) << bench.backend->error();
    const int instance = instanceOf(bench.watcher, device);
    EXPECT_EQ(device->info().category, "DualSense");
    // The ids come from SDL, with its GUID of the model; its virtual pads carry no serial.
    EXPECT_EQ(device->info().vendorID, 0x054C);
    EXPECT_EQ(device->info().productID, 0x0CE6);
    ASSERT_TRUE(device->info().guid.has_value());
    EXPECT_EQ(device->info().guid->size(), 32u);
    EXPECT_EQ(device->info().serial, std::nullopt);
    for (const char* id : {"Left Thumbstick", "Right Thumbstick", "Direction Pad", "Left Trigger", "Right Trigger",
                           "Button A", "Button Menu"})
        EXPECT_TRUE(device->element(id).has_value()) << id;
    EXPECT_EQ(device->capabilities().haptics,
              (std::vector<std::string>{"Left Handle", "Right Handle", "Left Trigger", "Right Trigger"}));
    EXPECT_TRUE(device->capabilities().light);
    EXPECT_TRUE(device->capabilities().adaptiveTriggers);
    // SDL's mapping reads the triggers from axes.
    EXPECT_TRUE(device->element("Left Trigger")->analog);

    // The resting state arrives first, then every change.
    auto& buffer = device->buffer();
    ASSERT_TRUE(eventually([&] { return buffer.stick("Left Thumbstick", 1e12).has_value(); }));
    bench.set(instance, [](SDL_Joystick* j) {
        SDL_JoystickSetVirtualAxis(j, SDL_CONTROLLER_AXIS_LEFTY, 32767);
        SDL_JoystickSetVirtualAxis(j, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
        SDL_JoystickSetVirtualButton(j, SDL_CONTROLLER_BUTTON_A, 1);
    });
    ASSERT_TRUE(eventually([&] {
        const auto s = buffer.stick("Left Thumbstick", 1e12);
        const auto t = buffer.axis("Right Trigger", 1e12);
        return s && s->y == -1.0 && t && t->value == 1.0 && buffer.snapshot().pressed.contains("Button A");
    }));
    // The trigger's full pull is a press too.
    EXPECT_TRUE(buffer.snapshot().pressed.contains("Right Trigger"));
}

TEST(ControllerSourceThreads, OutputsReachTheVirtualPad) {
    Bench bench;
    const auto device = bench.attach();
    ASSERT_NE(device, nullptr) << bench.backend->error();
    auto& out = *device->outputs();

    out.rumble("Left Handle", 1.0f, 0.5f, 5.0);
    out.rumble("Right Handle", 0.5f, 0.5f, 5.0);
    out.rumble("Right Trigger", 1.0f, 0.5f, 5.0);
    out.setLight(1.0f, 0.5f, 0.0f);
    out.setPlayerIndex(2);
    out.setTrigger(AdaptiveMode::weapon, false);
    using Rumble = std::array<Uint16, 2>;
    using Light = std::array<Uint8, 3>;
    const auto last = [&](auto field, auto value) {
        return eventually([&] {
            const auto all = bench.outputs.read(field);
            return !all.empty() && all.back() == value;
        });
    };
    // Both handles run at once: the right one's start resends the left.
    EXPECT_TRUE(last(&Outputs::rumbles, Rumble{65535, 32768}));
    EXPECT_TRUE(last(&Outputs::triggerRumbles, Rumble{0, 65535}));
    EXPECT_TRUE(last(&Outputs::lights, Light{255, 128, 0}));
    EXPECT_TRUE(last(&Outputs::playerIndexes, 2));
    const auto weapon = RorozErurEvo::TriggerEffects::packet(std::nullopt, RorozErurEvo::TriggerEffects::weapon(0.25, 0.6, 0.9));
    EXPECT_TRUE(last(&Outputs::effects, std::vector<Uint8>(weapon.begin(), weapon.end())));

    out.stopRumble();
    EXPECT_TRUE(last(&Outputs::rumbles, Rumble{0, 0}));
    EXPECT_TRUE(last(&Outputs::triggerRumbles, Rumble{0, 0}));

    // A short rumble ends by itself, and its partner keeps running alone until its own end.
    out.rumble("Left Handle", 1.0f, 0.5f, 5.0);
    out.rumble("Right Handle", 1.0f, 0.5f, 0.05);
    EXPECT_TRUE(last(&Outputs::rumbles, Rumble{65535, 0}));
    out.stopRumble();
}

TEST(ControllerSourceThreads, DetachAndReattachGiveANewDevice) {
    Bench bench;
    const auto first = bench.attach();
    ASSERT_NE(first, nullptr) << bench.backend->error();
    const int instance = instanceOf(bench.watcher, first);
    const int number = std::stoi(first->id().substr(3));

    bench.detach(instance);
    ASSERT_TRUE(bench.main.runUntil([&] { return !first->connected(); }));
    EXPECT_EQ(findPad(bench.watcher), nullptr);
    // Commands to a controller that has gone do nothing.
    first->outputs()->setLight(1, 1, 1);
    first->outputs()->rumble("Left Handle", 1, 1, 1);

    const auto second = bench.attach();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->id(), "gc-" + std::to_string(number + 1));
    EXPECT_FALSE(first->connected());

    // Once stopped, the SDL thread is gone and takes no more work.
    bench.watcher.stop();
    bool ran = false;
    EXPECT_FALSE(bench.backend->invoke([&] { ran = true; }));
    EXPECT_FALSE(ran);
    second->outputs()->setPlayerIndex(3);
}

// A virtual wheel that SDL has no game-controller mapping for: read through the joystick layer.
TEST(ControllerSourceThreads, AVirtualWheelIsReadThroughTheJoystickLayer) {
    Bench bench;
    const auto wheel =
        VirtualJoystick::describe(SDL_JOYSTICK_TYPE_WHEEL, "Tessarine virtual wheel", 3, 1, 4, 0x046D, 0xC24F);
    int index = -1;
    ASSERT_TRUE(bench.backend->invoke([&] { index = SDL_JoystickAttachVirtualEx(&wheel); })) << bench.backend->error();
    ASSERT_GE(index, 0);
    ASSERT_TRUE(bench.main.runUntil([&] { return !bench.watcher.joysticks().empty(); }));
    EXPECT_TRUE(bench.watcher.devices().empty());
    // A copy: the watcher drops its entry when the wheel goes, and the test reads the device after.
    const auto [instance, device] = *bench.watcher.joysticks().begin();
    EXPECT_EQ(device->info().name, "Tessarine virtual wheel");
    EXPECT_EQ(device->info().vendorID, 0x046D);
    EXPECT_EQ(device->info().productID, 0xC24F);
    EXPECT_EQ(device->hidrawNode(), std::nullopt);
    ASSERT_EQ(device->elements().size(), 3u + 1u + 4u + 1u); // and the stick made of X and Y
    EXPECT_EQ(device->element("e1")->rangeText(), "-32768\u202632767");
    EXPECT_EQ(device->element("e4")->rangeText(), "0\u20267");
    EXPECT_EQ(device->element("e8")->rangeText(), "0\u20261");

    auto& buffer = device->buffer();
    ASSERT_TRUE(eventually([&] { return buffer.rawTrackers().contains("e1"); }));
    bench.set(instance, [](SDL_Joystick* j) {
        SDL_JoystickSetVirtualAxis(j, 0, -20000);
        SDL_JoystickSetVirtualHat(j, 0, SDL_HAT_DOWN);
        SDL_JoystickSetVirtualButton(j, 3, 1);
    });
    ASSERT_TRUE(eventually([&] {
        const auto trackers = buffer.rawTrackers();
        const auto hat = buffer.stick("e4", 1e12);
        return trackers.at("e1").value == -20000 && hat && hat->y == -1.0 && buffer.snapshot().pressed.contains("e8");
    }));

    EXPECT_TRUE(bench.backend->invoke([&] { SDL_JoystickDetachVirtual(index); }));
    ASSERT_TRUE(bench.main.runUntil([&] { return bench.watcher.joysticks().empty(); }));
    EXPECT_FALSE(device->connected());
}

namespace {

// A stick SDL has no mapping of its own for.
const SDL_VirtualJoystickDesc unmappedStick =
    VirtualJoystick::describe(SDL_JOYSTICK_TYPE_UNKNOWN, "Tessarine unmapped stick", 2, 0, 4, 0x1209, 0x7A11);

// The GUID SDL gives the stick, which mapping files name it by.
std::string guidOfUnmappedStick() {
    Bench bench;
    std::string guid;
    EXPECT_TRUE(bench.backend->invoke([&] {
        const int index = SDL_JoystickAttachVirtualEx(&unmappedStick);
        char text[33] = {};
        SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), text, sizeof text);
        guid = text;
        SDL_JoystickDetachVirtual(index);
    }));
    return guid;
}

// The name the controller layer gives the stick with the files given, or "" when it stays a
// plain joystick; the notices of the watcher meanwhile go to `notices`.
std::string mappedName(std::vector<std::string> files, std::vector<std::string>& notices) {
    Bench bench(std::move(files));
    int index = -1;
    EXPECT_TRUE(bench.backend->invoke([&] { index = SDL_JoystickAttachVirtualEx(&unmappedStick); })) << bench.backend->error();
    EXPECT_TRUE(bench.main.runUntil([&] { return !bench.watcher.devices().empty() || !bench.watcher.joysticks().empty(); }));
    auto taken = bench.watcher.takeNotices();
    notices.insert(notices.end(), taken.begin(), taken.end());
    bench.backend->invoke([&] { SDL_JoystickDetachVirtual(index); });
    return bench.watcher.devices().empty() ? std::string() : bench.watcher.devices().begin()->second->info().name;
}

void writeFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

TEST(ControllerSourceThreads, MappingFilesAreReadBoundedAndTheLaterOneWins) {
    const std::string guid = guidOfUnmappedStick();
    ASSERT_EQ(guid.size(), 32u);
    QTemporaryDir dir;
    const QString system = dir.filePath("system/gamecontrollerdb.txt"), user = dir.filePath("user/gamecontrollerdb.txt");
    const QByteArray mapping = QByteArray::fromStdString(guid) + ",%1,a:b0,b:b1,x:b2,y:b3,leftx:a0,lefty:a1,platform:Linux,\n";
    writeFile(system, QString::fromUtf8(mapping).arg("System mapping").toUtf8());
    // Lines of other platforms first, more than one block of them: the mapping is read all the same.
    QByteArray padding;
    while (padding.size() < 3 * 64 * 1024)
        padding += "03000000000000000000000000000000,Elsewhere,a:b0,platform:Windows,\n# a comment\n";
    writeFile(user, padding + QString::fromUtf8(mapping).arg("User mapping").toUtf8());
    // A pipe no program writes to, and 200 MB of mappings: both refused at once, unread.
    const QString pipe = dir.filePath("pipe/gamecontrollerdb.txt"), huge = dir.filePath("huge/gamecontrollerdb.txt");
    QDir().mkpath(dir.filePath("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    writeFile(huge, {});
    ASSERT_TRUE(QFile(huge).resize(200ll * 1024 * 1024));

    std::vector<std::string> notices;
    EXPECT_EQ(mappedName({}, notices), "") << "no mapping: a plain joystick";
    EXPECT_EQ(mappedName({system.toStdString()}, notices), "System mapping");
    {
        TestLog::ExpectedWarnings refused("tessarine.devices.sdl", "Couldn't read the game controller mappings");
        EXPECT_EQ(mappedName({pipe.toStdString(), huge.toStdString(), system.toStdString(), user.toStdString(),
                              dir.filePath("missing.txt").toStdString()},
                             notices),
                  "User mapping");
        EXPECT_EQ(refused.count(), 2);
    }
    EXPECT_EQ(notices, (std::vector<std::string>{
                           "Couldn't read the game controller mappings \u201C" + pipe.toStdString() + "\u201D: not a regular file.",
                           "Couldn't read the game controller mappings \u201C" + huge.toStdString() + "\u201D: larger than 4 MB.",
                       }))
        << "a missing file is no fault";
}

namespace {

// `count` Linux mappings of made-up pads, GUIDs from `first` on.
QByteArray madeUpMappings(int first, int count) {
    QByteArray lines;
    for (int i = first; i < first + count; ++i)
        lines += QByteArray("03000000") + QByteArray::number(i, 16).rightJustified(8, '0') +
                 "0000000000000000,Made-up pad " + QByteArray::number(i) +
                 ",a:b0,b:b1,x:b2,y:b3,back:b6,start:b7,leftx:a0,lefty:a1,rightx:a3,righty:a4,platform:Linux,\n";
    return lines;
}

// The mappings SDL holds once a backend reading `files` has started.
int mappingsHeld(std::vector<std::string> files) {
    Bench bench(std::move(files));
    int held = -1;
    EXPECT_TRUE(bench.backend->invoke([&] { held = SDL_GameControllerNumMappings(); })) << bench.backend->error();
    return held;
}

} // namespace

// SDL reads a block of mapping text as a C string: a NUL would cut off the rest of its block. The
// line holding it is left out and told, every other one is read.
TEST(ControllerSourceThreads, AMappingLineHoldingANulIsSkippedAndTold) {
    QTemporaryDir dir;
    const QString file = dir.filePath("gamecontrollerdb.txt");
    QByteArray text = madeUpMappings(0, 100);
    const qsizetype line51 = text.indexOf("Made-up pad 50,");
    text[line51 + 4] = '\0';
    writeFile(file, text);

    const int builtIn = mappingsHeld({});
    TestLog::CapturedMessages log("tessarine.devices.sdl");
    EXPECT_EQ(mappingsHeld({file.toStdString()}), builtIn + 99);
    EXPECT_TRUE(log.messages().contains(QStringLiteral("game controller mappings read from %1: 99 mappings, 1 line "
                                                       "skipped: it holds a NUL byte")
                                            .arg(file)))
        << log.messages().join("\n").toStdString();
    EXPECT_TRUE(log.messages().contains(QStringLiteral("99 game controller mappings given to SDL (99 new, 0 replaced by a later line)")));
}

// Every mapping file at its size bound (the user's and two system folders): SDL is given no more
// than maxMappings in all, the user's file's first, so a controller still comes at once, mapped
// by the user's file. Several times what a real start reads, then, and no more than that.
TEST(ControllerSourceThreads, MappingFilesAtTheirBoundStillLeaveAControllerListedAtOnce) {
    const std::string guid = guidOfUnmappedStick();
    ASSERT_EQ(guid.size(), 32u);
    QTemporaryDir dir;
    std::vector<std::string> files;
    const QByteArray userMapping = QByteArray::fromStdString(guid) + ",User mapping,a:b0,b:b1,x:b2,y:b3,leftx:a0,lefty:a1,platform:Linux,\n";
    int first = 0;
    for (const char* folder : {"usr", "local", "user"}) {
        QByteArray text;
        const QByteArray tail = std::string_view(folder) == "user" ? userMapping : QByteArray();
        while (text.size() + 2000 + tail.size() < static_cast<qsizetype>(ControllerMappings::maxBytes)) {
            text += madeUpMappings(first, 10);
            first += 10;
        }
        text += tail; // the last line of the user's file, past the cap if files were taken in order
        const QString path = dir.filePath(QString::fromLatin1(folder) + "/gamecontrollerdb.txt");
        writeFile(path, text);
        ASSERT_LE(QFileInfo(path).size(), static_cast<qint64>(ControllerMappings::maxBytes));
        files.push_back(path.toStdString());
    }
    ASSERT_GT(first, 3 * static_cast<int>(ControllerMappings::maxMappings));

    TestLog::ExpectedWarnings leftOut("tessarine.devices.sdl", "hold more than the 4000 mappings SDL is given");
    std::vector<std::string> notices;
    EXPECT_EQ(mappedName(files, notices), "User mapping");
    EXPECT_EQ(leftOut.count(), 1);
    EXPECT_LE(mappingsHeld(files) - mappingsHeld({}), static_cast<int>(ControllerMappings::maxMappings));
}

// SDL would open these itself while it starts, and wait on a pipe for ever.
TEST(ControllerSourceThreads, FilesTheEnvironmentNamesForSDLAreReadBounded) {
    QTemporaryDir dir;
    const QByteArray pipe = QFile::encodeName(dir.filePath("pipe"));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    ASSERT_EQ(::setenv("SDL_GAMECONTROLLERCONFIG_FILE", pipe.constData(), 1), 0);
    ASSERT_EQ(::setenv("SDL_GAMECONTROLLER_IGNORE_DEVICES", ("@" + pipe).constData(), 1), 0);
    std::vector<std::string> notices;
    {
        TestLog::ExpectedWarnings refused("tessarine.devices.sdl", "not a regular file");
        EXPECT_EQ(mappedName({}, notices), "");
        EXPECT_EQ(refused.count(), 2);
    }
    ::unsetenv("SDL_GAMECONTROLLERCONFIG_FILE");
    ::unsetenv("SDL_GAMECONTROLLER_IGNORE_DEVICES");
    const std::string path = pipe.toStdString();
    EXPECT_EQ(notices, (std::vector<std::string>{
                           "Couldn't read the list of game controllers to ignore \u201C" + path + "\u201D: not a regular file.",
                           "Couldn't read the game controller mappings \u201C" + path + "\u201D: not a regular file.",
                       }));
}

// Joysticks that report every 4 ms, 250 reports a second, as SDL delivers them: each value an
// event of its own, stamped in SDL's milliseconds. One moves X alone, the other X and Y in every
// report, two events with one stamp. The events are queued with their stamps set, so the rates
// follow the stamps and not how soon the SDL thread gets round to them.
TEST(ControllerSourceThreads, JoysticksReportingEvery4msRead250ReportsASecond) {
    Bench bench;
    const auto single = VirtualJoystick::describe(SDL_JOYSTICK_TYPE_FLIGHT_STICK, "Tessarine X stick", 2, 0, 2);
    const auto diagonal = VirtualJoystick::describe(SDL_JOYSTICK_TYPE_FLIGHT_STICK, "Tessarine XY stick", 2, 0, 2);
    std::vector<int> indexes;
    for (const auto* desc : {&single, &diagonal})
        ASSERT_TRUE(bench.backend->invoke([&] { indexes.push_back(SDL_JoystickAttachVirtualEx(desc)); }));
    ASSERT_TRUE(bench.main.runUntil([&] { return bench.watcher.joysticks().size() == 2; }));
    std::map<std::string, std::pair<int, std::shared_ptr<InputDevice>>> sticks; // by name
    for (const auto& [instance, device] : bench.watcher.joysticks()) {
        sticks[device->info().name] = {instance, device};
        // clang 14 cannot capture a structured binding in a lambda, so the lambda takes its own copy.
        ASSERT_TRUE(eventually([stick = device] { return stick->buffer().rawTrackers().contains("e1"); }));
        ASSERT_FALSE(device->stickPairs().empty()); // every move of X also moves the stick of X and Y
    }

    // A second and a half of moves, all stamped in the past so that none lies ahead of SDL's clock.
    constexpr int moves = 375;
    const auto value = [](int k) { return static_cast<Sint16>(-20000 + 100 * k); };
    ASSERT_TRUE(eventually([] { return SDL_GetTicks() > 2000; }));
    ASSERT_TRUE(bench.backend->invoke([&] {
        const Uint32 first = SDL_GetTicks() - 1600;
        std::vector<SDL_Event> events;
        const auto add = [&](int instance, Uint8 axis, int k) {
            SDL_Event& e = events.emplace_back();
            SDL_zero(e);
            e.jaxis.type = SDL_JOYAXISMOTION;
            e.jaxis.timestamp = first + 4 * static_cast<Uint32>(k);
            e.jaxis.which = instance;
            e.jaxis.axis = axis;
            e.jaxis.value = value(k);
        };
        for (int k = 0; k < moves; ++k) {
            add(sticks.at("Tessarine X stick").first, 0, k);
            add(sticks.at("Tessarine XY stick").first, 0, k);
            add(sticks.at("Tessarine XY stick").first, 1, k);
        }
        const int count = static_cast<int>(events.size());
        ASSERT_EQ(SDL_PeepEvents(events.data(), count, SDL_ADDEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), count);
    }));

    for (const auto& [name, stick] : sticks) {
        SCOPED_TRACE(name);
        auto& buffer = stick.second->buffer();
        ASSERT_TRUE(eventually([&] { return buffer.rawTrackers().at("e1").value == value(moves - 1); }));
        // The Raw HID header's rate and the element column's, over the last second of reports.
        const double now = buffer.snapshot().lastEvent;
        const double resolution = stick.second->stampResolution();
        const auto header = RorozErurEvo::ReportRateAnalysis::timedEstimate(
            buffer.stamps(now - 1.0, std::numeric_limits<double>::infinity()), resolution);
        ASSERT_TRUE(header);
        EXPECT_FALSE(header->atLeast);
        EXPECT_NEAR(header->hz, 250, 250 * 0.05);
        const auto live = buffer.rawLive(now, resolution).at("e1");
        ASSERT_TRUE(live.rate);
        EXPECT_FALSE(live.rateAtLeast);
        EXPECT_NEAR(*live.rate, 250, 250 * 0.05);
    }

    // The last first: detaching one moves the device indexes of those after it.
    for (auto index = indexes.rbegin(); index != indexes.rend(); ++index)
        EXPECT_TRUE(bench.backend->invoke([&] { SDL_JoystickDetachVirtual(*index); }));
}
