#include "testkit/TimeOrderedSamples.h"

#include <utility>

#include "testkit/TimeOrder.h"

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
    owned_ = sortedByTime(std::move(owned_));
    view_ = owned_;
}

} // namespace RorozErurEvo
