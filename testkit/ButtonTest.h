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

// What the presses show of the expected inputs.
struct Report {
    std::size_t expected = 0;
    std::vector<std::string> missing;        // names of the inputs never pressed, in expected order
    std::vector<std::string> chattering;     // names of the inputs that chatter, in expected order
    std::vector<std::string> chatterDetails; // one line for each of them
    int chatters = 0;                        // chatter events of all expected inputs
    int presses = 0;                         // presses of all expected inputs
    std::vector<std::string> others;         // ids of pressed or released inputs not expected, sorted
};
Report report(const std::vector<InputName>& expected, const std::vector<ButtonEvent>& events, double windowMs);
// "Not registered" (any fails), "Chatter events" (one warns, two fail) and "Presses".
std::vector<Measure> measures(const Report& report);
// Names shown in a headline before the rest is counted: "A, B, C and 4 more".
inline constexpr std::size_t namedInHeadline = 3;
// ", chatter on A, B" or ", no chatter"; past namedInHeadline inputs, the first of them and a
// count of the rest (", chatter on A, B, C and 37 more"), so that a device with many inputs
// chattering still gets a headline that is shown whole.
std::string chatterText(const Report& report);

// noun names the inputs in the headline ("buttons", "keys"). Any missing input fails; one
// chatter event warns, two fail. Inputs outside the expected list count only in the
// "Also pressed" line.
TestResult result(const std::vector<InputName>& expected, const std::vector<ButtonEvent>& events,
                  double windowMs, TestKind kind, const std::string& element, const std::string& noun,
                  ValueSource source, Date date);

} // namespace ButtonTest
} // namespace RorozErurEvo
