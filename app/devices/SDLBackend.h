#pragma once
// The system's game controllers through SDL's game-controller API, on a thread of its own.
//
// SDL is initialised, pumped and shut down on that thread only ("Tessarine.SDL"), without its
// video subsystem and without its signal handlers. The loop, about once a millisecond: run the
// posted commands, drain SDL's events into the listener, end the rumbles whose time is up, then
// sleep until the next round or until a command or stop() wakes it. Controllers are kept by
// instance id; a command for an id that is gone does nothing.
//
// SDL itself is loaded by that thread when it starts (SdlLibrary.h), so a missing or too old
// library fails the way SDL_Init failing does: error() and the listener tell why, and the
// program's other devices go on as before.
//
// Life: idle → running (start) → stopped (stop, or SDL failed to start: error() tells why).
// stop() joins the thread after it has closed every controller and shut SDL down; a thread that
// does not end within stopWait (blocked inside SDL by a device or a file) is left behind
// (WorkerThread.h), so that Quit never waits on it.
#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/base/Clock.h"
#include "app/devices/ControllerBackend.h"
#include "app/devices/SdlLibrary.h"
#include "app/base/ThreadSafety.h"
#include "app/base/WorkerThread.h"

namespace Tessarine {

class SDLBackend final : public ControllerBackend {
public:
    static constexpr const char* threadName = "Tessarine.SDL";
    // Longest sleep between two rounds of the loop, milliseconds.
    static constexpr int pumpIntervalMs = 1;
    // Furthest a sensor's own clock may run from SDL's event time before it is set again, seconds.
    static constexpr double sensorClockDrift = 0.05;
    // Longest wait for the thread to end when stopping; it takes milliseconds unless it is stuck.
    static constexpr std::chrono::milliseconds stopWait{1500};

    // Largest device list read from a file that SDL's ignore hints name as "@file", bytes.
    static constexpr std::uintmax_t maxDeviceListBytes = 1024 * 1024;

    // `mappingFiles`: game-controller mapping files (ControllerMappings.h), least important
    // first, loaded when SDL starts after the file SDL_GAMECONTROLLERCONFIG_FILE names; a file
    // that is not there is no error, one that is refused is told to the listener.
    // `library`: the SDL library to load (SdlLibrary::load).
    explicit SDLBackend(std::vector<std::string> mappingFiles = {}, const Clock& clock = Clock::system(),
                        std::string library = SdlLibrary::defaultFile);
    ~SDLBackend() override;
    SDLBackend(const SDLBackend&) = delete;
    SDLBackend& operator=(const SDLBackend&) = delete;

    void start(Listener& listener) override;
    void stop() override;
    void post(std::function<void()> work) override;
    std::optional<ControllerState> state(int instance) override;
    std::optional<JoystickState> joystickState(int instance) override;

    void rumble(int instance, RorozErurEvo::RumbleMixer::Motor motor, float strength, double seconds) override;
    void stopRumble(int instance) override;
    void setLight(int instance, std::uint8_t red, std::uint8_t green, std::uint8_t blue) override;
    void setPlayerIndex(int instance, int index) override;
    void sendEffect(int instance, std::vector<std::uint8_t> packet) override;
    void setSensorsEnabled(int instance, bool enabled) override;

    // Runs `work` on the SDL thread and waits until it has run; false when the thread is not
    // running (then `work` does not run). Never call it from the SDL thread itself.
    bool invoke(std::function<void()> work);
    // Why SDL could not be started; empty otherwise.
    std::string error() const;

    // The SDL controller of an instance; SDL thread only; null when it is gone.
    SDL_GameController* controller(int instance) const;

private:
    struct Pad {
        SDL_GameController* controller = nullptr;
        bool rumble = false;
        bool triggerRumble = false;
        RorozErurEvo::RumbleMixer mixer;
        std::optional<double> nextChange; // uptime seconds at which the motors change next
    };

    void run();
    // SDL could not be loaded or started: records why, drops the posted commands, and tells the
    // log and the listener.
    void failed(const std::string& reason);
    // Takes over the files SDL would open itself while it starts (see run()); returns the
    // mapping file the environment names.
    std::optional<std::string> takeEnvironmentFiles();
    void loadMappings(std::vector<std::string> files);
    // Logs a refused file and tells the listener.
    void refused(const std::string& what, const std::string& path, const std::string& cause);
    bool runPosted();
    void handle(const SDL_Event& event);
    void added(int deviceIndex);
    void removed(int instance);
    ControllerDescription describe(int instance, SDL_GameController* controller) const;
    // Joysticks that are no game controllers.
    void joystickAdded(int deviceIndex);
    void joystickRemoved(int instance);
    JoystickDescription describe(int instance, SDL_Joystick* joystick) const;
    // An event's time on our clock from SDL's millisecond stamp. Events of one millisecond get
    // one time: SDL stamps each value of a device's report as an event of its own, and a report
    // rate must count the report once.
    double stampOf(const SDL_CommonEvent& event);
    // A sensor reading's time from the sensor's own microsecond stamps, when it gives them, kept
    // within sensorClockDrift of SDL's millisecond time of the event.
    double sensorStamp(const SDL_Event& event);
    void sendRumble(Pad& pad, double now);
    void endRumbles(double now);
    void shutDown();
    // Runs `command` on the SDL thread with the instance's pad, when it is still there.
    void withPad(int instance, std::function<void(Pad&)> command);

    const std::vector<std::string> mappingFiles_;
    const Clock& clock_;
    const std::string library_;
    WorkerThread thread_;

    mutable Mutex lock_;
    std::condition_variable_any wake_;
    std::deque<std::function<void()>> posted_ GUARDED_BY(lock_);
    bool accepting_ GUARDED_BY(lock_) = false; // posts are taken
    bool started_ GUARDED_BY(lock_) = false;
    bool stopping_ GUARDED_BY(lock_) = false;
    std::string error_ GUARDED_BY(lock_);

    // SDL thread only.
    std::optional<SdlLibrary> sdl_; // set once loaded, before anything else on the thread runs
    Listener* listener_ = nullptr;
    std::map<int, Pad> pads_;
    std::map<int, SDL_Joystick*> joysticks_;
    std::map<int, double> sensorOffsets_; // per controller: uptime minus the sensor's clock, seconds
    Uint32 lastTicks_ = 0;                // SDL's stamp of the latest event stamped, its time,
    double lastStamp_ = 0;                // and when it was stamped
    double lastStampedAt_ = 0;
};

} // namespace Tessarine
