#include "app/views/MainWindow.h"

#include "app/model/AppModel.h"
#include "app/views/LiveRegion.h"
#include "app/views/RootView.h"
#include "app/views/SettingsWindow.h"

namespace Tessarine {

MainWindow::MainWindow(AppModel& model, Destinations destinations, TimerFactory timers)
    : root_(new RootView(model, std::move(destinations), std::move(timers))),
      settings_(std::make_unique<SettingsWindow>(model.defaults())) {
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Tessarine"));
    root_->setMinimumSize(minimumWidth, minimumHeight);
    setCentralWidget(root_);
    live_ = new LiveRegion(model.announcer(), root_);
    root_->openSettings = [this] { settings_->showWindow(); };
    resize(defaultWidth, defaultHeight);
}

MainWindow::~MainWindow() = default;

} // namespace Tessarine
