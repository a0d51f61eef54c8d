#pragma once
// The one application model: it owns the device sources, the testers, the session library,
// the batch and soak runners and the faces the views read (the user's settings, where the user
// is, the device lists with their runners and unit records, and the export under way), and drives all of it from
// one 60 Hz frame tick.
//
// Main thread only; the model has no lock. The only entries from other threads are the HID
// source's change callback, which only hops to the main thread, and the producers, which
// write into capture buffers and never touch the model.
//
// Every observable field emits its signal only when its value changes.
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/base/Clock.h"
#include "app/devices/DemoDevice.h"
#include "app/devices/InputDevice.h"
#include "app/base/RepeatingTimer.h"
#include "app/model/BackgroundWorker.h"
#include "app/model/BatchRunner.h"
#include "app/model/Clipboard.h"
#include "app/model/DeviceLists.h"
#include "app/model/DeviceSources.h"
#include "app/model/ExportProgress.h"
#include "app/model/FileChooser.h"
#include "app/model/KeyboardTester.h"
#include "app/model/MouseTester.h"
#include "app/model/Navigation.h"
#include "app/model/Preferences.h"
#include "app/model/ReportRenderer.h"
#include "app/model/RunnerContext.h"
#include "app/model/Services.h"
#include "app/model/SessionCommands.h"
#include "app/model/SessionLibrary.h"
#include "app/model/SidebarItem.h"
#include "app/model/SoakRunner.h"
#include "app/model/TestRunner.h"
#include "app/model/UnitRecord.h"
#include "app/model/UserSettings.h"
#include "testkit/ControllerFamily.h"
#include "testkit/ExportFile.h"
#include "testkit/LimitOrder.h"
#include "testkit/TestSession.h"
#include "testkit/Thresholds.h"
#include "testkit/Uuid.h"

namespace Tessarine {

class AppModel : public QObject, public RunnerContext, public SessionCommands {
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
        std::unique_ptr<BackgroundWorker> background; // every file read and written; null: a BackgroundThreads
        // Runs the start of the controller source, now or later; empty: now. The controller thread
        // begins by loading the game-controller library, and while the system's loader maps it,
        // no other thread can make a thread or first use a thread-local: the application starts
        // it once its window has finished starting.
        std::function<void(std::function<void()>)> startControllers = nullptr;
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
    // background (they land later, through the executor); when live, wires and starts the controller
    // (through `Parts::startControllers`) and HID sources; then starts the demo controller and the
    // frame timer.
    void start(bool live);
    // Stops the frame and demo timers, cancels an export under way, stops and joins the HID and
    // controller threads, and waits up to fileWorkWait for the file work (BackgroundWorker::finish).
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

    // ---- the faces the views read

    UserSettings& settings() { return *settings_; }
    const UserSettings& settings() const { return *settings_; }
    Navigation& navigation() { return *navigation_; }
    const Navigation& navigation() const { return *navigation_; }
    DeviceLists& deviceLists() { return *lists_; }
    const DeviceLists& deviceLists() const { return *lists_; }

    // ---- the runners' view of the settings

    const RorozErurEvo::Thresholds& thresholds() const override { return settings_->thresholds(); }
    RorozErurEvo::Thresholds thresholds(const InputDevice& device) const override {
        return settings_->thresholds(device);
    }

    // ---- other observed state

    const std::optional<std::string>& toast() const { return toast_; }
    void setToast(std::optional<std::string> value) override;
    // Shows the text after the toast already showing, if any: notices of the start (a file that
    // was refused) all stay readable.
    void appendToast(const std::string& text);
    int settingsRequest() const { return settingsRequest_; }

    // Speaks the text to accessibility clients.
    void announce(const QString& text) override { announcer_.announce(text); }

    // ---- devices and the frame tick

    const Devices& controllerDevices() const override { return lists_->controllerDevices(); }
    const Devices& allHID() const override { return lists_->allHID(); }

    // The devices whose live values the tick refreshes.
    Devices visibleDevices() const;
    std::shared_ptr<InputDevice> device(const std::string& id) const override { return lists_->device(id); }
    TestRunner& runner(const std::shared_ptr<InputDevice>& device) override { return lists_->runner(device); }

    void startTimer();
    // One frame at the clock's time.
    void tick();
    // One frame at uptime `now` (seconds).
    void tick(double now);

    void refreshControllers();
    void refreshHID();
    // A selected device that is gone gives way to the first controller, else the demo.
    void fixSelection();
    // Hands the unit record, results and selection of `oldID` to a device that came back
    // under a new identifier.
    void carryOver(const std::string& oldID, const std::shared_ptr<InputDevice>& device) override;

    // ---- sessions and user commands (AppModelCommands.cpp)

    using ExportFormat = SessionCommands::ExportFormat;

    // The panels, the clipboard and the report renderer the commands use. Without a chooser
    // every panel counts as cancelled; without a renderer a report cannot be made.
    void setClipboard(std::shared_ptr<Clipboard> value) { clipboard_ = std::move(value); }
    void setFileChooser(std::shared_ptr<FileChooser> value) { fileChooser_ = std::move(value); }
    void setReportRenderer(std::shared_ptr<ReportRenderer> value) { reportRenderer_ = std::move(value); }

    // The commands of SessionCommands.
    RorozErurEvo::TestSession makeSession(const InputDevice& device) const override;
    void requestSave(const std::shared_ptr<InputDevice>& device) override;
    RorozErurEvo::TestSession saveSession(const std::shared_ptr<InputDevice>& device, UnitRecord record,
                                          Saved done = {}) override;
    void copyListing(const RorozErurEvo::TestSession& session) override;
    void openSessions(std::vector<RorozErurEvo::SessionSummary> listed,
                      std::function<void(std::vector<RorozErurEvo::TestSession>)> use) override;
    void removeSession(const RorozErurEvo::Uuid& id) override;
    void exportPDF(const std::vector<RorozErurEvo::TestSession>& sessions,
                   const std::string& suggestedName) override;
    void exportComparisonPDF(const RorozErurEvo::TestSession& before, const RorozErurEvo::TestSession& after,
                             const std::string& suggestedName) override;
    void printReport(const std::vector<RorozErurEvo::TestSession>& sessions) override;
    void exportSessions(const std::vector<RorozErurEvo::TestSession>& sessions, ExportFormat format,
                        const std::string& suggestedName) override;
    void exportListed(std::vector<RorozErurEvo::SessionSummary> listed, ExportFormat format,
                      const std::string& suggestedName) override;

    // How far the export under way has got, and its cancel (cancelExport()).
    ExportProgress& exportProgress() { return *exportProgress_; }
    const ExportProgress& exportProgress() const { return *exportProgress_; }
    // Stops the export under way and says so: its file is not made, and a file it was to replace
    // stays as it was.
    void cancelExport();
    // Longest the progress goes unshown while an export runs (its updates come no more often).
    static constexpr std::chrono::milliseconds progressInterval{100};
    // Longest the shutdown waits for file work still running (a report, the logo, a session write
    // the user quit without) before it leaves it behind: a write takes milliseconds, and a disk
    // that has not answered in this time may never. Session writes are waited for before (QuitWait).
    static constexpr std::chrono::milliseconds fileWorkWait{1000};
    void saveTesterResult(const RorozErurEvo::TestResult& result, const std::string& name,
                          const std::string& unit) override;
    void importLogo() override;
    void removeLogo() override;
    // Absent without a company name and a logo.
    std::optional<ReportBranding> reportBranding() const;
    // What the report of the sessions is made from: them, the branding and this program's
    // version and scope note.
    ReportInput reportInput(std::span<const RorozErurEvo::TestSession> sessions, bool beforeAndAfter = false) const;
    // Asks the window layer to open the settings window on the tab.
    void openSettings(const QString& tab);
    // The suggested name made safe as a file name; "Tessarine Report" when nothing is left.
    static std::string reportFileName(const std::string& suggested);

signals:
    void toastChanged();
    void settingsRequestChanged();

private:
    void readSettings();
    // After the shutdown's wait for file work: the log says whether session writes the quit left
    // were written or lost.
    void noteWritesLeft() const;
    // The export's count as its worker has it, at most every progressInterval.
    void showExportProgress(double now);
    // The export's outcome, on the main thread: the progress ends and a toast says how it went.
    void landExport(std::uint64_t generation, const RorozErurEvo::ExportFile::Outcome& outcome, std::size_t count);
    // Asks for the file and starts the export of `count` sessions that `read` gives one at a time.
    void startExport(std::function<RorozErurEvo::ExportFile::Read(std::size_t)> read, std::size_t count,
                     ExportFormat format, const std::string& suggestedName);
    // Writes the file on the worker, after any write to the same path asked before; `landed` hears
    // the error, absent on success, on the main thread (not when the model is gone).
    void writeInBackground(const QString& path, QByteArray data, std::string what,
                           std::function<void(const std::optional<QString>& error)> landed);
    // Reads the report logo off the main thread; it lands through the executor.
    void loadLogo();
    void settingsSaveFailed(const QString& cause);
    // Asks where to save the report of the sessions, saves it and toasts the outcome.
    void savePDF(const std::vector<RorozErurEvo::TestSession>& sessions, const std::string& suggestedName,
                 bool beforeAndAfter);

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

    std::unique_ptr<UserSettings> settings_;
    std::unique_ptr<Navigation> navigation_;
    std::unique_ptr<DeviceLists> lists_;
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
    std::unique_ptr<ExportProgress> exportProgress_ = std::make_unique<ExportProgress>([this] { cancelExport(); });
    // What the export under way shares with its work on the worker: the stop asked of it, and how
    // many sessions it has written, which the frame tick shows. A count rather than a message per
    // update: memory the worker hands over lands in the window's heap, whose lock the worker then
    // takes, and keeps while it waits for a core behind busier programs, the window waiting on it.
    struct ExportRun {
        std::atomic<bool> cancelled{false};
        std::atomic<std::size_t> written{0};
    };
    std::shared_ptr<ExportRun> exportRun_;
    std::uint64_t exportGeneration_ = 0; // of the export whose progress and outcome count
    double exportShownAt_ = 0;           // uptime the export's progress was last shown
};

} // namespace Tessarine
