#include "Velloway/MenuBaseline.h"

#include <QAction>
#include <QMenu>

#include "Velloway/MenuLanguage.h"

namespace Velloway {

MenuBaseline::MenuBaseline(CloseWindowAction close, std::optional<MenuHelp> help, QList<QAction*> helpItems)
    : close_(std::move(close)), help_(std::move(help)), helpItems_(std::move(helpItems)) {}

QAction* MenuBaseline::apply(QMenu& file, QAction* saveGroup, QMenu& helpMenu) const {
    auto* closeWindow = new QAction(MenuStrings::closeWindowTitle(), &file);
    closeWindow->setObjectName(QStringLiteral("menu-close-window"));
    closeWindow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    closeWindow->setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(closeWindow, &QAction::triggered, closeWindow, [run = close_.run] {
        if (run) run();
    });
    file.insertAction(saveGroup, closeWindow);

    if (help_) {
        helpMenu.clear();
        auto* item = helpMenu.addAction(MenuStrings::helpTitle(help_->appName));
        item->setObjectName(QStringLiteral("menu-help"));
        if (help_->shortcut) item->setShortcut(*help_->shortcut);
        QObject::connect(item, &QAction::triggered, item, [action = help_->action] {
            if (action) action();
        });
        for (QAction* extra : helpItems_) helpMenu.addAction(extra);
    }
    return closeWindow;
}

} // namespace Velloway
