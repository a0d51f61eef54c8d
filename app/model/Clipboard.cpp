#include "app/model/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace Tessarine {

void GuiClipboard::setText(const QString& text) {
    if (!qGuiApp) return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

} // namespace Tessarine
