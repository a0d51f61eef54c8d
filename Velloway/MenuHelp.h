#pragma once
// The Help menu's one item: "<app> Help", opening a page in the desktop's browser or running an
// action of the application's own.
#include <QKeySequence>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace Velloway {

struct MenuHelp {
    QString appName;
    std::optional<QKeySequence> shortcut;
    std::function<void()> action;

    // Opens `address` with `open` (the desktop's browser unless a test hands in its own); no shortcut.
    static MenuHelp page(const QUrl& address, const QString& appName,
                         std::function<bool(const QUrl&)> open = {});
    static MenuHelp run(const QString& appName, std::optional<QKeySequence> shortcut, std::function<void()> action);
};

} // namespace Velloway
