#pragma once
// The deadlines of a repeating timer that keeps its rate on average: frame n is due at
// start + n × interval, however late the frames before it fired, so a timer that can only wait
// whole milliseconds (16 or 17 for 60 Hz) still fires 60 times a second over any second. Frames
// whose time has passed entirely (the event loop was busy) are skipped, not fired in a burst.
namespace Tessarine {

class FrameSchedule {
public:
    // Seconds; `start` on the clock later passed to next().
    FrameSchedule(double interval, double start) : interval_(interval), start_(start) {}

    // Called when a frame fires at `now`: the seconds to wait for the next frame (never negative).
    double next(double now);

private:
    double interval_;
    double start_;
    long long frame_ = 0; // the frame that is due next
};

} // namespace Tessarine
