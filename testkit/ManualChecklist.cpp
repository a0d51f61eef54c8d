#include "testkit/ManualChecklist.h"

#include <algorithm>

#include "testkit/Fmt.h"
#include "testkit/NameList.h"
#include "testkit/Text.h"

namespace RorozErurEvo {

json ManualCheck::toJson() const { return {{"name", name}, {"ok", ok}}; }

ManualCheck ManualCheck::fromJson(const json& object) {
    Json::requireObject(object, "manual check");
    return {Json::string(object, "name"), Json::boolean(object, "ok")};
}

namespace ManualChecklist {

TestResult result(TestKind kind, const std::string& element, const std::vector<ManualCheck>& checks,
                  std::size_t items, Date date) {
    std::vector<std::string> failed;
    std::vector<std::string> details;
    for (const auto& check : checks) {
        if (!check.ok) failed.push_back(check.name);
        details.push_back((check.ok ? "OK" : "Not working") + std::string(": ") + check.name);
    }
    // Answers to items no longer on the list still count as checked.
    const std::size_t total = std::max(items, checks.size());
    const std::size_t unchecked = total - checks.size();
    const std::string checkedText = Fmt::trim(static_cast<double>(checks.size()), 0) + " of " +
                                    Fmt::trim(static_cast<double>(total), 0) + " checked";

    // The count comes before the names, so it is read even where a long headline is cut.
    std::string headline = lowercased(title(kind));
    if (failed.empty())
        headline += unchecked == 0 ? " OK" : ": " + checkedText + ", OK so far";
    else
        headline += ": " + (unchecked > 0 ? checkedText + ", " : std::string()) + NameList::quoted(failed) +
                    " not working";

    std::vector<Measure> measures{
        {"failed", "Not working", static_cast<double>(failed.size()), MeasureUnit::count,
         Limit{std::nullopt, 0.0, Limit::Direction::above}},
        {"checked", "Checked", static_cast<double>(checks.size()), MeasureUnit::count, std::nullopt},
    };
    // An item nobody answered was not seen to work: the result cannot pass.
    if (unchecked > 0)
        measures.push_back({"unchecked", "Not checked", static_cast<double>(unchecked), MeasureUnit::count,
                            Limit{0.0, std::nullopt, Limit::Direction::above}});
    return TestResult(kind, element, ValueSource::manual, std::nullopt, headline, measures, details, std::nullopt,
                      std::nullopt, date, Uuid::random());
}

} // namespace ManualChecklist
} // namespace RorozErurEvo
