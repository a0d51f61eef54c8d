#include "testkit/SnapbackAnalysis.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "testkit/Fmt.h"
#include "testkit/Text.h"
#include "testkit/TimeOrderedSamples.h"
#include "testkit/VerdictReasons.h"

namespace RorozErurEvo {
namespace SnapbackAnalysis {
namespace {

constexpr double gridRate = 1000;   // Hz: the settle window is put on a 1 ms grid
constexpr double restSpan = 0.15;   // seconds at the end of the window that give the resting point
constexpr std::size_t minGrid = 10; // a window of this many grid readings or fewer is too short to judge

// Measures the release whose last pushed reading is s[pushed] and whose first reading back
// inside `middle` is s[released]; absent when the stick went back out or the window is too
// short. `grid` is scratch space, reused from release to release.
std::optional<Release> measure(std::span<const StickSample> s, std::size_t pushed, std::size_t released,
                               std::vector<StickSample>& grid) {
    const double t = s[released].t;
    const double e = t + quiet;
    std::size_t last = released; // last reading at or before the window's end
    for (std::size_t j = released + 1; j < s.size() && s[j].t <= e; ++j) {
        if (s[j].t > t && s[j].radius() >= middle) return std::nullopt;
        last = j;
    }

    // Sample-and-hold of s[pushed ... last] onto t0 + k / gridRate.
    const double t0 = s[pushed].t;
    if (!(t0 < e)) return std::nullopt;
    const auto count = static_cast<std::size_t>(std::floor((e - t0) * gridRate + 1e-9)) + 1;
    if (count <= minGrid) return std::nullopt;
    grid.clear();
    std::size_t held = pushed;
    while (held + 1 <= last && s[held + 1].t <= t0)
        ++held;
    for (std::size_t k = 0; k < count; ++k) {
        const double time = t0 + static_cast<double>(k) / gridRate;
        while (held + 1 <= last && s[held + 1].t <= time)
            ++held;
        grid.push_back(StickSample{time, s[held].x, s[held].y, s[held].raw});
    }

    double sumX = 0, sumY = 0;
    int resting = 0;
    for (const auto& g : grid) {
        if (g.t < e - restSpan) continue;
        sumX += g.x;
        sumY += g.y;
        ++resting;
    }
    if (resting == 0) return std::nullopt;
    const PlotPoint settle{sumX / resting, sumY / resting};

    double settleMs = 0;
    for (auto g = grid.rbegin(); g != grid.rend(); ++g) {
        if (std::hypot(g->x - settle.x, g->y - settle.y) > band) {
            settleMs = (g->t - t0) * 1000;
            break;
        }
    }

    const Direction8 direction = nearestDirection(std::atan2(s[pushed].y, s[pushed].x));
    const double ux = std::cos(angle(direction)), uy = std::sin(angle(direction));
    double overshoot = 0;
    for (const auto& g : grid) {
        if (g.t < t) continue;
        const double d = g.x * ux + g.y * uy;
        if (d <= 0) overshoot = std::max(overshoot, -d);
    }
    return Release{t0, direction, settle, settle.radius(), settleMs, overshoot};
}

} // namespace

std::vector<Release> releases(std::span<const StickSample> samples, std::optional<double> recordedUntil) {
    const TimeOrderedSamples ordered(samples);
    const auto s = ordered.view();
    std::vector<Release> found;
    if (s.empty()) return found;
    const double end = recordedUntil.value_or(s.back().t);
    std::vector<StickSample> grid;
    bool pushed = false;
    std::size_t lastPushed = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double r = s[i].radius();
        if (r >= edge) {
            lastPushed = i;
            pushed = true;
        } else if (r < middle && pushed) {
            if (s[i].t - s[lastPushed].t <= maxDrop && s[i].t + quiet <= end)
                if (auto release = measure(s, lastPushed, i, grid)) found.push_back(*release);
            pushed = false;
        }
    }
    return found;
}

SnapbackReport analyze(std::span<const StickSample> samples, std::optional<double> recordedUntil) {
    SnapbackReport report;
    report.releases = releases(samples, recordedUntil);
    if (report.releases.empty()) return report;
    std::vector<double> settles;
    std::array<bool, 8> tried{};
    for (const auto& release : report.releases) {
        if (!report.worst || report.worst->offset < release.offset) report.worst = release;
        settles.push_back(release.settleMs);
        tried[static_cast<std::size_t>(release.direction)] = true;
    }
    report.medianSettleMs = Stats::median(settles);
    report.maxSettleMs = *std::max_element(settles.begin(), settles.end());
    for (int d = 0; d < 8; ++d)
        if (tried[static_cast<std::size_t>(d)]) report.directions.push_back(static_cast<Direction8>(d));
    return report;
}

TestResult result(std::span<const StickSample> samples, const std::string& element, ValueSource source,
                  std::optional<double> recordedUntil, const Thresholds& thresholds, Date date) {
    const SnapbackReport report = analyze(samples, recordedUntil);
    if (!report.worst) {
        return TestResult(
            TestKind::snapback, element, source, Verdict::warn, "no releases seen", {},
            {"Push the stick all the way to the edge and let go, so it springs back on its own. "
             "Wait a moment between pushes."},
            std::nullopt, std::nullopt, date, Uuid::random());
    }
    std::vector<Measure> measures{
        Measure{"worst", "Worst return offset", report.worst->offset, MeasureUnit::percent,
                Limit{thresholds.snapbackWarn, thresholds.snapbackFail, Limit::Direction::above}},
        Measure{"settle", "Slowest return", report.maxSettleMs.value_or(0), MeasureUnit::milliseconds,
                Limit{thresholds.settleWarnMs, std::nullopt, Limit::Direction::above}},
        Measure{"releases", "Releases", static_cast<double>(report.releases.size()), MeasureUnit::count,
                std::nullopt},
        Measure{"directions", "Directions tried (of 8)", static_cast<double>(report.directions.size()),
                MeasureUnit::count, std::nullopt},
    };

    std::vector<std::string> details;
    for (Direction8 direction : report.directions) {
        double largestOffset = 0;
        std::vector<double> settles;
        for (const auto& release : report.releases) {
            if (release.direction != direction) continue;
            largestOffset = std::max(largestOffset, release.offset);
            settles.push_back(release.settleMs);
        }
        const double medianMs = Stats::median(settles).value_or(0);
        details.push_back(arrow(direction) + " " + name(direction) + ": back within " +
                          Fmt::trim(largestOffset * 100, 1) + "%" + " of center in " +
                          Fmt::trim(medianMs, std::abs(medianMs) < 10 ? 1 : 0) + " ms");
    }
    if (report.directions.size() < 8)
        details.push_back("Tried " + std::to_string(report.directions.size()) + " of 8 directions.");

    const std::string percent = Fmt::trim(report.worst->offset * 100, 1) + "%";
    const bool off = measures[0].verdict() != Verdict::pass;
    // A slow return that decides the verdict is named beside the worst offset.
    const std::string headline = VerdictReasons::headline(
        off ? "returns " + percent + " off center (" + lowercased(name(report.worst->direction)) + ")"
            : "returns to center (worst " + percent + ")",
        TestKind::snapback, measures, {"worst"});
    return TestResult(TestKind::snapback, element, source, std::nullopt, headline, measures, details,
                      std::nullopt, std::nullopt, date, Uuid::random());
}

} // namespace SnapbackAnalysis

json Release::toJson() const {
    return json{{"t", t},
                {"direction", RorozErurEvo::toJson(direction)},
                {"settle", settle.toJson()},
                {"offset", offset},
                {"settleMs", settleMs},
                {"overshoot", overshoot}};
}

Release Release::fromJson(const json& object) {
    Json::requireObject(object, "release");
    return Release{Json::number(object, "t"),
                   direction8FromJson(Json::member(object, "direction")),
                   PlotPoint::fromJson(Json::member(object, "settle")),
                   Json::number(object, "offset"),
                   Json::number(object, "settleMs"),
                   Json::number(object, "overshoot")};
}

} // namespace RorozErurEvo
