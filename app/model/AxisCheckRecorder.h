#pragma once
// What the raw axis check reads and records, apart from its widgets: the readings at rest, and
// the range swept after them, analysed together and filed in the device's runner under
// "axisNoise|<axis name>|raw".
#include <string>
#include <vector>

#include "testkit/GuidedTest.h"
#include "testkit/Thresholds.h"

namespace Tessarine {

class InputDevice;
class TestRunner;

namespace AxisCheckRecorder {

// The test a check of the axis named `axisName` files its result under.
RorozErurEvo::GuidedTest test(const std::string& axisName);

// The axis's raw readings since `since` (uptime seconds). A still device may send nothing; its
// last value is then the one reading at rest. Empty when the axis never reported.
std::vector<int> restReadings(const InputDevice& device, const std::string& axisID, double since);

// Analyses the rest readings with the range swept since `rangeStart` and records the result in
// `runner`. Returns false, recording nothing, when the axis is gone.
bool record(const InputDevice& device, TestRunner& runner, const RorozErurEvo::Thresholds& thresholds,
            const std::string& axisID, const std::vector<int>& restValues, double rangeStart);

} // namespace AxisCheckRecorder

} // namespace Tessarine
