#include "app/model/SoakRunner.h"

#include <algorithm>
#include <cmath>

#include "app/base/Assign.h"
#include "app/base/Clock.h"
#include "app/base/Logging.h"
#include "app/model/RunnerContext.h"
#include "app/model/TestRunner.h"
#include "testkit/Date.h"
#include "testkit/SoakResult.h"
#include "testkit/Thresholds.h"

namespace Tessarine {

using RorozErurEvo::GuidedTest;
using RorozErurEvo::SoakTimeline;

SoakRunner::SoakRunner(RunnerContext& context) : context_(context), inhibitor_(std::make_shared<LogindSleepInhibitor>()) {}

SoakRunner::~SoakRunner() = default;

// ---- observed state

void SoakRunner::setRunning(bool value) {
    if (assign(running_, value)) emit runningChanged();
}
void SoakRunner::setDeviceID(std::optional<std::string> value) {
    if (assign(deviceID_, std::move(value))) emit deviceIDChanged();
}
void SoakRunner::setStart(double value) {
    if (assign(start_, value)) emit startChanged();
}
void SoakRunner::setSeconds(double value) {
    if (assign(seconds_, value)) emit secondsChanged();
}
void SoakRunner::setWaiting(bool value) {
    if (assign(waiting_, value)) emit waitingChanged();
}
void SoakRunner::setReport(std::optional<RorozErurEvo::SoakReport> value) {
    if (assign(report_, std::move(value))) emit reportChanged();
}
void SoakRunner::setStrip(std::optional<RorozErurEvo::SoakStrip> value) {
    if (assign(strip_, std::move(value))) emit stripChanged();
}
void SoakRunner::setRecentRate(std::optional<double> value) {
    if (assign(recentRate_, value)) emit recentRateChanged();
}

bool SoakRunner::isRunning(const InputDevice& device) const { return running_ && deviceID_ == device.id(); }

double SoakRunner::elapsed() const {
    if (!running_) return 0;
    return std::max(context_.clock().now() - start_, 0.0);
}

RorozErurEvo::Thresholds SoakRunner::thresholds() const {
    for (const auto& id : {deviceID_, firstID_})
        if (id)
            if (auto device = context_.device(*id)) return context_.thresholds(*device);
    return context_.thresholds();
}

RorozErurEvo::Thresholds SoakRunner::runThresholds() const {
    auto t = thresholds();
    if (running_) {
        t.soakGapMs = gapMs_;
        t.soakPauseSeconds = pauseSeconds_;
    }
    return t;
}

std::vector<double> SoakRunner::recentReports() const {
    std::vector<double> times;
    for (const auto& intake : recent_) times.insert(times.end(), intake.second.begin(), intake.second.end());
    return times;
}

GuidedTest SoakRunner::soakTest() {
    return GuidedTest{.kind = RorozErurEvo::TestKind::soak, .element = {}, .target = GuidedTest::Target::device(), .raw = false};
}

std::vector<std::string> SoakRunner::streamKeys(const InputDevice& device) {
    std::vector<std::string> keys{device.id(), device.id() + "-motion"};
    if (device.rawPartner()) keys.push_back(device.rawPartner()->id());
    return keys;
}

void SoakRunner::announce(const std::string& text) const { context_.announce(QString::fromStdString(text)); }

// ---- the run

void SoakRunner::start(InputDevice& device, double minutes) {
    if (running_) return;
    double now = context_.clock().now();
    double length = minutes * 60;
    if (!(length >= minimumSeconds)) length = minimumSeconds; // also a length that is not a number

    setRunning(true);
    setWaiting(false);
    setStart(now);
    setSeconds(length);
    setDeviceID(device.id());
    firstID_ = device.id();
    identity_ = device.identity();
    kind_ = device.kind();

    outages_.clear();
    reportCount_ = 0;
    recent_.clear();
    readFrom_.clear();
    reported_.clear();
    settled_ = now;
    const auto walkedWith = thresholds();
    gapMs_ = walkedWith.soakGapMs;
    pauseSeconds_ = walkedWith.soakPauseSeconds;
    live_.begin(now, walkedWith);
    lateNoted_ = 0;
    presentAtDrop_.clear();
    setReport(std::nullopt);
    setStrip(std::nullopt);
    setRecentRate(std::nullopt);
    lastRead_ = 0;
    lastAnalysis_ = 0;

    // Pads with motion sensors keep reporting while they lie still only with the sensors on.
    if (device.outputs()) device.outputs()->setMotionActive(true);
    activity_ = inhibitor_ ? inhibitor_->inhibit(QStringLiteral("Wireless soak test")) : nullptr;

    announce("Wireless soak test started for " + RorozErurEvo::SoakAnalysis::minutes(seconds_) + ". " +
             soakTest().instructions());
}

void SoakRunner::tick(double now) {
    if (!running_ || now - lastRead_ < intakeInterval) return;
    lastRead_ = now;

    auto device = deviceID_ ? context_.device(*deviceID_) : nullptr;
    if (device && device->connected()) {
        // A device that comes back under the identifier it left with is a return like any other.
        if (waiting_)
            returned(device, now);
        else
            intake(*device, now);
    } else if (!waiting_) {
        dropped(now);
    } else if (auto back = findReturn()) {
        returned(back, now);
    }

    if (now - start_ >= seconds_) {
        finish(start_ + seconds_);
        return;
    }
    if (now - lastAnalysis_ < analysisInterval) return;
    lastAnalysis_ = now;
    analyse(now);
}

void SoakRunner::intake(const InputDevice& device, double now) {
    std::vector<double> taken;
    // A stream never takes a time at or before its readFrom again, so the earliest report still
    // to come is after the smallest readFrom of the streams read; a stream that has not reported
    // yet is given silentStreamMargin.
    double settled = now;
    auto take = [&](const std::string& key, auto read) {
        auto entry = readFrom_.find(key);
        // Only a stream's first read includes its lower end, so a report logged exactly at the
        // start counts once; later reads begin strictly after what was already taken.
        bool first = entry == readFrom_.end();
        double from = first ? start_ : entry->second;
        double upTo = from;
        for (double t : read(from)) {
            if (t < from || t > now) continue;
            if (t == from && !first) continue;
            taken.push_back(t);
            upTo = std::max(upTo, t);
        }
        readFrom_[key] = upTo;
        if (upTo > from) reported_.insert(key);
        settled = std::min(settled, reported_.contains(key) ? upTo : now - silentStreamMargin);
    };

    take(device.id(), [&](double from) { return device.buffer().stamps(from, now); });
    take(device.id() + "-motion", [&](double from) {
        std::vector<double> times;
        for (const auto& sample : device.buffer().motion(from, now)) times.push_back(sample.t);
        return times;
    });
    if (const auto& partner = device.rawPartner(); partner && partner->connected())
        take(partner->id(), [&](double from) { return partner->buffer().stamps(from, now); });
    settled_ = settled;
    live_.take(taken);
    reportCount_ += taken.size();
    recent_.emplace_back(now, std::move(taken));
}

void SoakRunner::dropped(double now) {
    setWaiting(true);
    outages_.push_back(SoakTimeline::Outage{now, std::nullopt});
    presentAtDrop_.clear();
    for (const auto& device : searchList())
        if (device->connected()) presentAtDrop_.insert(device->id());
    announce("Disconnected. Waiting for it to reconnect.");
}

void SoakRunner::returned(const std::shared_ptr<InputDevice>& device, double now) {
    setWaiting(false);
    auto& outages = outages_;
    if (!outages.empty() && !outages.back().to) outages.back().to = now;
    std::optional<std::string> previous = deviceID_;
    setDeviceID(device->id());
    // Nothing the device logged before this moment belongs to the run.
    readFrom_.clear();
    reported_.clear();
    for (const auto& key : streamKeys(*device)) readFrom_[key] = now;
    if (device->outputs()) device->outputs()->setMotionActive(true);
    if (previous && *previous != device->id()) context_.carryOver(*previous, device);
    announce("Reconnected. The soak test carries on.");
}

std::vector<std::shared_ptr<InputDevice>> SoakRunner::searchList() const {
    return kind_ == InputDevice::Kind::hid ? context_.allHID() : context_.controllerDevices();
}

std::shared_ptr<InputDevice> SoakRunner::findReturn() const {
    for (const auto& device : searchList()) {
        // A device that was already there when ours dropped is another unit of the same model.
        if (!device->connected() || presentAtDrop_.contains(device->id())) continue;
        if (device->identity().isSameUnit(identity_)) return device;
    }
    return nullptr;
}

void SoakRunner::analyse(double now) {
    auto report = live_.analyze(now, outages_, settled_);
    noteLateReports();
    setStrip(RorozErurEvo::SoakAnalysis::strip(report, stripBins));
    setReport(std::move(report));
    if (waiting_) {
        setRecentRate(std::nullopt);
    } else if (reportCount_ == 0) {
        setRecentRate(0.0);
    } else {
        setRecentRate(rateOfLastSeconds(now));
    }
}

// The result's report rate, over the last recentWindow seconds: a report that reaches several
// streams (the pad, its raw partner, a motion reading of the same report) is one report, and
// the rate is that of its typical interval, so that the live line and the result agree.
double SoakRunner::rateOfLastSeconds(double now) {
    // Reports taken in by an intake more than recentWindow ago are all older than that (an
    // intake takes nothing newer than its own time), so only the later ones are looked at.
    while (!recent_.empty() && recent_.front().first < now - recentWindow) recent_.pop_front();
    SoakTimeline window{.start = now - recentWindow, .end = now, .reports = {}, .outages = outages_};
    for (const auto& intake : recent_)
        for (double t : intake.second)
            if (t >= window.start) window.reports.push_back(t);
    return RorozErurEvo::SoakAnalysis::analyze(window, runThresholds()).reportRate.value_or(0.0);
}

// A stream that delivers reports far older than the rest (a raw partner paired late with a
// backlog) cannot have them placed any more: they are left out of the run, and the log says so.
void SoakRunner::noteLateReports() {
    const std::size_t dropped = live_.lateDropped();
    if (dropped == lateNoted_) return;
    qCWarning(logModel) << "soak test: left out" << dropped - lateNoted_
                        << "report times that arrived too late to be placed in the run";
    lateNoted_ = dropped;
}

void SoakRunner::finish(double end) {
    if (!running_) return;
    // Every report taken in is settled now.
    const auto report = live_.analyze(end, outages_, INFINITY);
    noteLateReports();
    auto result = RorozErurEvo::SoakAnalysis::result(report, "", RorozErurEvo::ValueSource::processed,
                                                     runThresholds(), RorozErurEvo::Dates::now());
    std::shared_ptr<InputDevice> device;
    for (const auto& id : {deviceID_, firstID_})
        if (!device && id) device = context_.device(*id);

    stop();
    setReport(std::nullopt);
    setStrip(std::nullopt);

    std::string outcome = RorozErurEvo::word(result.verdict) + ", " + result.headline;
    if (device && device->connected()) {
        context_.runner(device).store(soakTest().id(), std::move(result));
        announce("Wireless soak test: " + outcome);
    } else {
        std::string text = "Soak test ended: " + outcome + ". The controller didn't come back.";
        context_.setToast(text);
        announce(text);
    }
}

void SoakRunner::stop() {
    setRunning(false);
    setWaiting(false);
    if (deviceID_)
        if (auto device = context_.device(*deviceID_); device && device->outputs()) device->outputs()->setMotionActive(false);
    activity_.reset();
}

} // namespace Tessarine
