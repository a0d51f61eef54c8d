#pragma once
// Stretches of travel that a movement skipped: the positions seen between a base and a top are
// dropped into bins 0.02 wide, and every run of two or more bins that no position fell in is a
// skipped stretch. A trigger's dead spots and an axis's or pedal's skipped stretches all come
// from this one search.
#include <string>
#include <vector>

namespace RorozErurEvo {

// A closed stretch of travel, lower ≤ upper, in unit fractions.
struct ClosedRange {
    double lower = 0;
    double upper = 0;

    friend bool operator==(const ClosedRange&, const ClosedRange&) = default;
};

namespace SkipSearch {

// Width of one bin, in fractions of full travel.
inline constexpr double binWidth = 0.02;
// A span from base to top of this much or less is too short to search (fraction of travel).
inline constexpr double minimumSpan = 0.04;

// The skipped stretches between base and top, in ascending order. Position p marks bin
// trunc((p − base) / 0.02), clamped to the bins that exist; a run of unvisited bins k…j
// becomes base + k × 0.02 … base + (j + 1) × 0.02. Positions that are not finite mark nothing.
// The work grows with the number of positions, never with the width of the span, so a device
// reporting values far outside its range costs no more than a sane one.
std::vector<ClosedRange> stretches(double base, double top, const std::vector<double>& positions);

// The width of the widest stretch; 0 when there is none.
double largestWidth(const std::vector<ClosedRange>& stretches);

// A stretch as the user reads it: whole percents joined by an en dash, "2–100%".
std::string text(const ClosedRange& range);
// Stretches as the user reads them, joined by ", ".
std::string text(const std::vector<ClosedRange>& stretches);

} // namespace SkipSearch
} // namespace RorozErurEvo
