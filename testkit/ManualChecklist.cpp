#include "testkit/ManualChecklist.h"

#include "testkit/Text.h"

namespace RorozErurEvo {

json ManualCheck::toJson() const { return {{"name", name}, {"ok", ok}}; }

ManualCheck ManualCheck::fromJson(const json& object) {
    Json::requireObject(object, "manual check");
    return {Json::string(object, "name"), Json::boolean(object, "ok")};
}

namespace ManualChecklist {
TestResult result(TestKind kind, const std::string& element, const std::vector<ManualCheck>& checks, Date date) {
    std::vector<std::string> failed;
    std::vector<std::string> details;
    for (const auto& check : checks) {
        if (!check.ok) failed.push_back(check.name);
        details.push_back((check.ok ? "OK" : "Not working") + std::string(": ") + check.name);
    }

    std::string headline = lowercased(title(kind));
    if (failed.empty()) {
        headline += " OK";
    } else {
        headline += ": ";
        for (size_t i = 0; i < failed.size(); ++i) headline += (i ? ", " : "") + failed[i];
        headline += " not working";
    }

    std::vector<Measure> measures{
        {"failed", "Not working", static_cast<double>(failed.size()), MeasureUnit::count,
         Limit{std::nullopt, 0.0, Limit::Direction::above}},
        {"checked", "Checked", static_cast<double>(checks.size()), MeasureUnit::count, std::nullopt},
    };
    return TestResult(kind, element, ValueSource::manual, std::nullopt, headline, measures, details, std::nullopt,
                      std::nullopt, date, Uuid::random());
}

} // namespace ManualChecklist
} // namespace RorozErurEvo
