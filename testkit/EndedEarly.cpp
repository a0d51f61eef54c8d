#include "testkit/EndedEarly.h"

#include <utility>

namespace RorozErurEvo::EndedEarly {

namespace {
constexpr std::string_view detailLead = "Ended before the test was complete (";
} // namespace

TestResult mark(TestResult result, const std::string& reached) {
    if (result.measures.empty()) return result;
    if (result.verdict == Verdict::pass) {
        result.verdict = Verdict::warn;
        result.headline = reached + ": " + words;
    } else {
        result.headline += std::string(", ") + words;
    }
    result.details.insert(result.details.begin(), std::string(detailLead) + reached +
                                                      "); the measures cover only what was recorded.");
    return result;
}

bool marked(const TestResult& result) {
    // mark() never leaves a pass: a passing result whose first line reads so was not marked.
    return result.verdict != Verdict::pass && !result.details.empty() && result.details.front().starts_with(detailLead);
}

} // namespace RorozErurEvo::EndedEarly
