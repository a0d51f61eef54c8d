#pragma once
// An AxisTracker's jitter and report rate at "now", kept up to date frame after frame at a cost
// that follows the values added and expired since the previous call instead of the window's
// length: at 8 kHz a window holds 8,000 values, and copying and sorting them for every element
// in every frame costs milliseconds.
//
// The figures are exactly AxisTracker::jitter(now) and AxisTracker::rate(now). The window moves
// forward as long as the tracker's times rise and `now` never goes back; anything else (times
// out of order, a time that is not finite or a `now` that is not a number, `now` going back,
// values pruned before they were seen) is answered by the tracker's own computation and the
// window is rebuilt once the history is in order again.
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "testkit/AxisTracker.h"

namespace RorozErurEvo {

class AxisTrackerLive {
public:
    struct Figures {
        long long jitter = 0;
        std::optional<double> rate; // hertz
        friend bool operator==(const Figures&, const Figures&) = default;
    };

    // Always the same tracker, and `now` in seconds of the tracker's clock.
    Figures update(const AxisTracker& tracker, double now);

private:
    // Tracker entries are named by their running number since the tracker was made: the entry
    // at index i of its history is number (changes - history length) + i.
    struct Value {
        std::uint64_t number;
        int v;
    };
    struct Interval {
        std::uint64_t from; // number of the earlier of its two times
        double seconds;
    };

    void reset(std::uint64_t first);
    bool takeIn(const AxisTracker& tracker);
    void expire(const AxisTracker& tracker, double now);
    Figures figures(const AxisTracker& tracker) const;

    bool tracking_ = false;
    double lastNow_ = 0;
    double lastTime_ = 0;       // time of the newest entry taken in
    double frontTime_ = 0;      // time of the window's first entry, when it has one
    bool hasLast_ = false;
    std::uint64_t front_ = 0;   // first entry inside the window
    std::uint64_t seen_ = 0;    // entries before this number have been taken in
    std::deque<Value> lows_;    // increasing values: the window's minimum is at the front
    std::deque<Value> highs_;   // decreasing values: the maximum is at the front
    // The intervals between the window's entries that are longer than the shortest pause,
    // oldest first: the only ones that can be pauses.
    std::deque<Interval> longs_;
};

} // namespace RorozErurEvo
