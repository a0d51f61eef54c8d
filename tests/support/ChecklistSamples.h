#pragma once
// The checklists of a pad with every output (four rumble motors, a light bar and player lights,
// adaptive triggers), named as the bench names their items, answered in full with every item not
// working: the longest headlines a checklist writes. A test of the bench's own items checks that
// these names are still the ones it offers.
#include <string>
#include <vector>

#include "testkit/ManualChecklist.h"
#include "testkit/TestSession.h"

namespace ChecklistSamples {

using namespace RorozErurEvo;

inline const std::vector<std::string> rumbleItems{
    "Left handle, gentle",  "Left handle, strong",  "Right handle, gentle",  "Right handle, strong",
    "Left trigger, gentle", "Left trigger, strong", "Right trigger, gentle", "Right trigger, strong"};
inline const std::vector<std::string> lightItems{"Light: red",     "Light: green",   "Light: blue",   "Player light 1",
                                                 "Player light 2", "Player light 3", "Player light 4"};
inline const std::vector<std::string> triggerItems{
    "Left trigger: feedback (steady resistance)",  "Left trigger: weapon (resistance, then a click)",
    "Left trigger: vibration",                     "Right trigger: feedback (steady resistance)",
    "Right trigger: weapon (resistance, then a click)", "Right trigger: vibration"};

// Every item of `names` answered as not working.
inline TestResult failed(TestKind kind, const std::vector<std::string>& names, Date date = {}) {
    std::vector<ManualCheck> checks;
    for (const auto& name : names) checks.push_back({name, false});
    return ManualChecklist::result(kind, "", checks, names.size(), date);
}

// The three checklists, each failed whole.
inline std::vector<TestResult> allFailed(Date date = {}) {
    return {failed(TestKind::rumble, rumbleItems, date), failed(TestKind::lights, lightItems, date),
            failed(TestKind::adaptiveTriggers, triggerItems, date)};
}

} // namespace ChecklistSamples
