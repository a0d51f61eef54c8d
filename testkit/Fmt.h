#pragma once
// The one number-to-text rule of the system and the two statistics the analyses share.
// Text is locale-free: the decimal separator is always a point.
#include <optional>
#include <string>
#include <vector>

namespace RorozErurEvo {

namespace Fmt {
// Fixed-point with `digits` decimals (a negative count means 0), trailing zeros and a bare point
// removed, "-0" written as "0"; NaN and infinities give "–" (en dash).
std::string trim(double value, int digits);
// trim(value × 100, 1) + "%".
std::string percent(double value);
// trim(value, 3) with "+" in front when value > 0.0005; negatives keep their "-".
// (Named signedText because `signed` is a C++ keyword.)
std::string signedText(double value);
} // namespace Fmt

namespace Stats {
// Median of the values; absent for an empty array.
std::optional<double> median(std::vector<double> values);
// Population variance (divided by n); 0 for fewer than two values.
double variance(const std::vector<double>& values);
} // namespace Stats

} // namespace RorozErurEvo
