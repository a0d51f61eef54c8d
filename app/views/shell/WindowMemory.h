#pragma once
// A window's frames are painted into memory it shares with the window system, and the first
// write to each page of it stops the painting while the system finds and clears a page: a
// quarter of the main window's first frame. Made ahead at the window's size, that memory is
// mapped in on a worker while the window is shown and its first events come, and the first
// frame paints into pages that are already there.
class QWidget;

namespace Tessarine {
class BackgroundWorker;
}

namespace Tessarine::WindowMemory {

// Creates `window`'s native window and its backing store at the window's size now, and has the
// store's pages mapped in on `worker`, which changes none of their bytes. On X11 only: elsewhere,
// in a store that is not an image in memory, or on a system that cannot map pages ahead, the
// first frame maps them as it paints. Main thread, before the window is shown.
void prepare(QWidget& window, BackgroundWorker& worker);

} // namespace Tessarine::WindowMemory
