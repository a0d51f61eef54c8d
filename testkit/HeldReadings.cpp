#include "testkit/HeldReadings.h"

#include "testkit/TimeOrderedSamples.h"

namespace RorozErurEvo::HeldReadings {

std::vector<StickSample> restore(std::span<const StickSample> samples) {
    const TimeOrderedSamples ordered(samples);
    const auto sorted = ordered.view();
    std::vector<StickSample> out;
    out.reserve(sorted.size() * 2);
    for (const StickSample& s : sorted) {
        if (!out.empty() && s.t - out.back().t > 2 * lead) {
            StickSample held = out.back();
            held.t = s.t - lead;
            out.push_back(held);
        }
        out.push_back(s);
    }
    return out;
}

} // namespace RorozErurEvo::HeldReadings
