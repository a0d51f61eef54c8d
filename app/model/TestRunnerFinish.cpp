// Ending a test: the analysis of what was recorded, filed under the test's identifier and
// announced.
#include "app/devices/InputDevice.h"
#include "app/model/AppModel.h"
#include "app/model/TestRunner.h"
#include "testkit/BatteryCheck.h"

namespace Tessarine {

using RorozErurEvo::TestKind;
using RorozErurEvo::TestResult;
using RorozErurEvo::ValueSource;

namespace {

ValueSource sourceOf(const GuidedTest& test) {
    if (test.kind == TestKind::rumble || test.kind == TestKind::lights || test.kind == TestKind::adaptiveTriggers)
        return ValueSource::manual;
    return test.raw ? ValueSource::raw : ValueSource::processed;
}

// The result of a test that nothing here analyses: the manual checks ended with Done (their
// real result comes from the checklist), the kinds other runners handle, a misfit target.
TestResult notRun(const GuidedTest& test) {
    return TestResult(test.kind, test.element, sourceOf(test), RorozErurEvo::Verdict::warn, "not run", {}, {},
                      std::nullopt, std::nullopt, RorozErurEvo::Dates::now());
}

} // namespace

void TestRunner::finish(double now) {
    if (!active_) return;
    const Active ended = *active_;
    TestResult result = analyze(ended, now);
    const std::string spoken =
        ended.test.title() + ": " + RorozErurEvo::word(result.verdict) + ", " + result.headline;
    record(std::move(result), ended.test);
    setActive(std::nullopt);
    cleanUp(ended.test);
    announce(spoken);
}

TestResult TestRunner::analyze(const Active& active, double /*now*/) const {
    const GuidedTest& test = active.test;
    switch (test.kind) {
    case TestKind::battery: {
        const auto& info = device_->info();
        const auto level = device_->batteryLevel() ? device_->batteryLevel() : info.batteryLevel;
        const auto state = device_->batteryState() ? device_->batteryState() : info.batteryState;
        return RorozErurEvo::BatteryCheck::result(level, state, "", RorozErurEvo::Dates::now());
    }
    default: return notRun(test);
    }
}

} // namespace Tessarine
