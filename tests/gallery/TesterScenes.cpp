// Scenes of the keyboard tester's drawn keyboard and the mouse tester's test area.
#include "Gallery.h"
#include "app/devices/Clock.h"
#include "app/model/EventClock.h"
#include "app/model/MouseTester.h"
#include "app/views/testers/KeyboardDrawing.h"
#include "app/views/testers/MousePad.h"

namespace Tessarine {
namespace {

using Kind = RorozErurEvo::KeyboardLayout::Kind;

std::unique_ptr<QWidget> keyboard(Kind kind, KeyboardState state) {
    auto view = std::make_unique<KeyboardDrawing>();
    view->setState(kind, std::move(state));
    return view;
}

// A few letters tested, A and S held, Return and J chattering (J released, Return held).
KeyboardState typing() { return {{0, 1, 2, 3, 12, 13, 14, 38, 36, 49}, {0, 1, 36}, {38, 36}}; }

std::unique_ptr<QWidget> mousePad() {
    static MouseTester tester;
    static EventClock eventClock;
    return std::make_unique<MousePad>(tester, eventClock, Clock::system());
}

const bool testerScenesAdded = Gallery::add({
    {"keyboard-ansi", {900, 0}, [] { return keyboard(Kind::ansi, typing()); }},
    {"keyboard-iso", {900, 0}, [] { return keyboard(Kind::iso, {{10, 50}, {}, {50}}); }},
    {"keyboard-small", {420, 0}, [] { return keyboard(Kind::ansi, typing()); }},
    {"mouse-pad", {560, 360}, mousePad},
});

} // namespace
} // namespace Tessarine
