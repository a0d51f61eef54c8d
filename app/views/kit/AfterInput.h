#pragma once
// Work for a later turn of the event loop that lets waiting input go first.
//
// A queued call runs in the same pass as every other queued call and the repaints they ask for,
// before the loop reads the window system again: a key, a click or the window manager's ping
// that came meanwhile waits behind all of it. A zero timer's turn comes after the window
// system's waiting events, so input is answered before the work rather than behind it.
#include <functional>

class QObject;

namespace Tessarine::AfterInput {

// Runs `work` once on a turn after the input waiting now, unless `context` is gone by then.
// Call on `context`'s thread.
void run(QObject* context, std::function<void()> work);

} // namespace Tessarine::AfterInput
