#include "testkit/EndedEarly.h"

#include <utility>

namespace RorozErurEvo::EndedEarly {

TestResult mark(TestResult result, const std::string& reached) {
    if (result.measures.empty()) return result;
    if (result.verdict == Verdict::pass) {
        result.verdict = Verdict::warn;
        result.headline = reached + ": ended early";
    }
    result.details.insert(result.details.begin(),
                          "Ended before the test was complete (" + reached + "); the measures cover only what was recorded.");
    return result;
}

} // namespace RorozErurEvo::EndedEarly
