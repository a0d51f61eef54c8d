#include "app/model/BatchRunner.h"

#include <algorithm>
#include <cmath>

#include "app/base/Assign.h"
#include "app/base/Clock.h"
#include "app/devices/DemoDevice.h"
#include "app/base/Logging.h"
#include "app/model/RunnerContext.h"
#include "app/model/TestRunner.h"
#include "testkit/Date.h"
#include "testkit/DriftAnalysis.h"
#include "testkit/Fmt.h"
#include "testkit/GuidedTest.h"
#include "testkit/Thresholds.h"

namespace Tessarine {

using RorozErurEvo::GuidedTest;
using RorozErurEvo::TestKind;

namespace {

bool isDemo(const InputDevice& device) {
    return device.kind() == InputDevice::Kind::demo || device.kind() == InputDevice::Kind::demoRaw;
}

} // namespace

void BatchRunner::setStart(std::optional<double> value) {
    if (assign(start_, value)) emit startChanged();
}
void BatchRunner::setPrompt(std::string value) {
    if (assign(prompt_, std::move(value))) emit promptChanged();
}
void BatchRunner::setProgress(double value) {
    if (assign(progress_, value)) emit progressChanged();
}

void BatchRunner::start(const std::vector<std::shared_ptr<InputDevice>>& devices) {
    const double now = context_.clock().now();
    setStart(now);
    std::vector<std::string> ids;
    bool demoTakesPart = false;
    members_.clear();
    for (const auto& device : devices) {
        if (!device) continue;
        ids.push_back(device->id());
        const bool onPartner = &device->testTarget() != device.get();
        members_.push_back(Member{device, onPartner ? device->rawPartner() : device});
        demoTakesPart = demoTakesPart || isDemo(*device);
    }
    if (assign(deviceIDs_, std::move(ids))) emit deviceIDsChanged();

    if (demoTakesPart) {
        // The demo controller plays a stick at rest for the length of the run.
        GuidedTest test{.kind = TestKind::drift, .element = {}, .target = GuidedTest::Target::device(), .raw = false};
        DemoDriver& demo = context_.demo();
        demo.setCurrent(test);
        demo.load(demo.testActions(test, context_.thresholds().driftSeconds), false, now);
    }
    const std::size_t count = deviceIDs_.size();
    context_.announce(QString::fromStdString("Drift test on " + RorozErurEvo::Fmt::trim(static_cast<double>(count), 0) +
                                             (count == 1 ? " device" : " devices") + ". Let go of every controller."));
}

void BatchRunner::tick(double now) {
    if (!start_) return;
    dropDisconnected();
    double e = now - *start_;
    if (e < settleSeconds) {
        setPrompt("Let go of every controller… " + RorozErurEvo::Fmt::trim(std::ceil(settleSeconds - e), 0));
        setProgress(0);
        return;
    }
    setPrompt("Hands off. Measuring every stick…");
    double measuring = context_.thresholds().driftSeconds; // seconds
    // A measuring time of zero, below zero or not a number has nothing to wait for: the run is
    // complete as soon as the settle phase is over (instead of a progress that never reaches 1).
    double progress = std::isfinite(measuring) && measuring > 0 ? std::min((e - settleSeconds) / measuring, 1.0) : 1.0;
    setProgress(progress);
    if (progress < 1) return;

    fileResults(now);
    setStart(std::nullopt);
    releaseDemo();
    context_.announce(QStringLiteral("Batch drift test done."));
}

void BatchRunner::dropDisconnected() {
    for (auto it = members_.begin(); it != members_.end();) {
        const auto& gone = !it->device->connected()     ? it->device
                           : !it->measured->connected() ? it->measured
                                                        : nullptr;
        if (!gone) {
            ++it;
            continue;
        }
        const GuidedTest drift{
            .kind = TestKind::drift, .element = {}, .target = GuidedTest::Target::device(), .raw = false};
        const std::string text = drift.title() + " stopped: " + gone->info().name + " was disconnected.";
        qCInfo(logModel).noquote() << QString::fromStdString(text);
        context_.announce(QString::fromStdString(text));
        context_.setToast(text);
        it = members_.erase(it);
    }
}

void BatchRunner::fileResults(double now) {
    dropDisconnected();
    double from = *start_;
    double measureFrom = from + settleSeconds;
    for (const auto& member : members_) {
        auto device = context_.device(member.device->id());
        if (device != member.device) continue; // a device the model no longer knows
        auto thresholds = context_.thresholds(*device);
        TestRunner& runner = context_.runner(device);
        InputDevice& measured = *member.measured;
        bool raw = measured.kind() == InputDevice::Kind::hid || measured.kind() == InputDevice::Kind::demoRaw;
        auto source = raw ? RorozErurEvo::ValueSource::raw : RorozErurEvo::ValueSource::processed;
        for (const auto& stick : measured.sticks()) {
            auto samples = measured.buffer().sticks(stick.id, from, now);
            auto initial = measured.buffer().stick(stick.id, measureFrom);
            auto held = RorozErurEvo::Resample::hold(std::move(samples), measureFrom, now, sampleRate, initial);
            auto result = RorozErurEvo::DriftAnalysis::result(held, stick.name, source, thresholds, RorozErurEvo::Dates::now());
            // The same key as the catalogue's drift test of this stick.
            GuidedTest test{.kind = TestKind::drift, .element = stick.name, .target = GuidedTest::Target::stick(stick.id), .raw = raw};
            runner.store(test.id(), std::move(result));
        }
    }
}

void BatchRunner::cancel() {
    setStart(std::nullopt);
    releaseDemo();
}

void BatchRunner::releaseDemo() {
    DemoDriver& demo = context_.demo();
    demo.setCurrent(std::nullopt);
    demo.load(demo.scenarioActions(), true);
}

} // namespace Tessarine
