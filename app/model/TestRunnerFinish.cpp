// Ending a test: the window of samples the test recorded, handed to its kind's finish with the
// thresholds in effect for the device; the result is filed under the test's identifier and
// announced. A run the user ends before it recorded anything to judge ends without a result.
#include "app/devices/InputDevice.h"
#include "app/model/PhaseTimings.h"
#include "app/model/RunnerContext.h"
#include "app/model/TestKinds.h"
#include "app/model/TestRunner.h"
#include "testkit/EndedEarly.h"
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

// Whether a run the user ended at `now` found anything to judge. A timed test (drift, axis
// centre, motion) measures whatever its time held, nothing included, once its measuring part has
// begun; ended before that, while the stick was let go or the controller set down, it measured
// nothing (its analysis would tell of no data, a letting-go reading or a motion sensor that never
// turned). The tests the user carries to their end (moving, pulling, pressing) hold nothing
// without usable data: their analyses then answer with no measures, and the buttons test, which
// counts what was pressed, with no presses.
bool judged(const ActiveTest& ended, double now, const TestResult& result) {
    const double elapsed = now - ended.start;
    switch (result.kind) {
    case TestKind::drift:
    case TestKind::axisCenter: return elapsed >= PhaseTimings::settleSeconds;
    case TestKind::motion: return elapsed >= PhaseTimings::motionStillSeconds;
    default: break;
    }
    if (result.measures.empty()) return false;
    if (result.kind == TestKind::buttons)
        if (const auto presses = result.measure("presses"); presses && presses->value == 0) return false;
    return true;
}

} // namespace

void TestRunner::finish(double now) {
    if (!active_ || stopIfDeviceGone()) return;
    const Active ended = *active_;
    conclude(ended, now, analyze(ended, now));
}

void TestRunner::done(double now) {
    if (!active_ || stopIfDeviceGone()) return;
    const Active ended = *active_;
    auto result = analysis(ended, now);
    if (result && !judged(ended, now, *result)) {
        // The user ended it before it recorded anything to judge: no result, and an earlier one
        // stays as it was.
        logPhase(ended, now, "ended early without a result");
        cancel();
        announce(ended.test.title() + ": ended without a new result.");
        return;
    }
    conclude(ended, now, result ? std::move(*result) : notRun(ended.test));
}

void TestRunner::conclude(const Active& ended, double now, TestResult result) {
    const std::string spoken = ended.test.title() + ": " + word(result.verdict) + ", " + result.headline;
    logPhase(ended, now, "finished", word(result.verdict) + ", " + result.headline);
    record(std::move(result), ended.test);
    setActive(std::nullopt);
    cleanUp(ended.test);
    announce(spoken);
}

TestResult TestRunner::analyze(const Active& a, double now) const {
    if (auto result = analysis(a, now)) return std::move(*result);
    return notRun(a.test);
}

std::optional<TestResult> TestRunner::analysis(const Active& a, double now) const {
    const GuidedTest& test = a.test;
    const TestKinds::Record& kind = TestKinds::record(test.kind);
    if (!kind.finish) return std::nullopt;
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
    auto result = kind.finish(ending);
    // Ended by Done or by its time limit before it got as far as it asks: it says so, and nothing
    // judged what was never done, so it does not pass.
    if (result && kind.shortfall)
        if (const auto reached = kind.shortfall(ending, *result)) return EndedEarly::mark(std::move(*result), *reached);
    return result;
}

} // namespace Tessarine
