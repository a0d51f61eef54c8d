#include "app/views/shell/MainWindow.h"

#include "app/model/AppModel.h"
#include "app/model/Updater.h"
#include "app/model/WebAddresses.h"
#include "app/views/shell/AboutPanel.h"
#include "app/views/shell/AppMenus.h"
#include "app/views/shell/LiveRegion.h"
#include "app/views/shell/MoreApps.h"
#include "app/views/shell/RootView.h"
#include "app/views/settings/SettingsView.h"
#include "app/views/settings/SettingsWindow.h"
#include "app/views/kit/WheelGuard.h"

namespace Tessarine {

MainWindow::MainWindow(AppModel& model, Destinations destinations, TimerFactory timers)
    : root_(new RootView(model, std::move(destinations), std::move(timers))), model_(model) {
    // Every window of the application, this one, the settings and those opened later, lets the
    // mouse wheel scroll past the controls it has not been given.
    WheelGuard::install();
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Tessarine"));
    root_->setMinimumSize(minimumWidth, minimumHeight);
    setCentralWidget(root_);
    live_ = new LiveRegion(model.announcer(), root_);
    root_->openSettings = [this] { settings().showWindow(this); };
    AppMenus::Hooks hooks;
    hooks.openSettings = [this] { settings().showWindow(this); };
    hooks.showAbout = [this] { AboutPanel::show(this); };
    hooks.showMoreApps = [] { MoreAppsView::showWindow(); };
    hooks.checkForUpdates = [this] {
        if (updater_) updater_->checkForUpdates();
    };
    hooks.print = [&model](const std::vector<RorozErurEvo::TestSession>& sessions) { model.printReport(sessions); };
    hooks.helpPage = QUrl(QString::fromLatin1(WebAddresses::helpPage));
    menus_ = new AppMenus(model, *this, std::move(hooks));
    resize(defaultWidth, defaultHeight);
}

MainWindow::~MainWindow() = default;

SettingsWindow& MainWindow::settings() const {
    if (!settings_)
        settings_ = std::make_unique<SettingsWindow>(
            model_.defaults(),
            new SettingsView(model_.settings(), model_.library(), model_, model_.announcer(),
                             model_.keyboard(), model_.sessionsFolder()));
    return *settings_;
}

} // namespace Tessarine
