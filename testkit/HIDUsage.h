#pragma once
// Names and classes of USB HID usages, as the raw HID source shows and sorts them.
// Values are those of the USB HID Usage Tables.
#include <string>

namespace RorozErurEvo::HIDUsage {

// Usage pages.
inline constexpr int genericDesktop = 1;
inline constexpr int simulation = 2;
inline constexpr int vr = 3;
inline constexpr int sport = 4;
inline constexpr int game = 5;
inline constexpr int genericDevice = 6;
inline constexpr int keyboard = 7;
inline constexpr int led = 8;
inline constexpr int button = 9;
inline constexpr int consumer = 12;
inline constexpr int digitizer = 13;

// Usages of the generic desktop page.
inline constexpr int pointer = 1;
inline constexpr int mouse = 2;
inline constexpr int joystick = 4;
inline constexpr int gamePad = 5;
inline constexpr int keyboardUsage = 6;
inline constexpr int keypad = 7;
inline constexpr int multiAxis = 8;
inline constexpr int x = 48;
inline constexpr int y = 49;
inline constexpr int z = 50;
inline constexpr int rx = 51;
inline constexpr int ry = 52;
inline constexpr int rz = 53;
inline constexpr int slider = 54;
inline constexpr int dial = 55;
inline constexpr int wheel = 56;
inline constexpr int hatSwitch = 57;

// True for the keyboard/keypad page and for generic desktop pointers, mice, keyboards and keypads.
bool isKeyboardOrMouse(int page, int usage);
// True for the pages whose elements are listed: desktop, simulation, VR, sport, game, generic device,
// button and consumer.
bool isShown(int page);
// The display name of a usage; unknown usages fall back to "<page word> 3A" or "Page FF usage 01".
std::string name(int page, int usage);

} // namespace RorozErurEvo::HIDUsage
