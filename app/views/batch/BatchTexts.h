#pragma once
// The words of the all-devices view and its cards, and which of a device's results a card shows,
// kept apart from the widgets so they can be checked without building any.
#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "testkit/Measure.h"
#include "testkit/TestResult.h"

namespace Tessarine::BatchTexts {

// "<n> connected".
QString connected(std::size_t count);
// "Unit <unit>", or "No unit ID yet" when the unit is empty.
QString unitLine(const std::string& unit);
// A card's line for one result: "<element>: <headline>".
QString resultLine(const RorozErurEvo::TestResult& result);
// What a card's stick plot is read as: "<device>, <stick>".
QString plotLabel(const std::string& deviceName, const std::string& stickName);

// The drift results among `results`, in their order.
std::vector<RorozErurEvo::TestResult> driftResults(const std::vector<RorozErurEvo::TestResult>& results);
// The worst verdict of the results; none without results.
std::optional<RorozErurEvo::Verdict> worstVerdict(const std::vector<RorozErurEvo::TestResult>& results);

// The help text of "Drift Test All".
QString driftAllHelp();
// The stage prompt of "Save All…".
QString stageTitle();
QString stageMessage();

} // namespace Tessarine::BatchTexts
