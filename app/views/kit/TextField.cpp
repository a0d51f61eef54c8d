#include "app/views/kit/TextField.h"

#include <QAction>
#include <QLineEdit>
#include <QToolButton>

namespace Tessarine {

QLineEdit* textField(const QString& title, const QString& objectName) {
    auto* field = new QLineEdit;
    field->setObjectName(objectName);
    field->setAccessibleName(title);
    return field;
}

QLineEdit* clearableTextField(const QString& title, const QString& objectName, const QString& clearName) {
    QLineEdit* field = textField(title, objectName);
    field->setClearButtonEnabled(true);
    // The line edit makes the clear button as an action of its own and a tool button for it,
    // neither with a text: name both, so the button is never an unnamed push button.
    for (QAction* action : field->actions()) {
        action->setText(clearName);
        action->setToolTip(clearName);
    }
    for (auto* button : field->findChildren<QToolButton*>()) {
        button->setAccessibleName(clearName);
        button->setObjectName(objectName + QStringLiteral("-clear"));
    }
    return field;
}

} // namespace Tessarine
