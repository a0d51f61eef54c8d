#pragma once
// Outputs only a person can judge (rumble motors, lights, adaptive-trigger effects): the
// application plays each item, the user answers whether it worked, and the answers become a
// result of source manual.
#include <cstddef>
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/Json.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo {

// One answered item.
struct ManualCheck {
    std::string name; // as shown to the user
    bool ok = false;  // the user confirmed it works

    json toJson() const;
    static ManualCheck fromJson(const json& object);

    friend bool operator==(const ManualCheck&, const ManualCheck&) = default;
};

namespace ManualChecklist {

// kind is rumble, lights or adaptiveTriggers; `checks` are the answered items in checklist order
// and `items` the number of items the checklist holds. Fails when any item failed. The headline
// always starts with the test's name, since it stands alone in the listing text, and names each
// failed item in quotation marks, parted by commas, so an item whose name holds a comma or a
// colon stays one item and the listing's semicolons still part the tests ("rumble: “Left handle,
// gentle” and “Right handle, strong” not working", "lights: “Light: green” not working").
// While items are unanswered the result never passes: it warns, and its headline says next how
// many were checked ("adaptive triggers: 1 of 6 checked, OK so far", "rumble: 2 of 4 checked,
// “Right, strong” not working"). A checklist answered in full (or an empty one) passes when
// nothing failed.
TestResult result(TestKind kind, const std::string& element, const std::vector<ManualCheck>& checks,
                  std::size_t items, Date date);

} // namespace ManualChecklist
} // namespace RorozErurEvo
