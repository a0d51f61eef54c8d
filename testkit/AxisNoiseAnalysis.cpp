#include "testkit/AxisNoiseAnalysis.h"

#include <algorithm>
#include <cmath>

#include "testkit/AxisSpan.h"
#include "testkit/Fmt.h"
#include "testkit/Thresholds.h"
#include "testkit/VerdictReasons.h"

namespace RorozErurEvo::AxisNoiseAnalysis {

namespace {

// Jitter of this many counts or fewer is the last bit flickering, not a noisy sensor.
constexpr long long steadyJitterCounts = 1; // counts

std::string integer(long long value) { return Fmt::trim(static_cast<double>(value), 0); }

} // namespace

std::optional<RawAxisReport> analyze(const std::vector<int>& rest, int logicalMin, int logicalMax,
                                     std::optional<int> movedMin, std::optional<int> movedMax) {
    if (rest.empty()) return std::nullopt;
    const auto [restMinIt, restMaxIt] = std::minmax_element(rest.begin(), rest.end());
    const int restMin = *restMinIt, restMax = *restMaxIt;
    const double span = AxisSpan::span(logicalMin, logicalMax);

    RawAxisReport report;
    report.count = static_cast<int>(rest.size());
    double sum = 0;
    std::vector<double> values;
    values.reserve(rest.size());
    for (int v : rest) {
        sum += v;
        values.push_back(v);
    }
    report.mean = sum / static_cast<double>(rest.size());
    report.std = std::sqrt(Stats::variance(values));
    report.jitter = static_cast<long long>(restMax) - restMin;
    report.jitterShare = static_cast<double>(report.jitter) / span;
    report.minSeen = movedMin ? std::min(restMin, *movedMin) : restMin;
    report.maxSeen = movedMax ? std::max(restMax, *movedMax) : restMax;
    report.logicalMin = logicalMin;
    report.logicalMax = logicalMax;
    if (movedMin && movedMax)
        report.coverage = (static_cast<double>(report.maxSeen) - report.minSeen) / span;
    report.stuckAtLimit = restMin == restMax && (restMin == logicalMin || restMin == logicalMax);
    return report;
}

TestResult result(const std::vector<int>& rest, int logicalMin, int logicalMax, std::optional<int> movedMin,
                  std::optional<int> movedMax, const std::string& element, const Thresholds& thresholds, Date date) {
    const auto report = analyze(rest, logicalMin, logicalMax, movedMin, movedMax);
    if (!report)
        return TestResult(TestKind::axisNoise, element, ValueSource::raw, Verdict::warn, "no readings", {},
                          {"The axis sent nothing. Move it once, then leave it alone and run the test again."},
                          std::nullopt, std::nullopt, date);

    using Direction = Limit::Direction;
    std::vector<Measure> measures{
        {"jitter", "Jitter at rest", report->jitterShare, MeasureUnit::percent,
         Limit{thresholds.jitterWarn, thresholds.jitterFail, Direction::above}},
        {"jitterCounts", "Jitter at rest (counts)", static_cast<double>(report->jitter), MeasureUnit::raw,
         std::nullopt},
        {"std", "Noise (std, counts)", std::round(report->std * 10) / 10, MeasureUnit::raw, std::nullopt},
    };
    if (report->coverage)
        measures.push_back({"coverage", "Range covered", *report->coverage, MeasureUnit::percent,
                            Limit{thresholds.rangeWarn, thresholds.rangeFail, Direction::below}});

    std::vector<std::string> details{
        "Logical range " + integer(logicalMin) + "\u2026" + integer(logicalMax) + "; seen " +
        integer(report->minSeen) + "\u2026" + integer(report->maxSeen) + "."};
    if (report->jitter > steadyJitterCounts)
        details.push_back("Moves " + integer(report->jitter) +
                          " counts at rest (a potentiometer's noise grows as it wears).");
    else
        details.push_back("Steady at rest (typical of a Hall-effect sensor or a filtered pot).");

    std::optional<Verdict> verdict;
    std::string headline;
    if (report->stuckAtLimit) {
        details.push_back("Stuck at the end of its range: a broken wire or sensor often reads full scale.");
        verdict = Verdict::fail;
        headline = "stuck at " + integer(report->minSeen);
    } else {
        // A range not covered that decides the verdict is named beside the jitter.
        headline = VerdictReasons::headline("jitter " + integer(report->jitter) + " counts (" +
                                                Fmt::trim(report->jitterShare * 100, 1) + "%)",
                                            TestKind::axisNoise, measures, {"jitter"});
    }
    return TestResult(TestKind::axisNoise, element, ValueSource::raw, verdict, headline, std::move(measures),
                      std::move(details), std::nullopt, std::nullopt, date);
}

} // namespace RorozErurEvo::AxisNoiseAnalysis
