#include "testkit/ButtonTest.h"

#include <set>

#include "testkit/ChatterAnalysis.h"
#include "testkit/Fmt.h"
#include "testkit/NameList.h"

namespace RorozErurEvo {
namespace ButtonTest {

namespace {
std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}
} // namespace

Report report(const std::vector<InputName>& expected, const std::vector<ButtonEvent>& events, double windowMs) {
    auto chatter = ChatterAnalysis::analyze(events, windowMs);

    std::set<std::string> registered, named;
    for (const ButtonEvent& event : events) {
        named.insert(event.input);
        if (event.down) registered.insert(event.input);
    }
    Report report;
    report.expected = expected.size();
    std::set<std::string> expectedIds;
    for (const InputName& input : expected) {
        expectedIds.insert(input.id);
        if (!registered.contains(input.id)) report.missing.push_back(input.name);
        auto entry = chatter.find(input.id);
        if (entry == chatter.end()) continue;
        report.presses += entry->second.presses;
        if (entry->second.chatters > 0) {
            report.chatters += entry->second.chatters;
            report.chattering.push_back(input.name);
            report.chatterDetails.push_back(ChatterAnalysis::detailLine(input.name, entry->second));
        }
    }
    for (const std::string& input : named)
        if (!expectedIds.contains(input)) report.others.push_back(input);
    return report;
}

std::vector<Measure> measures(const Report& report) {
    return {
        {"missing", "Not registered", double(report.missing.size()), MeasureUnit::count,
         Limit{std::nullopt, 0.0, Limit::Direction::above}},
        {"chatter", "Chatter events", double(report.chatters), MeasureUnit::count,
         Limit{0.0, 1.0, Limit::Direction::above}},
        {"presses", "Presses", double(report.presses), MeasureUnit::count, std::nullopt},
    };
}

std::string chatterText(const Report& report) {
    if (report.chatters == 0) return ", no chatter";
    const auto& names = report.chattering;
    return ", chatter on " +
           (names.size() <= namedInHeadline ? joined(names) : NameList::firstOf(names, namedInHeadline));
}

TestResult result(const std::vector<InputName>& expected, const std::vector<ButtonEvent>& events,
                  double windowMs, TestKind kind, const std::string& element, const std::string& noun,
                  ValueSource source, Date date) {
    const Report found = report(expected, events, windowMs);

    std::vector<std::string> details;
    if (!found.missing.empty()) details.push_back("Not registered: " + joined(found.missing) + ".");
    details.insert(details.end(), found.chatterDetails.begin(), found.chatterDetails.end());
    if (const auto others = found.others.size(); others > 0)
        details.push_back("Also pressed: " + Fmt::trim(double(others), 0) + " other input" +
                          (others == 1 ? "" : "s") + ".");

    std::string count = Fmt::trim(double(expected.size()), 0);
    std::string headline = found.missing.empty()
                               ? "all " + count + " " + noun + " OK"
                               : Fmt::trim(double(expected.size() - found.missing.size()), 0) + " of " + count + " " +
                                     noun + " registered";
    headline += chatterText(found);

    return TestResult(kind, element, source, std::nullopt, headline, measures(found), details, std::nullopt,
                      std::nullopt, date);
}

} // namespace ButtonTest
} // namespace RorozErurEvo
