#include "app/views/kit/AccessibleLabel.h"

#include <QLabel>
#include <QWidget>

namespace Tessarine::AccessibleLabel {

QLabel* hidden(QWidget& control, const QString& text) {
    // Qt looks for the label among the control's siblings; a control with no parent yet would
    // leave the label nowhere to be found.
    Q_ASSERT(control.parentWidget());
    auto* label = new QLabel(text, control.parentWidget());
    label->setObjectName(QStringLiteral("accessible-label"));
    label->setBuddy(&control);
    label->hide();
    QObject::connect(&control, &QObject::destroyed, label, &QObject::deleteLater);
    return label;
}

} // namespace Tessarine::AccessibleLabel
