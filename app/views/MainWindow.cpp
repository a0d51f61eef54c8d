#include "app/views/MainWindow.h"

#include "app/model/AppModel.h"
#include "app/model/Updater.h"
#include "app/model/WebAddresses.h"
#include "app/views/AboutPanel.h"
#include "app/views/AppMenus.h"
#include "app/views/LiveRegion.h"
#include "app/views/MoreApps.h"
#include "app/views/RootView.h"
#include "app/views/SettingsView.h"
#include "app/views/SettingsWindow.h"

namespace Tessarine {

MainWindow::MainWindow(AppModel& model, Destinations destinations, TimerFactory timers)
    : root_(new RootView(model, std::move(destinations), std::move(timers))),
      settings_(std::make_unique<SettingsWindow>(model.defaults(), new SettingsView(model))) {
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Tessarine"));
    root_->setMinimumSize(minimumWidth, minimumHeight);
    setCentralWidget(root_);
    live_ = new LiveRegion(model.announcer(), root_);
    root_->openSettings = [this] { settings_->showWindow(); };
    AppMenus::Hooks hooks;
    hooks.openSettings = [this] { settings_->showWindow(); };
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

} // namespace Tessarine
