#pragma once
// What "Close Window" does: close the active window as its close button would, or let the
// shared close guard decide.
#include <functional>

namespace Velloway {

struct CloseWindowAction {
    std::function<void()> run;

    // Closes the application's active window, when there is one; the window may still refuse.
    static CloseWindowAction performClose();
    // Asks the shared CloseGuard (closeKeyWindow).
    static CloseWindowAction guarded();
};

} // namespace Velloway
