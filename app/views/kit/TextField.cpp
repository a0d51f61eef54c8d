#include "app/views/kit/TextField.h"

#include <QLineEdit>

namespace Tessarine {

QLineEdit* textField(const QString& title, const QString& objectName) {
    auto* field = new QLineEdit;
    field->setObjectName(objectName);
    field->setAccessibleName(title);
    return field;
}

} // namespace Tessarine
