#pragma once
// Stick recordings as the time-based analyses want them: only readings whose time and
// coordinates are finite, in ascending time order (equal times keep their recorded order).
// A recording that is already clean and ordered, the usual case, is used in place without
// a copy, so the per-frame progress checks stay allocation-free.
#include <cmath>
#include <span>
#include <vector>

#include "testkit/StickGeometry.h"

namespace RorozErurEvo {

// A reading with a non-finite time or coordinate is a broken report; every stick analysis
// skips it rather than let it reach a comparison, a sort or an integer conversion.
inline bool isUsable(const StickSample& sample) {
    return std::isfinite(sample.t) && std::isfinite(sample.x) && std::isfinite(sample.y);
}

class TimeOrderedSamples {
public:
    explicit TimeOrderedSamples(std::span<const StickSample> samples);

    // Not copyable: the view may point into the owned copy.
    TimeOrderedSamples(const TimeOrderedSamples&) = delete;
    TimeOrderedSamples& operator=(const TimeOrderedSamples&) = delete;

    std::span<const StickSample> view() const { return view_; }

private:
    std::vector<StickSample> owned_;
    std::span<const StickSample> view_;
};

} // namespace RorozErurEvo
