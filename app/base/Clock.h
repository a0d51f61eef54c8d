#pragma once
// The one clock of every sample and tick: seconds of system uptime on a monotonic clock.
// Sources and timers take a Clock so that tests can drive time by hand.

namespace Tessarine {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since an arbitrary fixed point (boot); never goes backwards.
    virtual double now() const = 0;

    // The process-wide monotonic clock.
    static const Clock& system();
};

// clock_gettime(CLOCK_MONOTONIC) as seconds.
class SystemClock final : public Clock {
public:
    double now() const override;
};

// A clock that only moves when told to; for tests. With a step on read it also moves that much
// after every reading, as a real clock moves between two readings of one piece of work; a test
// that sets a step reads it from one thread only.
class FakeClock final : public Clock {
public:
    explicit FakeClock(double start = 0.0) : time(start) {}
    double now() const override {
        const double t = time;
        if (step != 0) time += step;
        return t;
    }
    void set(double seconds) { time = seconds; }
    void advance(double seconds) { time += seconds; }
    void setStepOnRead(double seconds) { step = seconds; }

private:
    mutable double time;
    double step = 0;
};

} // namespace Tessarine
