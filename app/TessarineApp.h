#pragma once
// The application object: the one model (with persistence), the main window with the settings
// window beside it, the update check, and the way every quit goes (QuitGuard).
//
// Start-up: the model is made (nothing runs yet), the main window shows, and once it has painted
// its first frame the model starts live: the saved sessions start loading on a worker (they land
// in one queued call; the window answers meanwhile), then the HID monitor, the demo controller
// and the frame timer start, in that order, and the controller watcher once the window's start-up
// work is done (its thread first loads the game-controller library, and while the loader maps it
// the window's thread could not make a thread or first use a thread-local without waiting for
// it). The update check starts after the model.
//
// Quitting: Quit, closing the last window and SIGTERM, SIGINT and SIGHUP (QuitSignals) first let
// the session writes the user asked for land (QuitWait); then the windows close, the loop ends,
// and shutdown() keeps the window's place, stops the model and writes the last settings.
#include <QApplication>
#include <QString>

#include <memory>

#include "app/model/AppModel.h"
#include "app/model/BackgroundWorker.h"
#include "app/model/QuitWait.h"
#include "app/model/Updater.h"
#include "app/views/shell/MainWindow.h"
#include "app/views/shell/QuitGuard.h"

namespace Tessarine {

class QuitSignals;
class SingleInstance;

class TessarineApp {
public:
    explicit TessarineApp(QApplication& app);

    // Shows the window where it was when the application last quit, brought onto a screen, its
    // memory mapped in ahead of the first frame on a worker; the model starts on the turn after
    // its first frame, and then the icon is looked up in the icon themes on the worker, the
    // window taking it when it comes. Input that comes sooner starts both before it is handled.
    void show();
    // A signal's quit waits for the session writes as Quit does, without asking anyone.
    void quitOn(QuitSignals& quitSignals);
    // A later launch asks for the window: shown, unminimised, on top and active, with what its
    // launcher gave it for bringing a window forward.
    void answerLaterLaunches(SingleInstance& instance);
    // Keeps the window's place, stops the timers, joins the input threads and waits for the last
    // settings to be written.
    void shutdown();

private:
    static AppModel::Parts parts(QApplication& app);
    // Runs once the window has painted its first frame: the model first, then the update check,
    // which never runs before the devices are started.
    void finishLaunching();

    // Declared first, destroyed last: the windows read the model to the end.
    std::unique_ptr<AppModel> model_;
    MainWindow window_;
    QuitWait quitWait_;
    QuitGuard quitGuard_;
    std::unique_ptr<Updater> updater_;
    // Maps the window's memory in and looks up the icon. Joined before the window goes: the icon
    // it finds is handed to the window's thread.
    BackgroundThreads startWorker_;
};

} // namespace Tessarine
