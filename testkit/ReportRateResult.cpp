#include "testkit/ReportRateResult.h"

#include "testkit/Fmt.h"
#include "testkit/VerdictReasons.h"

namespace RorozErurEvo::ReportRateAnalysis {

namespace {

// Longest gap while moving, milliseconds: warn above, fail above.
constexpr double gapWarnMs = 100;
constexpr double gapFailMs = 250;

} // namespace

TestResult result(const std::vector<double>& times, const std::string& element, ValueSource source, Date date) {
    const auto rate = estimate(times);
    if (!rate)
        return TestResult(TestKind::reportRate, element, source, Verdict::warn, "too few reports", {},
                          {"Keep moving a stick while it measures."}, std::nullopt, std::nullopt, date);
    std::vector<Measure> measures{
        {"hz", "Report rate", rate->hz, MeasureUnit::hertz, std::nullopt},
        {"gap", "Longest gap while moving", rate->maxGapMs, MeasureUnit::milliseconds,
         Limit{gapWarnMs, gapFailMs, Limit::Direction::above}},
    };
    std::string detail = Fmt::trim(rate->reports, 0) + " reports, " +
                         format(MeasureUnit::milliseconds, rate->medianIntervalMs) + " apart (median).";
    // The rate itself is judged by nothing: a gap that warns or fails is named beside it.
    std::string headline = VerdictReasons::headline(Fmt::trim(rate->hz, 0) + " Hz", TestKind::reportRate, measures, {});
    return TestResult(TestKind::reportRate, element, source, std::nullopt, std::move(headline), std::move(measures),
                      {std::move(detail)}, std::nullopt, std::nullopt, date);
}

} // namespace RorozErurEvo::ReportRateAnalysis
