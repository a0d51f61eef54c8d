#pragma once
// Click intervals of one input, for the double-click check: a click that comes sooner than a
// window after the previous release is flagged as a likely accidental double click.
#include <string>
#include <vector>

#include "testkit/Json.h"
#include "testkit/Samples.h"

namespace RorozErurEvo {

struct ClickInterval {
    double t = 0;              // time of the press, seconds
    double sincePressMs = 0;   // milliseconds since the previous press of the same input
    double sinceReleaseMs = 0; // milliseconds since the previous release of the same input
    bool flagged = false;      // sinceReleaseMs below the window, as it is shown (ChatterAnalysis::isChatter)

    json toJson() const;
    static ClickInterval fromJson(const json& value);
    friend bool operator==(const ClickInterval&, const ClickInterval&) = default;
};

namespace ClickIntervals {

// One interval per press of `input` that follows a complete click; the first click yields none.
std::vector<ClickInterval> list(const std::vector<ButtonEvent>& events, const std::string& input,
                                double windowMs);

} // namespace ClickIntervals
} // namespace RorozErurEvo
