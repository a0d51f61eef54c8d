#include "app/model/AppModel.h"

#include <QStandardPaths>


#include "app/devices/Assign.h"
#include "app/devices/Logging.h"
#include "app/report/LogoFile.h"

namespace Tessarine {

using RorozErurEvo::ControllerFamily;
using RorozErurEvo::FamilyProfiles;
using RorozErurEvo::Thresholds;
namespace LimitOrder = RorozErurEvo::LimitOrder;

namespace {

// What the toast and the settings window say of saved limits that could not be read.
std::string fallbackNote(const std::string& kind, const std::string& cause) {
    return "Couldn't read the saved " + kind + " (" + cause + "); the standard ones apply until you save new limits.";
}

const std::string thresholdsKind = "thresholds";
const std::string profilesKind = "family profiles";

} // namespace

AppModel::AppModel(bool persist, Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)), persist_(persist),
      demo_(std::make_unique<DemoDriver>(*parts_.clock, parts_.timers)),
      keyboard_(std::make_unique<KeyboardTester>(*parts_.defaults)),
      mouse_(std::make_unique<MouseTester>()) {
    supportFolder_ = parts_.supportFolder.isEmpty() ? defaultSupportFolder() : parts_.supportFolder;
    if (!parts_.background) parts_.background = std::make_unique<ThreadWorker>();
    std::optional<RorozErurEvo::SessionArchive> archive;
    if (persist_) archive = RorozErurEvo::SessionArchive{sessionsFolder().toStdString()};
    library_ = std::make_unique<SessionLibrary>(std::move(archive));
    library_->useBackground(*parts_.background, parts_.executor);
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
    Preferences& d = *parts_.defaults;
    if (const auto failure = d.loadFailure()) {
        const std::string note = "Couldn't read the settings file " + failure->toStdString() +
                                 ". The standard settings apply, and changes won't be saved.";
        qCWarning(logModel).noquote() << QString::fromStdString(note);
        appendToast(note);
    }
    // Reading assigns the fields and writes nothing back: an unreadable entry stays as it is
    // until the user changes that setting.
    if (persist_) {
        auto thresholds = d.get(Settings::thresholds);
        auto profiles = d.get(Settings::familyProfiles);
        // Impossible stored limits are not graded by: the record falls back as an unreadable one
        // would, and the stored entry stays until the user saves new limits.
        if (auto refused = LimitOrder::refusal(thresholds.value)) {
            thresholds.value = Thresholds::standard();
            thresholds.failure = refused->reason;
        }
        // Only the profiles at fault go back to their family's typical limits; the others stay.
        std::string refusedProfiles;
        while (auto refused = LimitOrder::refusal(profiles.value)) {
            profiles.value.reset(*refused->family);
            refusedProfiles += (refusedProfiles.empty() ? "" : "; ") + refused->reason;
        }
        if (!refusedProfiles.empty() && !profiles.failure) profiles.failure = refusedProfiles;
        thresholds_ = std::move(thresholds.value);
        familyProfiles_ = std::move(profiles.value);
        // Grading against limits the shop did not set must not pass unnoticed.
        if (thresholds.failure) limitsFallbacks_[thresholdsKind] = fallbackNote(thresholdsKind, *thresholds.failure);
        if (profiles.failure) limitsFallbacks_[profilesKind] = fallbackNote(profilesKind, *profiles.failure);
        for (const auto& [kind, note] : limitsFallbacks_) qCWarning(logModel).noquote() << QString::fromStdString(note);
        for (const auto& [kind, note] : limitsFallbacks_) appendToast(note);
    }
    useFamilyProfiles_ = d.get(Settings::useFamilyProfiles);
    showRawNumbers_ = d.get(Settings::showRawNumbers);
    trailSeconds_ = d.get(Settings::trailSeconds);
    companyName_ = d.get(Settings::companyName).toStdString();
    companyContact_ = d.get(Settings::companyContact).toStdString();
    defaultTechnician_ = d.get(Settings::defaultTechnician).toStdString();
    d.onSaveFailed = [this](const QString& cause) { settingsSaveFailed(cause); };
}

void AppModel::settingsSaveFailed(const QString& cause) {
    const std::string message = "Couldn't save the settings: " + cause.toStdString();
    qCWarning(logModel).noquote() << QString::fromStdString(message);
    setToast(message);
}

template <class T>
void AppModel::saveRecord(const Settings::Record<T>& record, const T& value, const std::string& kind) {
    if (!persist_) return;
    // A record that cannot be encoded (a number that is not finite) is not written.
    if (!parts_.defaults->set(record, value)) return;
    if (limitsFallbacks_.erase(kind) > 0) emit limitsFallbacksChanged();
}

std::vector<std::string> AppModel::limitsFallbacks() const {
    std::vector<std::string> notes;
    for (const auto& [kind, note] : limitsFallbacks_) notes.push_back(note);
    return notes;
}

namespace {
AppModel::Refusal refused(AppModel::Refusal refusal, const char* kind) {
    if (refusal) qCInfo(logModel).noquote() << "Refused" << kind << "limits:" << QString::fromStdString(refusal->reason);
    return refusal;
}
} // namespace

AppModel::Refusal AppModel::setThresholds(Thresholds value) {
    if (auto refusal = LimitOrder::refusal(value)) return refused(std::move(refusal), "threshold");
    if (assign(thresholds_, std::move(value))) emit thresholdsChanged();
    saveRecord(Settings::thresholds, thresholds_, thresholdsKind);
    return std::nullopt;
}

AppModel::Refusal AppModel::setFamilyProfiles(FamilyProfiles value) {
    if (auto refusal = LimitOrder::refusal(value)) return refused(std::move(refusal), "family profile");
    if (assign(familyProfiles_, std::move(value))) emit familyProfilesChanged();
    saveFamilyProfiles();
    return std::nullopt;
}

void AppModel::saveFamilyProfiles() { saveRecord(Settings::familyProfiles, familyProfiles_, profilesKind); }

void AppModel::setUseFamilyProfiles(bool value) {
    if (assign(useFamilyProfiles_, value)) emit useFamilyProfilesChanged();
    parts_.defaults->set(Settings::useFamilyProfiles, value);
}

void AppModel::setShowRawNumbers(bool value) {
    if (assign(showRawNumbers_, value)) emit showRawNumbersChanged();
    parts_.defaults->set(Settings::showRawNumbers, value);
}

void AppModel::setTrailSeconds(double value) {
    if (assign(trailSeconds_, value)) emit trailSecondsChanged();
    parts_.defaults->set(Settings::trailSeconds, value);
}

void AppModel::setCompanyName(std::string value) {
    if (assign(companyName_, std::move(value))) emit companyNameChanged();
    parts_.defaults->set(Settings::companyName, QString::fromStdString(companyName_));
}

void AppModel::setCompanyContact(std::string value) {
    if (assign(companyContact_, std::move(value))) emit companyContactChanged();
    parts_.defaults->set(Settings::companyContact, QString::fromStdString(companyContact_));
}

void AppModel::setDefaultTechnician(std::string value) {
    if (assign(defaultTechnician_, std::move(value))) emit defaultTechnicianChanged();
    parts_.defaults->set(Settings::defaultTechnician, QString::fromStdString(defaultTechnician_));
}

// ---- other observed state

void AppModel::setSelection(std::optional<SidebarItem> value) {
    if (assign(selection_, std::move(value))) emit selectionChanged();
}

void AppModel::setTab(DetailTab value) {
    if (assign(tab_, value)) emit tabChanged();
}

void AppModel::setUnit(const std::string& deviceID, UnitRecord record) {
    auto it = units_.find(deviceID);
    if (it != units_.end() && it->second == record) return;
    units_[deviceID] = std::move(record);
    emit unitsChanged();
}

void AppModel::setFamilyChoice(const std::string& deviceID, std::optional<ControllerFamily> family) {
    auto choice = familyChoice_;
    if (family)
        choice[deviceID] = *family;
    else
        choice.erase(deviceID);
    if (assign(familyChoice_, std::move(choice))) emit familyChoiceChanged();
}

void AppModel::setLogo(QImage value) {
    if (assign(logo_, std::move(value))) emit logoChanged();
}

void AppModel::setSaveSheetDevice(std::shared_ptr<InputDevice> value) {
    saveSheetDevice_ = std::move(value);
    emit saveSheetDeviceChanged();
}

void AppModel::setCompareBefore(std::optional<RorozErurEvo::Uuid> value) {
    if (assign(compareBefore_, value)) emit compareBeforeChanged();
}

void AppModel::setCompareAfter(std::optional<RorozErurEvo::Uuid> value) {
    if (assign(compareAfter_, value)) emit compareAfterChanged();
}

void AppModel::setSelectedSession(std::optional<RorozErurEvo::Uuid> value) {
    if (assign(selectedSession_, value)) emit selectedSessionChanged();
}

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
        parts_.controllers->start([self] {
            if (self && !self->shutDown_) self->refreshControllers();
        });
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
                self->setLogo(logo->image);
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
    // Joining the threads here means no producer or change callback outlives the model.
    parts_.hid->stop();
    parts_.controllers->stop();
    parts_.background->wait();
}

} // namespace Tessarine
