#pragma once
// Message boxes that read well under any window manager. Qt sizes a message box to its text, and
// a short title with a longer message came out about 170 pixels wide: the message wrapped to four
// lines and the window manager cut the title. Each box here is at least wide enough for its title
// in the title bar and for a message of a line or two.
#include <QString>

class QMessageBox;
class QPushButton;
class QWidget;

namespace Tessarine::MessageBoxes {

// Pixels: the narrowest box, and the room the title bar keeps beside its title for its buttons.
constexpr int minimumWidth = 420;
constexpr int titleBarRoom = 160;

// Makes `box` at least as wide as its title and the minimum need.
void widen(QMessageBox& box);

// A warning that asks before something can't be undone: titled and headed `title`, with
// `message` under it, the destructive `action` and Cancel, the default. It deletes itself when
// closed; the caller connects `finished` and compares clickedButton() with `*actionButton`.
QMessageBox* confirmation(QWidget* parent, const QString& title, const QString& message,
                          const QString& action, QPushButton** actionButton);

} // namespace Tessarine::MessageBoxes
