#include "testkit/DeadzoneAnalysis.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "testkit/Fmt.h"
#include "testkit/TimeOrderedSamples.h"

namespace RorozErurEvo::DeadzoneAnalysis {
namespace {

constexpr double noiseFloor = 0.004;    // stick units: smallest movement that counts as leaving rest
constexpr double noiseSigmas = 4;       // resting noise is this many standard deviations of distance
constexpr double processedMove = 0.002; // stick units: processed movement that counts as a change

} // namespace

std::optional<double> fromPush(std::span<const StickSample> samples, double restDuration) {
    const TimeOrderedSamples ordered(samples);
    const auto s = ordered.view();
    if (s.empty()) return std::nullopt;
    const double restEnd = s.front().t + restDuration;
    std::size_t restCount = 1; // the first reading always belongs to the rest period
    while (restCount < s.size() && s[restCount].t <= restEnd)
        ++restCount;

    double sumX = 0, sumY = 0;
    for (std::size_t i = 0; i < restCount; ++i) {
        sumX += s[i].x;
        sumY += s[i].y;
    }
    const double cx = sumX / static_cast<double>(restCount), cy = sumY / static_cast<double>(restCount);
    std::vector<double> distances;
    distances.reserve(restCount);
    for (std::size_t i = 0; i < restCount; ++i)
        distances.push_back(std::hypot(s[i].x - cx, s[i].y - cy));
    const double threshold = std::max(noiseSigmas * std::sqrt(Stats::variance(distances)), noiseFloor);

    for (std::size_t i = restCount; i < s.size(); ++i) {
        if (!(s[i].t > restEnd)) continue;
        const double distance = std::hypot(s[i].x - cx, s[i].y - cy);
        if (distance > threshold) return distance;
    }
    return std::nullopt;
}

std::optional<double> fromPaired(std::span<const StickSample> raw, std::span<const StickSample> processed,
                                 double restDuration) {
    const TimeOrderedSamples rawOrdered(raw), processedOrdered(processed);
    const auto r = rawOrdered.view();
    const auto p = processedOrdered.view();
    if (r.empty() || p.empty()) return std::nullopt;
    const double restEnd = p.front().t + std::max(restDuration, 0.0);
    // The readings held at the end of the rest period: the last ones at or before it.
    std::size_t rest = 0;
    while (rest + 1 < p.size() && p[rest + 1].t <= restEnd)
        ++rest;
    const std::vector<StickSample> rawInOrder(r.begin(), r.end());
    // A raw recording that begins after the rest period is measured from its first reading.
    const StickSample r0 = Resample::value(restEnd, rawInOrder).value_or(r.front());
    const StickSample& p0 = p[rest];
    for (std::size_t i = rest + 1; i < p.size(); ++i) {
        if (!(std::hypot(p[i].x - p0.x, p[i].y - p0.y) > processedMove)) continue;
        const auto held = Resample::value(p[i].t, rawInOrder);
        if (!held) return std::nullopt;
        return std::hypot(held->x - r0.x, held->y - r0.y);
    }
    return std::nullopt;
}

TestResult result(std::optional<double> travel, const std::string& element, ValueSource source, bool paired,
                  const Thresholds& thresholds, Date date) {
    // A travel that is not a finite number cannot be judged or saved; treat it as no movement.
    if (!travel || !std::isfinite(*travel)) {
        return TestResult(TestKind::deadzone, element, source, Verdict::warn, "no movement seen", {},
                          {"Leave the stick alone for a moment, then push it very slowly toward the edge."},
                          std::nullopt, std::nullopt, date, Uuid::random());
    }
    std::vector<Measure> measures{
        Measure{"deadzone", "Travel before the value changes", *travel, MeasureUnit::percent,
                Limit{thresholds.deadzoneWarn, thresholds.deadzoneFail, Limit::Direction::above}}};
    std::vector<std::string> details;
    if (paired) {
        details.push_back("Measured on raw HID travel against the processed value.");
    } else {
        details.push_back("The first reading off center after a slow push.");
        if (source == ValueSource::processed)
            details.push_back(
                "The system rescales after its own deadzone, so this can read low; with raw HID "
                "available the app measures both together.");
    }
    return TestResult(TestKind::deadzone, element, source, std::nullopt,
                      "deadzone " + Fmt::trim(*travel * 100, 1) + "%", measures, details, std::nullopt,
                      std::nullopt, date, Uuid::random());
}

} // namespace RorozErurEvo::DeadzoneAnalysis
