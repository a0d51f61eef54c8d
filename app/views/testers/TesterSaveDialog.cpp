#include "app/views/testers/TesterSaveDialog.h"

#include <QLineEdit>

namespace Tessarine {

TesterSaveDialog::TesterSaveDialog(const QString& tester, QWidget* parent)
    : FieldAlert({QStringLiteral("tester-unit"), QStringLiteral("Save Session"), tester,
                  QStringLiteral("Unit (serial or ticket #)"), tester},
                 parent) {}

TesterSaveDialog* TesterSaveDialog::ask(QWidget* parent, const std::string& tester,
                                        std::function<void(const std::string& unit)> save) {
    auto* dialog = new TesterSaveDialog(QString::fromStdString(tester), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, dialog,
            [dialog, save = std::move(save)] { save(dialog->unitField()->text().toStdString()); });
    dialog->open();
    return dialog;
}

} // namespace Tessarine
