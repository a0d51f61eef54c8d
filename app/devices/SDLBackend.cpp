#include "app/devices/SDLBackend.h"

#include <pthread.h>

#include <cmath>
#include <future>
#include <string_view>

#include "app/devices/ControllerMappings.h"
#include "app/devices/EvdevAxes.h"
#include "app/base/Logging.h"
#include "app/devices/PowerSupplyBattery.h"
#include "testkit/BoundedFile.h"
#include "testkit/Fmt.h"
#include "testkit/JoystickLayout.h"

namespace Tessarine {

using RorozErurEvo::RumbleMixer;

namespace {

// Our input numbering is SDL's, so events map by value.
static_assert(static_cast<int>(PadAxis::leftX) == SDL_CONTROLLER_AXIS_LEFTX);
static_assert(static_cast<int>(PadAxis::rightTrigger) == SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
static_assert(padAxisCount == SDL_CONTROLLER_AXIS_MAX);
static_assert(static_cast<int>(PadButton::a) == SDL_CONTROLLER_BUTTON_A);
static_assert(static_cast<int>(PadButton::dpadUp) == SDL_CONTROLLER_BUTTON_DPAD_UP);
static_assert(static_cast<int>(PadButton::misc1) == SDL_CONTROLLER_BUTTON_MISC1);
static_assert(static_cast<int>(PadButton::touchpad) == SDL_CONTROLLER_BUTTON_TOUCHPAD);
static_assert(padButtonCount == SDL_CONTROLLER_BUTTON_MAX);

// Nintendo's pads have on/off triggers (ZL and ZR) that SDL reports as released or fully
// pulled; any other pad's trigger is analogue when its mapping reads it from an axis, and a
// plain button when the mapping takes it from a button or a hat.
std::bitset<2> analogTriggers(const SdlLibrary& sdl, SDL_GameController* controller, PadType type) {
    switch (type) {
    case PadType::switchPro:
    case PadType::joyConLeft:
    case PadType::joyConRight:
    case PadType::joyConPair: return {};
    default: break;
    }
    std::bitset<2> analog;
    const SDL_GameControllerAxis axes[] = {SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT};
    for (std::size_t i = 0; i < 2; ++i)
        analog.set(i, sdl.GameControllerGetBindForAxis(controller, axes[i]).bindType == SDL_CONTROLLER_BINDTYPE_AXIS);
    return analog;
}

PadType padType(SDL_GameControllerType type) {
    switch (type) {
    case SDL_CONTROLLER_TYPE_UNKNOWN: return PadType::unknown;
    case SDL_CONTROLLER_TYPE_XBOX360: return PadType::xbox360;
    case SDL_CONTROLLER_TYPE_XBOXONE: return PadType::xboxOne;
    case SDL_CONTROLLER_TYPE_PS3: return PadType::ps3;
    case SDL_CONTROLLER_TYPE_PS4: return PadType::ps4;
    case SDL_CONTROLLER_TYPE_PS5: return PadType::ps5;
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO: return PadType::switchPro;
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_LEFT: return PadType::joyConLeft;
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_RIGHT: return PadType::joyConRight;
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_PAIR: return PadType::joyConPair;
    default: return PadType::other;
    }
}

std::optional<std::string> nonEmptyText(const char* s) { return s && *s ? std::optional<std::string>(s) : std::nullopt; }

// SDL answers 0 for an id or version it does not know.
std::optional<int> known(Uint16 value) { return value ? std::optional<int>(value) : std::nullopt; }

std::optional<std::string> guidText(const SdlLibrary& sdl, SDL_JoystickGUID guid) {
    char text[33] = {};
    sdl.JoystickGetGUIDString(guid, text, sizeof text);
    // An all-zero GUID is SDL's "none".
    if (std::string_view(text).find_first_not_of('0') == std::string_view::npos) return std::nullopt;
    return std::string(text);
}

// Ids, serial, firmware and GUID of a controller or joystick description.
template <class Description> void readIdentity(const SdlLibrary& sdl, Description& d, SDL_Joystick* joystick) {
    d.vendorID = known(sdl.JoystickGetVendor(joystick));
    d.productID = known(sdl.JoystickGetProduct(joystick));
    d.serial = nonEmptyText(sdl.JoystickGetSerial(joystick));
    d.firmwareVersion = known(sdl.JoystickGetFirmwareVersion(joystick));
    d.guid = guidText(sdl, sdl.JoystickGetGUID(joystick));
}

} // namespace

SDLBackend::SDLBackend(std::vector<std::string> mappingFiles, const Clock& clock, std::string library)
    : mappingFiles_(std::move(mappingFiles)), clock_(clock), library_(std::move(library)) {}

SDLBackend::~SDLBackend() { stop(); }

void SDLBackend::start(Listener& listener) {
    {
        MutexLock guard(lock_);
        if (started_) return;
        started_ = true;
        accepting_ = true;
    }
    listener_ = &listener;
    thread_ = WorkerThread([this] { run(); });
}

void SDLBackend::stop() {
    {
        MutexLock guard(lock_);
        started_ = true; // a stopped backend never starts
        stopping_ = true;
        accepting_ = false;
    }
    wake_.notify_all();
    if (!thread_.join(stopWait))
        qCWarning(logSDL, "the game-controller thread did not stop within %lld ms; it is left behind",
                  static_cast<long long>(stopWait.count()));
    // Commands that never ran are dropped here, on the caller's thread.
    std::deque<std::function<void()>> dropped;
    {
        MutexLock guard(lock_);
        dropped.swap(posted_);
    }
}

void SDLBackend::post(std::function<void()> work) {
    {
        MutexLock guard(lock_);
        if (!accepting_) return;
        posted_.push_back(std::move(work));
    }
    wake_.notify_all();
}

bool SDLBackend::invoke(std::function<void()> work) {
    auto done = std::make_shared<std::promise<void>>();
    auto future = done->get_future();
    // Only the command holds the promise: a dropped command breaks it and wakes the wait.
    post([work = std::move(work), done = std::move(done)] {
        work();
        done->set_value();
    });
    try {
        future.get();
        return true;
    } catch (const std::future_error&) {
        return false; // dropped: the thread is not running
    }
}

std::string SDLBackend::error() const {
    MutexLock guard(lock_);
    return error_;
}

SDL_GameController* SDLBackend::controller(int instance) const {
    const auto it = pads_.find(instance);
    return it == pads_.end() ? nullptr : it->second.controller;
}

void SDLBackend::run() {
    pthread_setname_np(pthread_self(), threadName);
    auto loaded = SdlLibrary::load(library_);
    if (!loaded.library) {
        failed(loaded.error);
        return;
    }
    sdl_ = std::move(loaded.library);
    // SDL must leave the process's signals alone, keep reporting while the window is in the
    // background, and number the face buttons by position rather than by their labels.
    sdl_->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl_->SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    sdl_->SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    // Wireless DualShock 4 and DualSense pads send their touchpad, motion and rumble reports
    // only in their extended mode; a test bench wants all of it from the start.
    sdl_->SetHint(SDL_HINT_JOYSTICK_HIDAPI_PS4_RUMBLE, "1");
    sdl_->SetHint(SDL_HINT_JOYSTICK_HIDAPI_PS5_RUMBLE, "1");
    std::vector<std::string> mappingFiles;
    if (auto named = takeEnvironmentFiles()) mappingFiles.push_back(std::move(*named));
    mappingFiles.insert(mappingFiles.end(), mappingFiles_.begin(), mappingFiles_.end());
    if (sdl_->Init(SDL_INIT_GAMECONTROLLER | SDL_INIT_SENSOR) != 0) {
        const std::string reason = sdl_->GetError();
        sdl_->Quit();
        failed(reason);
        return;
    }
    sdl_->GameControllerEventState(SDL_ENABLE);
    sdl_->JoystickEventState(SDL_ENABLE);
    loadMappings(std::move(mappingFiles));

    while (true) {
        if (!runPosted()) break;
        SDL_Event event;
        while (sdl_->PollEvent(&event)) handle(event);
        endRumbles(clock_.now());
        MutexLock guard(lock_);
        if (stopping_) break;
        // Woken early by a post or by stop(); either way the loop comes round to it.
        if (posted_.empty()) wake_.wait_for(lock_, std::chrono::milliseconds(pumpIntervalMs));
        if (stopping_) break;
    }
    shutDown();
}

void SDLBackend::failed(const std::string& reason) {
    std::deque<std::function<void()>> dropped;
    {
        MutexLock guard(lock_);
        error_ = reason;
        accepting_ = false;
        dropped.swap(posted_);
    }
    qCWarning(logSDL, "SDL's game-controller subsystem failed to start: %s", reason.c_str());
    listener_->serviceFailed(reason);
}

// SDL opens the files the environment names while it starts: the mapping file of
// SDL_GAMECONTROLLERCONFIG_FILE, and the device lists of its ignore hints when given as "@file".
// A pipe there would stop the controller thread inside SDL_Init for good, so these are taken
// over: the mapping file is read with the others below, and a device list is read here through
// the bounded reader and given to SDL as text. The hints set here win over the environment.
std::optional<std::string> SDLBackend::takeEnvironmentFiles() {
    std::optional<std::string> mappings;
    if (const char* file = sdl_->getenv(SDL_HINT_GAMECONTROLLERCONFIG_FILE); file && *file) mappings = file;
    sdl_->SetHintWithPriority(SDL_HINT_GAMECONTROLLERCONFIG_FILE, "", SDL_HINT_OVERRIDE);
    for (const char* hint : {SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES, SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT}) {
        const char* value = sdl_->getenv(hint);
        if (!value || value[0] != '@') continue;
        const std::string path = value + 1;
        const auto list = RorozErurEvo::BoundedFile::read(path, maxDeviceListBytes);
        // SDL reads a list it cannot open as an empty one; so does this.
        if (!list.text) refused("the list of game controllers to ignore", path, list.error);
        sdl_->SetHintWithPriority(hint, list.text ? list.text->c_str() : "", SDL_HINT_OVERRIDE);
    }
    return mappings;
}

void SDLBackend::loadMappings(std::vector<std::string> files) {
    // The joysticks already connected are announced again below as they are drained from the
    // queue, so a pad these files map becomes a game controller from the start.
    const auto stopping = [this] {
        MutexLock guard(lock_);
        return stopping_;
    };
    const ControllerMappings::Files read = ControllerMappings::read(files, stopping);
    for (const auto& [path, cause] : read.refused) refused("the game controller mappings", path, cause);
    if (read.texts.empty()) return;
    const auto merged = ControllerMappings::merge(read);
    for (std::size_t i = 0; i < read.paths.size(); ++i) {
        const auto& count = merged.files[i];
        std::string skipped;
        if (count.skipped == 1) skipped = ", 1 line skipped: it holds a NUL byte";
        else if (count.skipped > 1)
            skipped = ", " + RorozErurEvo::Fmt::trim(static_cast<double>(count.skipped), 0) +
                      " lines skipped: they hold a NUL byte";
        qCInfo(logSDL, "game controller mappings read from %s: %zu mappings%s", read.paths[i].c_str(), count.mappings,
               skipped.c_str());
    }
    if (merged.leftOut > 0)
        qCWarning(logSDL,
                  "the game controller mapping files hold more than the %zu mappings SDL is given: %zu of the least "
                  "important files are left out",
                  ControllerMappings::maxMappings, merged.leftOut);
    const auto outcome = ControllerMappings::add(*sdl_, merged.text, stopping);
    qCInfo(logSDL, "%zu game controller mappings given to SDL (%d new, %zu replaced by a later line)%s", merged.mappings,
           outcome.added, merged.replaced, outcome.stopped ? ", stopped part-way" : "");
}

void SDLBackend::refused(const std::string& what, const std::string& path, const std::string& cause) {
    const std::string text = "Couldn't read " + what + " \u201C" + path + "\u201D: " + cause + ".";
    qCWarning(logSDL, "%s", text.c_str());
    listener_->noticed(text);
}

bool SDLBackend::runPosted() {
    std::deque<std::function<void()>> work;
    {
        MutexLock guard(lock_);
        if (stopping_) return false;
        work.swap(posted_);
    }
    for (auto& w : work) w();
    return true;
}

void SDLBackend::shutDown() {
    for (auto& [instance, pad] : pads_) {
        if (pad.rumble) sdl_->GameControllerRumble(pad.controller, 0, 0, 0);
        if (pad.triggerRumble) sdl_->GameControllerRumbleTriggers(pad.controller, 0, 0, 0);
        sdl_->GameControllerClose(pad.controller);
    }
    pads_.clear();
    for (auto& [instance, joystick] : joysticks_) sdl_->JoystickClose(joystick);
    joysticks_.clear();
    sdl_->Quit();
}

double SDLBackend::stampOf(const SDL_CommonEvent& event) {
    if (event.timestamp == 0) return 0;
    const double now = clock_.now();
    // The same millisecond as the event stamped just before (not one of 49 days later, when SDL's
    // counter has come round).
    if (event.timestamp == lastTicks_ && now - lastStampedAt_ < 1.0) return lastStamp_;
    // SDL stamps events in milliseconds since it started; the difference to its clock now is the
    // event's age (unsigned, so a wrapped counter still gives the right age).
    const Uint32 age = sdl_->GetTicks() - event.timestamp;
    lastTicks_ = event.timestamp;
    lastStampedAt_ = now;
    lastStamp_ = now - age / 1000.0;
    return lastStamp_;
}

double SDLBackend::sensorStamp(const SDL_Event& event) {
    const double coarse = stampOf(event.common);
    const int instance = event.csensor.which;
    if (event.csensor.timestamp_us == 0 || coarse == 0) return coarse;
    // The sensor's clock has its own origin: it is anchored to the event time once, and again
    // whenever the two part by more than the drift allowed (a reconnection, a sensor restart).
    const double own = static_cast<double>(event.csensor.timestamp_us) / 1e6;
    auto [offset, fresh] = sensorOffsets_.try_emplace(instance, coarse - own);
    if (!fresh && std::abs(own + offset->second - coarse) > sensorClockDrift) offset->second = coarse - own;
    return own + offset->second;
}

void SDLBackend::handle(const SDL_Event& event) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: added(event.cdevice.which); return;
    case SDL_JOYDEVICEADDED:
        // SDL decided which joysticks present at start are game controllers before our mappings
        // were loaded; asking again here catches the ones those mappings add.
        if (sdl_->IsGameController(event.jdevice.which)) added(event.jdevice.which);
        else joystickAdded(event.jdevice.which);
        return;
    case SDL_JOYDEVICEREMOVED: joystickRemoved(event.jdevice.which); return;
    case SDL_JOYAXISMOTION:
        if (joysticks_.contains(event.jaxis.which))
            listener_->joystickAxis(event.jaxis.which, event.jaxis.axis, event.jaxis.value, stampOf(event.common));
        return;
    case SDL_JOYHATMOTION:
        if (joysticks_.contains(event.jhat.which))
            listener_->joystickHat(event.jhat.which, event.jhat.hat, event.jhat.value, stampOf(event.common));
        return;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        if (joysticks_.contains(event.jbutton.which))
            listener_->joystickButton(event.jbutton.which, event.jbutton.button, event.jbutton.state == SDL_PRESSED,
                                      stampOf(event.common));
        return;
    case SDL_CONTROLLERDEVICEREMOVED: removed(event.cdevice.which); return;
    case SDL_CONTROLLERAXISMOTION:
        if (pads_.contains(event.caxis.which) && event.caxis.axis < padAxisCount)
            listener_->axisMoved(event.caxis.which, static_cast<PadAxis>(event.caxis.axis), event.caxis.value,
                                 stampOf(event.common));
        return;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (pads_.contains(event.cbutton.which) && event.cbutton.button < padButtonCount)
            listener_->buttonChanged(event.cbutton.which, static_cast<PadButton>(event.cbutton.button),
                                     event.cbutton.state == SDL_PRESSED, stampOf(event.common));
        return;
    case SDL_CONTROLLERTOUCHPADDOWN:
    case SDL_CONTROLLERTOUCHPADMOTION:
    case SDL_CONTROLLERTOUCHPADUP: {
        const auto& t = event.ctouchpad;
        if (!pads_.contains(t.which) || t.touchpad != 0) return;
        const auto phase = event.type == SDL_CONTROLLERTOUCHPADDOWN ? TouchPhase::down
                           : event.type == SDL_CONTROLLERTOUCHPADUP ? TouchPhase::up
                                                                    : TouchPhase::motion;
        listener_->touched(t.which, t.finger, phase, t.x, t.y, stampOf(event.common));
        return;
    }
    case SDL_CONTROLLERSENSORUPDATE: {
        const auto& s = event.csensor;
        if (!pads_.contains(s.which)) return;
        if (s.sensor != SDL_SENSOR_ACCEL && s.sensor != SDL_SENSOR_GYRO) return;
        listener_->sensorRead(s.which, s.sensor == SDL_SENSOR_ACCEL ? Sensor::accelerometer : Sensor::gyroscope,
                              {s.data[0], s.data[1], s.data[2]}, sensorStamp(event));
        return;
    }
    default: return;
    }
}

void SDLBackend::added(int deviceIndex) {
    SDL_GameController* controller = sdl_->GameControllerOpen(deviceIndex);
    if (!controller) return;
    const int instance = sdl_->JoystickInstanceID(sdl_->GameControllerGetJoystick(controller));
    if (instance < 0 || pads_.contains(instance)) {
        // Reported twice (SDL does so for controllers present at start): open once only.
        sdl_->GameControllerClose(controller);
        return;
    }
    const auto description = describe(instance, controller);
    pads_[instance] = Pad{controller, description.rumble, description.triggerRumble, {}, std::nullopt};
    listener_->controllerAdded(description);
}

void SDLBackend::removed(int instance) {
    const auto it = pads_.find(instance);
    if (it == pads_.end()) return;
    sdl_->GameControllerClose(it->second.controller);
    pads_.erase(it);
    sensorOffsets_.erase(instance);
    listener_->controllerRemoved(instance);
}

void SDLBackend::joystickAdded(int deviceIndex) {
    SDL_Joystick* joystick = sdl_->JoystickOpen(deviceIndex);
    if (!joystick) {
        qCWarning(logSDL, "Couldn't open joystick %d: %s", deviceIndex, sdl_->GetError());
        return;
    }
    const int instance = sdl_->JoystickInstanceID(joystick);
    if (instance < 0 || joysticks_.contains(instance) || pads_.contains(instance)) {
        sdl_->JoystickClose(joystick);
        return;
    }
    joysticks_[instance] = joystick;
    listener_->joystickAdded(describe(instance, joystick));
}

void SDLBackend::joystickRemoved(int instance) {
    const auto it = joysticks_.find(instance);
    if (it == joysticks_.end()) return;
    sdl_->JoystickClose(it->second);
    joysticks_.erase(it);
    listener_->joystickRemoved(instance);
}

JoystickDescription SDLBackend::describe(int instance, SDL_Joystick* joystick) const {
    JoystickDescription d;
    d.instance = instance;
    d.name = nonEmptyText(sdl_->JoystickName(joystick)).value_or("Joystick");
    readIdentity(*sdl_, d, joystick);
    d.path = nonEmptyText(sdl_->JoystickPath(joystick));
    if (d.path) d.hidraw = PowerSupplyBattery::hidrawNode(*d.path);
    const int axes = std::max(0, sdl_->JoystickNumAxes(joystick));
    d.axes = RorozErurEvo::JoystickLayout::numberedAxes(axes);
    // SDL numbers an event node's axes in the order of their codes: the codes name them.
    if (const auto codes = d.path ? EvdevAxes::codes(*d.path) : std::nullopt;
        codes && static_cast<int>(codes->size()) == axes)
        for (int i = 0; i < axes; ++i) d.axes[i] = RorozErurEvo::JoystickLayout::usageOfAbsCode((*codes)[i]);
    d.hats = std::max(0, sdl_->JoystickNumHats(joystick));
    d.buttons = std::max(0, sdl_->JoystickNumButtons(joystick));
    return d;
}

std::optional<JoystickState> SDLBackend::joystickState(int instance) {
    const auto it = joysticks_.find(instance);
    if (it == joysticks_.end()) return std::nullopt;
    SDL_Joystick* j = it->second;
    JoystickState s;
    for (int a = 0; a < sdl_->JoystickNumAxes(j); ++a) s.axes.push_back(sdl_->JoystickGetAxis(j, a));
    for (int h = 0; h < sdl_->JoystickNumHats(j); ++h) s.hats.push_back(sdl_->JoystickGetHat(j, h));
    for (int b = 0; b < sdl_->JoystickNumButtons(j); ++b) s.buttons.push_back(sdl_->JoystickGetButton(j, b) != 0);
    return s;
}

ControllerDescription SDLBackend::describe(int instance, SDL_GameController* controller) const {
    ControllerDescription d;
    d.instance = instance;
    d.name = nonEmptyText(sdl_->GameControllerName(controller)).value_or("Game controller");
    d.type = padType(sdl_->GameControllerGetType(controller));
    // What SDL's game-controller calls for these answer: the joystick's own.
    readIdentity(*sdl_, d, sdl_->GameControllerGetJoystick(controller));
    d.path = nonEmptyText(sdl_->GameControllerPath(controller));
    if (d.path) {
        d.hidraw = PowerSupplyBattery::hidrawNode(*d.path);
        d.powerSupply = PowerSupplyBattery::locate(*d.path);
    }
    for (std::size_t a = 0; a < padAxisCount; ++a)
        d.axes.set(a, sdl_->GameControllerHasAxis(controller, static_cast<SDL_GameControllerAxis>(a)) == SDL_TRUE);
    for (std::size_t b = 0; b < padButtonCount; ++b)
        d.buttons.set(b, sdl_->GameControllerHasButton(controller, static_cast<SDL_GameControllerButton>(b)) == SDL_TRUE);
    if (sdl_->GameControllerGetNumTouchpads(controller) > 0)
        d.fingers = std::max(0, sdl_->GameControllerGetNumTouchpadFingers(controller, 0));
    d.accelerometer = sdl_->GameControllerHasSensor(controller, SDL_SENSOR_ACCEL) == SDL_TRUE;
    d.gyroscope = sdl_->GameControllerHasSensor(controller, SDL_SENSOR_GYRO) == SDL_TRUE;
    d.rumble = sdl_->GameControllerHasRumble(controller) == SDL_TRUE;
    d.triggerRumble = sdl_->GameControllerHasRumbleTriggers(controller) == SDL_TRUE;
    d.light = sdl_->GameControllerHasLED(controller) == SDL_TRUE;
    d.analogTriggers = analogTriggers(*sdl_, controller, d.type);
    return d;
}

std::optional<ControllerState> SDLBackend::state(int instance) {
    SDL_GameController* c = controller(instance);
    if (!c) return std::nullopt;
    ControllerState s;
    for (std::size_t a = 0; a < padAxisCount; ++a)
        s.axes[a] = sdl_->GameControllerGetAxis(c, static_cast<SDL_GameControllerAxis>(a));
    for (std::size_t b = 0; b < padButtonCount; ++b)
        s.buttons.set(b, sdl_->GameControllerGetButton(c, static_cast<SDL_GameControllerButton>(b)) != 0);
    if (sdl_->GameControllerGetNumTouchpads(c) > 0) {
        const int fingers = sdl_->GameControllerGetNumTouchpadFingers(c, 0);
        for (int f = 0; f < fingers; ++f) {
            Uint8 down = 0;
            FingerState finger;
            float pressure = 0;
            if (sdl_->GameControllerGetTouchpadFinger(c, 0, f, &down, &finger.x, &finger.y, &pressure) != 0) break;
            finger.down = down != 0;
            s.fingers.push_back(finger);
        }
    }
    return s;
}

void SDLBackend::withPad(int instance, std::function<void(Pad&)> command) {
    post([this, instance, command = std::move(command)] {
        const auto it = pads_.find(instance);
        if (it != pads_.end()) command(it->second);
    });
}

void SDLBackend::sendRumble(Pad& pad, double now) {
    if (pad.rumble) {
        const auto h = pad.mixer.handles(now);
        sdl_->GameControllerRumble(pad.controller, h.first, h.second, h.ms);
    }
    if (pad.triggerRumble) {
        const auto t = pad.mixer.triggers(now);
        sdl_->GameControllerRumbleTriggers(pad.controller, t.first, t.second, t.ms);
    }
    pad.nextChange = pad.mixer.nextChange(now);
}

void SDLBackend::endRumbles(double now) {
    for (auto& [instance, pad] : pads_)
        if (pad.nextChange && now >= *pad.nextChange) sendRumble(pad, now);
}

void SDLBackend::rumble(int instance, RumbleMixer::Motor motor, float strength, double seconds) {
    withPad(instance, [this, motor, strength, seconds](Pad& pad) {
        const double now = clock_.now();
        pad.mixer.start(motor, strength, seconds, now);
        sendRumble(pad, now);
    });
}

void SDLBackend::stopRumble(int instance) {
    withPad(instance, [this](Pad& pad) {
        pad.mixer.stop();
        sendRumble(pad, clock_.now());
    });
}

void SDLBackend::setLight(int instance, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    withPad(instance, [this, red, green, blue](Pad& pad) { sdl_->GameControllerSetLED(pad.controller, red, green, blue); });
}

void SDLBackend::setPlayerIndex(int instance, int index) {
    withPad(instance, [this, index](Pad& pad) { sdl_->GameControllerSetPlayerIndex(pad.controller, index); });
}

void SDLBackend::sendEffect(int instance, std::vector<std::uint8_t> packet) {
    withPad(instance, [this, packet = std::move(packet)](Pad& pad) {
        sdl_->GameControllerSendEffect(pad.controller, packet.data(), static_cast<int>(packet.size()));
    });
}

void SDLBackend::setSensorsEnabled(int instance, bool enabled) {
    withPad(instance, [this, enabled](Pad& pad) {
        for (auto sensor : {SDL_SENSOR_ACCEL, SDL_SENSOR_GYRO})
            if (sdl_->GameControllerHasSensor(pad.controller, sensor))
                sdl_->GameControllerSetSensorEnabled(pad.controller, sensor, enabled ? SDL_TRUE : SDL_FALSE);
    });
}

} // namespace Tessarine
