#include "app/model/AppModel.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include "app/devices/Assign.h"
#include "testkit/Json.h"

namespace Tessarine {

using RorozErurEvo::ControllerFamily;
using RorozErurEvo::FamilyProfiles;
using RorozErurEvo::Thresholds;

namespace {

const QString thresholdsKey = QStringLiteral("thresholds");
const QString familyProfilesKey = QStringLiteral("familyProfiles");
const QString useFamilyProfilesKey = QStringLiteral("useFamilyProfiles");
const QString showRawNumbersKey = QStringLiteral("showRawNumbers");
const QString trailSecondsKey = QStringLiteral("trailSeconds");
const QString companyNameKey = QStringLiteral("companyName");
const QString companyContactKey = QStringLiteral("companyContact");
const QString defaultTechnicianKey = QStringLiteral("defaultTechnician");

// A JSON record stored under `key`, or nothing when it is missing or does not decode.
template <class T> std::optional<T> readJSON(const Preferences& defaults, const QString& key) {
    auto data = defaults.data(key);
    if (!data) return std::nullopt;
    try {
        return T::fromJson(RorozErurEvo::Json::parse(data->toStdString()));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string text(const std::optional<QString>& value) { return value ? value->toStdString() : std::string(); }

} // namespace

AppModel::AppModel(bool persist, Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)), persist_(persist),
      demo_(std::make_unique<DemoDriver>(*parts_.clock, parts_.timers)),
      keyboard_(std::make_unique<KeyboardTester>(*parts_.defaults)),
      mouse_(std::make_unique<MouseTester>()) {
    supportFolder_ = parts_.supportFolder.isEmpty() ? defaultSupportFolder() : parts_.supportFolder;
    std::optional<RorozErurEvo::SessionArchive> archive;
    if (persist_) archive = RorozErurEvo::SessionArchive{sessionsFolder().toStdString()};
    library_ = std::make_unique<SessionLibrary>(std::move(archive));
    readSettings();
    batch_ = std::make_unique<BatchRunner>(*this);
    soak_ = std::make_unique<SoakRunner>(*this);
    runner(demo_->device());
    if (persist_) {
        QImage image(logoPath());
        if (!image.isNull()) logo_ = image;
    }
}

AppModel::~AppModel() { shutdown(); }

QString AppModel::defaultSupportFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/com.quenlow.Tessarine");
}

QString AppModel::sessionsFolder() const { return supportFolder_ + QStringLiteral("/Sessions"); }

QString AppModel::logoPath() const { return supportFolder_ + QStringLiteral("/report-logo.png"); }

const QString& AppModel::scopeNote() {
    static const QString note = QStringLiteral("Tessarine") +
                                QStringLiteral(" measures how the controls respond. It doesn't check battery life or "
                                               "cosmetics, and a wireless soak test reflects only the place and time it ran.");
    return note;
}

QString AppModel::appVersion() {
    QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral("1.0") : version;
}

// ---- settings

void AppModel::readSettings() {
    const Preferences& d = *parts_.defaults;
    // Reading assigns the fields and writes nothing back: an unreadable entry stays as it is
    // until the user changes that setting.
    if (persist_) {
        thresholds_ = readJSON<Thresholds>(d, thresholdsKey).value_or(Thresholds::standard());
        familyProfiles_ = readJSON<FamilyProfiles>(d, familyProfilesKey).value_or(FamilyProfiles{});
    }
    useFamilyProfiles_ = d.boolean(useFamilyProfilesKey).value_or(true);
    showRawNumbers_ = d.boolean(showRawNumbersKey).value_or(false);
    trailSeconds_ = d.number(trailSecondsKey).value_or(1.5);
    companyName_ = text(d.string(companyNameKey));
    companyContact_ = text(d.string(companyContactKey));
    defaultTechnician_ = text(d.string(defaultTechnicianKey));
}

template <class T> void AppModel::saveJSON(const T& value, const QString& key) {
    if (!persist_) return;
    try {
        parts_.defaults->setData(key, QByteArray::fromStdString(RorozErurEvo::Json::dump(value.toJson())));
    } catch (const std::exception&) {
        // A record that cannot be encoded (a number that is not finite) is not written.
    }
}

void AppModel::setThresholds(Thresholds value) {
    if (assign(thresholds_, std::move(value))) emit thresholdsChanged();
    saveJSON(thresholds_, thresholdsKey);
}

void AppModel::setFamilyProfiles(FamilyProfiles value) {
    if (assign(familyProfiles_, std::move(value))) emit familyProfilesChanged();
    saveFamilyProfiles();
}

void AppModel::saveFamilyProfiles() { saveJSON(familyProfiles_, familyProfilesKey); }

void AppModel::setUseFamilyProfiles(bool value) {
    if (assign(useFamilyProfiles_, value)) emit useFamilyProfilesChanged();
    parts_.defaults->setBoolean(useFamilyProfilesKey, value);
}

void AppModel::setShowRawNumbers(bool value) {
    if (assign(showRawNumbers_, value)) emit showRawNumbersChanged();
    parts_.defaults->setBoolean(showRawNumbersKey, value);
}

void AppModel::setTrailSeconds(double value) {
    if (assign(trailSeconds_, value)) emit trailSecondsChanged();
    parts_.defaults->setNumber(trailSecondsKey, value);
}

void AppModel::setCompanyName(std::string value) {
    if (assign(companyName_, std::move(value))) emit companyNameChanged();
    parts_.defaults->setString(companyNameKey, QString::fromStdString(companyName_));
}

void AppModel::setCompanyContact(std::string value) {
    if (assign(companyContact_, std::move(value))) emit companyContactChanged();
    parts_.defaults->setString(companyContactKey, QString::fromStdString(companyContact_));
}

void AppModel::setDefaultTechnician(std::string value) {
    if (assign(defaultTechnician_, std::move(value))) emit defaultTechnicianChanged();
    parts_.defaults->setString(defaultTechnicianKey, QString::fromStdString(defaultTechnician_));
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

// ---- start and end

void AppModel::start(bool live) {
    if (started_ || shutDown_) return;
    started_ = true;
    if (library_->archive()) library_->setSessions(library_->archive()->loadAll());
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
}

} // namespace Tessarine
