#pragma once
// Small helpers that several testkit test files share.

#include "testkit/Date.h"

#include <vector>

namespace TestSamples {

// A fixed moment for results' dates, so no result depends on the clock.
inline const RorozErurEvo::Date someDate = RorozErurEvo::Dates::fromSeconds(1'800'000'000);

// Report times from `from` to `to` (both included) at `step` seconds apart, computed from the start
// each time so a long run does not drift.
inline void addReports(std::vector<double>& out, double from, double to, double step) {
    for (long i = 0;; ++i) {
        double t = from + static_cast<double>(i) * step;
        if (t > to + 1e-12) break;
        out.push_back(t);
    }
}

} // namespace TestSamples
