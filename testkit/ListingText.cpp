#include "testkit/ListingText.h"

#include <algorithm>
#include <map>
#include <vector>

#include "testkit/Fmt.h"
#include "testkit/ShownSession.h"
#include "testkit/Text.h"
#include "testkit/VerdictReasons.h"

namespace RorozErurEvo::ListingSummary {

namespace {

// Kinds that are summed up per element (a stick, a trigger, an axis).
bool perElement(TestKind kind) {
    switch (kind) {
    case TestKind::circularity:
    case TestKind::drift:
    case TestKind::snapback:
    case TestKind::deadzone:
    case TestKind::trigger:
    case TestKind::axisNoise:
    case TestKind::axisSweep:
    case TestKind::axisCenter:
    case TestKind::pedal: return true;
    default: return false;
    }
}

// A stick reads circularity, drift, return to center, deadzone; everything else keeps its order.
int stickRank(TestKind kind) {
    switch (kind) {
    case TestKind::circularity: return 0;
    case TestKind::drift: return 1;
    case TestKind::snapback: return 2;
    case TestKind::deadzone: return 3;
    default: return 4;
    }
}

// The percent text of the measure with this id, empty when the result has none.
std::string percentOf(const TestResult& result, const char* id) {
    auto measure = result.measure(id);
    return measure ? Fmt::trim(measure->value * 100, 1) + "%" : std::string();
}

std::string phrase(const TestResult& r) {
    bool pass = r.verdict == Verdict::pass;
    switch (r.kind) {
    case TestKind::drift: return pass ? "no drift" : "drift " + percentOf(r, "offset");
    case TestKind::circularity: return percentOf(r, "error") + " circularity";
    case TestKind::snapback: return pass ? "centers well" : "returns " + percentOf(r, "worst") + " off center";
    case TestKind::deadzone: return "deadzone " + percentOf(r, "deadzone");
    case TestKind::trigger: return pass ? "full travel" : r.headline;
    case TestKind::hold: return pass ? "buttons hold steady" : r.headline;
    case TestKind::dpad: return pass ? "d-pad all 8 directions" : "d-pad " + r.headline;
    case TestKind::motion: return pass ? "motion sensors OK" : "motion sensors need a look";
    case TestKind::touchpad: return pass ? "touchpad OK" : "touchpad " + r.headline;
    case TestKind::reportRate: return "report rate " + r.headline;
    case TestKind::soak: return "wireless: " + r.headline;
    case TestKind::axisSweep: return pass ? "full travel (" + percentOf(r, "coverage") + ")" : r.headline;
    case TestKind::axisCenter: return pass ? "centers within " + percentOf(r, "offset") : r.headline;
    case TestKind::pedal: return pass ? "full travel, " + percentOf(r, "rest") + " at rest" : r.headline;
    default: return r.headline;
    }
}

// The phrase with what it leaves out, in parentheses: one worded from a measure names the
// measures that decide a verdict that measure does not explain, and every phrase says when its
// run ended early ("5.8% circularity (31.9% of directions short of the edge)").
std::string described(const TestResult& r) {
    switch (r.kind) {
    case TestKind::drift: return VerdictReasons::qualified(phrase(r), r, {"offset"});
    case TestKind::circularity: return VerdictReasons::qualified(phrase(r), r, {"error"});
    case TestKind::snapback: return VerdictReasons::qualified(phrase(r), r, {"worst"});
    case TestKind::deadzone: return VerdictReasons::qualified(phrase(r), r, {"deadzone"});
    default: return VerdictReasons::qualified(phrase(r), r);
    }
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += separator;
        text += parts[i];
    }
    return text;
}

} // namespace

std::string text(const TestSession& session, const std::string& appName) {
    std::vector<TestResult> results = session.sortedResults();
    // A listing is a line to paste: an element name or headline of megabytes is cut.
    for (auto& result : results) result = DisplayText::shown(result);
    if (results.empty()) return "Tested on " + appName + ": no tests run yet.";
    std::stable_sort(results.begin(), results.end(),
                     [](const TestResult& a, const TestResult& b) { return order(a.kind) < order(b.kind); });

    // An element measured on processed and on raw values is summed up twice, the raw one marked:
    // the two readings of one stick differ, and a buyer must not read one for the other.
    using Group = std::pair<std::string, ValueSource>;
    std::vector<Group> elements; // in the order first met
    std::map<Group, std::vector<TestResult>> groups;
    for (const auto& result : results) {
        if (!perElement(result.kind)) continue;
        auto [it, inserted] = groups.try_emplace(Group{result.element, result.source});
        if (inserted) elements.push_back(it->first);
        it->second.push_back(result);
    }
    // Results are in kind order already, so an element's first result has its smallest kind.
    auto rank = [&](const Group& element) { return order(groups[element].front().kind); };
    std::vector<std::size_t> elementOrder(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) elementOrder[i] = i;
    std::stable_sort(elementOrder.begin(), elementOrder.end(),
                     [&](std::size_t a, std::size_t b) { return rank(elements[a]) < rank(elements[b]); });

    std::vector<std::string> parts;
    for (std::size_t index : elementOrder) {
        const auto& [element, source] = elements[index];
        auto group = groups[elements[index]];
        std::stable_sort(group.begin(), group.end(),
                         [](const TestResult& a, const TestResult& b) { return stickRank(a.kind) < stickRank(b.kind); });
        std::string name = element.empty() ? "stick" : lowercased(element.substr(0, 1)) + element.substr(1);
        std::vector<std::string> phrases;
        for (const auto& r : group) phrases.push_back(described(r));
        parts.push_back(withSourceMark(name, source) + " " + joined(phrases, ", "));
    }
    for (const auto& result : results)
        if (!perElement(result.kind)) parts.push_back(withSourceMark(described(result), result.source));
    std::string line = "Tested on " + appName + ": " + joined(parts, "; ") + ".";
    // The text is pasted as one line; a break inside a device's element name must not split it.
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::replace(line.begin(), line.end(), '\r', ' ');
    return line;
}

} // namespace RorozErurEvo::ListingSummary
