#pragma once
// The update check's alerts as dialogs over the main window.
#include <QPointer>
#include <QWidget>

#include "app/model/Updater.h"

namespace Tessarine {

class UpdateAlerts final : public UpdatePresenter {
public:
    explicit UpdateAlerts(QWidget* parent) : parent_(parent) {}
    void showAlert(const QString& title, const QString& message) override;
    void offerUpdate(const QString& title, const QString& message, const QUrl& link) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace Tessarine
