#pragma once
// A one-line text field that a screen reader announces by the title shown beside it; tests
// find it by its object name.
class QLineEdit;
class QString;

namespace Tessarine {

QLineEdit* textField(const QString& title, const QString& objectName);
// A field whose clear button, shown once text is typed, a screen reader names `clearName`.
QLineEdit* clearableTextField(const QString& title, const QString& objectName, const QString& clearName);

} // namespace Tessarine
