#include "testkit/SoakResult.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "testkit/Fmt.h"
#include "testkit/Thresholds.h"
#include "testkit/VerdictReasons.h"

namespace RorozErurEvo::SoakAnalysis {

namespace {

// Bins in the strip a result keeps.
constexpr int resultBins = 120;
// Event lines listed before the rest are summed up in one line.
constexpr std::size_t maxEventLines = 12;
// Shortest bin width, seconds, so that a run without length still has bins to paint.
constexpr double minimumStripSeconds = 0.001;
// Taken off a span's end so that a span ending exactly on a bin boundary stays out of the
// next bin (seconds).
constexpr double boundarySlack = 1e-9;
// An outage ending this close to the run's end did not come back (seconds).
constexpr double endSlack = 0.001;

std::string whole(double value) { return Fmt::trim(value, 0); }

std::string plural(std::size_t count, const std::string& noun) {
    return whole(static_cast<double>(count)) + " " + noun + (count == 1 ? "" : "s");
}

struct Event {
    // A constructor, so emplace_back builds one in place with clang 14 too.
    Event(double start, std::string text) : start(start), text(std::move(text)) {}
    double start; // seconds from the start of the run
    std::string text;
};

std::vector<Event> events(const SoakReport& report) {
    std::vector<Event> list;
    list.reserve(report.gaps.size() + report.outages.size() + report.pauses.size());
    for (const auto& dropout : report.gaps)
        list.push_back({dropout.start, "dropout of " + format(MeasureUnit::milliseconds, dropout.length * 1000)});
    for (const auto& outage : report.outages) {
        // Emplaced: g++ 12 at -O3 reads a pushed copy of this long literal as out of bounds.
        if (outage.end() >= report.seconds - endSlack)
            list.emplace_back(outage.start, std::string("disconnected, didn't come back before the end"));
        else
            list.push_back({outage.start, "disconnected for " + Fmt::trim(outage.length, 1) + " s, then reconnected"});
    }
    for (const auto& pause : report.pauses)
        list.push_back({pause.start, "no input for " + Fmt::trim(pause.length, 1) + " s (pause)"});
    // Stable: at equal starts dropouts come first, then disconnects, then pauses.
    std::stable_sort(list.begin(), list.end(), [](const Event& a, const Event& b) { return a.start < b.start; });
    return list;
}

std::string headline(const SoakReport& report) {
    const std::string duration = minutes(report.seconds);
    if (report.reports < 2) return "no input in " + duration;
    std::vector<std::string> pieces;
    if (!report.gaps.empty()) pieces.push_back(plural(report.gaps.size(), "dropout"));
    if (!report.outages.empty()) pieces.push_back(plural(report.outages.size(), "disconnect"));
    if (pieces.empty()) return "no dropouts or disconnects in " + duration;
    std::string text = pieces[0];
    for (std::size_t i = 1; i < pieces.size(); ++i) text += ", " + pieces[i];
    return text + " in " + duration;
}

} // namespace

SoakStrip strip(const SoakReport& report, int count) {
    const int n = std::max(count, 1);
    const double width = std::max(report.seconds, minimumStripSeconds) / n; // seconds per bin
    SoakStrip result{report.seconds, std::vector<SoakStrip::State>(static_cast<std::size_t>(n), SoakStrip::State::ok)};

    // Bin numbers are clamped as doubles first, so a span far outside the run (or not a number)
    // cannot overflow the conversion.
    auto binOf = [&](double t) {
        double bin = std::trunc(t / width);
        if (!(bin > 0)) return 0;
        return static_cast<int>(std::min(bin, static_cast<double>(n - 1)));
    };
    auto paint = [&](const SoakSpan& span, auto&& rule) {
        const int first = binOf(span.start);
        const int last = std::max(binOf(span.start + span.length - boundarySlack), first);
        for (int i = first; i <= last; ++i) rule(result.bins[static_cast<std::size_t>(i)]);
    };
    using State = SoakStrip::State;
    for (const auto& span : report.pauses)
        paint(span, [](State& bin) { if (bin == State::ok) bin = State::pause; });
    for (const auto& span : report.gaps)
        paint(span, [](State& bin) { if (bin == State::ok || bin == State::pause) bin = State::gap; });
    for (const auto& span : report.outages)
        paint(span, [](State& bin) { bin = State::disconnected; });
    return result;
}

TestResult result(const SoakTimeline& timeline, const std::string& element, ValueSource source,
                  const Thresholds& thresholds, Date date) {
    return result(analyze(timeline, thresholds), element, source, thresholds, date);
}

TestResult result(const SoakReport& report, const std::string& element, ValueSource source,
                  const Thresholds& thresholds, Date date) {
    const std::string gapText = format(MeasureUnit::milliseconds, thresholds.soakGapMs);
    using Direction = Limit::Direction;

    std::vector<Measure> measures;
    measures.push_back({"gapRate", "Dropouts per minute of input", report.gapsPerMinute(), MeasureUnit::count,
                        Limit{thresholds.soakGapRateWarn, thresholds.soakGapRateFail, Direction::above}});
    measures.push_back({"disconnects", "Disconnects", static_cast<double>(report.disconnects()), MeasureUnit::count,
                        Limit{std::nullopt, thresholds.soakDisconnectsAllowed, Direction::above}});
    if (!report.outages.empty())
        measures.push_back({"offline", "Time disconnected", report.disconnectedSeconds(), MeasureUnit::seconds,
                            std::nullopt});
    measures.push_back({"gaps", "Dropouts over " + gapText, static_cast<double>(report.gaps.size()),
                        MeasureUnit::count, std::nullopt});
    measures.push_back({"longest", "Longest dropout", report.longestGap * 1000, MeasureUnit::milliseconds,
                        std::nullopt});
    measures.push_back({"coverage", "Time with input", report.coverage(), MeasureUnit::percent,
                        Limit{thresholds.soakCoverageWarn, std::nullopt, Direction::below}});
    measures.push_back({"duration", "Run length", report.seconds, MeasureUnit::seconds, std::nullopt});
    if (report.reportRate)
        measures.push_back({"hz", "Report rate", *report.reportRate, MeasureUnit::hertz, std::nullopt});

    const bool noInput = report.reports < 2;
    std::vector<std::string> details;
    if (noInput) details.push_back("No input arrived: keep a stick moving during the run.");
    details.push_back("Dropout: no input report for longer than " + gapText + " while input was arriving. " +
                      "No input for over " + Fmt::trim(thresholds.soakPauseSeconds, 1) + " s" +
                      " counts as a pause, not a dropout.");
    const auto list = events(report);
    for (std::size_t i = 0; i < list.size() && i < maxEventLines; ++i)
        details.push_back("At " + clock(list[i].start) + ": " + list[i].text + ".");
    if (list.size() > maxEventLines)
        details.push_back("\u2026and " + whole(static_cast<double>(list.size() - maxEventLines)) + " more.");

    std::optional<Verdict> verdict;
    std::string text = headline(report);
    if (noInput) {
        verdict = Verdict::warn;
    } else {
        // The dropouts and disconnects the headline counts name their measures; too little time
        // with input that decides the verdict is named after them.
        text = VerdictReasons::headline(std::move(text), TestKind::soak, measures,
                                        {report.gaps.empty() ? "" : "gapRate",
                                         report.outages.empty() ? "" : "disconnects"});
    }
    return TestResult(TestKind::soak, element, source, verdict, std::move(text), std::move(measures),
                      std::move(details), std::nullopt, strip(report, resultBins), date);
}

std::string clock(double seconds) {
    double s = std::floor(seconds);
    if (!(s > 0)) s = 0;
    const double m = std::floor(s / 60);
    const double r = s - m * 60;
    return whole(m) + ":" + (r < 10 ? "0" : "") + whole(r);
}

std::string minutes(double seconds) {
    const double s = std::round(seconds); // halves away from zero
    if (s > 59) {
        const double m = std::floor(s / 60);
        const double r = s - m * 60;
        return r == 0 ? whole(m) + " min" : whole(m) + " min " + whole(r) + " s";
    }
    return whole(s) + " s";
}

} // namespace RorozErurEvo::SoakAnalysis
