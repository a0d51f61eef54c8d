#pragma once
// The buttons test (every button of a device) and the keyboard test (every key of a layout):
// which expected inputs never registered a press, and which of them chatter.
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/InputName.h"
#include "testkit/Samples.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo {
namespace ButtonTest {

// noun names the inputs in the headline ("buttons", "keys"). Any missing input fails; one
// chatter event warns, two fail. Inputs outside the expected list count only in the
// "Also pressed" line.
TestResult result(const std::vector<InputName>& expected, const std::vector<ButtonEvent>& events,
                  double windowMs, TestKind kind, const std::string& element, const std::string& noun,
                  ValueSource source, Date date);

} // namespace ButtonTest
} // namespace RorozErurEvo
