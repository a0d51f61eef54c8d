#pragma once
// SDL's functions as the controller thread calls them: looked up in libSDL2 when that thread
// starts SDL, not bound by the dynamic loader when the program starts.
//
// Linked, SDL and the thirty-odd libraries it needs (sound, Wayland, DRM, X extensions) are
// mapped and relocated before main, for a window that shows before SDL is ever started and uses
// only its joystick part. Loaded by its soname, the SDL already in the process is the one found
// (a test program links it to make virtual joysticks), so both sides see the same joysticks.
// A library once loaded stays loaded: SDL keeps threads and hooks of its own, and a controller
// thread left behind by stop() may still be inside it.
//
// SDL's own headers give each pointer its function's exact type; nothing here links SDL.
#include <SDL.h>

#include <optional>
#include <string>

// Every SDL function the application calls, without the "SDL_" of its name.
#define TESSARINE_SDL_FUNCTIONS(X)                                                                                     \
    X(GameControllerAddMappingsFromRW)                                                                                 \
    X(GameControllerClose)                                                                                             \
    X(GameControllerEventState)                                                                                        \
    X(GameControllerGetAxis)                                                                                           \
    X(GameControllerGetBindForAxis)                                                                                    \
    X(GameControllerGetButton)                                                                                         \
    X(GameControllerGetJoystick)                                                                                       \
    X(GameControllerGetNumTouchpadFingers)                                                                             \
    X(GameControllerGetNumTouchpads)                                                                                   \
    X(GameControllerGetTouchpadFinger)                                                                                 \
    X(GameControllerGetType)                                                                                           \
    X(GameControllerHasAxis)                                                                                           \
    X(GameControllerHasButton)                                                                                         \
    X(GameControllerHasLED)                                                                                            \
    X(GameControllerHasRumble)                                                                                         \
    X(GameControllerHasRumbleTriggers)                                                                                 \
    X(GameControllerHasSensor)                                                                                         \
    X(GameControllerName)                                                                                              \
    X(GameControllerOpen)                                                                                              \
    X(GameControllerPath)                                                                                              \
    X(GameControllerRumble)                                                                                            \
    X(GameControllerRumbleTriggers)                                                                                    \
    X(GameControllerSendEffect)                                                                                        \
    X(GameControllerSetLED)                                                                                            \
    X(GameControllerSetPlayerIndex)                                                                                    \
    X(GameControllerSetSensorEnabled)                                                                                  \
    X(GetError)                                                                                                        \
    X(GetTicks)                                                                                                        \
    X(Init)                                                                                                            \
    X(IsGameController)                                                                                                \
    X(JoystickClose)                                                                                                   \
    X(JoystickEventState)                                                                                              \
    X(JoystickGetAxis)                                                                                                 \
    X(JoystickGetButton)                                                                                               \
    X(JoystickGetFirmwareVersion)                                                                                      \
    X(JoystickGetGUID)                                                                                                 \
    X(JoystickGetGUIDString)                                                                                           \
    X(JoystickGetHat)                                                                                                  \
    X(JoystickGetProduct)                                                                                              \
    X(JoystickGetSerial)                                                                                               \
    X(JoystickGetVendor)                                                                                               \
    X(JoystickInstanceID)                                                                                              \
    X(JoystickName)                                                                                                    \
    X(JoystickNumAxes)                                                                                                 \
    X(JoystickNumButtons)                                                                                              \
    X(JoystickNumHats)                                                                                                 \
    X(JoystickOpen)                                                                                                    \
    X(JoystickPath)                                                                                                    \
    X(PollEvent)                                                                                                       \
    X(Quit)                                                                                                            \
    X(RWFromConstMem)                                                                                                  \
    X(SetHint)                                                                                                         \
    X(SetHintWithPriority)                                                                                             \
    X(getenv)

namespace Tessarine {

struct SdlLibrary {
    // The runtime package's soname: the one a program linked against SDL 2 would load.
    static constexpr const char* defaultFile = "libSDL2-2.0.so.0";

#define TESSARINE_SDL_POINTER(name) decltype(&::SDL_##name) name = nullptr;
    TESSARINE_SDL_FUNCTIONS(TESSARINE_SDL_POINTER)
#undef TESSARINE_SDL_POINTER

    struct Loaded;
    // Loads `file` (a name the dynamic loader looks up, or a path) and every function above.
    // Any thread; SDL itself is not started.
    static Loaded load(const std::string& file = defaultFile);
};

struct SdlLibrary::Loaded {
    std::optional<SdlLibrary> library;
    // Without a library: what could not be loaded and the loader's reason, for the log and the
    // user ("the SDL library libSDL2-2.0.so.0 couldn't be loaded: …").
    std::string error;
};

} // namespace Tessarine
