#include "testkit/AxisCenterAnalysis.h"

#include <algorithm>
#include <cmath>

#include "testkit/AxisSpan.h"
#include "testkit/Fmt.h"
#include "testkit/Middle.h"
#include "testkit/Thresholds.h"
#include "testkit/VerdictReasons.h"

namespace RorozErurEvo::AxisCenterAnalysis {

std::optional<AxisCenterReport> analyze(const std::vector<int>& values, int logicalMin, int logicalMax) {
    if (values.empty()) return std::nullopt;
    std::vector<int> ordered = values;
    const auto [lowest, highest] = std::minmax_element(ordered.begin(), ordered.end());
    const int low = *lowest;
    const int high = *highest;
    const double span = AxisSpan::span(logicalMin, logicalMax);
    const double middle = (static_cast<double>(logicalMin) + logicalMax) * 0.5;

    AxisCenterReport report;
    report.rawRest = Stats::middleInPlace(ordered)->upper; // a value the axis really sent
    report.signedOffset = (report.rawRest - middle) / (span * 0.5);
    report.offset = std::fabs(report.signedOffset);
    report.jitter = (static_cast<double>(high) - low) / span;
    report.stuckAtLimit = low == high && (low == logicalMin || low == logicalMax);
    return report;
}

TestResult result(const std::vector<int>& values, int logicalMin, int logicalMax, AxisRole role,
                  const std::string& element, const Thresholds& thresholds, Date date) {
    const auto report = analyze(values, logicalMin, logicalMax);
    if (!report)
        return TestResult(TestKind::axisCenter, element, ValueSource::raw, Verdict::warn, "no readings", {},
                          {"The axis sent nothing. Move it once, center it and run the test again."}, std::nullopt,
                          std::nullopt, date);

    using Direction = Limit::Direction;
    std::vector<Measure> measures{
        {"offset", "Off center at rest", report->offset, MeasureUnit::percent,
         Limit{thresholds.centerWarn, thresholds.centerFail, Direction::above}},
        {"jitter", "Jitter at rest", report->jitter, MeasureUnit::percent,
         Limit{thresholds.jitterWarn, thresholds.jitterFail, Direction::above}},
        {"rawRest", "Raw value at rest", static_cast<double>(report->rawRest), MeasureUnit::raw, std::nullopt},
    };

    const double middle = (static_cast<double>(logicalMin) + logicalMax) * 0.5;
    std::vector<std::string> details{"Middle of the range: " + Fmt::trim(middle, 1) +
                                     ". Off center is a share of half the range, like stick drift."};
    if (role == AxisRole::steering)
        details.push_back("A wheel without a spring doesn't center itself: line it up straight by hand before "
                          "letting go. A wheel that's off center when straight needs recalibrating (or a "
                          "centering setting in its software).");
    else
        details.push_back("A spring that doesn't bring it back to the middle reads as off center; a game sees "
                          "that as a constant small input.");

    std::optional<Verdict> verdict;
    std::string headline;
    const std::string offsetText = Fmt::trim(report->offset * 100, 1) + "%";
    if (report->stuckAtLimit) {
        details.push_back("Stuck at the end of its range: a broken wire or sensor often reads full scale.");
        verdict = Verdict::fail;
        headline = "stuck at " + Fmt::trim(report->rawRest, 0);
    } else {
        // Jitter that decides the verdict is named beside the offset.
        const bool off = Measure::verdict("offset", measures) != Verdict::pass;
        headline = VerdictReasons::headline(
            off ? "rests " + offsetText + " off center, " + (report->signedOffset < 0 ? "low" : "high") + " side"
                : "centered (" + offsetText + " off)",
            TestKind::axisCenter, measures, {"offset"});
    }
    return TestResult(TestKind::axisCenter, element, ValueSource::raw, verdict, headline, std::move(measures),
                      std::move(details), std::nullopt, std::nullopt, date);
}

} // namespace RorozErurEvo::AxisCenterAnalysis
