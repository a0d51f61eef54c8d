#pragma once
// The bottom row of a small dialog: "Cancel" and the confirming button side by side on the right.
// The confirming button is the default (Return); Cancel, like Escape, rejects the dialog. What
// confirming does is the caller's to connect.
class QDialog;
class QHBoxLayout;
class QPushButton;

namespace Tessarine {

QHBoxLayout* dialogButtons(QDialog* dialog, QPushButton* cancel, QPushButton* confirm);

} // namespace Tessarine
