#include "testkit/TriggerAnalysis.h"

#include <algorithm>
#include <cmath>

#include "testkit/Fmt.h"
#include "testkit/Middle.h"
#include "testkit/VerdictReasons.h"

namespace RorozErurEvo::TriggerAnalysis {
namespace {

constexpr double restWindowSeconds = 0.3; // seconds from the first sample that count as rest
constexpr double pullMargin = 0.03;       // fraction of travel above rest that starts a pull
constexpr double slowPullSeconds = 0.4;   // seconds; a faster pull is too quick to judge jumps

std::string rangeText(const ClosedRange& range) {
    return Fmt::trim(range.lower * 100, 0) + "–" + Fmt::trim(range.upper * 100, 0) + "%";
}

TestResult noPull(const std::string& element, ValueSource source, Date date) {
    return TestResult(TestKind::trigger, element, source, Verdict::warn, "no pull seen", {},
                      {"Pull the trigger slowly all the way in (about 2 seconds), then let go."}, std::nullopt,
                      std::nullopt, date, Uuid::random());
}

} // namespace

std::optional<TriggerReport> analyze(const std::vector<TriggerSample>& samples, bool analog) {
    // A reading without a finite time or value cannot be placed on the pull; leave it out.
    std::vector<TriggerSample> sorted;
    sorted.reserve(samples.size());
    for (const auto& s : samples)
        if (std::isfinite(s.t) && std::isfinite(s.value)) sorted.push_back(s);
    if (sorted.empty()) return std::nullopt;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.t < b.t; });
    const size_t count = sorted.size();
    auto value = [&](size_t i) { return sorted[i].value; };

    TriggerReport report;
    const double restEnd = sorted.front().t + restWindowSeconds;
    std::vector<double> restValues;
    std::vector<long long> restRaw;
    for (const auto& s : sorted) {
        if (s.t > restEnd) break;
        restValues.push_back(s.value);
        if (s.raw) restRaw.push_back(*s.raw);
    }
    report.rest = Stats::median(restValues).value_or(0);
    report.restNoise = std::sqrt(Stats::variance(restValues));

    size_t peak = 0;
    for (size_t i = 1; i < count; ++i)
        if (value(i) > value(peak)) peak = i;
    report.reach = value(peak);

    size_t firstCrossing = peak;
    for (size_t i = 0; i < count; ++i)
        if (value(i) > report.rest + pullMargin) {
            firstCrossing = i;
            break;
        }
    const size_t pullStart = firstCrossing > 0 ? firstCrossing - 1 : 0;

    if (analog && peak >= firstCrossing) {
        // The walk ends at the peak but never past the last sample: with a single reading
        // there is no step to look at.
        const size_t last = std::min(std::max<size_t>(peak, 1), count - 1);
        double runningPeak = value(pullStart);
        bool below = false;
        for (size_t i = std::max<size_t>(firstCrossing, 1); i <= last; ++i) {
            const double step = value(i) - value(i - 1);
            if (step > report.largestJump) {
                report.largestJump = step;
                report.jumpFrom = value(i - 1);
            }
            const bool nowBelow = value(i) < runningPeak - pullMargin;
            if (nowBelow && !below) ++report.reversals;
            below = nowBelow;
            runningPeak = std::max(runningPeak, value(i));
        }
    }

    if (analog && report.reach - report.rest > SkipSearch::minimumSpan) {
        std::vector<double> pulled;
        for (size_t i = pullStart; i <= peak; ++i) pulled.push_back(value(i));
        report.deadSpots = SkipSearch::stretches(report.rest, report.reach, pulled);
    }

    report.final = sorted.back().value;
    report.pullSeconds = sorted[peak].t - sorted[pullStart].t;
    if (const auto middle = Stats::middleInPlace(restRaw)) report.rawRest = middle->upper;
    if (sorted[peak].raw) report.rawReach = *sorted[peak].raw;
    return report;
}

TestResult result(const std::vector<TriggerSample>& samples, const std::string& element, ValueSource source,
                  bool analog, const Thresholds& thresholds, Date date) {
    const auto report = analyze(samples, analog);
    if (!report || report->reach <= report->rest + pullMargin) return noPull(element, source, date);
    const TriggerReport& r = *report;
    const bool quickPull = analog && r.pullSeconds < slowPullSeconds;

    using Direction = Limit::Direction;
    std::vector<Measure> measures;
    measures.push_back({"reach", "Full pull reaches", r.reach, MeasureUnit::percent,
                        Limit{thresholds.triggerReachWarn, thresholds.triggerReachFail, Direction::below}});
    measures.push_back({"rest", "Value at rest", r.rest, MeasureUnit::percent,
                        Limit{thresholds.triggerRestWarn, thresholds.triggerRestFail, Direction::above}});
    if (analog) {
        std::optional<Limit> jumpLimit;
        if (!quickPull) jumpLimit = Limit{thresholds.triggerJumpWarn, thresholds.triggerJumpFail, Direction::above};
        measures.push_back({"jump", "Largest jump while pulling", r.largestJump, MeasureUnit::percent, jumpLimit});
    }
    measures.push_back({"release", "Back at rest after letting go", r.final, MeasureUnit::percent,
                        Limit{thresholds.triggerRestWarn, thresholds.triggerRestFail, Direction::above}});
    if (analog) measures.push_back({"noise", "Noise at rest", r.restNoise, MeasureUnit::percent, std::nullopt});

    std::vector<std::string> details;
    if (!analog) details.push_back("A digital trigger: it's either pressed or not.");
    if (!r.deadSpots.empty()) {
        std::string line = "Skipped while pulling: ";
        for (size_t i = 0; i < r.deadSpots.size(); ++i) line += (i ? ", " : "") + rangeText(r.deadSpots[i]);
        details.push_back(line + ".");
    }
    if (r.reversals >= 1)
        details.push_back("Dropped back " + Fmt::trim(r.reversals, 0) +
                          "× while pulling (a scratchy or dirty sensor, or a hesitant pull).");
    if (quickPull)
        details.push_back("Pulled in " + Fmt::trim(r.pullSeconds, 1) + " s" +
                          "; for the dead-spot check pull slowly, over about 2 seconds.");
    if (r.rawRest && r.rawReach)
        details.push_back("Raw: " + Fmt::trim(static_cast<double>(*r.rawRest), 0) + " at rest, " +
                          Fmt::trim(static_cast<double>(*r.rawReach), 0) + " fully pulled.");

    Verdict verdict = verdictOfMeasures(measures);
    // A quick pull cannot show dead spots or jumps, so it never passes outright.
    if (quickPull && verdict == Verdict::pass) verdict = Verdict::warn;

    // The headline names the first measure that trips; one further down that decides the verdict
    // is named after it. A quick pull that keeps a passing trigger from passing says so.
    auto trips = [&](const char* id) { return Measure::verdict(id, measures) != Verdict::pass; };
    std::string headline = "full travel";
    std::string_view named;
    if (trips("reach")) {
        headline = "reaches " + Fmt::trim(r.reach * 100, 1) + "%";
        named = "reach";
    } else if (trips("jump")) {
        headline = r.deadSpots.empty() ? "jumps " + Fmt::trim(r.largestJump * 100, 1) + "%"
                                       : "dead spot at " + rangeText(r.deadSpots.front());
        named = "jump";
    } else if (trips("rest")) {
        headline = "rests at " + Fmt::trim(r.rest * 100, 1) + "%";
        named = "rest";
    } else if (trips("release")) {
        headline = "stays at " + Fmt::trim(r.final * 100, 1) + "%" + " after letting go";
        named = "release";
    } else if (quickPull) {
        headline = "full travel, pulled too fast to check (" + Fmt::trim(r.pullSeconds, 1) + " s)";
    }
    headline = VerdictReasons::headline(std::move(headline), TestKind::trigger, measures, {named});

    return TestResult(TestKind::trigger, element, source, verdict, headline, measures, details, std::nullopt,
                      std::nullopt, date, Uuid::random());
}

} // namespace RorozErurEvo::TriggerAnalysis
