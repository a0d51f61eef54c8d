#include "testkit/AxisSweepAnalysis.h"

#include <algorithm>
#include <cmath>

#include "testkit/AxisSpan.h"
#include "testkit/Fmt.h"
#include "testkit/Thresholds.h"
#include "testkit/VerdictReasons.h"

namespace RorozErurEvo::AxisSweepAnalysis {

namespace {

// A sweep covering this share of the range or less was not a sweep at all (fraction).
constexpr double minimumCoverage = 0.05;

std::string integer(int value) { return Fmt::trim(value, 0); }

std::string howToSweep(AxisRole role) {
    switch (role) {
    case AxisRole::steering: return "Turn the wheel slowly all the way left, then all the way right, then back to center.";
    case AxisRole::pedal: return "Press the pedal slowly all the way down, then let go.";
    case AxisRole::twist:
        return "Twist the stick (or press the rudder) slowly all the way one way, then the other, then let go.";
    case AxisRole::throttle: return "Move the throttle slowly from one end to the other and back.";
    }
    return {};
}

// The widest stretch; of equally wide ones the lowest. Widths are compared in whole bins, since
// the ends of stretches of the same width can differ in their last bit.
const ClosedRange& widest(const std::vector<ClosedRange>& stretches) {
    auto bins = [](const ClosedRange& r) { return std::round((r.upper - r.lower) / SkipSearch::binWidth); };
    const ClosedRange* best = &stretches.front();
    for (const auto& stretch : stretches)
        if (bins(stretch) > bins(*best)) best = &stretch;
    return *best;
}

} // namespace

std::optional<AxisSweepReport> analyze(const std::vector<int>& values, int logicalMin, int logicalMax) {
    if (values.empty()) return std::nullopt;
    const auto [lowIt, highIt] = std::minmax_element(values.begin(), values.end());
    AxisSweepReport report;
    report.rawLow = *lowIt;
    report.rawHigh = *highIt;
    report.low = AxisSpan::position(report.rawLow, logicalMin, logicalMax);
    report.high = AxisSpan::position(report.rawHigh, logicalMin, logicalMax);
    std::vector<double> positions;
    positions.reserve(values.size());
    for (int v : values) positions.push_back(AxisSpan::position(v, logicalMin, logicalMax));
    report.skipped = SkipSearch::stretches(report.low, report.high, positions);
    return report;
}

TestResult result(const std::vector<int>& values, int logicalMin, int logicalMax, AxisRole role,
                  const std::string& element, const Thresholds& thresholds, Date date) {
    const auto report = analyze(values, logicalMin, logicalMax);
    if (!report || !(report->coverage() > minimumCoverage))
        return TestResult(TestKind::axisSweep, element, ValueSource::raw, Verdict::warn, "no movement seen", {},
                          {howToSweep(role)}, std::nullopt, std::nullopt, date);

    using Direction = Limit::Direction;
    const double coverage = report->coverage();
    std::vector<Measure> measures{
        {"coverage", "Range covered", coverage, MeasureUnit::percent,
         Limit{thresholds.rangeWarn, thresholds.rangeFail, Direction::below}},
        {"skip", "Largest skipped stretch", report->largestSkip(), MeasureUnit::percent,
         Limit{thresholds.sweepSkipWarn, thresholds.sweepSkipFail, Direction::above}},
        {"lowEnd", "Short of the low end", report->low, MeasureUnit::percent, std::nullopt},
        {"highEnd", "Short of the high end", 1 - report->high, MeasureUnit::percent, std::nullopt},
    };

    std::vector<std::string> details{"Logical range " + integer(logicalMin) + "\u2026" + integer(logicalMax) +
                                     "; reached " + integer(report->rawLow) + "\u2026" + integer(report->rawHigh) +
                                     "."};
    if (!report->skipped.empty())
        details.push_back("Skipped while moving: " + SkipSearch::text(report->skipped) +
                          ". Move it slowly; a stretch skipped every time is a dead spot or a worn track.");
    if (role == AxisRole::steering && coverage < thresholds.rangeWarn)
        details.push_back("Turn all the way to each lock. If it stops short every time, check the wheel's "
                          "rotation setting in its own software.");

    // The headline names the first measure that trips; one further down that decides the verdict
    // is named after it.
    std::string headline;
    std::string_view named = "coverage";
    if (Measure::verdict("coverage", measures) != Verdict::pass) {
        headline = "reaches only " + Fmt::trim(coverage * 100, 1) + "% of its range";
    } else if (Measure::verdict("skip", measures) != Verdict::pass && !report->skipped.empty()) {
        headline = "skips " + SkipSearch::text(widest(report->skipped));
        named = "skip";
    } else {
        headline = "full travel, " + Fmt::trim(coverage * 100, 1) + "% of its range";
    }
    headline = VerdictReasons::headline(std::move(headline), TestKind::axisSweep, measures, {named});
    return TestResult(TestKind::axisSweep, element, ValueSource::raw, std::nullopt, headline, std::move(measures),
                      std::move(details), std::nullopt, std::nullopt, date);
}

} // namespace RorozErurEvo::AxisSweepAnalysis
