#include "app/model/AppModel.h"

#include <QStandardPaths>


#include "app/base/Assign.h"
#include "app/base/Logging.h"
#include "app/report/LogoFile.h"

namespace Tessarine {

AppModel::AppModel(bool persist, Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)), persist_(persist),
      demo_(std::make_unique<DemoDriver>(*parts_.clock, parts_.timers)),
      keyboard_(std::make_unique<KeyboardTester>(*parts_.defaults)),
      mouse_(std::make_unique<MouseTester>()) {
    supportFolder_ = parts_.supportFolder.isEmpty() ? defaultSupportFolder() : parts_.supportFolder;
    if (!parts_.background) parts_.background = std::make_unique<BackgroundThreads>();
    std::optional<RorozErurEvo::SessionArchive> archive;
    if (persist_) archive = RorozErurEvo::SessionArchive{sessionsFolder().toStdString()};
    library_ = std::make_unique<SessionLibrary>(std::move(archive));
    library_->useBackground(*parts_.background, parts_.executor);
    settings_ = std::make_unique<UserSettings>(*parts_.defaults, persist_);
    navigation_ = std::make_unique<Navigation>();
    lists_ = std::make_unique<DeviceLists>(*parts_.controllers, *parts_.hid, *demo_, *this, *settings_);
    readSettings();
    batch_ = std::make_unique<BatchRunner>(*this);
    soak_ = std::make_unique<SoakRunner>(*this);
    runner(demo_->device());
}

AppModel::~AppModel() { shutdown(); }

bool AppModel::soaking(const InputDevice& device) const { return soak_ && soak_->isRunning(device); }

QString AppModel::defaultSupportFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/com.quenlow.Tessarine");
}

QString AppModel::sessionsFolder() const { return supportFolder_ + QStringLiteral("/Sessions"); }

QString AppModel::logoPath() const { return supportFolder_ + QStringLiteral("/report-logo.png"); }

// ---- settings

void AppModel::readSettings() {
    for (const std::string& note : settings_->read()) appendToast(note);
    parts_.defaults->onSaveFailed = [this](const QString& cause) { settingsSaveFailed(cause); };
}

// The store has logged the failure as it happened; the user is told here.
void AppModel::settingsSaveFailed(const QString& cause) {
    setToast("Couldn't save the settings: " + cause.toStdString());
}

// ---- other observed state

void AppModel::setToast(std::optional<std::string> value) {
    if (assign(toast_, std::move(value))) emit toastChanged();
}

void AppModel::appendToast(const std::string& text) {
    setToast(toast_ ? *toast_ + " " + text : text);
}

// ---- start and end

void AppModel::start(bool live) {
    if (started_ || shutDown_) return;
    started_ = true;
    // Thousands of session files take a second to read: the window answers meanwhile, and the
    // views that list sessions say "Loading…" until the list lands.
    library_->loadInBackground(*parts_.background, parts_.executor);
    if (persist_) loadLogo();
    if (live) {
        // The callbacks hold the model weakly: work queued before the model went away finds
        // it gone and does nothing.
        QPointer<AppModel> self(this);
        auto startControllers = [self] {
            if (!self || self->shutDown_) return;
            self->parts_.controllers->start([self] {
                if (self && !self->shutDown_) self->refreshControllers();
            });
        };
        if (parts_.startControllers)
            parts_.startControllers(std::move(startControllers));
        else
            startControllers();
        std::shared_ptr<MainExecutor> executor = parts_.executor;
        parts_.hid->start([self, executor] {
            // Called on the HID thread: only hop to the main thread from here.
            executor->post([self] {
                if (self && !self->shutDown_) self->refreshHID();
            });
        });
        // A source that could not start at all calls nobody back.
        if (!parts_.hid->failure().empty()) refreshHID();
    }
    demo_->start();
    startTimer();
}

void AppModel::loadLogo() {
    // Read and decoded on the worker: a big picture, or a pipe or a slow disk in its place, never
    // holds up the window. The model is held weakly, and a logo the user chose or removed
    // meanwhile is not replaced by the one read.
    QPointer<AppModel> self(this);
    parts_.background->run([path = logoPath(), executor = parts_.executor, self, generation = logoGeneration_] {
        auto logo = std::make_shared<LogoFile::Picture>(LogoFile::read(path));
        if (logo->missing) return; // no logo chosen yet
        executor->post([self, path, generation, logo] {
            if (!self || self->shutDown_ || generation != self->logoGeneration_) return;
            if (!logo->image.isNull()) {
                self->settings_->setLogo(logo->image);
                return;
            }
            const std::string note = "Couldn't read the report logo \u201C" + path.toStdString() + "\u201D: " +
                                     logo->error.toStdString() + ". Reports are made without it.";
            qCWarning(logModel).noquote() << QString::fromStdString(note);
            self->appendToast(note);
        });
    });
}

void AppModel::startTimer() {
    timer_ = parts_.timers();
    QPointer<AppModel> self(this);
    timer_->start(frameInterval, [self] {
        if (self) self->tick();
    });
}

void AppModel::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    timer_.reset();
    demo_->stop();
    // Reads and an export under way stop first, so they wind down while the devices stop.
    library_->stopReading();
    if (exportRun_) exportRun_->cancelled.store(true);
    // Joining the threads here means no producer or change callback outlives the model.
    parts_.hid->stop();
    parts_.controllers->stop();
    // The session writes were waited for before the windows closed (QuitWait), unless the user
    // quit anyway; what is left (a report, the logo, a write given up on) gets a moment, and file
    // work stuck on a disk that stopped answering is left behind, the log saying what it was.
    const bool writesLeft = !library_->pending().empty();
    parts_.background->finish(fileWorkWait);
    if (writesLeft) noteWritesLeft();
}

// A session write the quit did not wait for is lost only if it has not been done by now; one
// that landed in the shutdown's moment is said to have, so the log never claims a loss that
// did not happen (a failed write was logged with its cause where it failed).
void AppModel::noteWritesLeft() const {
    const auto lost = library_->unwritten();
    if (lost.empty())
        qCInfo(logModel) << "The session writes not done at the quit were written before the end";
    else
        qCWarning(logModel).noquote() << QString::fromStdString(RorozErurEvo::PendingWrites::loss(lost));
}

} // namespace Tessarine
