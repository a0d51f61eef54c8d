#pragma once
// Battery: records the charge and charging state the device reports. Informational, so the
// result always passes.
#include <optional>
#include <string>

#include "testkit/Date.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo::BatteryCheck {

// level: charge from 0 to 1, absent when not reported (a level that is not finite counts as not
// reported); state: the charging-state word of the device layer, absent when unknown.
TestResult result(std::optional<double> level, const std::optional<std::string>& state, const std::string& element,
                  Date date);

} // namespace RorozErurEvo::BatteryCheck
