#pragma once
// Calendar dates of sessions and results: whole seconds on the system clock, written in
// ISO 8601 as "2026-12-07T04:29:17Z".
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace RorozErurEvo {

using Date = std::chrono::sys_seconds;

namespace Dates {
Date now();
// "YYYY-MM-DDTHH:MM:SSZ".
std::string iso(Date date);
// Strict reader of the form above; fractional seconds, offsets or anything else fail.
std::optional<Date> parseIso(std::string_view text);
// Seconds since 1970 as a Date (whole seconds, rounded down).
Date fromSeconds(double secondsSince1970);
} // namespace Dates

} // namespace RorozErurEvo
