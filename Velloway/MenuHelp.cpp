#include "Velloway/MenuHelp.h"

#include <QDesktopServices>

namespace Velloway {

MenuHelp MenuHelp::page(const QUrl& address, const QString& appName, std::function<bool(const QUrl&)> open) {
    if (!open) open = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return {appName, std::nullopt, [address, open] { open(address); }};
}

MenuHelp MenuHelp::run(const QString& appName, std::optional<QKeySequence> shortcut, std::function<void()> action) {
    return {appName, std::move(shortcut), std::move(action)};
}

} // namespace Velloway
