#pragma once
// The user's settings as the views see them: the pass/fail limits and the family profiles, the
// display options, the report branding with its logo, and the family chosen per device. Owned by
// the application model. Main thread only.
//
// Every observable field emits its signal only when its value changes. Persisted settings are
// written on every assignment, changed or not; a settings object that does not persist neither
// reads nor writes the limits, and reads and writes the other settings all the same.
#include <QImage>
#include <QObject>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/model/SettingsSchema.h"
#include "testkit/ControllerFamily.h"
#include "testkit/LimitOrder.h"
#include "testkit/Thresholds.h"

namespace Tessarine {

class InputDevice;
class Preferences;

class UserSettings : public QObject {
    Q_OBJECT

public:
    // The defaults are not owned and outlive the settings.
    UserSettings(Preferences& defaults, bool persist, QObject* parent = nullptr);

    // Reads every setting and writes nothing back: an unreadable entry stays as it is until the
    // user changes that setting. Returns what the user should read, in order: why the settings
    // file, or the saved limits, could not be used.
    std::vector<std::string> read();

    // ---- limits

    // Limits are refused whole when impossible (LimitOrder::refusal: a limit below zero or not a
    // finite number, or a warn limit beyond its fail limit), whoever offers them: nothing changes
    // or is written, the log says why, and the refusal is returned for the caller to show.
    using Refusal = std::optional<RorozErurEvo::LimitOrder::Refusal>;
    const RorozErurEvo::Thresholds& thresholds() const { return thresholds_; }
    Refusal setThresholds(RorozErurEvo::Thresholds value);
    const RorozErurEvo::FamilyProfiles& familyProfiles() const { return familyProfiles_; }
    Refusal setFamilyProfiles(RorozErurEvo::FamilyProfiles value);
    // Writes the profiles after a change made in place.
    void saveFamilyProfiles();
    bool useFamilyProfiles() const { return useFamilyProfiles_; }
    void setUseFamilyProfiles(bool value);
    // Why the saved thresholds or family profiles could not be read or were impossible, so that
    // the standard ones (for profiles: the families' typical ones) apply: one line each, empty
    // when both were read (or were simply not there). It stays until the user saves new limits of
    // that kind; the settings window shows it.
    std::vector<std::string> limitsFallbacks() const;

    // ---- per device

    const std::map<std::string, RorozErurEvo::ControllerFamily>& familyChoice() const {
        return familyChoice_;
    }
    // The user's family for a device; none goes back to the detected one. Not persisted.
    void setFamilyChoice(const std::string& deviceID, std::optional<RorozErurEvo::ControllerFamily> family);
    RorozErurEvo::ControllerFamily family(const InputDevice& device) const;
    // The family whose profile applies, or none (profiles off, or a generic device).
    std::optional<RorozErurEvo::ControllerFamily> profileFamily(const InputDevice& device) const;
    // The limits in effect for a device: its family's profile, if any, else the user's.
    RorozErurEvo::Thresholds thresholds(const InputDevice& device) const;
    std::string thresholdsLabel(const InputDevice& device) const;

    // ---- display and report

    bool showRawNumbers() const { return showRawNumbers_; }
    void setShowRawNumbers(bool value);
    double trailSeconds() const { return trailSeconds_; }
    void setTrailSeconds(double value);
    const std::string& companyName() const { return companyName_; }
    void setCompanyName(std::string value);
    const std::string& companyContact() const { return companyContact_; }
    void setCompanyContact(std::string value);
    const std::string& defaultTechnician() const { return defaultTechnician_; }
    void setDefaultTechnician(std::string value);
    const QImage& logo() const { return logo_; } // null when there is none
    void setLogo(QImage value);

signals:
    void thresholdsChanged();
    void familyProfilesChanged();
    void useFamilyProfilesChanged();
    void limitsFallbacksChanged();
    void familyChoiceChanged();
    void showRawNumbersChanged();
    void trailSecondsChanged();
    void companyNameChanged();
    void companyContactChanged();
    void defaultTechnicianChanged();
    void logoChanged();

private:
    // Writes the record when persisting, and forgets why the stored one was not read.
    template <class T>
    void saveRecord(const Settings::Record<T>& record, const T& value, const std::string& kind);

    Preferences& defaults_;
    const bool persist_;
    RorozErurEvo::Thresholds thresholds_ = RorozErurEvo::Thresholds::standard();
    RorozErurEvo::FamilyProfiles familyProfiles_;
    bool useFamilyProfiles_ = true;
    std::map<std::string, std::string> limitsFallbacks_; // kind of limits → note
    std::map<std::string, RorozErurEvo::ControllerFamily> familyChoice_;
    bool showRawNumbers_ = false;
    double trailSeconds_ = 1.5; // seconds
    std::string companyName_;
    std::string companyContact_;
    std::string defaultTechnician_;
    QImage logo_;
};

} // namespace Tessarine
