#pragma once
// The main window ("main"): one for the life of the application, holding the root view, and
// the settings window beside it. Closing the main window quits the application only when no
// other window, such as the settings window, is still open. The settings window is built the
// first time it is asked for (Settings…, Ctrl+,), not before the main window is first shown.
#include <QMainWindow>

#include <memory>

#include "app/base/RepeatingTimer.h"
#include "app/views/shell/Destinations.h"

namespace Tessarine {

class AppMenus;
class AppModel;
class LiveRegion;
class Updater;
class RootView;
class SettingsWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Size of the window's content, pixels.
    static constexpr int defaultWidth = 1320;
    static constexpr int defaultHeight = 860;
    static constexpr int minimumWidth = 1000;
    static constexpr int minimumHeight = 660;

    MainWindow(AppModel& model, Destinations destinations = Destinations::standard(),
               TimerFactory timers = QtRepeatingTimer::factory());
    ~MainWindow() override;

    RootView& root() const { return *root_; }
    // Built on the first call.
    SettingsWindow& settings() const;
    LiveRegion& liveRegion() const { return *live_; }
    AppMenus& menus() const { return *menus_; }
    // The update check the Help menu runs; set once the model has started.
    void setUpdater(Updater* updater) { updater_ = updater; }

private:
    RootView* root_;
    LiveRegion* live_;
    AppMenus* menus_;
    Updater* updater_ = nullptr;
    AppModel& model_;
    // A window of its own, not a child of this one; null until first asked for.
    mutable std::unique_ptr<SettingsWindow> settings_;
};

} // namespace Tessarine
