// Ending a test: the window of samples the test recorded, handed to the analysis of its kind
// with the thresholds in effect for the device; the result is filed under the test's
// identifier and announced.
#include <algorithm>

#include "app/devices/InputDevice.h"
#include "app/model/PhaseTimings.h"
#include "app/model/RunnerContext.h"
#include "app/model/TestRunner.h"
#include "testkit/AxisCenterAnalysis.h"
#include "testkit/AxisSweepAnalysis.h"
#include "testkit/BatteryCheck.h"
#include "testkit/ButtonTest.h"
#include "testkit/CircularityAnalysis.h"
#include "testkit/DPadTest.h"
#include "testkit/DeadzoneAnalysis.h"
#include "testkit/DriftAnalysis.h"
#include "testkit/HeldReadings.h"
#include "testkit/HoldCheck.h"
#include "testkit/MotionAnalysis.h"
#include "testkit/PedalAnalysis.h"
#include "testkit/SnapbackAnalysis.h"
#include "testkit/Thresholds.h"
#include "testkit/TouchpadAnalysis.h"
#include "testkit/TriggerAnalysis.h"

namespace Tessarine {

using namespace RorozErurEvo;
using Target = GuidedTest::Target;

namespace {

// Grid of the resampled drift recording, samples per second.
constexpr double driftRate = 100;
// Seconds at the start of a deadzone recording taken as the stick at rest.
constexpr double deadzoneRestDuration = 1.0;
// Raw values at the end of a pedal recording taken as the pedal let go.
constexpr std::size_t pedalAfterCount = 5;

ValueSource sourceOf(const GuidedTest& test) {
    if (test.kind == TestKind::rumble || test.kind == TestKind::lights || test.kind == TestKind::adaptiveTriggers)
        return ValueSource::manual;
    return test.raw ? ValueSource::raw : ValueSource::processed;
}

// The result of a test that nothing here analyses: the manual checks ended with Done (their
// real result comes from the checklist), the kinds other runners handle, a misfit target.
TestResult notRun(const GuidedTest& test) {
    return TestResult(test.kind, test.element, sourceOf(test), Verdict::warn, "not run", {}, {}, std::nullopt,
                      std::nullopt, Dates::now());
}

template <class T> std::vector<T> after(std::optional<T> first, std::vector<T> rest) {
    if (first) rest.insert(rest.begin(), *first);
    return rest;
}

std::optional<int> trackerValue(const CaptureBuffer& buffer, const std::string& element) {
    const auto trackers = buffer.rawTrackers();
    if (auto it = trackers.find(element); it != trackers.end()) return it->second.value;
    return std::nullopt;
}

} // namespace

void TestRunner::finish(double now) {
    if (!active_ || stopIfDeviceGone()) return;
    const Active ended = *active_;
    TestResult result = analyze(ended, now);
    const std::string spoken = ended.test.title() + ": " + word(result.verdict) + ", " + result.headline;
    record(std::move(result), ended.test);
    setActive(std::nullopt);
    cleanUp(ended.test);
    announce(spoken);
}

TestResult TestRunner::analyze(const Active& a, double now) const {
    const GuidedTest& test = a.test;
    const Thresholds thresholds = context_.thresholds(*device_);
    const InputDevice& d = testDevice(test);
    const CaptureBuffer& buffer = d.buffer();
    const CaptureBuffer& own = device_->buffer();
    const ValueSource source = sourceOf(test);
    const Date date = Dates::now();
    const auto* stick = test.target.as<Target::Stick>();
    const auto* axis = test.target.as<Target::Axis>();

    switch (test.kind) {
    case TestKind::drift:
        if (!stick) break;
        return DriftAnalysis::result(
            Resample::hold(buffer.sticks(stick->id, a.start, now), a.recordFrom, now, driftRate, a.initial),
            test.element, source, thresholds, date);
    case TestKind::circularity:
        if (!stick) break;
        return CircularityAnalysis::result(buffer.sticks(stick->id, a.recordFrom, now), test.element, source,
                                           gate(test), fit(test), thresholds, date);
    case TestKind::snapback:
        if (!stick) break;
        // Held readings put back, as the live count saw them.
        return SnapbackAnalysis::result(HeldReadings::restore(buffer.sticks(stick->id, a.recordFrom, now)),
                                        test.element, source, now, thresholds, date);
    case TestKind::deadzone: {
        if (!stick) break;
        const auto processed = after(a.initial, buffer.sticks(stick->id, a.start, now));
        // A processed stick is measured against its raw partner's matching stick when there is
        // one: the raw travel at which the processed value first moves.
        if (!test.raw) {
            const auto element = device_->element(stick->id);
            const auto counterpart = element ? device_->rawCounterpart(*element) : std::nullopt;
            if (counterpart && device_->rawPartner()) {
                const auto raw =
                    after(a.partnerInitial, device_->rawPartner()->buffer().sticks(counterpart->id, a.start, now));
                return DeadzoneAnalysis::result(DeadzoneAnalysis::fromPaired(raw, processed, deadzoneRestDuration),
                                                test.element, source, true, thresholds, date);
            }
        }
        return DeadzoneAnalysis::result(DeadzoneAnalysis::fromPush(processed, deadzoneRestDuration), test.element,
                                        source, false, thresholds, date);
    }
    case TestKind::trigger: {
        const auto* trigger = test.target.as<Target::Trigger>();
        if (!trigger) break;
        return TriggerAnalysis::result(after(a.initialAxis, buffer.axes(trigger->id, a.start, now)), test.element,
                                       source, trigger->analog, thresholds, date);
    }
    case TestKind::buttons: {
        const auto* buttons = test.target.as<Target::Buttons>();
        if (!buttons) break;
        return ButtonTest::result(buttons->inputs, buffer.events(a.recordFrom, now), thresholds.chatterWindowMs,
                                  TestKind::buttons, "", "buttons", source, date);
    }
    case TestKind::hold: {
        const auto* buttons = test.target.as<Target::Buttons>();
        if (!buttons) break;
        const auto events = buffer.events(a.recordFrom, now);
        const auto first = std::find_if(events.begin(), events.end(), [](const ButtonEvent& e) { return e.down; });
        InputName input{"", "button"};
        if (first != events.end()) {
            input = InputName{first->input, first->input};
            for (const auto& n : buttons->inputs)
                if (n.id == first->input) {
                    input = n;
                    break;
                }
        }
        return HoldCheck::result(events, input, TestKind::hold, "", source, date);
    }
    case TestKind::dpad: {
        const auto* dpad = test.target.as<Target::Dpad>();
        if (!dpad) break;
        return DPadTest::result(buffer.sticks(dpad->id, a.recordFrom, now), test.element, source, thresholds, date);
    }
    case TestKind::motion: {
        std::vector<MotionSample> rest, moving;
        for (const auto& m : own.motion(a.start, now)) {
            if (m.t >= a.start + PhaseTimings::motionStillSeconds) moving.push_back(m);
            else if (m.t >= a.start + PhaseTimings::motionStillFrom) rest.push_back(m);
        }
        return MotionAnalysis::result(rest, moving, "", ValueSource::processed, date);
    }
    case TestKind::touchpad:
        return TouchpadAnalysis::result(own.touches(a.recordFrom, now), "Touchpad", ValueSource::processed, date);
    case TestKind::battery: {
        const auto& info = device_->info();
        const auto level = device_->batteryLevel() ? device_->batteryLevel() : info.batteryLevel;
        const auto state = device_->batteryState() ? device_->batteryState() : info.batteryState;
        return BatteryCheck::result(level, state, "", date);
    }
    case TestKind::axisSweep:
    case TestKind::axisCenter:
    case TestKind::pedal: {
        if (!axis) break;
        const auto element = d.element(axis->id);
        if (!element) break;
        const int low = element->logicalMin.value_or(0);
        const int high = element->logicalMax.value_or(1);
        if (test.kind == TestKind::axisSweep)
            return AxisSweepAnalysis::result(after(a.initialRaw, buffer.rawValues(axis->id, a.recordFrom, now)), low,
                                             high, axis->role, test.element, thresholds, date);
        if (test.kind == TestKind::axisCenter) {
            auto values = buffer.rawValues(axis->id, a.recordFrom, now);
            if (values.empty())
                if (const auto current = trackerValue(buffer, axis->id)) values.push_back(*current);
            return AxisCenterAnalysis::result(values, low, high, axis->role, test.element, thresholds, date);
        }
        auto rest = buffer.rawValues(axis->id, a.start, a.recordFrom);
        if (rest.empty() && a.initialRaw) rest.push_back(*a.initialRaw);
        const auto press = buffer.rawValues(axis->id, a.recordFrom, now);
        const std::vector<int> let(press.size() > pedalAfterCount ? press.end() - pedalAfterCount : press.begin(),
                                   press.end());
        return PedalAnalysis::result(rest, press, let, low, high, test.element, thresholds, date);
    }
    default: break;
    }
    return notRun(test);
}

} // namespace Tessarine
