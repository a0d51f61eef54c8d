#include "app/report/AppInfo.h"

#include <QCoreApplication>

namespace Tessarine {

AppInfo AppInfo::current() {
    QString version = QCoreApplication::applicationVersion();
    return AppInfo{
        .version = version.isEmpty() ? QStringLiteral("1.0") : version,
        .scopeNote = QStringLiteral("Tessarine measures how the controls respond. It doesn't check battery life or "
                                    "cosmetics, and a wireless soak test reflects only the place and time it ran."),
    };
}

} // namespace Tessarine
