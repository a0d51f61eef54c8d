#pragma once
// SoakAnalysis::analyze of a run that is still going, once a second, at a cost and in a memory
// that follow the reports taken in since the previous call instead of the run's length (eight
// hours of three 1 kHz streams are eighty million report times; none of them is kept for long).
//
// Report times are handed over as they come in. Those the caller marks as settled (no earlier
// report will come any more) are walked once and for all and then dropped: what the analysis
// needs of them is the walk's running sums, its events and the rate intervals, which an
// ordered multiset of distinct values holds. Only the few after them are walked again for each
// answer. The answer equals analyze() of every time taken in, to the last digit.
//
// The last lateWindow seconds of walked times are kept with a snapshot of the walk at each call,
// so that a report that comes in late after all (earlier than some walked for good), or an
// outage or end that changes a stretch already walked, is followed by walking again from the
// latest snapshot before it. A time earlier than every snapshot can no longer be placed: it is
// left out and counted in lateDropped(); a stretch changed that far back is not followed.
#include <deque>
#include <span>
#include <vector>

#include "testkit/OrderedValues.h"
#include "testkit/SoakAnalysis.h"
#include "testkit/SoakWalk.h"

namespace RorozErurEvo {

class SoakLiveAnalysis {
public:
    // Seconds of walked report times kept to walk again.
    static constexpr double lateWindow = 10;

    // Starts over with a run that begins at `start`, judged with the gap and pause of
    // `thresholds` for the whole run.
    void begin(double start, const Thresholds& thresholds);
    // Report times of the run, in any order. Times before the start never count.
    void take(std::span<const double> times);
    // The run from its start to `end` with these outages, as analyze() gives it for every time
    // taken in. `settled`: no report earlier than this will be taken in any more.
    SoakReport analyze(double end, const std::vector<SoakTimeline::Outage>& outages, double settled);

    // Times taken in too late to be placed in the walk.
    std::size_t lateDropped() const { return lateDropped_; }

private:
    struct Snapshot {
        SoakWalking::Walk walk;                   // its lists left empty: only their lengths count
        std::size_t gaps = 0, pauses = 0;
        int reports = 0;
        std::vector<SoakWalking::Stretch> stretches; // those it was walked with
        std::size_t times = 0;                    // walked times before it, counted from the run's start
        std::size_t intervals = 0;                // rate intervals before it, likewise
    };

    Snapshot snapshot() const;
    void restore(const Snapshot& s);
    void rollBack(const std::vector<SoakWalking::Stretch>& stretches, double earliest);

    double start_ = 0;
    std::vector<double> incoming_;                // taken in, not yet merged into pending_
    std::vector<double> pending_;                 // taken in, not yet walked for good; ascending
    SoakWalking::Walk walk_;                      // every settled time walked
    std::vector<SoakWalking::Stretch> walked_;    // the stretches when the walk last moved
    OrderedValues intervals_;                     // rate intervals of the settled walk
    int reports_ = 0;                             // settled times inside the run
    std::deque<Snapshot> snapshots_;              // oldest first; the first is before the window
    std::deque<double> recentTimes_;              // walked times since the first snapshot
    std::deque<double> recentIntervals_;          // rate intervals since the first snapshot
    std::size_t timesDropped_ = 0, intervalsDropped_ = 0; // let go from the fronts of those two
    std::size_t walkedTimes_ = 0, walkedIntervals_ = 0;
    std::size_t lateDropped_ = 0;
};

} // namespace RorozErurEvo
