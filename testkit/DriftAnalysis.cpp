#include "testkit/DriftAnalysis.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "testkit/Fmt.h"
#include "testkit/TimeOrderedSamples.h"
#include "testkit/VerdictReasons.h"

namespace RorozErurEvo::DriftAnalysis {

std::optional<DriftReport> analyze(std::span<const StickSample> samples) {
    DriftReport report;
    double sumX = 0, sumY = 0;
    // Raw counts are summed as doubles: 64-bit integer sums of a long recording could overflow.
    double rawSumX = 0, rawSumY = 0;
    long rawCount = 0;
    for (const auto& s : samples) {
        if (!isUsable(s)) continue;
        ++report.count;
        sumX += s.x;
        sumY += s.y;
        report.maxOffset = std::max(report.maxOffset, s.radius());
        if (s.raw) {
            rawSumX += static_cast<double>(s.raw->x);
            rawSumY += static_cast<double>(s.raw->y);
            ++rawCount;
        }
    }
    if (report.count == 0) return std::nullopt;
    const double n = report.count;
    report.meanX = sumX / n;
    report.meanY = sumY / n;
    report.offset = PlotPoint{report.meanX, report.meanY}.radius();
    if (report.count >= 2) {
        // Population variances about the means just found, summed without a copy of the samples.
        double squaresX = 0, squaresY = 0;
        for (const auto& s : samples) {
            if (!isUsable(s)) continue;
            squaresX += (s.x - report.meanX) * (s.x - report.meanX);
            squaresY += (s.y - report.meanY) * (s.y - report.meanY);
        }
        report.noise = std::sqrt(squaresX / n + squaresY / n);
    }
    if (rawCount > 0)
        report.rawMean =
            PlotPoint{rawSumX / static_cast<double>(rawCount), rawSumY / static_cast<double>(rawCount)};
    return report;
}

TestResult result(std::span<const StickSample> samples, const std::string& element, ValueSource source,
                  const Thresholds& thresholds, Date date) {
    auto report = analyze(samples);
    if (!report) {
        return TestResult(
            TestKind::drift, element, source, Verdict::warn, "no data", {},
            {"Nothing was recorded. Check the controller is still connected, then run the test again."},
            std::nullopt, std::nullopt, date, Uuid::random());
    }
    std::vector<Measure> measures{
        Measure{"offset", "Rest offset", report->offset, MeasureUnit::percent,
                Limit{thresholds.driftWarn, thresholds.driftFail, Limit::Direction::above}},
        // A single stray reading only warns, and only at the level where a resting offset fails.
        Measure{"peak", "Farthest from center", report->maxOffset, MeasureUnit::percent,
                Limit{thresholds.driftFail, std::nullopt, Limit::Direction::above}},
        Measure{"noise", "Noise at rest", report->noise, MeasureUnit::percent,
                Limit{thresholds.noiseWarn, std::nullopt, Limit::Direction::above}},
    };
    std::vector<std::string> details{"Rests at x " + Fmt::signedText(report->meanX) + ", y " +
                                     Fmt::signedText(report->meanY) + " over " +
                                     std::to_string(report->count) + " readings."};
    if (report->rawMean)
        details.push_back("Raw resting value: " + Fmt::trim(report->rawMean->x, 1) + ", " +
                          Fmt::trim(report->rawMean->y, 1) + ".");
    if (source == ValueSource::processed && report->offset == 0 && report->maxOffset == 0)
        details.push_back("Exactly centered: the system may be hiding small drift inside its deadzone. "
                          "Use raw HID values for an exact reading.");
    const std::string percent = Fmt::trim(report->offset * 100, 1) + "%";
    const bool drifting = measures[0].verdict() != Verdict::pass;
    // A stray reading or a noisy rest that decides the verdict is named beside the offset.
    std::string headline = VerdictReasons::headline(drifting ? "drift " + percent : "no drift (" + percent + ")",
                                                    TestKind::drift, measures, {"offset"});
    return TestResult(TestKind::drift, element, source, std::nullopt, headline, measures, details,
                      std::nullopt, std::nullopt, date, Uuid::random());
}

} // namespace RorozErurEvo::DriftAnalysis
