#pragma once
// The hold check: one input pressed and held for a few seconds. A worn switch shows as short
// releases while the user holds on.
#include <optional>
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/InputName.h"
#include "testkit/Samples.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo {

struct HoldReport {
    int drops = 0;              // releases followed by a new press while the user held on
    double heldSeconds = 0;     // from the first press to the end of the hold
    std::vector<double> gapsMs; // per drop, release to the following press, milliseconds, in time order

    friend bool operator==(const HoldReport&, const HoldReport&) = default;
};

namespace HoldCheck {

// Absent when the input has no press in the log. Events of other inputs, and releases before
// the first press, count nowhere. A log that ends with the input still down was held until the
// recording ended, `until`, when that is given and later than its last event; without it, the
// hold ends at that last event.
std::optional<HoldReport> analyze(const std::vector<ButtonEvent>& events, const std::string& input,
                                  std::optional<double> until = std::nullopt);

// Any drop fails; without a press the result warns and asks for one.
TestResult result(const std::vector<ButtonEvent>& events, const InputName& input, TestKind kind,
                  const std::string& element, ValueSource source, Date date,
                  std::optional<double> until = std::nullopt);

} // namespace HoldCheck
} // namespace RorozErurEvo
