#include "testkit/TimedRate.h"

#include <algorithm>
#include <cmath>

#include "testkit/AxisTracker.h"
#include "testkit/Fmt.h"

namespace RorozErurEvo::ReportRateAnalysis {

namespace {

// "1,000": whole number with a comma between each group of three digits.
std::string grouped(double value) {
    std::string digits = Fmt::trim(std::round(value), 0);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0 && std::isdigit(static_cast<unsigned char>(digits[at - 1]));
         at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return digits;
}

} // namespace

std::optional<TimedRate> timedEstimate(std::vector<double> times, double minInterval, double resolution) {
    if (times.size() < 2) return std::nullopt;
    std::sort(times.begin(), times.end());
    if (resolution > 0) {
        std::size_t shared = 0;
        for (std::size_t i = 1; i < times.size(); ++i)
            if (times[i] - times[i - 1] < resolution / 2) ++shared;
        const auto intervals = static_cast<double>(times.size() - 1);
        if (static_cast<double>(shared) >= sharedStampShare * intervals)
            return TimedRate{1 / resolution, true, resolution};
    }
    const auto estimate = ReportRateAnalysis::estimate(std::move(times), minInterval);
    if (!estimate) return std::nullopt;
    return TimedRate{estimate->hz, false, resolution};
}

std::string floorText(const TimedRate& rate) {
    const double stepMs = rate.resolution * 1000;
    const std::string step =
        std::abs(stepMs - 1) < 1e-9 ? "the millisecond" : Fmt::trim(stepMs, 3) + " ms";
    return "\u2265 " + grouped(rate.hz) + " reports/s (the system times events to " + step + ")";
}

} // namespace RorozErurEvo::ReportRateAnalysis
