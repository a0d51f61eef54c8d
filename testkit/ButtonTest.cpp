#include "testkit/ButtonTest.h"

#include <set>

#include "testkit/ChatterAnalysis.h"
#include "testkit/Fmt.h"

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

TestResult result(const std::vector<InputName>& expected, const std::vector<ButtonEvent>& events,
                  double windowMs, TestKind kind, const std::string& element, const std::string& noun,
                  ValueSource source, Date date) {
    auto chatter = ChatterAnalysis::analyze(events, windowMs);

    std::set<std::string> registered, named;
    for (const ButtonEvent& event : events) {
        named.insert(event.input);
        if (event.down) registered.insert(event.input);
    }
    std::set<std::string> expectedIds;
    std::vector<std::string> missing, chattering, chatterDetails;
    int chatters = 0, presses = 0;
    for (const InputName& input : expected) {
        expectedIds.insert(input.id);
        if (!registered.contains(input.id)) missing.push_back(input.name);
        auto entry = chatter.find(input.id);
        if (entry == chatter.end()) continue;
        presses += entry->second.presses;
        if (entry->second.chatters > 0) {
            chatters += entry->second.chatters;
            chattering.push_back(input.name);
            chatterDetails.push_back(ChatterAnalysis::detailLine(input.name, entry->second));
        }
    }
    int others = 0;
    for (const std::string& input : named)
        if (!expectedIds.contains(input)) others += 1;

    std::vector<Measure> measures{
        {"missing", "Not registered", double(missing.size()), MeasureUnit::count,
         Limit{std::nullopt, 0.0, Limit::Direction::above}},
        {"chatter", "Chatter events", double(chatters), MeasureUnit::count,
         Limit{0.0, 1.0, Limit::Direction::above}},
        {"presses", "Presses", double(presses), MeasureUnit::count, std::nullopt},
    };

    std::vector<std::string> details;
    if (!missing.empty()) details.push_back("Not registered: " + joined(missing) + ".");
    details.insert(details.end(), chatterDetails.begin(), chatterDetails.end());
    if (others > 0)
        details.push_back("Also pressed: " + Fmt::trim(others, 0) + " other input" +
                          (others == 1 ? "" : "s") + ".");

    std::string count = Fmt::trim(double(expected.size()), 0);
    std::string headline = missing.empty() ? "all " + count + " " + noun + " OK"
                                           : Fmt::trim(double(expected.size() - missing.size()), 0) + " of " +
                                                 count + " " + noun + " registered";
    headline += chatters > 0 ? ", chatter on " + joined(chattering) : ", no chatter";

    return TestResult(kind, element, source, std::nullopt, headline, measures, details, std::nullopt,
                      std::nullopt, date);
}

} // namespace ButtonTest
} // namespace RorozErurEvo
