#pragma once
// The one application model: it owns the device sources, the testers, the session library,
// the runners, the device lists and the selection, the unit records, the thresholds and the
// display and branding settings, and drives all of it from one 60 Hz frame tick.
//
// Main thread only; the model has no lock. The only entries from other threads are the HID
// source's change callback, which only hops to the main thread, and the producers, which
// write into capture buffers and never touch the model.
//
// Every observable field emits its signal only when its value changes; the lists of devices
// emit on every assignment. Persisted settings are written on every assignment, changed or not.
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/devices/Clock.h"
#include "app/devices/DemoDevice.h"
#include "app/devices/InputDevice.h"
#include "app/devices/RepeatingTimer.h"
#include "app/model/BackgroundWorker.h"
#include "app/model/BatchRunner.h"
#include "app/model/Clipboard.h"
#include "app/model/DeviceSources.h"
#include "app/model/FileChooser.h"
#include "app/model/KeyboardTester.h"
#include "app/model/MouseTester.h"
#include "app/model/Preferences.h"
#include "app/model/ReportRenderer.h"
#include "app/model/RunnerContext.h"
#include "app/model/Services.h"
#include "app/model/SessionLibrary.h"
#include "app/model/SidebarItem.h"
#include "app/model/SoakRunner.h"
#include "app/model/TestRunner.h"
#include "app/model/UnitRecord.h"
#include "testkit/ControllerFamily.h"
#include "testkit/LimitOrder.h"
#include "testkit/TestSession.h"
#include "testkit/Thresholds.h"
#include "testkit/Uuid.h"

namespace Tessarine {

class AppModel : public QObject, public RunnerContext {
    Q_OBJECT

public:
    using Devices = RunnerContext::Devices;

    // Frame timer interval, seconds.
    static constexpr double frameInterval = 1.0 / 60;
    // While the application is in the background, live values refresh on every this many
    // frames (about 10 times a second).
    static constexpr int backgroundFrames = 6;

    // Everything the model runs on, handed in by the application (or by a test).
    struct Parts {
        std::unique_ptr<Preferences> defaults;      // the user defaults
        std::shared_ptr<MainExecutor> executor;     // hops to the main thread; may outlive the model
        std::unique_ptr<AppActivity> activity;
        const Clock* clock = &Clock::system();
        TimerFactory timers = QtRepeatingTimer::factory();
        QString supportFolder;                      // empty: defaultSupportFolder()
        std::unique_ptr<ControllerSource> controllers;
        std::unique_ptr<HIDSource> hid;
        std::unique_ptr<BackgroundWorker> background; // reads the session folder and the logo; null: a ThreadWorker
    };

    // Creates everything and reads the settings; starts nothing.
    AppModel(bool persist, Parts parts, QObject* parent = nullptr);
    // Stops the sources and joins their threads first (shutdown()).
    ~AppModel() override;
    AppModel(const AppModel&) = delete;
    AppModel& operator=(const AppModel&) = delete;

    // "~/.local/share/com.quenlow.Tessarine".
    static QString defaultSupportFolder();

    // ---- start and end

    // Starts loading the saved sessions and, when the model persists, the report logo in the
    // background (they land later, through the executor); when live, wires and starts the controller and HID sources; then starts the demo
    // controller and the frame timer.
    void start(bool live);
    // Stops the frame and demo timers, stops and joins the HID and controller threads, and waits
    // for the session folder's reader.
    // Afterwards the model takes no more ticks and ignores late change callbacks.
    void shutdown();

    // ---- the parts

    SessionLibrary& library() { return *library_; }
    const SessionLibrary& library() const { return *library_; }
    DemoDriver& demo() override { return *demo_; }
    KeyboardTester& keyboard() { return *keyboard_; }
    MouseTester& mouse() { return *mouse_; }
    ControllerSource& controllers() { return *parts_.controllers; }
    HIDSource& hid() { return *parts_.hid; }
    BatchRunner* batch() const { return batch_.get(); }
    SoakRunner* soak() const { return soak_.get(); }
    bool soaking(const InputDevice& device) const override;
    Announcer& announcer() { return announcer_; }
    Preferences& defaults() { return *parts_.defaults; }
    const Clock& clock() const override { return *parts_.clock; }
    bool persist() const { return persist_; }
    std::int64_t frame() const { return frame_; }
    const QString& supportFolder() const { return supportFolder_; }
    QString sessionsFolder() const;
    QString logoPath() const;

    // ---- settings (written to the user defaults on every assignment)

    // Limits are refused whole when impossible (LimitOrder::refusal: a limit below zero or not a
    // finite number, or a warn limit beyond its fail limit), whoever offers them: nothing changes
    // or is written, the log says why, and the refusal is returned for the caller to show.
    using Refusal = std::optional<RorozErurEvo::LimitOrder::Refusal>;
    const RorozErurEvo::Thresholds& thresholds() const override { return thresholds_; }
    Refusal setThresholds(RorozErurEvo::Thresholds value);
    const RorozErurEvo::FamilyProfiles& familyProfiles() const { return familyProfiles_; }
    Refusal setFamilyProfiles(RorozErurEvo::FamilyProfiles value);
    // Writes the profiles after a change made in place.
    void saveFamilyProfiles();
    bool useFamilyProfiles() const { return useFamilyProfiles_; }
    void setUseFamilyProfiles(bool value);
    // Why the saved thresholds or family profiles could not be read or were impossible, so that the
    // standard ones (for profiles: the families' typical ones) apply: one line each, empty when both were read (or were simply not there). It stays until
    // the user saves new limits of that kind; the settings window shows it.
    std::vector<std::string> limitsFallbacks() const;
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

    // ---- other observed state

    const std::optional<SidebarItem>& selection() const { return selection_; }
    void setSelection(std::optional<SidebarItem> value);
    DetailTab tab() const { return tab_; }
    void setTab(DetailTab value);
    const std::map<std::string, UnitRecord>& units() const { return units_; }
    void setUnit(const std::string& deviceID, UnitRecord record);
    const std::map<std::string, RorozErurEvo::ControllerFamily>& familyChoice() const { return familyChoice_; }
    void setFamilyChoice(const std::string& deviceID, std::optional<RorozErurEvo::ControllerFamily> family);
    const QImage& logo() const { return logo_; } // null when there is none
    void setLogo(QImage value);
    const std::shared_ptr<InputDevice>& saveSheetDevice() const { return saveSheetDevice_; }
    void setSaveSheetDevice(std::shared_ptr<InputDevice> value);
    const std::optional<RorozErurEvo::Uuid>& compareBefore() const { return compareBefore_; }
    void setCompareBefore(std::optional<RorozErurEvo::Uuid> value);
    const std::optional<RorozErurEvo::Uuid>& compareAfter() const { return compareAfter_; }
    void setCompareAfter(std::optional<RorozErurEvo::Uuid> value);
    const std::optional<RorozErurEvo::Uuid>& selectedSession() const { return selectedSession_; }
    void setSelectedSession(std::optional<RorozErurEvo::Uuid> value);
    const std::optional<std::string>& toast() const { return toast_; }
    void setToast(std::optional<std::string> value) override;
    // Shows the text after the toast already showing, if any: notices of the start (a file that
    // was refused) all stay readable.
    void appendToast(const std::string& text);
    int settingsRequest() const { return settingsRequest_; }

    // Speaks the text to accessibility clients.
    void announce(const QString& text) override { announcer_.announce(text); }

    // ---- devices and the frame tick

    const Devices& controllerDevices() const override { return controllerDevices_; }
    // The HID devices that are nobody's raw partner.
    const Devices& hidDevices() const { return hidDevices_; }
    const Devices& allHID() const override { return allHID_; }
    const std::vector<SkippedHID>& skippedHID() const { return skippedHID_; }
    // Why a whole source reads nothing, empty while it runs: the controller service failed to
    // start, or the raw HID loop stopped. Change with controllerDevicesChanged and
    // skippedHIDChanged.
    const std::string& controllerFailure() const { return controllerFailure_; }
    const std::string& hidFailure() const { return hidFailure_; }
    const std::map<std::string, std::string>& partnerChoice() const { return partnerChoice_; }

    // Controllers, then the demo controller, then the unpartnered HID devices.
    Devices allDevices() const;
    // The devices whose live values the tick refreshes.
    Devices visibleDevices() const;
    std::shared_ptr<InputDevice> device(const std::string& id) const override;
    TestRunner& runner(const std::shared_ptr<InputDevice>& device) override;
    const TestRunner* existingRunner(const std::string& id) const;
    std::size_t runnerCount() const { return runners_.size(); }

    void startTimer();
    // One frame at the clock's time.
    void tick();
    // One frame at uptime `now` (seconds).
    void tick(double now);

    void refreshControllers();
    void refreshHID();
    // Lists each joystick of the joystick layer that the raw HID monitor does not read itself,
    // in place of the monitor's row for the node it could not open. True when a list changed.
    bool mergeJoysticks();
    void pairRawPartners();
    void fixSelection();
    // The user's raw partner for a controller; no identifier is an explicit choice of none.
    void setPartner(const std::optional<std::string>& hidID, const InputDevice& controller);
    // Hands the unit record, results and selection of `oldID` to a device that came back
    // under a new identifier.
    void carryOver(const std::string& oldID, const std::shared_ptr<InputDevice>& device) override;

    // ---- thresholds and units per device

    RorozErurEvo::ControllerFamily family(const InputDevice& device) const;
    // The family whose profile applies, or none (profiles off, or a generic device).
    std::optional<RorozErurEvo::ControllerFamily> profileFamily(const InputDevice& device) const;
    RorozErurEvo::Thresholds thresholds(const InputDevice& device) const override;
    std::string thresholdsLabel(const InputDevice& device) const;
    // The device's record, or a new one (not kept).
    UnitRecord unit(const InputDevice& device) const;

    // ---- sessions and user commands (AppModelCommands.cpp)

    enum class ExportFormat { json, csv };

    // The panels, the clipboard and the report renderer the commands use. Without a chooser
    // every panel counts as cancelled; without a renderer a report cannot be made.
    void setClipboard(std::shared_ptr<Clipboard> value) { clipboard_ = std::move(value); }
    void setFileChooser(std::shared_ptr<FileChooser> value) { fileChooser_ = std::move(value); }
    void setReportRenderer(std::shared_ptr<ReportRenderer> value) { reportRenderer_ = std::move(value); }

    // A session of the device's unit record and results, as saving would write it; changes nothing.
    RorozErurEvo::TestSession makeSession(const InputDevice& device) const;
    // Opens the save-session sheet for the device; nothing without one.
    void requestSave(const std::shared_ptr<InputDevice>& device);
    // Records the unit, saves its session and toasts the outcome; returns the session, also
    // when it could not be saved.
    RorozErurEvo::TestSession saveSession(const std::shared_ptr<InputDevice>& device, UnitRecord record);
    void copyListing(const RorozErurEvo::TestSession& session);
    // Reads the listed sessions whole (SessionLibrary::open) and hands them, in the order given,
    // to `use` on the main thread: at once when they are at hand, else once read, with a toast
    // saying so meanwhile when there are several. When one cannot be read the toast says
    // "Couldn't open the session: <problem>" and `use` is not called.
    void openSessions(std::vector<RorozErurEvo::SessionSummary> listed,
                      std::function<void(std::vector<RorozErurEvo::TestSession>)> use);
    // Deletes a saved session. When its file cannot be removed the session stays listed (it would
    // come back at the next launch) and the toast says why; false then.
    bool removeSession(const RorozErurEvo::Uuid& id);
    void exportPDF(const std::vector<RorozErurEvo::TestSession>& sessions, const std::string& suggestedName);
    // The print panel for the report of the sessions; nothing for an empty list or when the user
    // cancels; a failure is toasted.
    void printReport(const std::vector<RorozErurEvo::TestSession>& sessions);
    void exportSessions(const std::vector<RorozErurEvo::TestSession>& sessions, ExportFormat format,
                        const std::string& suggestedName);
    void importLogo();
    void removeLogo();
    // Absent without a company name and a logo.
    std::optional<ReportBranding> reportBranding() const;
    // What the report of the sessions is made from: them, the branding and this program's
    // version and scope note.
    ReportInput reportInput(std::span<const RorozErurEvo::TestSession> sessions) const;
    // Asks the window layer to open the settings window on the tab.
    void openSettings(const QString& tab);
    // The suggested name made safe as a file name; "Tessarine Report" when nothing is left.
    static std::string reportFileName(const std::string& suggested);

signals:
    void thresholdsChanged();
    void familyProfilesChanged();
    void useFamilyProfilesChanged();
    void limitsFallbacksChanged();
    void showRawNumbersChanged();
    void trailSecondsChanged();
    void companyNameChanged();
    void companyContactChanged();
    void defaultTechnicianChanged();
    void selectionChanged();
    void tabChanged();
    void unitsChanged();
    void familyChoiceChanged();
    void logoChanged();
    void saveSheetDeviceChanged();
    void compareBeforeChanged();
    void compareAfterChanged();
    void selectedSessionChanged();
    void toastChanged();
    void settingsRequestChanged();
    void controllerDevicesChanged();
    void hidDevicesChanged();
    void allHIDChanged();
    void skippedHIDChanged();
    void partnerChoiceChanged();

private:
    void readSettings();
    // Reads the report logo off the main thread; it lands through the executor.
    void loadLogo();
    // Writes the record when the model persists, and forgets why the stored one was not read.
    template <class T> void saveRecord(const Settings::Record<T>& record, const T& value, const std::string& kind);
    void settingsSaveFailed(const QString& cause);

    Parts parts_;
    const bool persist_;
    std::unique_ptr<DemoDriver> demo_;
    std::unique_ptr<KeyboardTester> keyboard_;
    std::unique_ptr<MouseTester> mouse_;
    QString supportFolder_;
    Announcer announcer_;
    std::unique_ptr<SessionLibrary> library_;
    std::unique_ptr<BatchRunner> batch_;
    std::unique_ptr<SoakRunner> soak_;

    Devices controllerDevices_;
    Devices hidDevices_;
    Devices allHID_;
    std::vector<SkippedHID> skippedHID_;
    // What the raw HID monitor alone reads and leaves aside; allHID_ and skippedHID_ add the
    // joysticks read through the system's joystick layer.
    Devices monitorHID_;
    std::vector<SkippedHID> monitorSkipped_;
    std::string controllerFailure_;
    std::string hidFailure_;
    std::map<std::string, std::shared_ptr<InputDevice>> hidByID_;
    // By device identifier. A runner is never removed while the application runs: views and
    // batch cards keep references to it, and its results outlive a disconnection.
    std::map<std::string, std::unique_ptr<TestRunner>> runners_;
    std::map<std::string, std::string> partnerChoice_;
    std::optional<SidebarItem> selection_ = SidebarItem::device("demo");
    DetailTab tab_ = DetailTab::bench;
    std::map<std::string, UnitRecord> units_;
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
    std::shared_ptr<InputDevice> saveSheetDevice_;
    std::optional<RorozErurEvo::Uuid> compareBefore_;
    std::optional<RorozErurEvo::Uuid> compareAfter_;
    std::optional<RorozErurEvo::Uuid> selectedSession_;
    std::optional<std::string> toast_;
    int settingsRequest_ = 0;
    std::shared_ptr<Clipboard> clipboard_ = std::make_shared<GuiClipboard>();
    std::shared_ptr<FileChooser> fileChooser_;
    std::shared_ptr<ReportRenderer> reportRenderer_;
    std::unique_ptr<RepeatingTimer> timer_;
    std::int64_t frame_ = 0;
    bool started_ = false;
    bool shutDown_ = false;
    // Counts the logos the user chose or removed, so that the one read at start cannot undo them.
    unsigned logoGeneration_ = 0;
};

} // namespace Tessarine
