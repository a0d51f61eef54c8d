#include "testkit/PedalAnalysis.h"

#include <algorithm>
#include <cmath>

#include "testkit/AxisSpan.h"
#include "testkit/Fmt.h"
#include "testkit/Middle.h"
#include "testkit/Thresholds.h"
#include "testkit/VerdictReasons.h"

namespace RorozErurEvo::PedalAnalysis {

namespace {

// A press must go this much deeper than the rest to be judged (fraction of travel).
constexpr double minimumPress = 0.05;
// Readings after letting go that tell where the pedal came back to.
constexpr std::size_t releaseReadings = 5;
// Dead-zone advice is worth giving from this size on (fraction of travel).
constexpr double adviceThreshold = 0.005;
// Slack taken off before rounding up to a whole percent, so that a share like 0.07, which is
// 7.000000000000001 once multiplied by 100, is advised as 7% and not 8% (percent).
constexpr double roundingSlack = 1e-9;

// Where a set of positions settles: the middle one, the upper of the two middle ones for an even
// count; values must not be empty.
double upperMiddle(std::vector<double> values) { return Stats::middleInPlace(values)->upper; }

double wholePercentUp(double share) {
    return std::max(std::ceil(share * 100 - roundingSlack) / 100, 0.0);
}

std::string percentText(double share) { return Fmt::trim(share * 100, 1) + "%"; }

} // namespace

std::optional<PedalReport> analyze(const std::vector<int>& rest, const std::vector<int>& press,
                                   const std::vector<int>& after, int logicalMin, int logicalMax) {
    std::vector<int> base = rest;
    if (base.empty()) {
        if (press.empty()) return std::nullopt;
        base = {press.front()};
    }
    std::vector<double> baseRaw;
    baseRaw.reserve(base.size());
    for (int v : base) baseRaw.push_back(AxisSpan::position(v, logicalMin, logicalMax));

    PedalReport report;
    report.inverted = upperMiddle(baseRaw) > 0.5;
    auto pedal = [&](int v) {
        const double p = AxisSpan::position(v, logicalMin, logicalMax);
        return report.inverted ? 1 - p : p;
    };

    std::vector<double> basePositions;
    basePositions.reserve(base.size());
    for (int v : base) basePositions.push_back(pedal(v));
    report.rest = upperMiddle(basePositions);
    const auto [lowest, highest] = std::minmax_element(basePositions.begin(), basePositions.end());
    report.restJitter = *highest - *lowest;

    std::vector<double> pressPositions;
    pressPositions.reserve(press.size());
    for (int v : press) pressPositions.push_back(pedal(v));
    report.reach = report.rest;
    for (double p : pressPositions) report.reach = std::max(report.reach, p);

    // Only the way down counts: what follows the deepest reading is the release. The rest
    // position marks the first bin, so the search starts from where the pedal was resting.
    std::vector<double> pressing{report.rest};
    for (double p : pressPositions) {
        if (p >= report.rest) pressing.push_back(p);
        if (p >= report.reach) break;
    }
    report.skipped = SkipSearch::stretches(report.rest, report.reach, pressing);

    if (!after.empty()) {
        const std::size_t from = after.size() > releaseReadings ? after.size() - releaseReadings : 0;
        std::vector<double> last;
        for (std::size_t i = from; i < after.size(); ++i) last.push_back(pedal(after[i]));
        report.final = upperMiddle(last);
    }
    report.bottomDeadzone = wholePercentUp(report.rest + report.restJitter);
    report.topDeadzone = wholePercentUp(1 - report.reach);
    return report;
}

TestResult result(const std::vector<int>& rest, const std::vector<int>& press, const std::vector<int>& after,
                  int logicalMin, int logicalMax, const std::string& element, const Thresholds& thresholds,
                  Date date) {
    const auto report = analyze(rest, press, after, logicalMin, logicalMax);
    if (!report || !(report->rest + minimumPress < report->reach))
        return TestResult(TestKind::pedal, element, ValueSource::raw, Verdict::warn, "no press seen", {},
                          {"Feet off for a moment, then press the pedal slowly all the way down (about 2 seconds) "
                           "and let go."},
                          std::nullopt, std::nullopt, date);

    using Direction = Limit::Direction;
    const Limit restLimit{thresholds.pedalRestWarn, thresholds.pedalRestFail, Direction::above};
    std::vector<Measure> measures{
        {"rest", "Reads at rest (bottom dead zone)", report->rest, MeasureUnit::percent, restLimit},
        {"reach", "Full press reaches", report->reach, MeasureUnit::percent,
         Limit{thresholds.pedalReachWarn, thresholds.pedalReachFail, Direction::below}},
        {"skip", "Largest skipped stretch while pressing", report->largestSkip(), MeasureUnit::percent,
         Limit{thresholds.sweepSkipWarn, thresholds.sweepSkipFail, Direction::above}},
        {"jitter", "Jitter at rest", report->restJitter, MeasureUnit::percent,
         Limit{thresholds.jitterWarn, thresholds.jitterFail, Direction::above}},
    };
    if (report->final)
        measures.push_back({"release", "Back at rest after letting go", *report->final, MeasureUnit::percent, restLimit});
    measures.push_back({"bottomDZ", "Dead zone to set at the bottom", report->bottomDeadzone, MeasureUnit::percent,
                        std::nullopt});
    measures.push_back({"topDZ", "Dead zone to set at the top", report->topDeadzone, MeasureUnit::percent,
                        std::nullopt});

    std::vector<std::string> details;
    if (report->inverted)
        details.push_back("This pedal reads highest when released; the numbers are flipped so 0% is released.");
    if (report->bottomDeadzone > adviceThreshold || report->topDeadzone > adviceThreshold)
        details.push_back("In the game or the pedal's software, set about " + percentText(report->bottomDeadzone) +
                          " dead zone at the bottom and " + percentText(report->topDeadzone) +
                          " at the top, so released reads 0% and fully pressed reads 100%.");
    if (!report->skipped.empty())
        details.push_back("Skipped while pressing: " + SkipSearch::text(report->skipped) +
                          ". Press slowly; a stretch skipped every time is a worn or dirty pot.");
    details.push_back("A load-cell brake reads pressure, not travel: press as hard as you would when braking.");

    // The headline names the first measure that trips; one further down (the jitter at rest has no
    // headline of its own) that decides the verdict is named after it.
    auto trips = [&](const char* id) { return Measure::verdict(id, measures) != Verdict::pass; };
    std::string headline = "full travel";
    std::string_view named;
    if (trips("reach")) {
        headline = "reaches " + percentText(report->reach);
        named = "reach";
    } else if (trips("skip") && !report->skipped.empty()) {
        headline = "dead spot at " + SkipSearch::text(report->skipped.front());
        named = "skip";
    } else if (trips("rest")) {
        headline = "reads " + percentText(report->rest) + " at rest";
        named = "rest";
    } else if (report->final && trips("release")) {
        headline = "stays at " + percentText(*report->final) + " after letting go";
        named = "release";
    }
    headline = VerdictReasons::headline(std::move(headline), TestKind::pedal, measures, {named});
    return TestResult(TestKind::pedal, element, ValueSource::raw, std::nullopt, headline, std::move(measures),
                      std::move(details), std::nullopt, std::nullopt, date);
}

} // namespace RorozErurEvo::PedalAnalysis
