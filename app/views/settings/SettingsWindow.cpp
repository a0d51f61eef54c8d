#include "app/views/settings/SettingsWindow.h"

#include <QVBoxLayout>

#include "app/model/Preferences.h"
#include "app/views/settings/SettingsView.h"

namespace Tessarine {

SettingsWindow::SettingsWindow(Preferences& defaults, SettingsView* view)
    : QWidget(nullptr), defaults_(defaults), view_(view) {
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QStringLiteral("Settings"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (view_) {
        layout->addWidget(view_);
        view_->setTab(tab());
        connect(view_, &SettingsView::tabChanged, this, &SettingsWindow::setTab);
    }
    setFixedSize(width, height);
}

QString SettingsWindow::tab() const { return defaults_.get(Settings::settingsTab); }

void SettingsWindow::setTab(const QString& tab) { defaults_.set(Settings::settingsTab, tab); }

void SettingsWindow::showWindow() {
    if (view_) view_->setTab(tab());
    show();
    raise();
    activateWindow();
}

} // namespace Tessarine
