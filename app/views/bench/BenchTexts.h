#pragma once
// The words of the bench page, the unit bar, the profile row and the live panel, kept apart from
// the widgets so they can be checked without building any.
#include <QString>
#include <QStringList>

#include <array>

#include <string>

#include "testkit/ControllerFamily.h"
#include "testkit/Measure.h"

namespace Tessarine::BenchTexts {

// The stages a unit passes through, in the order the stage picker offers them.
const QStringList& stagePresets();
// The presets, and after them `current` when it is none of them, so a stage typed elsewhere stays
// selectable.
QStringList stageOptions(const QString& current);

// "No results yet. Run a test below.", else "1 result:" / "<n> results:".
QString resultsHeading(int count);
// "<n> Pass", "<n> Warn", "<n> Fail".
QString verdictCount(int count, RorozErurEvo::Verdict verdict);

// "Limits: <label>".
QString limitsText(const std::string& label);
// The family menu's label, "Family: <short name>", and its spoken name,
// "Controller family, <long name>".
QString familyMenuText(RorozErurEvo::ControllerFamily family);
QString familyMenuName(RorozErurEvo::ControllerFamily family);
// Every family in menu order.
const std::array<RorozErurEvo::ControllerFamily, 6>& families();

// The closing caption under the bench's sections.
QString benchCaption(const QString& scopeNote);
// The suggested file name of a unit's report: "<unit key> <label>".
QString reportName(const std::string& unitKey, const std::string& label);

// What assistive technology says about a button of the live grid: "pressed, pressed 3 times".
QString buttonValue(bool pressed, int count);

// The live panel's caption: which numbers it shows. Empty when there is nothing to say.
enum class Source { raw, processedWithRawPartner, plain };
QString liveCaption(Source source);

} // namespace Tessarine::BenchTexts
