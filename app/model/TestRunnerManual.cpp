// The checks a person answers (rumble, lights, adaptive triggers), and the gate and fit
// choices of the stick tests.
#include <type_traits>

#include "app/base/Assign.h"
#include "app/devices/InputDevice.h"
#include "app/model/RunnerContext.h"
#include "app/model/TestRunner.h"
#include "testkit/ManualChecklist.h"
#include "testkit/Thresholds.h"

namespace Tessarine {

using RorozErurEvo::GateShape;
using RorozErurEvo::ManualCheck;
using RorozErurEvo::TestKind;
using Action = GuidedTests::ManualItem::Action;

namespace {

// Seconds one rumble item plays.
constexpr double rumbleSeconds = 0.8;

} // namespace

void TestRunner::setAnswers(Answers value) {
    if (assign(answers_, std::move(value))) emit answersChanged();
}

void TestRunner::setAnswer(bool works, const std::string& item, const GuidedTest& test) {
    answers_[test.id()][item] = works;
    emit answersChanged();
}

void TestRunner::perform(const Action& action) {
    const auto& outputs = device_->outputs();
    if (!outputs) return;
    std::visit(
        [&](const auto& a) {
            using A = std::decay_t<decltype(a)>;
            if constexpr (std::is_same_v<A, Action::Rumble>) {
                outputs->rumble(a.motor, a.strength, a.sharpness, rumbleSeconds);
            } else if constexpr (std::is_same_v<A, Action::Light>) {
                outputs->setLight(a.red, a.green, a.blue);
                // The drawn controller shows the colour played.
                device_->setLightColor(std::array<double, 3>{a.red, a.green, a.blue});
            } else if constexpr (std::is_same_v<A, Action::Player>) {
                outputs->setPlayerIndex(a.index);
                device_->setPlayerLight(a.index);
            } else {
                outputs->setTrigger(a.mode, a.left);
            }
        },
        action.value);
}

void TestRunner::saveManualResult(const GuidedTest& test) {
    const auto answered = answers_.find(test.id());
    const auto items = GuidedTests::manualItems(test.kind, *device_);
    std::vector<ManualCheck> checks;
    if (answered != answers_.end())
        for (const auto& item : items)
            if (auto it = answered->second.find(item.name); it != answered->second.end())
                checks.push_back(ManualCheck{item.name, it->second});
    // Nothing answered is nothing to say.
    if (checks.empty()) return;

    auto result =
        RorozErurEvo::ManualChecklist::result(test.kind, "", checks, items.size(), RorozErurEvo::Dates::now());
    const std::string spoken = test.title() + ": " + RorozErurEvo::word(result.verdict) + ", " + result.headline;
    record(std::move(result), test);

    // Back to rest; a light keeps the last colour played.
    if (const auto& outputs = device_->outputs()) {
        if (test.kind == TestKind::rumble) outputs->stopRumble();
        if (test.kind == TestKind::adaptiveTriggers) outputs->resetTriggers();
    }
    announce(spoken);
}

void TestRunner::setGate(const GuidedTest& test, GateShape gate) {
    const auto [it, inserted] = gates_.try_emplace(test.id(), gate);
    if (inserted || assign(it->second, gate)) emit gatesChanged();
}

void TestRunner::setFit(const GuidedTest& test, bool fit) {
    const auto [it, inserted] = fit_.try_emplace(test.id(), fit);
    if (inserted || assign(it->second, fit)) emit fitChanged();
}

GateShape TestRunner::gate(const GuidedTest& test) const {
    if (auto it = gates_.find(test.id()); it != gates_.end()) return it->second;
    return context_.thresholds(*device_).gate;
}

bool TestRunner::fit(const GuidedTest& test) const {
    if (auto it = fit_.find(test.id()); it != fit_.end()) return it->second;
    return test.raw && RorozErurEvo::isOctagon(gate(test));
}

} // namespace Tessarine
