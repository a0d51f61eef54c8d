// The application's entry: the application object, the one model (with persistence), the
// main window with the settings window beside it, and the start-up order.
//
// Start-up: a launch while another runs with the same folders shows that one's window, with the
// token its launcher gave it, and ends (SingleInstance). Otherwise the model is made (nothing
// runs yet), the main window shows, and once it has painted its first frame the model starts
// live: the saved sessions start loading on a worker
// (they land in one queued call; the window answers meanwhile), then the HID monitor, the demo
// controller and the frame timer start, in that order, and the controller watcher once the
// window's start-up work is done (its thread first loads the game-controller library, and while
// the loader maps it the window's thread could not make a thread or first use a thread-local
// without waiting for it). Closing the last
// window ends the loop; the model then stops its timers and joins its threads before anything
// it feeds is destroyed.
//
// SIGTERM, SIGINT and SIGHUP take the Quit path (QuitSignals), so a session manager's ending
// joins the threads and writes the settings as Ctrl+Q does. The window's size and place are kept
// as the settings' last change.
//
// Quit always ends the process: a thread stuck in the system (a device or a file that never
// answers) is left behind rather than joined, and then the process ends at once, without
// destroying what that thread still uses; and whatever else the teardown waits on, it ends
// quitDeadline after the window closed.
#include "app/model/SystemSources.h"

#include <QApplication>
#include <QBuffer>
#include <QDBusConnection>
#include <QImage>
#include <QImageReader>

#include <fontconfig/fontconfig.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

#include "app/base/LogEscaping.h"
#include "app/base/Logging.h"
#include "app/base/WorkerThread.h"
#include "app/drawing/PadShoulders.h"
#include "app/model/AppModel.h"
#include "app/model/BackgroundWorker.h"
#include "app/model/FreedMemory.h"
#include "app/model/Preferences.h"
#include "app/model/QuitSignals.h"
#include "app/model/SingleInstance.h"
#include "app/model/StartOptions.h"
#include "app/model/Updater.h"
#include "app/paint/Theme.h"
#include "app/views/bench/ControllerDrawing.h"
#include "app/views/kit/ScrollBarBands.h"
#include "app/views/kit/SlicedBuild.h"
#include "app/views/kit/WindowPlacement.h"
#include "app/views/shell/ApplicationIcon.h"
#include "app/views/shell/UpdateAlerts.h"
#include "app/views/shell/FileDialogChooser.h"
#include "app/views/shell/MainWindow.h"
#include "app/views/shell/ReportService.h"
#include "app/views/shell/WindowActivation.h"
#include "app/views/shell/WindowMemory.h"

namespace Tessarine {

namespace {

const QString iconName = QStringLiteral("com.quenlow.Tessarine");

} // namespace

class TessarineApp {
public:
    explicit TessarineApp(QApplication& app)
        : model_(std::make_unique<AppModel>(true, parts(app))), window_(*model_) {
        model_->setFileChooser(std::make_shared<FileDialogChooser>(&window_));
        model_->setReportRenderer(std::make_shared<ReportService>(&window_));
    }

    // Shows the window where it was when the application last quit, brought onto a screen, its
    // memory mapped in ahead of the first frame on a worker; the model starts on the turn after
    // its first frame, and then the icon is looked up in the icon themes on the worker, the
    // window taking it when it comes. Input that comes sooner starts both before it is handled.
    void show() {
        WindowPlacement::restore(window_, WindowPlacement::fromText(model_->defaults().get(Settings::mainWindowPlace)));
        WindowMemory::prepare(window_, startWorker_);
        window_.show();
        auto* afterFirstFrame = new SlicedBuild(&window_);
        afterFirstFrame->add([this] { finishLaunching(); });
        afterFirstFrame->add([this] {
            ApplicationIcon::lookUp(iconName, startWorker_, &window_, [](const QIcon& icon) { QApplication::setWindowIcon(icon); });
        });
    }

    // A later launch asked for the window: shown, unminimised, on top and active, with what its
    // launcher gave it for bringing a window forward.
    void raise(const QString& token, const QString& startupId) { WindowActivation::activate(window_, token, startupId); }

    // Runs once the window has painted its first frame: the model first, then the update check,
    // which never runs before the devices are started.
    void finishLaunching() {
        model_->start(true);
        const QUrl feed(model_->defaults().get(Settings::updateFeedURL));
        updater_ = std::make_unique<Updater>(feed, Updater::appNameFromApplication(), QApplication::applicationVersion(),
                                             std::make_shared<UpdateAlerts>(&window_));
        window_.setUpdater(updater_.get());
        updater_->startScheduledChecks();
    }

    // Keeps the window's place, stops the timers, joins the input threads and waits for the last
    // settings to be written.
    void shutdown() {
        model_->defaults().set(Settings::mainWindowPlace, WindowPlacement::text(WindowPlacement::current(window_)));
        model_->shutdown();
        if (auto* settings = dynamic_cast<SettingsPreferences*>(&model_->defaults())) settings->writer().finish();
    }

private:
    static AppModel::Parts parts(QApplication& app) {
        AppModel::Parts parts = systemParts(&app);
        parts.startControllers = [&app](std::function<void()> start) { SlicedBuild::whenSettled(&app, std::move(start)); };
        return parts;
    }

    // Declared first, destroyed last: the windows read the model to the end.
    std::unique_ptr<AppModel> model_;
    MainWindow window_;
    std::unique_ptr<Updater> updater_;
    // Maps the window's memory in and looks up the icon. Joined before the window goes: the icon
    // it finds is handed to the window's thread.
    BackgroundThreads startWorker_;
};

// Longest the process lives on after the window closed.
constexpr std::chrono::seconds quitDeadline{4};

// Ends the process with `status` once `deadline` has passed, unless it has ended by then.
void endWithin(std::chrono::seconds deadline, int status) {
    std::thread([deadline, status] {
        std::this_thread::sleep_for(deadline);
        std::fputs("tessarine: quitting took longer than it may; ending without waiting further\n", stderr);
        std::_Exit(status);
    }).detach();
}

} // namespace Tessarine

int main(int argc, char** argv) {
    // Before anything is allocated that the setting should cover.
    Tessarine::giveBackLargeBlocksWhenFreed();
    Tessarine::LogEscaping::install();
    // --help, --version and mistakes on the command line are answered before Qt looks for a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (const auto exit = Tessarine::StartOptions::read(arguments, QStringLiteral(TESSARINE_VERSION))) {
        std::fputs(exit->out.toLocal8Bit().constData(), stdout);
        std::fputs(exit->err.toLocal8Bit().constData(), stderr);
        return exit->status;
    }
    // Work the window's first page needs that needs no application object, done on a thread of
    // its own while the application object is made: fontconfig reading its configuration and the
    // font caches, which the first text measured would otherwise wait for (should it fail, Qt's
    // own call fails the same way later and says why), and the drawn pad's shoulder outlines.
    std::jthread earlyWork([] {
        FcInit();
        Tessarine::workOutShoulderBands();
    });
    QApplication::setOrganizationName(QStringLiteral("com.quenlow"));
    QApplication::setApplicationName(QStringLiteral("Tessarine"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tessarine"));
    QApplication::setApplicationVersion(QStringLiteral(TESSARINE_VERSION));
    // Read before the application object connects to the display, which takes the X11 one away.
    const auto activation = Tessarine::SingleInstance::Activation::fromEnvironment();
    // Lets the desktop match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quenlow.Tessarine"));
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(true);

    // One window per user: a second launch shows the running one and ends before it opens a
    // device or reads a session.
    Tessarine::SingleInstance instance(Tessarine::SingleInstance::defaultKey());
    if (instance.claim(activation) == Tessarine::SingleInstance::Claim::handedOver) return 0;
    Tessarine::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &Tessarine::QuitSignals::quitRequested, &app, [](int signal) {
        qCInfo(Tessarine::logModel).noquote() << "Quitting on" << Tessarine::QuitSignals::name(signal);
        // As Quit does; and should a window refuse to close, the loop ends all the same.
        QApplication::closeAllWindows();
        QApplication::exit(0);
    });
    // The first accessible name set while the window is built waits for the session bus, which
    // the screen reader's bridge asks whether anyone listens (and which may first have to be
    // started): connected beside the font loading, the window does not wait for both in turn.
    std::jthread sessionBus([] { QDBusConnection::sessionBus(); });
    // Tall scroll bars are painted on this thread rather than handed to Qt's painting pool in
    // pieces, which cost the first frame more than the painting.
    Tessarine::ScrollBarBands::install();
    earlyWork.join();
    Tessarine::Fonts::load();

    // The window's first frames are painted and answer input without waiting for the drawn
    // controller's first images, which are painted beside them.
    // The first image read loads the image format plugins, as the menu bar's first icon does
    // while the window is built: they load beside the building instead.
    std::thread imageFormats([] {
        QBuffer png;
        png.open(QIODevice::ReadWrite);
        QImage(1, 1, QImage::Format_ARGB32).save(&png, "PNG");
        png.seek(0);
        QImageReader(&png).read();
    });
    Tessarine::ControllerDrawing::setFirstImagesAway(true);
    // A window that opens on a large page shows it first and fills it in over the next turns.
    Tessarine::SlicedBuild::setSlicing(true);
    Tessarine::TessarineApp tessarine(app);
    QObject::connect(&instance, &Tessarine::SingleInstance::showRequested, &app,
                     [&tessarine](const QString& token, const QString& startupId) { tessarine.raise(token, startupId); });
    tessarine.show();
    imageFormats.join();
    const int status = QApplication::exec();
    Tessarine::endWithin(Tessarine::quitDeadline, status);
    tessarine.shutdown();
    if (Tessarine::WorkerThread::leftBehind() > 0) {
        // A thread left behind may still use the model: nothing is destroyed under it.
        std::fputs("tessarine: ending without the threads that did not stop\n", stderr);
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
