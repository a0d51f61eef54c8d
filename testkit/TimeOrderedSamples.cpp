#include "testkit/TimeOrderedSamples.h"

#include <algorithm>

namespace RorozErurEvo {

TimeOrderedSamples::TimeOrderedSamples(std::span<const StickSample> samples) {
    bool clean = true;
    for (std::size_t i = 0; i < samples.size() && clean; ++i)
        clean = isUsable(samples[i]) && (i == 0 || samples[i - 1].t <= samples[i].t);
    if (clean) {
        view_ = samples;
        return;
    }
    owned_.reserve(samples.size());
    for (const auto& sample : samples)
        if (isUsable(sample)) owned_.push_back(sample);
    std::stable_sort(owned_.begin(), owned_.end(),
                     [](const StickSample& a, const StickSample& b) { return a.t < b.t; });
    view_ = owned_;
}

} // namespace RorozErurEvo
