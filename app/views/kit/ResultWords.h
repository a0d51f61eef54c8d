#pragma once
// Words every view of a result shares, the bench's cards and the history's tables alike, worked
// out from values alone so that they are tested without a widget.
#include <QString>

#include <string>

#include "testkit/TestResult.h"

namespace Tessarine::ResultWords {

// The text with its first character (a whole grapheme, not a byte or a code unit) upper-cased
// and the rest unchanged: "écart de 3 %" → "Écart de 3 %".
QString capitalized(const std::string& text);
// What a result's circularity plot reads: its first measure spoken in full ("Average
// circularity error 2.2 percent, Pass, …"), or the headline when it has no measures.
QString plotSummary(const RorozErurEvo::TestResult& result);

} // namespace Tessarine::ResultWords
