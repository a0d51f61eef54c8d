// Starting a test, cleaning up after one, and keeping the results.
#include "app/model/TestRunner.h"

#include <algorithm>
#include <limits>

#include "app/base/Assign.h"
#include "app/base/Clock.h"
#include "app/devices/DemoDevice.h"
#include "app/devices/InputDevice.h"
#include "app/base/Logging.h"
#include "app/model/RunnerContext.h"
#include "app/model/TestKinds.h"
#include "app/model/TestPhases.h"

namespace Tessarine {

using RorozErurEvo::StickSample;
using RorozErurEvo::TestKind;
using RorozErurEvo::TestResult;
using RorozErurEvo::TriggerSample;
using Target = GuidedTest::Target;

TestRunner::TestRunner(std::shared_ptr<InputDevice> device, RunnerContext& context)
    : device_(std::move(device)), context_(context), circle_(std::make_unique<TestPhases::CircleFeed>()),
      snap_(std::make_unique<TestPhases::SnapFeed>()) {}

TestRunner::~TestRunner() = default;

void TestRunner::setActive(std::optional<Active> value) {
    if (assign(active_, std::move(value))) emit activeChanged();
}

bool TestRunner::isDemo() const {
    return device_->kind() == InputDevice::Kind::demo || device_->kind() == InputDevice::Kind::demoRaw;
}

void TestRunner::announce(const std::string& text) const { context_.announce(QString::fromStdString(text)); }

void TestRunner::logPhase(const Active& active, double now, const std::string& what, const std::string& detail) const {
    QString line = QString::fromStdString(device_->info().name + ": " + active.test.title() + " " + what) +
                   QStringLiteral(" at %1 s").arg(now - active.start, 0, 'f', 2);
    if (!detail.empty()) line += QStringLiteral(": ") + QString::fromStdString(detail);
    qCDebug(logModel).noquote() << line;
}

InputDevice& TestRunner::testDevice(const GuidedTest& test) const {
    const bool rawDevice = device_->kind() == InputDevice::Kind::hid || device_->kind() == InputDevice::Kind::demoRaw;
    // The device's own sensors are measured whatever the raw flag says.
    const bool ownSensor = TestKinds::record(test.kind).ownSensor;
    if (test.raw && !rawDevice && !ownSensor && device_->rawPartner()) return *device_->rawPartner();
    return *device_;
}

// ---- start and clean-up

void TestRunner::start(const GuidedTest& test) {
    if (active_) cancel();

    const double now = context_.clock().now();
    Active next;
    next.test = test;
    next.start = now;
    next.recordFrom = now;
    next.prompt = test.instructions();

    // The demo hands over to the test's script before the start values are noted: its looping
    // recording may hold a stick out at the rim at this moment, as a person's hand never does
    // when told to let go, and a test would then measure from there. The script's time 0 is the
    // test's start, so its opening values (the pad let go) are what the pad and its raw twin
    // both read at that instant.
    if (isDemo()) {
        DemoDriver& demo = context_.demo();
        const double driftSeconds = context_.thresholds(*device_).driftSeconds;
        demo.setCurrent(test);
        demo.load(demo.testActions(test, driftSeconds), false, now);
        demo.tick(now);
    }

    InputDevice& source = testDevice(test);
    const CaptureBuffer& buffer = source.buffer();
    reads_ = {device_};
    if (&source != device_.get()) reads_.push_back(device_->rawPartner());
    const auto& target = test.target.value;
    if (const auto* stick = std::get_if<Target::Stick>(&target)) {
        const auto s = buffer.stick(stick->id, now);
        next.initial = s ? StickSample{now, s->x, s->y, s->raw} : StickSample{now, 0, 0, std::nullopt};
    } else if (const auto* dpad = std::get_if<Target::Dpad>(&target)) {
        const auto s = buffer.stick(dpad->id, now);
        next.initial = s ? StickSample{now, s->x, s->y, s->raw} : StickSample{now, 0, 0, std::nullopt};
    } else if (const auto* trigger = std::get_if<Target::Trigger>(&target)) {
        const auto a = buffer.axis(trigger->id, now);
        next.initialAxis = a ? TriggerSample{now, a->value, a->raw} : TriggerSample{now, 0, std::nullopt};
    } else if (const auto* axis = std::get_if<Target::Axis>(&target)) {
        const auto trackers = buffer.rawTrackers();
        if (auto it = trackers.find(axis->id); it != trackers.end()) next.initialRaw = it->second.value;
    }

    // A processed deadzone test is measured against the raw partner's matching stick.
    if (test.kind == TestKind::deadzone && !test.raw) {
        const auto* stick = test.target.as<Target::Stick>();
        const auto element = stick ? device_->element(stick->id) : std::nullopt;
        const auto counterpart = element ? device_->rawCounterpart(*element) : std::nullopt;
        if (counterpart && device_->rawPartner()) {
            reads_.push_back(device_->rawPartner());
            if (const auto s = device_->rawPartner()->buffer().stick(counterpart->id, now))
                next.partnerInitial = StickSample{now, s->x, s->y, s->raw};
        }
    }

    if (test.kind == TestKind::motion && device_->outputs()) device_->outputs()->setMotionActive(true);

    unfinished_.erase(test.id());
    setActive(std::move(next));
    logPhase(*active_, now, "started");
    *circle_ = TestPhases::CircleFeed{};
    *snap_ = TestPhases::SnapFeed{};

    announce(test.title() + " started. " + test.instructions());

    if (test.kind == TestKind::battery) finish(now);
}

void TestRunner::cleanUp(const GuidedTest& test) {
    // A soak run switched the sensors on for itself and still needs them: switching them off
    // would read as dropouts in its timeline.
    if (test.kind == TestKind::motion && device_->outputs()) {
        if (!context_.soaking(*device_)) device_->outputs()->setMotionActive(false);
    }
    if (isDemo()) {
        DemoDriver& demo = context_.demo();
        demo.setCurrent(std::nullopt);
        demo.load(demo.scenarioActions(), true);
    }
}

void TestRunner::tick(double now) {
    if (!active_ || stopIfDeviceGone()) return;
    Active next = *active_;
    TestPhases::Frame frame;
    frame.now = now;
    frame.device = &testDevice(next.test);
    frame.own = device_.get();
    frame.thresholds = context_.thresholds(*device_);
    if (next.test.kind == TestKind::circularity) {
        frame.gate = gate(next.test);
        frame.fit = fit(next.test);
    }
    frame.lastPlot = &lastPlot_;
    frame.circle = circle_.get();
    frame.snap = snap_.get();
    const bool complete = TestPhases::step(next, frame);
    if (next.stage != active_->stage) logPhase(next, now, "entered stage " + std::to_string(next.stage + 1));
    setActive(std::move(next));
    if (complete) finish(now);
}

void TestRunner::cancel() {
    if (!active_) return;
    const GuidedTest test = active_->test;
    logPhase(*active_, context_.clock().now(), "cancelled");
    unfinished_.insert(test.id());
    setActive(std::nullopt);
    cleanUp(test);
}

bool TestRunner::stopIfDeviceGone() {
    if (!active_) return false;
    const auto gone = std::find_if(reads_.begin(), reads_.end(), [](const auto& d) { return d && !d->connected(); });
    if (gone == reads_.end()) return false;
    const std::string text = active_->test.title() + " stopped: " + (*gone)->info().name + " was disconnected.";
    qCInfo(logModel).noquote() << QString::fromStdString(text);
    cancel();
    announce(text);
    context_.setToast(text);
    return true;
}

// ---- results

void TestRunner::setResults(Results value) {
    const bool noted = !unfinished_.empty();
    unfinished_.clear();
    if (assign(results_, std::move(value)) || noted) emit resultsChanged();
}

std::optional<TestResult> TestRunner::result(const GuidedTest& test) const {
    if (auto it = results_.find(test.id()); it != results_.end()) return it->second;
    return std::nullopt;
}

void TestRunner::record(TestResult result, const GuidedTest& test) {
    unfinished_.erase(test.id());
    store(test.id(), std::move(result));
}

void TestRunner::store(const std::string& key, TestResult result) {
    auto [it, inserted] = results_.try_emplace(key, result);
    if (!inserted) {
        if (it->second == result) return;
        it->second = std::move(result);
    }
    emit resultsChanged();
}

void TestRunner::mergeResults(const Results& other) {
    bool added = false;
    for (const auto& [key, result] : other) added |= results_.try_emplace(key, result).second;
    if (added) emit resultsChanged();
}

std::string TestRunner::resultKey(const TestResult& result) {
    return result.key();
}

std::vector<TestResult> TestRunner::orderedResults() const {
    // Results the catalogue does not list (axis checks, a result stamped with another element)
    // sort after every catalogue result.
    constexpr int unlisted = 999;
    std::map<std::string, int> position;
    int index = 0;
    for (const auto& test : GuidedTests::allTests(*device_)) position.try_emplace(test.id(), index++);

    std::vector<std::pair<int, TestResult>> keyed;
    keyed.reserve(results_.size());
    for (const auto& [key, result] : results_) {
        const auto it = position.find(resultKey(result));
        keyed.emplace_back(it == position.end() ? unlisted : it->second, result);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return RorozErurEvo::order(a.second.kind) < RorozErurEvo::order(b.second.kind);
    });
    std::vector<TestResult> ordered;
    ordered.reserve(keyed.size());
    for (auto& [i, result] : keyed) ordered.push_back(std::move(result));
    return ordered;
}

} // namespace Tessarine
