#include "app/views/shell/UpdateAlerts.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

#include "app/views/kit/MessageBoxes.h"

namespace Tessarine {

void UpdateAlerts::showAlert(const QString& title, const QString& message) {
    QMessageBox box(QMessageBox::Information, title, title, QMessageBox::Ok, parent_);
    box.setInformativeText(message);
    MessageBoxes::widen(box);
    box.exec();
}

void UpdateAlerts::offerUpdate(const QString& title, const QString& message, const QUrl& link) {
    QMessageBox box(QMessageBox::Information, title, title, QMessageBox::NoButton, parent_);
    box.setInformativeText(message);
    QPushButton* download = box.addButton(QStringLiteral("Download"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
    box.setDefaultButton(download);
    MessageBoxes::widen(box);
    box.exec();
    if (box.clickedButton() == download) QDesktopServices::openUrl(link);
}

} // namespace Tessarine
