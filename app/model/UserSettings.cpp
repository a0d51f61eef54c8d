#include "app/model/UserSettings.h"

#include "app/base/Assign.h"
#include "app/devices/InputDevice.h"
#include "app/base/Logging.h"
#include "app/model/Preferences.h"

namespace Tessarine {

using RorozErurEvo::ControllerFamily;
using RorozErurEvo::FamilyProfiles;
using RorozErurEvo::Thresholds;
namespace LimitOrder = RorozErurEvo::LimitOrder;

namespace {

// What the toast and the settings window say of saved limits that could not be read.
std::string fallbackNote(const std::string& kind, const std::string& cause) {
    return "Couldn't read the saved " + kind + " (" + cause +
           "); the standard ones apply until you save new limits.";
}

const std::string thresholdsKind = "thresholds";
const std::string profilesKind = "family profiles";

UserSettings::Refusal refused(UserSettings::Refusal refusal, const char* kind) {
    if (refusal)
        qCInfo(logModel).noquote() << "Refused" << kind
                                   << "limits:" << QString::fromStdString(refusal->reason);
    return refusal;
}

} // namespace

UserSettings::UserSettings(Preferences& defaults, bool persist, QObject* parent)
    : QObject(parent), defaults_(defaults), persist_(persist) {}

std::vector<std::string> UserSettings::read() {
    std::vector<std::string> notes;
    Preferences& d = defaults_;
    if (const auto failure = d.loadFailure()) {
        const std::string note = "Couldn't read the settings file " + failure->toStdString() +
                                 ". The standard settings apply, and changes won't be saved.";
        qCWarning(logModel).noquote() << QString::fromStdString(note);
        notes.push_back(note);
    }
    // Logged line by line as the file was read; told here once.
    if (const auto unread = d.unreadLines()) notes.push_back(unread->toStdString());
    if (persist_) {
        auto thresholds = d.get(Settings::thresholds);
        auto profiles = d.get(Settings::familyProfiles);
        // Impossible stored limits are not graded by: the record falls back as an unreadable one
        // would, and the stored entry stays until the user saves new limits.
        if (auto refusal = LimitOrder::refusal(thresholds.value)) {
            thresholds.value = Thresholds::standard();
            thresholds.failure = refusal->reason;
        }
        // Only the profiles at fault go back to their family's typical limits; the others stay.
        std::string refusedProfiles;
        while (auto refusal = LimitOrder::refusal(profiles.value)) {
            profiles.value.reset(*refusal->family);
            refusedProfiles += (refusedProfiles.empty() ? "" : "; ") + refusal->reason;
        }
        if (!refusedProfiles.empty() && !profiles.failure) profiles.failure = refusedProfiles;
        thresholds_ = std::move(thresholds.value);
        familyProfiles_ = std::move(profiles.value);
        // Grading against limits the shop did not set must not pass unnoticed.
        if (thresholds.failure)
            limitsFallbacks_[thresholdsKind] = fallbackNote(thresholdsKind, *thresholds.failure);
        if (profiles.failure) limitsFallbacks_[profilesKind] = fallbackNote(profilesKind, *profiles.failure);
        for (const auto& [kind, note] : limitsFallbacks_)
            qCWarning(logModel).noquote() << QString::fromStdString(note);
        for (const auto& [kind, note] : limitsFallbacks_) notes.push_back(note);
    }
    useFamilyProfiles_ = d.get(Settings::useFamilyProfiles);
    showRawNumbers_ = d.get(Settings::showRawNumbers);
    trailSeconds_ = d.get(Settings::trailSeconds);
    companyName_ = d.get(Settings::companyName).toStdString();
    companyContact_ = d.get(Settings::companyContact).toStdString();
    defaultTechnician_ = d.get(Settings::defaultTechnician).toStdString();
    return notes;
}

template <class T>
void UserSettings::saveRecord(const Settings::Record<T>& record, const T& value, const std::string& kind) {
    if (!persist_) return;
    // A record that cannot be encoded (a number that is not finite) is not written.
    if (!defaults_.set(record, value)) return;
    if (limitsFallbacks_.erase(kind) > 0) emit limitsFallbacksChanged();
}

std::vector<std::string> UserSettings::limitsFallbacks() const {
    std::vector<std::string> notes;
    for (const auto& [kind, note] : limitsFallbacks_) notes.push_back(note);
    return notes;
}

UserSettings::Refusal UserSettings::setThresholds(Thresholds value) {
    if (auto refusal = LimitOrder::refusal(value)) return refused(std::move(refusal), "threshold");
    if (assign(thresholds_, std::move(value))) emit thresholdsChanged();
    saveRecord(Settings::thresholds, thresholds_, thresholdsKind);
    return std::nullopt;
}

UserSettings::Refusal UserSettings::setFamilyProfiles(FamilyProfiles value) {
    if (auto refusal = LimitOrder::refusal(value)) return refused(std::move(refusal), "family profile");
    if (assign(familyProfiles_, std::move(value))) emit familyProfilesChanged();
    saveFamilyProfiles();
    return std::nullopt;
}

void UserSettings::saveFamilyProfiles() {
    saveRecord(Settings::familyProfiles, familyProfiles_, profilesKind);
}

void UserSettings::setUseFamilyProfiles(bool value) {
    if (assign(useFamilyProfiles_, value)) emit useFamilyProfilesChanged();
    defaults_.set(Settings::useFamilyProfiles, value);
}

// ---- per device

void UserSettings::setFamilyChoice(const std::string& deviceID, std::optional<ControllerFamily> family) {
    auto choice = familyChoice_;
    if (family)
        choice[deviceID] = *family;
    else
        choice.erase(deviceID);
    if (assign(familyChoice_, std::move(choice))) emit familyChoiceChanged();
}

ControllerFamily UserSettings::family(const InputDevice& device) const {
    if (auto it = familyChoice_.find(device.id()); it != familyChoice_.end()) return it->second;
    return RorozErurEvo::ControllerFamilies::detect(device.identity());
}

std::optional<ControllerFamily> UserSettings::profileFamily(const InputDevice& device) const {
    if (!useFamilyProfiles_) return std::nullopt;
    ControllerFamily f = family(device);
    if (f == ControllerFamily::generic) return std::nullopt;
    return f;
}

Thresholds UserSettings::thresholds(const InputDevice& device) const {
    if (auto f = profileFamily(device)) return familyProfiles_.thresholds(*f);
    return thresholds_;
}

std::string UserSettings::thresholdsLabel(const InputDevice& device) const {
    if (auto f = profileFamily(device))
        return RorozErurEvo::ProfileLabel::text(f, familyProfiles_.isCustom(*f));
    return "Your thresholds";
}

// ---- display and report

void UserSettings::setShowRawNumbers(bool value) {
    if (assign(showRawNumbers_, value)) emit showRawNumbersChanged();
    defaults_.set(Settings::showRawNumbers, value);
}

void UserSettings::setTrailSeconds(double value) {
    if (assign(trailSeconds_, value)) emit trailSecondsChanged();
    defaults_.set(Settings::trailSeconds, value);
}

void UserSettings::setCompanyName(std::string value) {
    if (assign(companyName_, std::move(value))) emit companyNameChanged();
    defaults_.set(Settings::companyName, QString::fromStdString(companyName_));
}

void UserSettings::setCompanyContact(std::string value) {
    if (assign(companyContact_, std::move(value))) emit companyContactChanged();
    defaults_.set(Settings::companyContact, QString::fromStdString(companyContact_));
}

void UserSettings::setDefaultTechnician(std::string value) {
    if (assign(defaultTechnician_, std::move(value))) emit defaultTechnicianChanged();
    defaults_.set(Settings::defaultTechnician, QString::fromStdString(defaultTechnician_));
}

void UserSettings::setLogo(QImage value) {
    if (assign(logo_, std::move(value))) emit logoChanged();
}

} // namespace Tessarine
