#include "testkit/SkipSearch.h"

#include <algorithm>
#include <cmath>

#include "testkit/Fmt.h"

namespace RorozErurEvo::SkipSearch {

std::vector<ClosedRange> stretches(double base, double top, const std::vector<double>& positions) {
    std::vector<ClosedRange> found;
    if (!(top - base > minimumSpan)) return found; // also when either end is not a number
    const double lastBin = std::floor((top - base) / binWidth);
    if (!std::isfinite(lastBin)) return found;

    // Bin numbers are whole numbers held as doubles: exact far beyond any real span, and a
    // span too wide for an integer type cannot overflow the conversion.
    std::vector<double> visited;
    visited.reserve(positions.size());
    for (double p : positions) {
        const double bin = std::trunc((p - base) / binWidth);
        if (std::isnan(bin)) continue;
        visited.push_back(std::clamp(bin, 0.0, lastBin));
    }
    std::sort(visited.begin(), visited.end());
    visited.erase(std::unique(visited.begin(), visited.end()), visited.end());

    // Each gap between visited bins (and after the last one, up to lastBin) is a run of
    // unvisited bins; runs of one bin are too narrow to call skipped.
    double previous = -1;
    auto addRun = [&](double first, double afterLast) {
        if (afterLast - first >= 2) found.push_back({base + first * binWidth, base + afterLast * binWidth});
    };
    for (double bin : visited) {
        addRun(previous + 1, bin);
        previous = bin;
    }
    addRun(previous + 1, lastBin + 1);
    return found;
}

double largestWidth(const std::vector<ClosedRange>& stretches) {
    double widest = 0;
    for (const auto& range : stretches) widest = std::max(widest, range.upper - range.lower);
    return widest;
}

std::string text(const ClosedRange& range) {
    return Fmt::trim(range.lower * 100, 0) + "\u2013" + Fmt::trim(range.upper * 100, 0) + "%";
}

std::string text(const std::vector<ClosedRange>& stretches) {
    std::string joined;
    for (const auto& range : stretches) joined += (joined.empty() ? "" : ", ") + text(range);
    return joined;
}

} // namespace RorozErurEvo::SkipSearch
