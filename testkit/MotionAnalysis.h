#pragma once
// Motion sensors: the controller lies still, then the user turns it. A still gyroscope should
// read near zero, a still accelerometer near 1 g, and a turn should show a real rotation rate.
// The limits are fixed, not user thresholds.
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/Samples.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo::MotionAnalysis {

TestResult result(const std::vector<MotionSample>& rest, const std::vector<MotionSample>& moving,
                  const std::string& element, ValueSource source, Date date);

} // namespace RorozErurEvo::MotionAnalysis
