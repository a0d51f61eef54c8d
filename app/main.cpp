// The application's entry: the start's plan. Each step that only makes the start quicker is a
// named function below, with why it is there; the application object is TessarineApp.
//
// A launch while another runs with the same folders shows that one's window, with the token its
// launcher gave it, and ends (SingleInstance). SIGTERM, SIGINT and SIGHUP take the Quit path
// (QuitSignals), so a session manager's ending waits for the session writes, joins the threads
// and writes the settings as Ctrl+Q does.
//
// Quit always ends the process: a thread stuck in the system (a device or a file that never
// answers) is left behind rather than joined, and then the process ends at once, without
// destroying what that thread still uses; and whatever else the teardown waits on, it ends
// quitDeadline after the window closed.
#include <QApplication>
#include <QBuffer>
#include <QDBusConnection>
#include <QImage>
#include <QImageReader>

#include <fontconfig/fontconfig.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

#include "app/TessarineApp.h"
#include "app/base/LogEscaping.h"
#include "app/base/StallWatch.h"
#include "app/base/WorkerThread.h"
#include "app/drawing/PadShoulders.h"
#include "app/model/FreedMemory.h"
#include "app/model/QuitSignals.h"
#include "app/model/SingleInstance.h"
#include "app/model/StartOptions.h"
#include "app/paint/Theme.h"
#include "app/views/bench/ControllerDrawing.h"
#include "app/views/kit/ScrollBarBands.h"
#include "app/views/kit/SlicedBuild.h"

namespace Tessarine {

namespace {

// Longest the process lives on after the window closed.
constexpr std::chrono::seconds quitDeadline{4};

// --help, --version and mistakes on the command line, answered before Qt looks for a display:
// the status to end with, or nothing when the application is to start.
std::optional<int> answerCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const auto exit = StartOptions::read(arguments, QStringLiteral(TESSARINE_VERSION));
    if (!exit) return std::nullopt;
    std::fputs(exit->out.toLocal8Bit().constData(), stdout);
    std::fputs(exit->err.toLocal8Bit().constData(), stderr);
    return exit->status;
}

// Work the window's first page needs that needs no application object, done on a thread of its
// own while the application object is made: fontconfig reading its configuration and the font
// caches, which the first text measured would otherwise wait for (should it fail, Qt's own call
// fails the same way later and says why), and the drawn pad's shoulder outlines.
void prepareFontsAndShapes() {
    FcInit();
    workOutShoulderBands();
}

void nameApplication() {
    QApplication::setOrganizationName(QStringLiteral("com.quenlow"));
    QApplication::setApplicationName(QStringLiteral("Tessarine"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tessarine"));
    QApplication::setApplicationVersion(QStringLiteral(TESSARINE_VERSION));
    // Lets the desktop match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quenlow.Tessarine"));
}

// The first accessible name set while the window is built waits for the session bus, which the
// screen reader's bridge asks whether anyone listens (and which may first have to be started):
// connected beside the font loading, the window does not wait for both in turn.
void connectSessionBus() { QDBusConnection::sessionBus(); }

// The first image read loads the image format plugins, as the menu bar's first icon does while
// the window is built: they load beside the building instead.
void loadImageFormats() {
    QBuffer png;
    png.open(QIODevice::ReadWrite);
    QImage(1, 1, QImage::Format_ARGB32).save(&png, "PNG");
    png.seek(0);
    QImageReader(&png).read();
}

// The window's first frames are painted and answer input without waiting for the drawn
// controller's first images, which are painted beside them; a window that opens on a large page
// shows it first and fills it in over the next turns. Tall scroll bars are painted on this
// thread rather than handed to Qt's painting pool in pieces, which cost the first frame more
// than the painting.
void paintFirstFramesSooner() {
    ScrollBarBands::install();
    ControllerDrawing::setFirstImagesAway(true);
    SlicedBuild::setSlicing(true);
}

// Ends the process with `status` once `deadline` has passed, unless it has ended by then.
void endWithin(std::chrono::seconds deadline, int status) {
    std::thread([deadline, status] {
        std::this_thread::sleep_for(deadline);
        std::fputs("tessarine: quitting took longer than it may; ending without waiting further\n", stderr);
        std::_Exit(status);
    }).detach();
}

// What keeps the window's thread from answering, in the log, when TESSARINE_STALL_WATCH_MS asks
// for it (the roads that time the window's answers do).
std::unique_ptr<StallWatch> watchWindowThread() {
    const auto late = StallWatch::lateFromEnvironment();
    return late ? std::make_unique<StallWatch>(*late) : nullptr;
}

// After the loop: the teardown, within quitDeadline. A thread left behind may still use the
// model, so then nothing is destroyed under it.
int tearDown(TessarineApp& tessarine, int status) {
    endWithin(quitDeadline, status);
    tessarine.shutdown();
    if (WorkerThread::leftBehind() > 0) {
        std::fputs("tessarine: ending without the threads that did not stop\n", stderr);
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

} // namespace

} // namespace Tessarine

int main(int argc, char** argv) {
    using namespace Tessarine;
    // Before anything is allocated that the setting should cover.
    giveBackLargeBlocksWhenFreed();
    LogEscaping::install();
    if (const auto status = answerCommandLine(argc, argv)) return *status;
    std::jthread earlyWork(prepareFontsAndShapes);
    nameApplication();
    // Read before the application object connects to the display, which takes the X11 one away.
    const auto activation = SingleInstance::Activation::fromEnvironment();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(true);
    // One window per user: a second launch shows the running one and ends before it opens a
    // device or reads a session.
    SingleInstance instance(SingleInstance::defaultKey());
    if (instance.claim(activation) == SingleInstance::Claim::handedOver) return 0;
    QuitSignals quitSignals;
    const auto stallWatch = watchWindowThread();
    std::jthread sessionBus(connectSessionBus);
    paintFirstFramesSooner();
    earlyWork.join();
    Fonts::load();
    std::jthread imageFormats(loadImageFormats);
    TessarineApp tessarine(app);
    tessarine.quitOn(quitSignals);
    tessarine.answerLaterLaunches(instance);
    tessarine.show();
    imageFormats.join();
    return tearDown(tessarine, QApplication::exec());
}
