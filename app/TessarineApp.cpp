#include "app/TessarineApp.h"

#include <QUrl>

#include <functional>

#include "app/base/Logging.h"
#include "app/model/Preferences.h"
#include "app/model/QuitSignals.h"
#include "app/model/SingleInstance.h"
#include "app/model/SystemSources.h"
#include "app/views/kit/SlicedBuild.h"
#include "app/views/kit/WindowPlacement.h"
#include "app/views/shell/AppMenus.h"
#include "app/views/shell/ApplicationIcon.h"
#include "app/views/shell/FileDialogChooser.h"
#include "app/views/shell/ReportService.h"
#include "app/views/shell/UpdateAlerts.h"
#include "app/views/shell/WindowActivation.h"
#include "app/views/shell/WindowMemory.h"

namespace Tessarine {

namespace {

const QString iconName = QStringLiteral("com.quenlow.Tessarine");

} // namespace

TessarineApp::TessarineApp(QApplication& app)
    : model_(std::make_unique<AppModel>(true, parts(app))), window_(*model_),
      quitWait_(model_->library(), model_->clock(), QtRepeatingTimer::factory()), quitGuard_(quitWait_, &window_) {
    model_->setFileChooser(std::make_shared<FileDialogChooser>(&window_));
    model_->setReportRenderer(std::make_shared<ReportService>(&window_));
    window_.menus().setQuit([this] { quitGuard_.quit(QuitWait::Asker::user); });
}

AppModel::Parts TessarineApp::parts(QApplication& app) {
    AppModel::Parts parts = systemParts(&app);
    parts.startControllers = [&app](std::function<void()> start) { SlicedBuild::whenSettled(&app, std::move(start)); };
    return parts;
}

void TessarineApp::show() {
    WindowPlacement::restore(window_, WindowPlacement::fromText(model_->defaults().get(Settings::mainWindowPlace)));
    WindowMemory::prepare(window_, startWorker_);
    window_.show();
    auto* afterFirstFrame = new SlicedBuild(&window_);
    afterFirstFrame->add([this] { finishLaunching(); });
    afterFirstFrame->add([this] {
        ApplicationIcon::lookUp(iconName, startWorker_, &window_, [](const QIcon& icon) { QApplication::setWindowIcon(icon); });
    });
}

void TessarineApp::quitOn(QuitSignals& quitSignals) {
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &window_, [this](int signal) {
        const QString name = QuitSignals::name(signal);
        qCInfo(logModel).noquote() << "Quitting on" << name;
        quitGuard_.quit(QuitWait::Asker::signal, name);
    });
}

void TessarineApp::answerLaterLaunches(SingleInstance& instance) {
    QObject::connect(&instance, &SingleInstance::showRequested, &window_,
                     [this](const QString& token, const QString& startupId) { WindowActivation::activate(window_, token, startupId); });
}

void TessarineApp::finishLaunching() {
    model_->start(true);
    const QUrl feed(model_->defaults().get(Settings::updateFeedURL));
    updater_ = std::make_unique<Updater>(feed, Updater::appNameFromApplication(), QApplication::applicationVersion(),
                                         std::make_shared<UpdateAlerts>(&window_));
    window_.setUpdater(updater_.get());
    updater_->startScheduledChecks();
}

void TessarineApp::shutdown() {
    model_->defaults().set(Settings::mainWindowPlace, WindowPlacement::text(WindowPlacement::current(window_)));
    model_->shutdown();
    if (auto* settings = dynamic_cast<SettingsPreferences*>(&model_->defaults())) settings->writer().finish();
}

} // namespace Tessarine
