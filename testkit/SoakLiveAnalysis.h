#pragma once
// SoakAnalysis::analyze of a run that is still going, once a second, at a cost that follows the
// reports taken in since the previous call instead of the run's length (an hour of three 1 kHz
// streams is ten million report times).
//
// The times the caller marks as settled (no earlier report will be taken in any more) are walked
// once and for all; only the few after them are walked again for each answer, and the rate's
// median comes from an ordered multiset of the intervals. The answer equals analyze() of the
// same timeline to the last digit. Whatever the moving walk cannot follow (a report earlier
// than the settled ones after all, an outage that changes a stretch already walked, other
// thresholds, a shorter timeline, an end that goes back) makes that call start over from the
// whole timeline.
#include <vector>

#include "testkit/OrderedValues.h"
#include "testkit/SoakAnalysis.h"
#include "testkit/SoakWalk.h"

namespace RorozErurEvo {

class SoakLiveAnalysis {
public:
    // `timeline.reports` only grows between calls (new times appended, in any order).
    // `settled`: reports earlier than this time will not be appended any more.
    SoakReport analyze(const SoakTimeline& timeline, const Thresholds& thresholds, double settled);
    void reset();

private:
    bool startOver(const SoakTimeline& timeline, double gap, double pause, double endT,
                   const std::vector<SoakWalking::Stretch>& stretches) const;

    bool begun_ = false;
    double start_ = 0, gap_ = 0, pause_ = 0, lastEnd_ = 0;
    std::size_t taken_ = 0;                       // reports of the timeline taken in
    std::vector<double> pending_;                 // taken in, not yet walked for good; ascending
    SoakWalking::Walk walk_;                      // every settled time walked
    std::vector<SoakWalking::Stretch> walked_;    // the stretches when the walk last moved
    OrderedValues intervals_;                     // rate intervals of the settled walk
    int reports_ = 0;                             // settled times inside the run
};

} // namespace RorozErurEvo
