#pragma once
// The runner of one device's guided tests and the keeper of their results. One per device
// identifier, created by the model on first use and never removed, so results outlive a
// disconnection for the rest of the process.
//
// At most one test runs at a time. Starting records the device's resting values and hands the
// demo controller the test's script; the model's frame tick drives the running test; finishing
// analyses the recorded window and files the result under the test's identifier. The three
// checks a person answers (rumble, lights, adaptive triggers) have no running phase: their
// items are played on the device's outputs and the answers are saved as a result.
//
// Main thread only. Every observable field emits its signal only when its value changes.
#include <QObject>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/model/ActiveTest.h"
#include "app/model/GuidedTests.h"
#include "testkit/TestResult.h"

namespace Tessarine {

class RunnerContext;
class InputDevice;
namespace TestPhases {
struct CircleFeed;
struct SnapFeed;
}

class TestRunner : public QObject {
    Q_OBJECT

public:
    using Results = std::map<std::string, RorozErurEvo::TestResult>; // by guided-test identifier
    using Answers = std::map<std::string, std::map<std::string, bool>>; // test id → item → works

    // The live state of the running test.
    using Active = ActiveTest;

    // The context is not owned and outlives the runner; the device is kept.
    TestRunner(std::shared_ptr<InputDevice> device, RunnerContext& context);
    ~TestRunner() override;

    const std::shared_ptr<InputDevice>& device() const { return device_; }
    RunnerContext& context() const { return context_; }

    // ---- the running test

    const std::optional<Active>& active() const { return active_; }
    void setActive(std::optional<Active> value);
    // Whether a guided test is running; the model ticks only runners that have one.
    bool hasActiveTest() const { return active_.has_value(); }
    double lastPlot() const { return lastPlot_; }

    // Drops a running test (no result), records the resting values and begins the test.
    void start(const GuidedTest& test);
    // Advances the running test to uptime `now` (seconds); ends it when it is complete.
    void tick(double now);
    // Ends the running test with its analysis, files and announces the result.
    void finish(double now);
    // The user's Done: finish(), unless the run recorded nothing to judge (the analysis found no
    // usable data, a buttons test saw nothing pressed, or a timed test had not begun to measure).
    // Such a run ends without a result, as a cancel does, and says so, so that an earlier result
    // is not taken for this run's.
    void done(double now);
    // The result of a test ending at `now` over what was recorded; changes nothing.
    RorozErurEvo::TestResult analyze(const Active& active, double now) const;
    // Undoes what starting the test switched on. Callers clear `active` first.
    void cleanUp(const GuidedTest& test);
    // Clears `active` and cleans up after the running test; no result. Nothing when idle.
    void cancel();
    // Whether the last run of the test ended without a result (cancelled, stopped, its device
    // gone, or ended by Done with nothing to judge). Cleared when the test starts again, when a
    // result is filed for it and when the results are replaced; it changes only together with
    // `active` or the results, whose signals announce it.
    bool endedWithoutResult(const GuidedTest& test) const { return unfinished_.contains(test.id()); }
    // Ends the running test without a result, as cancel() does, when a device it reads from has
    // disconnected since it started, and tells the user which; true when it did. The tick and
    // finish() ask first, so no result is ever built from a window the device was absent for.
    bool stopIfDeviceGone();

    // The device a test reads its samples from: the raw partner for a raw test on a processed
    // device that has one; the runner's own device otherwise.
    InputDevice& testDevice(const GuidedTest& test) const;

    // ---- results

    const Results& results() const { return results_; }
    // Replaces every result (the unit bar's clear action).
    void setResults(Results value);
    std::optional<RorozErurEvo::TestResult> result(const GuidedTest& test) const;
    // Files the result under the test's identifier, replacing an earlier one.
    void record(RorozErurEvo::TestResult result, const GuidedTest& test);
    // Stores one result under a key, replacing the earlier one of the same key.
    void store(const std::string& key, RorozErurEvo::TestResult result);
    // Adds the results of tests this runner has no result for; its own results are kept.
    void mergeResults(const Results& other);
    // Every kept result in the device's catalogue order; results the catalogue does not list
    // come last, by their kind's order.
    std::vector<RorozErurEvo::TestResult> orderedResults() const;
    // Whether any kept result differs from those last saved as a session (a result added,
    // replaced or removed since); false with no results. The unit bar asks before clearing such.
    bool hasUnsavedResults() const { return !results_.empty() && results_ != saved_; }
    // The results as they stand are in a saved session now.
    void markSaved() { saved_ = results_; }
    // "<kind>|<element>|<source>" from the result's own fields.
    static std::string resultKey(const RorozErurEvo::TestResult& result);

    // ---- manual checks, gates and fits

    const Answers& answers() const { return answers_; }
    void setAnswers(Answers value);
    void setAnswer(bool works, const std::string& item, const GuidedTest& test);
    // Plays one checklist item on the device's outputs.
    void perform(const GuidedTests::ManualItem::Action& action);
    // Files and announces the result of the answered items; nothing when none is answered.
    void saveManualResult(const GuidedTest& test);

    const std::map<std::string, RorozErurEvo::GateShape>& gates() const { return gates_; }
    void setGate(const GuidedTest& test, RorozErurEvo::GateShape gate);
    const std::map<std::string, bool>& fits() const { return fit_; }
    void setFit(const GuidedTest& test, bool fit);
    // The user's gate for the test, else the gate of the device's thresholds.
    RorozErurEvo::GateShape gate(const GuidedTest& test) const;
    // The user's choice, else true only for a raw test against an octagon gate.
    bool fit(const GuidedTest& test) const;

signals:
    void activeChanged();
    void resultsChanged();
    void answersChanged();
    void gatesChanged();
    void fitChanged();

private:
    bool isDemo() const;
    void announce(const std::string& text) const;
    // The kind's analysis of the run; none when its target does not fit or the device lacks the
    // element (analyze() then says "not run").
    std::optional<RorozErurEvo::TestResult> analysis(const Active& active, double now) const;
    // Files the result of the ended test A, leaves the running state and announces it.
    void conclude(const Active& ended, double now, RorozErurEvo::TestResult result);
    // Writes a change of the running test's phase to the log (debug level): the device, the
    // test, what happened, the seconds since the test began and any detail, so that a run that
    // "stopped early" can be read back from a technician's log.
    void logPhase(const Active& active, double now, const std::string& what, const std::string& detail = {}) const;

    const std::shared_ptr<InputDevice> device_;
    RunnerContext& context_;
    std::optional<Active> active_;
    Results results_;
    Results saved_; // the results as last saved
    Answers answers_;
    std::map<std::string, RorozErurEvo::GateShape> gates_;
    std::map<std::string, bool> fit_;
    std::set<std::string> unfinished_; // tests whose last run ended without a result
    double lastPlot_ = 0; // uptime seconds of the last live-plot refresh
    std::unique_ptr<TestPhases::CircleFeed> circle_; // the running circularity count
    std::unique_ptr<TestPhases::SnapFeed> snap_;     // the running snapback count
    // The devices the running test reads from, as they were when it started.
    std::vector<std::shared_ptr<InputDevice>> reads_;

};

} // namespace Tessarine
