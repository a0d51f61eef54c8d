#include "testkit/Fmt.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "testkit/Middle.h"

namespace RorozErurEvo {

namespace {
// Beyond this many decimals every double is exact, so more digits only add zeros that trimming
// removes again; the cap keeps the buffer bounded for absurd digit counts.
constexpr int maxDigits = 1100;
} // namespace

std::string Fmt::trim(double value, int digits) {
    if (!std::isfinite(value)) return "\u2013";
    int d = std::clamp(digits, 0, maxDigits);
    // Integer part of a double has at most 309 digits; add sign, point and the decimals. Written
    // on the stack, so that the usual short text costs no heap block at all.
    std::array<char, 320 + maxDigits> buffer;
    auto [end, error] = std::to_chars(buffer.data(), buffer.data() + 320 + d, value, std::chars_format::fixed, d);
    if (error != std::errc{}) return "\u2013";
    std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    if (text.find('.') != std::string_view::npos) {
        while (text.back() == '0') text.remove_suffix(1);
        if (text.back() == '.') text.remove_suffix(1);
    }
    if (text == "-0") return "0";
    return std::string(text);
}

std::string Fmt::percent(double value) { return trim(value * 100, 1) + "%"; }

std::string Fmt::signedText(double value) {
    std::string text = trim(value, 3);
    return value > 0.0005 ? "+" + text : text;
}

std::optional<double> Stats::median(std::vector<double> values) {
    return medianInPlace(values);
}

double Stats::variance(const std::vector<double>& values) {
    if (values.size() < 2) return 0;
    double n = static_cast<double>(values.size());
    double sum = 0;
    for (double x : values) sum += x;
    double mean = sum / n;
    double squares = 0;
    for (double x : values) squares += (x - mean) * (x - mean);
    return squares / n;
}

} // namespace RorozErurEvo
