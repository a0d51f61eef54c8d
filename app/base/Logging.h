#pragma once
// The application's logging categories, one per area. Enable the debug messages of one with
// QT_LOGGING_RULES="tessarine.devices.hid.debug=true"; warnings are on by default.
#include <QLoggingCategory>

namespace Tessarine {

Q_DECLARE_LOGGING_CATEGORY(logSDL)     // "tessarine.devices.sdl": game controllers through SDL
Q_DECLARE_LOGGING_CATEGORY(logHID)     // "tessarine.devices.hid": udev and hidraw devices
Q_DECLARE_LOGGING_CATEGORY(logModel)   // "tessarine.model": sessions, runners, settings
Q_DECLARE_LOGGING_CATEGORY(logViews)   // "tessarine.views": windows and dialogs

} // namespace Tessarine
