#pragma once
// The wireless soak test: minutes of watching one controller, wherever the user wants to use
// it, for dropouts, pauses and disconnects. One run at a time, on one device.
//
// The run's cases, driven by the model's frame tick:
//   idle      no run. start() binds a device and begins watching.
//   watching  the bound device is connected: its report times are taken in (at most four
//             times a second) and the run is analysed live (at most once a second).
//             A tick that finds it gone or disconnected opens an outage → waiting.
//   waiting   the device is away. The first newly connected device that is the same unit (a
//             controller usually returns under a new identifier) closes the outage, takes over
//             the run, the unit record and the results → watching. The bound device coming back
//             under its own identifier closes the outage the same way.
//   Either running case ends when the time is up or the user judges early (finish(): the
//   result goes to the device's runner, or a toast when the device did not come back), or when
//   the user cancels (stop(): no result).
//
// Main thread only. While a run is in progress the system is kept from idle sleep.
#include <QObject>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/devices/InputDevice.h"
#include "app/model/SleepInhibitor.h"
#include "testkit/DeviceInfo.h"
#include "testkit/GuidedTest.h"
#include "testkit/SoakAnalysis.h"
#include "testkit/SoakLiveAnalysis.h"
#include "testkit/SoakStrip.h"
#include "testkit/Thresholds.h"

namespace Tessarine {

class RunnerContext;

class SoakRunner : public QObject {
    Q_OBJECT

public:
    // Shortest run, seconds.
    static constexpr double minimumSeconds = 60;
    // Least time between two intakes of report times, seconds.
    static constexpr double intakeInterval = 0.25;
    // Least time between two live analyses, seconds.
    static constexpr double analysisInterval = 1.0;
    // Window of the live report rate, seconds.
    static constexpr double recentWindow = 3.0;
    // Bins of the live strip.
    static constexpr int stripBins = 120;
    // A stream that has not reported yet is taken to report nothing older than this many seconds
    // when it starts (its samples are stamped when they are written); the live analysis walks
    // every report older than that for good.
    static constexpr double silentStreamMargin = 0.5;

    // The context is not owned and outlives the runner. Sleep is held through logind until
    // setSleepInhibitor() installs another way.
    explicit SoakRunner(RunnerContext& context);
    ~SoakRunner() override;

    RunnerContext& context() const { return context_; }
    void setSleepInhibitor(std::shared_ptr<SleepInhibitor> inhibitor) { inhibitor_ = std::move(inhibitor); }

    // ---- observed state

    bool isRunning() const { return running_; }
    // Whether a run is in progress and bound to this device.
    bool isRunning(const InputDevice& device) const;
    const std::optional<std::string>& deviceID() const { return deviceID_; }
    double start() const { return start_; }       // uptime seconds
    double seconds() const { return seconds_; }   // length of the run
    bool waiting() const { return waiting_; }
    const std::optional<RorozErurEvo::SoakReport>& report() const { return report_; }
    const std::optional<RorozErurEvo::SoakStrip>& strip() const { return strip_; }
    // Reports per second over the last recentWindow seconds, counted as the result counts them.
    const std::optional<double>& recentRate() const { return recentRate_; }

    // ---- working state, for the views' details and for tests

    const std::optional<std::string>& firstID() const { return firstID_; }
    const RorozErurEvo::DeviceInfo& identity() const { return identity_; }
    // Report times taken in over the whole run; only those of the last few seconds are kept.
    std::size_t reportCount() const { return reportCount_; }
    // The report times taken in by the intakes of the last recentWindow seconds, in the order taken.
    std::vector<double> recentReports() const;
    const std::vector<RorozErurEvo::SoakTimeline::Outage>& outages() const { return outages_; }
    bool holdsSleep() const { return activity_ != nullptr; }

    // Seconds since the start; 0 while idle.
    double elapsed() const;
    // The thresholds in effect for the bound device (else the device at the start); the model's
    // own when neither is known.
    RorozErurEvo::Thresholds thresholds() const;
    // Those thresholds with the gap and pause the run started with, which judge the whole run.
    RorozErurEvo::Thresholds runThresholds() const;
    // The catalogue's soak test, whose identifier keys the result.
    static RorozErurEvo::GuidedTest soakTest();
    // The report streams of a device: its own reports, its motion samples, its raw partner's.
    static std::vector<std::string> streamKeys(const InputDevice& device);

    // ---- operations

    // Begins a run of `minutes` (at least one minute) on the device; nothing while one runs.
    void start(InputDevice& device, double minutes);
    // Advances the run to uptime `now` (seconds); idle, it does nothing.
    void tick(double now);
    // Takes in the report times the device logged since the last intake.
    void intake(const InputDevice& device, double now);
    // Ends the run with its result over start … end (uptime seconds).
    void finish(double end);
    // Ends the run without a result.
    void stop();

signals:
    void runningChanged();
    void deviceIDChanged();
    void startChanged();
    void secondsChanged();
    void waitingChanged();
    void reportChanged();
    void stripChanged();
    void recentRateChanged();

private:
    void setRunning(bool value);
    void setDeviceID(std::optional<std::string> value);
    void setStart(double value);
    void setSeconds(double value);
    void setWaiting(bool value);
    void setReport(std::optional<RorozErurEvo::SoakReport> value);
    void setStrip(std::optional<RorozErurEvo::SoakStrip> value);
    void setRecentRate(std::optional<double> value);

    // The bound device is gone: open an outage and remember who else was there.
    void dropped(double now);
    // The unit is back as `device`: close the outage and watch it from now on.
    void returned(const std::shared_ptr<InputDevice>& device, double now);
    // The first newly connected device that is the same unit as the one at the start.
    std::shared_ptr<InputDevice> findReturn() const;
    std::vector<std::shared_ptr<InputDevice>> searchList() const;
    void analyse(double now);
    double rateOfLastSeconds(double now);
    void noteLateReports();
    void announce(const std::string& text) const;

    RunnerContext& context_;
    std::shared_ptr<SleepInhibitor> inhibitor_;

    bool running_ = false;
    std::optional<std::string> deviceID_;
    double start_ = 0;     // uptime seconds
    double seconds_ = 600; // length of the run, seconds
    bool waiting_ = false;
    std::optional<RorozErurEvo::SoakReport> report_;
    std::optional<RorozErurEvo::SoakStrip> strip_;
    std::optional<double> recentRate_;

    RorozErurEvo::DeviceInfo identity_;
    InputDevice::Kind kind_ = InputDevice::Kind::controller;
    std::optional<std::string> firstID_;
    // The outages, and the report times as far as they are still needed: the live analysis
    // keeps what it needs of them, the runner only those of the recent intakes for the rate.
    std::vector<RorozErurEvo::SoakTimeline::Outage> outages_;
    std::size_t reportCount_ = 0;
    std::deque<std::pair<double, std::vector<double>>> recent_; // intakes: time, the times taken
    // The gap and pause the run is walked with, those in effect at its start: the walk keeps
    // no report times to walk again under others.
    double gapMs_ = 0, pauseSeconds_ = 0;
    std::map<std::string, double> readFrom_;                  // stream key → taken up to, uptime seconds
    std::set<std::string> reported_;                          // stream keys that have delivered a time
    double settled_ = 0;      // no report earlier than this will be taken in any more (uptime)
    RorozErurEvo::SoakLiveAnalysis live_;
    std::size_t lateNoted_ = 0; // late report times already logged
    std::set<std::string> presentAtDrop_;
    double lastRead_ = 0;     // uptime seconds
    double lastAnalysis_ = 0; // uptime seconds
    std::unique_ptr<SleepInhibitor::Token> activity_;
};

} // namespace Tessarine
