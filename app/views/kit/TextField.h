#pragma once
// A one-line text field that a screen reader announces by the title shown beside it; tests
// find it by its object name.
class QLineEdit;
class QString;

namespace Tessarine {

QLineEdit* textField(const QString& title, const QString& objectName);

} // namespace Tessarine
