#include "app/views/kit/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace Tessarine {

QHBoxLayout* dialogButtons(QDialog* dialog, QPushButton* cancel, QPushButton* confirm) {
    cancel->setAutoDefault(false);
    confirm->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(cancel);
    row->addWidget(confirm);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return row;
}

} // namespace Tessarine
