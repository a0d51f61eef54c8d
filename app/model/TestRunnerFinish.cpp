// Ending a test: the window of samples the test recorded, handed to its kind's finish with the
// thresholds in effect for the device; the result is filed under the test's identifier and
// announced.
#include "app/devices/InputDevice.h"
#include "app/model/RunnerContext.h"
#include "app/model/TestKinds.h"
#include "app/model/TestRunner.h"
#include "testkit/Thresholds.h"

namespace Tessarine {

using namespace RorozErurEvo;

namespace {

// The result of a test that nothing here analyses: the manual checks ended with Done (their
// real result comes from the checklist), the kinds other runners handle, a misfit target.
TestResult notRun(const GuidedTest& test) {
    return TestResult(test.kind, test.element, test.source(), Verdict::warn, "not run", {}, {}, std::nullopt,
                      std::nullopt, Dates::now());
}

} // namespace

void TestRunner::finish(double now) {
    if (!active_ || stopIfDeviceGone()) return;
    const Active ended = *active_;
    TestResult result = analyze(ended, now);
    const std::string spoken = ended.test.title() + ": " + word(result.verdict) + ", " + result.headline;
    logPhase(ended, now, "finished", word(result.verdict) + ", " + result.headline);
    record(std::move(result), ended.test);
    setActive(std::nullopt);
    cleanUp(ended.test);
    announce(spoken);
}

TestResult TestRunner::analyze(const Active& a, double now) const {
    const GuidedTest& test = a.test;
    const auto finish = TestKinds::record(test.kind).finish;
    if (!finish) return notRun(test);
    const TestKinds::Ending ending{
        .active = a,
        .now = now,
        .device = testDevice(test),
        .own = *device_,
        .thresholds = context_.thresholds(*device_),
        .gate = gate(test),
        .fit = fit(test),
        .source = test.source(),
        .date = Dates::now(),
    };
    if (auto result = finish(ending)) return std::move(*result);
    return notRun(test);
}

} // namespace Tessarine
