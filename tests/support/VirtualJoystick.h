#pragma once
// Descriptions of SDL's virtual joysticks, which tests attach to a running SDL backend
// (SDL_JoystickAttachVirtualEx on its thread) to play a device SDL reads as a real one.
#include <SDL.h>

namespace Tessarine::VirtualJoystick {

// A joystick of `type` with numbered inputs; ids of 0 are SDL's "unknown". SDL keeps `name` for
// as long as the joystick is attached.
inline SDL_VirtualJoystickDesc describe(SDL_JoystickType type, const char* name, int axes, int hats,
                                        int buttons, Uint16 vendor = 0, Uint16 product = 0) {
    SDL_VirtualJoystickDesc d;
    SDL_zero(d);
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = static_cast<Uint16>(type);
    d.naxes = static_cast<Uint16>(axes);
    d.nhats = static_cast<Uint16>(hats);
    d.nbuttons = static_cast<Uint16>(buttons);
    d.vendor_id = vendor;
    d.product_id = product;
    d.name = name;
    return d;
}

// A game controller with every axis and button SDL's controller layer knows.
inline SDL_VirtualJoystickDesc pad(const char* name, Uint16 vendor = 0, Uint16 product = 0) {
    return describe(SDL_JOYSTICK_TYPE_GAMECONTROLLER, name, SDL_CONTROLLER_AXIS_MAX, 0,
                    SDL_CONTROLLER_BUTTON_MAX, vendor, product);
}

} // namespace Tessarine::VirtualJoystick
