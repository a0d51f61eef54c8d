#pragma once
// The menu items every window of an application shares: "Close Window" (Ctrl+W) just before
// the File menu's save items, and a Help menu whose content is "<app> Help" and the
// application's extra items. Without a help the Help menu is left as it is.
#include <QList>

#include <optional>

#include "Velloway/CloseWindowAction.h"
#include "Velloway/MenuHelp.h"

class QAction;
class QMenu;

namespace Velloway {

class MenuBaseline {
public:
    MenuBaseline(CloseWindowAction close, std::optional<MenuHelp> help, QList<QAction*> helpItems = {});

    // Inserts "Close Window" into `file` before `saveGroup` (at the end without one) and, when a
    // help is set, replaces the content of `helpMenu`. Returns the Close Window action.
    QAction* apply(QMenu& file, QAction* saveGroup, QMenu& helpMenu) const;

private:
    CloseWindowAction close_;
    std::optional<MenuHelp> help_;
    QList<QAction*> helpItems_;
};

} // namespace Velloway
