#pragma once
// A guided test ended (by Done or by its time limit) before its own completion rule was met has
// measured only part of what it asks for. It says so wherever it is shown: in its headline, its
// first detail line, and the listing text and captions made from its measures. It may pass only
// where a measure judges the part that is missing; where none does, the test marks the result
// with how far it got.
#include <string>

#include "testkit/TestResult.h"

namespace RorozErurEvo::EndedEarly {

// The words every marked headline holds.
inline constexpr const char* words = "ended early";

// The result of a run that got only as far as `reached` (for example "1 release, 1 of 8
// directions"): a pass becomes a warn whose headline is `reached` + ": ended early", as nothing
// judged what was never done; a warn or a fail keeps its verdict and its headline, which name
// what was measured, followed by ", ended early". Either way the details begin with a line
// saying how far it got. A result without measures (nothing usable was seen, its headline says
// so) is returned as it is.
TestResult mark(TestResult result, const std::string& reached);

// Whether `result` was marked as a run ended early: it does not pass, and its first detail line
// says so. Results saved before their headlines said it carry the same line.
bool marked(const TestResult& result);

} // namespace RorozErurEvo::EndedEarly
