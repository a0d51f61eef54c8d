#include "app/base/Logging.h"

namespace Tessarine {

Q_LOGGING_CATEGORY(logSDL, "tessarine.devices.sdl", QtInfoMsg)
Q_LOGGING_CATEGORY(logHID, "tessarine.devices.hid", QtInfoMsg)
Q_LOGGING_CATEGORY(logModel, "tessarine.model", QtInfoMsg)
Q_LOGGING_CATEGORY(logViews, "tessarine.views", QtInfoMsg)

} // namespace Tessarine
