#pragma once
// A window made of a plain QWidget (the settings, the apps catalogue) reaches assistive
// technology as an anonymous filler: Qt gives a bare QWidget that role whether it is a window or
// not. Marked here, it is a window, named by its title as the main window is.
class QWidget;

namespace Tessarine::AccessibleWindow {

// Makes the top-level `window` a window for assistive technology.
void mark(QWidget& window);

} // namespace Tessarine::AccessibleWindow
