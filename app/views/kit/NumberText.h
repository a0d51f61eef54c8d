#pragma once
// How a number field shows a stored value and turns typed text back into one, built from values
// alone so that it is tested without a window.
#include <QString>

#include <optional>

namespace Tessarine::NumberText {

// The value to the `digits` decimals a field shows, halves going away from zero.
double rounded(double value, int digits);
// The text of a number field: the value rounded to at most `digits` decimals, no trailing zeros.
QString text(double value, int digits);
// A percent field's number for a stored fraction: the percentage to one decimal (0.0125 → 1.3).
double percentShown(double fraction);
// The fraction a typed percentage stands for (12.5 → 0.125, -3 → -0.03).
double percentStored(double typed);
// The number in typed text, in the C or the user's notation ("1.5", "1,5"); absent unless the
// whole text is one finite number.
std::optional<double> parse(const QString& text);

} // namespace Tessarine::NumberText
