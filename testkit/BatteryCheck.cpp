#include "testkit/BatteryCheck.h"

#include <cmath>

#include "testkit/Fmt.h"
#include "testkit/Text.h"

namespace RorozErurEvo::BatteryCheck {
TestResult result(std::optional<double> level, const std::optional<std::string>& state, const std::string& element,
                  Date date) {
    // A level that is not a number would make the saved session unwritable; treat it as absent.
    const double charge = level.value_or(std::nan(""));
    const bool reported = std::isfinite(charge);
    std::string headline = "level not reported";
    std::vector<Measure> measures;
    std::vector<std::string> details;
    if (state) details.push_back("State: " + *state + ".");
    if (reported) {
        headline = "battery " + Fmt::trim(charge * 100, 1) + "%";
        if (state) headline += " (" + lowercased(*state) + ")";
        measures.push_back({"level", "Charge", charge, MeasureUnit::percent, std::nullopt});
    } else if (!state) {
        details.push_back("This controller doesn't report its battery to the system.");
    }
    return TestResult(TestKind::battery, element, ValueSource::processed, Verdict::pass, headline, measures, details,
                      std::nullopt, std::nullopt, date, Uuid::random());
}

} // namespace RorozErurEvo::BatteryCheck
