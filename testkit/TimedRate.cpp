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

std::optional<TimedRate> timedEstimate(std::vector<double> times, double resolution) {
    std::erase_if(times, [](double t) { return !std::isfinite(t); });
    if (times.size() < 2) return std::nullopt;
    std::sort(times.begin(), times.end());
    // With a stepped clock, how many intervals are exactly one step.
    std::size_t oneStep = 0;
    if (resolution > 0) {
        // A report shares its step when a neighbour lies within half a step of it.
        const double within = resolution / 2;
        const std::size_t n = times.size();
        std::size_t shared = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if ((i > 0 && times[i] - times[i - 1] < within) || (i + 1 < n && times[i + 1] - times[i] < within))
                ++shared;
            if (i > 0 && std::abs(times[i] - times[i - 1] - resolution) < within) ++oneStep;
        }
        if (2 * shared > n) return TimedRate{1 / resolution, true, resolution};
    }
    const std::size_t intervals = times.size() - 1;
    const auto estimate = ReportRateAnalysis::estimate(std::move(times));
    if (!estimate) return std::nullopt;
    // Nearly all one step apart: reports may have come faster and been stamped alike (a layer
    // that keeps one stamp per time shows them as one), so what was counted is a floor.
    if (static_cast<double>(oneStep) >= mostlyOneStep * static_cast<double>(intervals))
        return TimedRate{std::min(estimate->hz, 1 / resolution), true, resolution};
    return TimedRate{estimate->hz, false, resolution};
}

std::string floorFigure(const TimedRate& rate) { return "\u2265 " + grouped(rate.hz) + " reports/s"; }

std::string floorText(const TimedRate& rate) {
    const double stepMs = rate.resolution * 1000;
    const std::string step =
        std::abs(stepMs - 1) < 1e-9 ? "the millisecond" : Fmt::trim(stepMs, 3) + " ms";
    return floorFigure(rate) + " (the system times events to " + step + ")";
}

} // namespace RorozErurEvo::ReportRateAnalysis
