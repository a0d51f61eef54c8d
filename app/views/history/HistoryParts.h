#pragma once
// Small pieces the session detail, the comparison and the export menu share: buttons and
// pull-downs that show a symbol beside their title, visible section headers inside a menu, and
// text the user can select.
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace Tessarine::HistoryParts {

// A push button with the symbol before its title.
QPushButton* button(const QString& objectName, const QString& title, const QString& symbol);
// Makes `button` a pull-down that opens its menu on a click and shows the symbol and the title.
void menuButton(QToolButton& button, const QString& title, const QString& symbol);
// A header inside a menu that reads like a title and cannot be chosen (some styles draw no text
// for a menu section, so it is an action of its own).
QAction* menuHeader(QMenu& menu, const QString& title);
// A label whose text can be selected and copied, wrapping at the width it is given.
QLabel* selectableText(const QString& text);

} // namespace Tessarine::HistoryParts
